#include "precise/geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

constexpr double kPeakWindow = 6;  // half-width of a slit's centroid window (samples)
constexpr double kStepWindow = 4;  // of an edge's derivative window
constexpr double kPeakSigmas = 5;  // a slit's summed peak over the noise of the sum

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    const std::size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    return v[mid];
}

struct LineFit {
    double origin = 0;
    double slope = 0;
    double scatter = 0;
};

// Least-squares line through (line, position) pairs.
std::optional<LineFit> FitLine(const std::vector<std::pair<double, double>>& points)
{
    const double n = static_cast<double>(points.size());
    if (points.size() < 3) return std::nullopt;
    double mx = 0, my = 0;
    for (const auto& [x, y] : points) {
        mx += x;
        my += y;
    }
    mx /= n;
    my /= n;
    double sxx = 0, sxy = 0;
    for (const auto& [x, y] : points) {
        sxx += (x - mx) * (x - mx);
        sxy += (x - mx) * (y - my);
    }
    if (sxx <= 0) return std::nullopt;
    LineFit fit;
    fit.slope = sxy / sxx;
    fit.origin = my - fit.slope * mx;
    double sum = 0;
    for (const auto& [x, y] : points) sum += std::pow(y - fit.origin - fit.slope * x, 2);
    fit.scatter = std::sqrt(sum / n);
    return fit;
}

class Lines {
public:
    Lines(const ValueTable& table, bool alongRows) : table_(table), alongRows_(alongRows) {}
    int count() const { return alongRows_ ? table_.rows : table_.columns; }
    int samples() const { return alongRows_ ? table_.columns : table_.rows; }
    double at(int line, int k) const { return alongRows_ ? table_.At(line, k) : table_.At(k, line); }

    // The feature signal of a line and the position of each of its entries:
    // exposure above the line's median (peak), or the signed difference of
    // neighbours at the half-sample between them (step).
    std::vector<double> signal(int line, FeatureKind kind, double sign, double& offset) const
    {
        std::vector<double> s;
        if (kind == FeatureKind::kPeak) {
            for (int k = 0; k < samples(); ++k) s.push_back(at(line, k));
            const double base = Median(s);
            for (double& v : s) v -= base;
            offset = 0;
        } else {
            for (int k = 0; k + 1 < samples(); ++k) s.push_back(sign * (at(line, k + 1) - at(line, k)));
            offset = 0.5;
        }
        return s;
    }

private:
    const ValueTable& table_;
    bool alongRows_;
};

// Sum of a few middle lines: enough signal to choose the feature.
std::vector<double> MiddleSum(const Lines& lines)
{
    std::vector<double> sum(static_cast<std::size_t>(lines.samples()), 0.0);
    const int mid = lines.count() / 2;
    for (int l = std::max(0, mid - 2); l <= std::min(lines.count() - 1, mid + 2); ++l)
        for (int k = 0; k < lines.samples(); ++k) sum[static_cast<std::size_t>(k)] += lines.at(l, k);
    return sum;
}

// Noise of single samples from differences between neighbouring lines,
// where the object hardly changes.
double LineNoise(const Lines& lines)
{
    std::vector<double> d;
    for (int l = 0; l + 1 < lines.count(); ++l)
        for (int k = 0; k < lines.samples(); ++k) d.push_back(std::abs(lines.at(l + 1, k) - lines.at(l, k)));
    return 1.4826 * Median(d) / std::sqrt(2.0);
}

}  // namespace

double LineGeometry::LinesPerPixel() const
{
    return 1 / std::abs(slope);
}

int LineGeometry::LinesSetting() const
{
    return static_cast<int>(std::clamp<long long>(Round(LinesPerPixel()), 1, 200));
}

ProfileOrientation LineGeometry::Orientation() const
{
    if (alongRows)
        return slope > 0 ? ProfileOrientation::kRowsLastToFirst : ProfileOrientation::kRowsFirstToLast;
    return slope > 0 ? ProfileOrientation::kColumnsLastToFirst : ProfileOrientation::kColumnsFirstToLast;
}

LineGeometry EstimateGeometry(const ValueTable& exposure, FeatureKind kind)
{
    if (exposure.columns < 8 || exposure.rows < 8) ThrowFailure(FailureCode::kNoTiltedObject);

    // Direction: the object's lines cross the direction of the larger differences.
    double across = 0, along = 0;
    for (int r = 0; r + 1 < exposure.rows; ++r)
        for (int c = 0; c + 1 < exposure.columns; ++c) {
            across += std::abs(exposure.At(r, c + 1) - exposure.At(r, c));
            along += std::abs(exposure.At(r + 1, c) - exposure.At(r, c));
        }
    LineGeometry g;
    g.alongRows = across >= along;
    const Lines lines(exposure, g.alongRows);
    g.lineCount = lines.count();
    g.sampleCount = lines.samples();
    const double noise = LineNoise(lines);

    // Kind and starting point from the middle lines.
    const std::vector<double> mid = MiddleSum(lines);
    const double base = Median(mid);
    const auto top = std::max_element(mid.begin(), mid.end());
    const double height = *top - base;
    const auto wide = std::count_if(mid.begin(), mid.end(), [&](double v) { return v - base > height / 2; });
    if (kind == FeatureKind::kAny) kind = wide <= 12 ? FeatureKind::kPeak : FeatureKind::kStep;
    g.kind = kind;
    double start = static_cast<double>(top - mid.begin());
    double sign = 1;
    double strength = height / 5;  // per line
    if (kind == FeatureKind::kStep) {
        // The strongest steps; of those the one farthest from any other.
        std::vector<double> d(mid.size() - 1);
        for (std::size_t k = 0; k + 1 < mid.size(); ++k) d[k] = mid[k + 1] - mid[k];
        double largest = 0;
        for (double v : d) largest = std::max(largest, std::abs(v));
        std::vector<std::size_t> candidates;
        for (std::size_t k = 0; k < d.size(); ++k) {
            const double a = std::abs(d[k]);
            if (a < largest / 2) continue;
            if ((k > 0 && std::abs(d[k - 1]) > a) || (k + 1 < d.size() && std::abs(d[k + 1]) >= a)) continue;
            candidates.push_back(k);
        }
        double bestIsolation = -1;
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            double isolation = static_cast<double>(std::min(candidates[i], d.size() - 1 - candidates[i]));
            if (i > 0) isolation = std::min(isolation, double(candidates[i] - candidates[i - 1]));
            if (i + 1 < candidates.size())
                isolation = std::min(isolation, double(candidates[i + 1] - candidates[i]));
            if (isolation > bestIsolation) {
                bestIsolation = isolation;
                start = static_cast<double>(candidates[i]) + 0.5;
                sign = d[candidates[i]] > 0 ? 1 : -1;
            }
        }
        strength = largest / 5;
    }
    if (kind == FeatureKind::kPeak) {
        // The slit's peak in the summed lines against the noise of that sum:
        // from the line noise, or from the sum's own scatter where the
        // columns share a pattern the line differences cancel. Five sigma
        // finds every slit one can see and, over a few thousand places to
        // look, almost never a noise spike.
        std::vector<double> deviation;
        for (double v : mid) deviation.push_back(std::abs(v - base));
        const double sumNoise = std::max(std::sqrt(5.0) * noise, 1.4826 * Median(deviation));
        if (!(height > kPeakSigmas * sumNoise) || !(height > 0)) ThrowFailure(FailureCode::kNoTiltedObject);
    } else if (!(strength > 10 * noise) || !(strength > 0)) {
        ThrowFailure(FailureCode::kNoTiltedObject);
    }

    // Pass 1: follow the largest signal from line to line.
    std::vector<std::pair<double, double>> points;
    const int middle = lines.count() / 2;
    for (int direction : {-1, 1}) {
        double previous = start;
        for (int l = direction < 0 ? middle : middle + 1; l >= 0 && l < lines.count(); l += direction) {
            double offset = 0;
            const std::vector<double> s = lines.signal(l, kind, sign, offset);
            const int from = std::max(0, int(std::floor(previous - offset)) - 3);
            const int to = std::min(int(s.size()) - 1, int(std::ceil(previous - offset)) + 3);
            int best = from;
            for (int k = from; k <= to; ++k)
                if (s[static_cast<std::size_t>(k)] > s[static_cast<std::size_t>(best)]) best = k;
            previous = best + offset;
            points.push_back({double(l), previous});
        }
    }
    std::optional<LineFit> fit = FitLine(points);
    if (!fit) ThrowFailure(FailureCode::kNoTiltedObject);
    {
        std::vector<std::pair<double, double>> kept;
        const double limit = std::max(3 * fit->scatter, 1.5);
        for (const auto& [l, x] : points)
            if (std::abs(x - fit->origin - fit->slope * l) <= limit) kept.push_back({l, x});
        fit = FitLine(kept);
        if (!fit) ThrowFailure(FailureCode::kNoTiltedObject);
    }

    // Passes 2 and 3: centroids in a window centred on the fitted line.
    const double w = kind == FeatureKind::kPeak ? kPeakWindow : kStepWindow;
    for (int pass = 0; pass < 2; ++pass) {
        points.clear();
        std::vector<double> sums;
        std::vector<std::pair<double, double>> candidates;
        for (int l = 0; l < lines.count(); ++l) {
            double offset = 0;
            const std::vector<double> s = lines.signal(l, kind, sign, offset);
            const double centre = fit->origin + fit->slope * l;
            if (centre - w < 0 || centre + w > static_cast<double>(s.size()) - 1 + offset) continue;
            double sum = 0, moment = 0;
            for (std::size_t k = 0; k < s.size(); ++k) {
                const double x = static_cast<double>(k) + offset;
                const double weight = std::clamp(w + 0.5 - std::abs(x - centre), 0.0, 1.0);
                sum += weight * s[k];
                moment += weight * s[k] * x;
            }
            if (sum <= 0) continue;
            sums.push_back(sum);
            candidates.push_back({double(l), moment / sum});
        }
        // Lines whose feature is lost in the noise do not vote.
        const double typical = Median(sums);
        for (std::size_t i = 0; i < candidates.size(); ++i)
            if (sums[i] > typical / 4) points.push_back(candidates[i]);
        const std::optional<LineFit> refined = FitLine(points);
        if (!refined) ThrowFailure(FailureCode::kNoTiltedObject);
        fit = refined;
    }
    g.origin = fit->origin;
    g.slope = fit->slope;
    g.scatter = fit->scatter;
    if (!(std::abs(g.slope) >= 0.001 && std::abs(g.slope) <= 0.5)) ThrowFailure(FailureCode::kNoTiltedObject);
    return g;
}

std::string GeometryText(const LineGeometry& geometry)
{
    const long double m = std::nearbyint(geometry.LinesPerPixel() * 100) / 100.0L;
    return "M = " + FormatFixed(m, 2) + ", orientation " +
           std::to_string(static_cast<int>(geometry.Orientation()));
}

bool GeometryDisagrees(const LineGeometry& estimate, ProfileOrientation chosen, double chosenLines)
{
    if (chosen != estimate.Orientation()) return true;
    const double m = estimate.LinesPerPixel();
    return std::abs(chosenLines - m) > 0.1 * m;
}

}  // namespace radmtf
