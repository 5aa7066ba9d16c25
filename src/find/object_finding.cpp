#include "find/object_finding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <tuple>

#include "core/failure.h"
#include "precise/value_table.h"

namespace radmtf {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kCoarseSide = 400;      // coarse image's longer side (pixels)
constexpr double kGradientSigma = 7;  // candidate gradients stand this far out of the noise
constexpr int kLevelBins = 64;
constexpr int kPad = 12;           // pixels of ESF beyond the LSF window on each side
constexpr int kForeignPixels = 5;  // smaller specks inside a ROI are noise, not another edge

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    const std::size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    return v[mid];
}

struct Area {
    int x0 = 0, y0 = 0, w = 0, h = 0;
};

// Pixel spacings a detector may have; others would make pixel counts of
// millimetres overflow.
bool UsableSpacing(double mm)
{
    return mm >= 1e-3 && mm <= 10;
}

bool UsableSettings(const FindSettings& s)
{
    const auto in = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
    return in(s.lsfHalfWidth, 0, 100) && in(s.minLength, 0, 1e4) && in(s.maxLength, 0, 1e4) &&
           in(s.minAngle, 0, 45) && in(s.maxAngle, 0, 45);
}

Area AreaOf(const SampleImageView& image, const FindSettings& settings)
{
    Area a{0, 0, std::max(image.columns, 0), std::max(image.rows, 0)};
    if (image.samples == nullptr) return {};
    if (settings.area) {
        const std::int64_t l = std::clamp<std::int64_t>(settings.area->left, 0, a.w);
        const std::int64_t t = std::clamp<std::int64_t>(settings.area->top, 0, a.h);
        const std::int64_t r =
            std::clamp<std::int64_t>(std::int64_t{settings.area->left} + settings.area->width, l, a.w);
        const std::int64_t b =
            std::clamp<std::int64_t>(std::int64_t{settings.area->top} + settings.area->height, t, a.h);
        a = {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t)};
    }
    return a;
}

// Sample (x, y) of the image, absolute coordinates known to lie inside.
class Pixels {
public:
    explicit Pixels(const SampleImageView& image) : image_(image) {}
    double operator()(int x, int y) const
    {
        const std::uint16_t v =
            image_.samples[static_cast<std::size_t>(y) * static_cast<std::size_t>(image_.columns) +
                           static_cast<std::size_t>(x)];
        return image_.isSigned ? static_cast<double>(static_cast<std::int16_t>(v)) : static_cast<double>(v);
    }
    const std::uint16_t* Row(int y) const
    {
        return image_.samples + static_cast<std::size_t>(y) * static_cast<std::size_t>(image_.columns);
    }
    bool isSigned() const { return image_.isSigned; }

private:
    const SampleImageView& image_;
};

FoundRoi RoiOfBlock(int col0, int row0, int cols, int rows)
{
    return {col0 + 1 + cols / 2, row0 + rows / 2, cols, rows};
}

// ---------------------------------------------------------------- coarse

struct Coarse {
    int f = 1;  // block side
    int w = 0, h = 0;
    std::vector<double> v;
    double At(int x, int y) const
    {
        return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
    }
};

template <bool kSigned>
void SumBlocks(const Pixels& px, const Area& a, Coarse& c)
{
    std::vector<double> rowSum(static_cast<std::size_t>(c.w));
    for (int cy = 0; cy < c.h; ++cy) {
        std::fill(rowSum.begin(), rowSum.end(), 0.0);
        for (int y = a.y0 + cy * c.f; y < a.y0 + (cy + 1) * c.f; ++y) {
            const std::uint16_t* row = px.Row(y) + a.x0;
            for (int cx = 0; cx < c.w; ++cx) {
                std::int64_t s = 0;
                for (int k = 0; k < c.f; ++k) {
                    const std::uint16_t u = row[cx * c.f + k];
                    s += kSigned ? std::int64_t{static_cast<std::int16_t>(u)} : std::int64_t{u};
                }
                rowSum[static_cast<std::size_t>(cx)] += static_cast<double>(s);
            }
        }
        const double n = static_cast<double>(c.f) * c.f;
        for (int cx = 0; cx < c.w; ++cx)
            c.v[static_cast<std::size_t>(cy) * static_cast<std::size_t>(c.w) + static_cast<std::size_t>(cx)] =
                rowSum[static_cast<std::size_t>(cx)] / n;
    }
}

Coarse MakeCoarse(const Pixels& px, const Area& a)
{
    Coarse c;
    c.f = std::max(1, (std::max(a.w, a.h) + kCoarseSide - 1) / kCoarseSide);
    c.w = a.w / c.f;
    c.h = a.h / c.f;
    c.v.assign(static_cast<std::size_t>(c.w) * static_cast<std::size_t>(c.h), 0.0);
    if (px.isSigned())
        SumBlocks<true>(px, a, c);
    else
        SumBlocks<false>(px, a, c);
    return c;
}

// The second lowest and second highest level of a pixel's 3 × 3
// neighbourhood: the levels on both sides of an edge through it, without a
// single noisy outlier.
std::pair<double, double> NeighbourLevels(const Coarse& c, int x, int y)
{
    std::array<double, 9> v;
    std::size_t n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) v[n++] = c.At(x + dx, y + dy);
    std::sort(v.begin(), v.end());
    return {v[1], v[7]};
}

// Noise of coarse pixels against their level: the median absolute residual
// against the mean of the four neighbours, per level bin (|r| of N(0,
// 1.25σ²) has median 0.6745 √1.25 σ). Levels with too few pixels take their
// nearest neighbours' larger value.
class NoiseByLevel {
public:
    explicit NoiseByLevel(const Coarse& c)
    {
        lo_ = *std::min_element(c.v.begin(), c.v.end());
        const double hi = *std::max_element(c.v.begin(), c.v.end());
        step_ = std::max((hi - lo_) / kLevelBins, 1e-9);
        std::vector<std::vector<double>> bins(kLevelBins);
        for (int y = 1; y + 1 < c.h; ++y)
            for (int x = 1; x + 1 < c.w; ++x) {
                const double r =
                    c.At(x, y) - (c.At(x - 1, y) + c.At(x + 1, y) + c.At(x, y - 1) + c.At(x, y + 1)) / 4;
                bins[static_cast<std::size_t>(Bin(c.At(x, y)))].push_back(std::fabs(r));
            }
        // Levels that only edges pass through hold few pixels: they take
        // their neighbours' noise. Beyond the levels that hold many, fewer
        // do (a small dark plate in a large image).
        const auto size = [&](int b) { return bins[static_cast<std::size_t>(b)].size(); };
        const std::size_t many = std::max<std::size_t>(16, c.v.size() / 200);
        const std::size_t some = std::max<std::size_t>(32, c.v.size() / 2000);
        int first = kLevelBins, last = -1;
        for (int b = 0; b < kLevelBins; ++b)
            if (size(b) >= many) first = std::min(first, b), last = std::max(last, b);
        noise_.assign(kLevelBins, -1.0);
        for (int b = 0; b < kLevelBins; ++b)
            if (size(b) >= many || ((b < first || b > last) && size(b) >= some))
                noise_[static_cast<std::size_t>(b)] =
                    Median(bins[static_cast<std::size_t>(b)]) / (0.6745 * std::sqrt(1.25));
        std::vector<double> filled = noise_;
        for (int b = 0; b < kLevelBins; ++b) {
            if (noise_[static_cast<std::size_t>(b)] >= 0) continue;
            double below = -1, above = -1;
            for (int k = b - 1; k >= 0 && below < 0; --k) below = noise_[static_cast<std::size_t>(k)];
            for (int k = b + 1; k < kLevelBins && above < 0; ++k) above = noise_[static_cast<std::size_t>(k)];
            filled[static_cast<std::size_t>(b)] = std::max(below, above);
        }
        noise_ = std::move(filled);
        // Never below the rounding of whole sample values (a noiseless background).
        const double floor = 1 / std::sqrt(12.0) / c.f;
        for (double& v : noise_)
            if (v >= 0) v = std::max(v, floor);
        valid_ = std::any_of(noise_.begin(), noise_.end(), [](double v) { return v >= 0; });
    }
    bool valid() const { return valid_; }
    double At(double level) const { return noise_[static_cast<std::size_t>(Bin(level))]; }

private:
    int Bin(double level) const
    {
        return std::clamp(static_cast<int>((level - lo_) / step_), 0, kLevelBins - 1);
    }
    double lo_ = 0, step_ = 1;
    std::vector<double> noise_;
    bool valid_ = false;
};

// ---------------------------------------------------------------- segments

// Gradient (x, y) of a coarse pixel off the border: Sobel, weights 1 2 1 on
// two lines.
std::pair<double, double> Sobel(const Coarse& c, int x, int y)
{
    const double gx = (c.At(x + 1, y - 1) + 2 * c.At(x + 1, y) + c.At(x + 1, y + 1)) -
                      (c.At(x - 1, y - 1) + 2 * c.At(x - 1, y) + c.At(x - 1, y + 1));
    const double gy = (c.At(x - 1, y + 1) + 2 * c.At(x, y + 1) + c.At(x + 1, y + 1)) -
                      (c.At(x - 1, y - 1) + 2 * c.At(x, y - 1) + c.At(x + 1, y - 1));
    return {gx, gy};
}

// Noise of either Sobel component there (√12 σ), σ of the noisier of the
// levels around the pixel.
double SobelNoise(const Coarse& c, const NoiseByLevel& noise, int x, int y)
{
    const auto [lo, hi] = NeighbourLevels(c, x, y);
    return std::sqrt(12.0) * std::max(noise.At(lo), noise.At(hi));
}

// Candidate classes: 0 vertical rising, 1 vertical falling, 2 horizontal
// rising, 3 horizontal falling; −1 none.
struct Candidates {
    std::vector<std::int8_t> cls;
    std::vector<float> mag;
    std::vector<int> label;  // connected component, −1 none
    std::vector<int> size;   // pixels per component
};

Candidates FindCandidates(const Coarse& c, const NoiseByLevel& noise, double maxAngle)
{
    Candidates k;
    const std::size_t n = c.v.size();
    k.cls.assign(n, -1);
    k.mag.assign(n, 0.0f);
    k.label.assign(n, -1);
    const double slant = std::tan((maxAngle + 5) * kDegree);
    for (int y = 1; y + 1 < c.h; ++y)
        for (int x = 1; x + 1 < c.w; ++x) {
            const auto [gx, gy] = Sobel(c, x, y);
            const double sigma = SobelNoise(c, noise, x, y);
            const double m = std::hypot(gx, gy);
            if (!(m > kGradientSigma * sigma) || m <= 0) continue;
            int cls = -1;
            if (std::fabs(gy) <= slant * std::fabs(gx))
                cls = gx > 0 ? 0 : 1;
            else if (std::fabs(gx) <= slant * std::fabs(gy))
                cls = gy > 0 ? 2 : 3;
            if (cls < 0) continue;
            const std::size_t i =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(c.w) + static_cast<std::size_t>(x);
            k.cls[i] = static_cast<std::int8_t>(cls);
            k.mag[i] = static_cast<float>(m);
        }
    // Connected components (8 neighbours) of one class.
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < n; ++i) {
        if (k.cls[i] < 0 || k.label[i] >= 0) continue;
        const int id = static_cast<int>(k.size.size());
        k.size.push_back(0);
        k.label[i] = id;
        stack.push_back(i);
        while (!stack.empty()) {
            const std::size_t j = stack.back();
            stack.pop_back();
            ++k.size.back();
            const int x = static_cast<int>(j % static_cast<std::size_t>(c.w));
            const int y = static_cast<int>(j / static_cast<std::size_t>(c.w));
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx < 0 || yy < 0 || xx >= c.w || yy >= c.h) continue;
                    const std::size_t q = static_cast<std::size_t>(yy) * static_cast<std::size_t>(c.w) +
                                          static_cast<std::size_t>(xx);
                    if (k.cls[q] == k.cls[i] && k.label[q] < 0) {
                        k.label[q] = id;
                        stack.push_back(q);
                    }
                }
        }
    }
    return k;
}

// A line across = a + b × along, in full-resolution pixels of the image.
struct Line {
    double a = 0, b = 0;
    double At(double along) const { return a + b * along; }
};

struct WeightedPoint {
    double along, across, w;
};

std::optional<Line> FitLine(const std::vector<WeightedPoint>& p)
{
    double sw = 0, sa = 0, sc = 0;
    for (const auto& q : p) {
        sw += q.w;
        sa += q.w * q.along;
        sc += q.w * q.across;
    }
    if (sw <= 0) return std::nullopt;
    sa /= sw;
    sc /= sw;
    double saa = 0, sac = 0;
    for (const auto& q : p) {
        saa += q.w * (q.along - sa) * (q.along - sa);
        sac += q.w * (q.along - sa) * (q.across - sc);
    }
    if (saa <= 0) return std::nullopt;
    Line l;
    l.b = sac / saa;
    l.a = sc - l.b * sa;
    return l;
}

// Least squares, then twice again without points more than `tolerance` off.
std::optional<Line> RobustFit(std::vector<WeightedPoint> p, double tolerance)
{
    std::optional<Line> l = FitLine(p);
    for (int pass = 0; pass < 2 && l; ++pass) {
        std::erase_if(
            p, [&](const WeightedPoint& q) { return std::fabs(q.across - l->At(q.along)) > tolerance; });
        if (p.size() < 3) return std::nullopt;
        l = FitLine(p);
    }
    return l;
}

// The image read along the edge: "along" runs along the edge (rows of a
// vertical edge), "across" over it.
class Oriented {
public:
    Oriented(const Pixels& px, const Area& a, bool vertical) : px_(px), a_(a), vertical_(vertical) {}
    int alongLo() const { return vertical_ ? a_.y0 : a_.x0; }
    int alongHi() const { return vertical_ ? a_.y0 + a_.h : a_.x0 + a_.w; }  // exclusive
    int acrossLo() const { return vertical_ ? a_.x0 : a_.y0; }
    int acrossHi() const { return vertical_ ? a_.x0 + a_.w : a_.y0 + a_.h; }
    double operator()(int along, int across) const
    {
        return vertical_ ? px_(across, along) : px_(along, across);
    }

private:
    const Pixels& px_;
    Area a_;
    bool vertical_;
};

struct Traced {
    Line line;
    int first = 0, last = 0;  // along range of the edge (inclusive)
    double contrast = 0;
};

// One block of lines averaged across the predicted edge: its half-height
// crossing and step, or nothing when the window leaves the area.
struct BlockStep {
    bool valid = false;
    double crossing = 0;
    double contrast = 0;
};

BlockStep MeasureBlock(const Oriented& img, int along0, int lines, double predicted, int half, double sign)
{
    BlockStep s;
    const int centre = static_cast<int>(std::lround(predicted));
    const int lo = centre - half, hi = centre + half;
    if (lo < img.acrossLo() || hi >= img.acrossHi() || along0 < img.alongLo() ||
        along0 + lines > img.alongHi())
        return s;
    std::vector<double> p(static_cast<std::size_t>(hi - lo + 1), 0.0);
    for (int l = along0; l < along0 + lines; ++l)
        for (int k = lo; k <= hi; ++k) p[static_cast<std::size_t>(k - lo)] += sign * img(l, k);
    constexpr int kEnds = 4;
    double left = 0, right = 0;
    for (int k = 0; k < kEnds; ++k) {
        left += p[static_cast<std::size_t>(k)];
        right += p[p.size() - 1 - static_cast<std::size_t>(k)];
    }
    left /= kEnds * lines;
    right /= kEnds * lines;
    s.contrast = right - left;
    if (!(s.contrast > 0)) return s;
    const double mid = (left + right) / 2 * lines;
    // The crossing nearest the prediction.
    double best = 1e30;
    for (std::size_t k = 0; k + 1 < p.size(); ++k) {
        if ((p[k] < mid) == (p[k + 1] < mid)) continue;
        const double t = (mid - p[k]) / (p[k + 1] - p[k]);
        const double x = lo + static_cast<double>(k) + t;
        if (std::fabs(x - predicted) < std::fabs(best - predicted)) best = x;
    }
    if (best > 1e29) return s;
    s.valid = true;
    s.crossing = best;
    return s;
}

// Follows a coarse segment through blocks of lines at full resolution, from
// its middle outwards, until the step fades (a corner, the border, another
// object). Returns the refined line and the along range.
std::optional<Traced> Trace(const Oriented& img, Line guess, double middle, int blockLines, int half,
                            double sign, double tolerance)
{
    struct Found {
        int along0;
        double crossing, contrast;
    };
    std::vector<Found> found;
    const int start = static_cast<int>(std::lround(middle)) - blockLines / 2;
    // Reference contrast from a few blocks around the middle.
    std::vector<double> ref;
    for (int k = -2; k <= 2; ++k) {
        const int a0 = start + k * blockLines;
        const BlockStep s = MeasureBlock(img, a0, blockLines, guess.At(a0 + blockLines / 2.0), half, sign);
        if (s.valid) ref.push_back(s.contrast);
    }
    if (ref.size() < 3) return std::nullopt;
    const double refContrast = Median(ref);
    for (int dir = -1; dir <= 1; dir += 2) {
        int misses = 0;
        Line local = guess;
        std::vector<WeightedPoint> recent;
        for (int a0 = dir < 0 ? start : start + blockLines;; a0 += dir * blockLines) {
            const double centre = a0 + blockLines / 2.0;
            const BlockStep s = MeasureBlock(img, a0, blockLines, local.At(centre), half, sign);
            const bool good = s.valid && s.contrast > 0.6 * refContrast && s.contrast < 1.6 * refContrast &&
                              std::fabs(s.crossing - local.At(centre)) <= tolerance;
            if (a0 < img.alongLo() || a0 + blockLines > img.alongHi()) break;
            if (!good) {
                if (++misses >= 2) break;
                continue;
            }
            misses = 0;
            found.push_back({a0, s.crossing, s.contrast});
            // Keep the prediction on the edge as it is followed.
            recent.push_back({centre, s.crossing, 1.0});
            if (recent.size() >= 6) {
                if (const auto l = FitLine(recent)) local = *l;
                if (recent.size() > 24) recent.erase(recent.begin());
            }
        }
    }
    if (found.size() < 4) return std::nullopt;
    std::vector<WeightedPoint> pts;
    for (const Found& q : found) pts.push_back({q.along0 + blockLines / 2.0 - 0.5, q.crossing, 1.0});
    const auto line = RobustFit(pts, 1.5);
    if (!line) return std::nullopt;
    Traced t;
    t.line = *line;
    t.first = found.front().along0;
    t.last = found.front().along0 + blockLines - 1;
    std::vector<double> contrasts;
    for (const Found& q : found) {
        t.first = std::min(t.first, q.along0);
        t.last = std::max(t.last, q.along0 + blockLines - 1);
        contrasts.push_back(q.contrast);
    }
    t.contrast = Median(contrasts);
    return t;
}

// Whether a candidate of the edge's own class at coarse (x, y) lies on the
// edge's blur tail, not on another object: the gradient across the edge
// does not rise again, beyond the noise, on the way from the edge (at
// coarse `across`) to it; a second edge has a valley in between. A linear
// response shows the far tail of a high-contrast edge on its quiet dark
// side, apart from the candidates on the edge itself.
bool OnBlurTail(const Coarse& c, const NoiseByLevel& noise, int x, int y, double across, bool vertical,
                double sign)
{
    const auto acrossGradient = [&](int u) {
        const auto [gx, gy] = vertical ? Sobel(c, u, y) : Sobel(c, x, u);
        return sign * (vertical ? gx : gy);
    };
    const auto noiseAt = [&](int u) {
        return vertical ? SobelNoise(c, noise, u, y) : SobelNoise(c, noise, x, u);
    };
    const int at = vertical ? x : y;
    const int n = vertical ? c.w : c.h;
    const int from = std::clamp(static_cast<int>(std::lround(across)), 1, n - 2);
    const double g = acrossGradient(at), sigma = noiseAt(at);
    for (int u = from; u != at; u += at > from ? 1 : -1)
        if (acrossGradient(u) < g - 3 * std::hypot(sigma, noiseAt(u))) return false;
    return true;
}

struct Candidate {
    FoundEdge edge;
    int cls = 0;
    Line line;
    double middleAcross = 0;  // edge position at the middle of its ROI
    int first = 0, last = 0;
};

}  // namespace

std::vector<FoundEdge> FindEdges(const SampleImageView& image, const FindSettings& settings)
{
    const Area area = AreaOf(image, settings);
    if (area.w < 16 || area.h < 16 || !UsableSpacing(image.pixelSpacing) || !UsableSettings(settings))
        return {};
    const Pixels px(image);
    const Coarse c = MakeCoarse(px, area);
    if (c.w < 8 || c.h < 8) return {};
    const NoiseByLevel noise(c);
    if (!noise.valid()) return {};
    const Candidates k = FindCandidates(c, noise, settings.maxAngle);

    const double pitch = image.pixelSpacing;
    const int f = c.f;
    const double minCoarse = std::max(4.0, 0.5 * settings.minLength / pitch / f);
    const double maxSlope = std::tan((settings.maxAngle + 2) * kDegree);
    const int lsfPixels = static_cast<int>(std::ceil(settings.lsfHalfWidth / pitch));
    const int blockLines = std::max(4, f);
    const int half = 2 * f + 8;

    // Coarse segments: the pixels of each component as (along, across) in
    // full-resolution coordinates, weighted by their gradient.
    std::vector<std::vector<WeightedPoint>> comps(k.size.size());
    std::vector<int> compCls(k.size.size(), -1);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const std::size_t i =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(c.w) + static_cast<std::size_t>(x);
            if (k.label[i] < 0) continue;
            const double fx = area.x0 + f * x + (f - 1) / 2.0;
            const double fy = area.y0 + f * y + (f - 1) / 2.0;
            const bool vertical = k.cls[i] < 2;
            comps[static_cast<std::size_t>(k.label[i])].push_back(
                {vertical ? fy : fx, vertical ? fx : fy, static_cast<double>(k.mag[i])});
            compCls[static_cast<std::size_t>(k.label[i])] = k.cls[i];
        }

    std::vector<Candidate> found;
    for (std::size_t id = 0; id < comps.size(); ++id) {
        const auto& pts = comps[id];
        if (static_cast<double>(pts.size()) < minCoarse) continue;
        const int cls = compCls[id];
        const bool vertical = cls < 2;
        if (settings.directions == EdgeDirections::kVertical && !vertical) continue;
        if (settings.directions == EdgeDirections::kHorizontal && vertical) continue;
        double lo = 1e30, hi = -1e30;
        for (const auto& q : pts) {
            lo = std::min(lo, q.along);
            hi = std::max(hi, q.along);
        }
        if ((hi - lo) / f + 1 < minCoarse) continue;
        const auto guess = RobustFit(pts, 1.5 * f);
        if (!guess || std::fabs(guess->b) > maxSlope) continue;
        // A fragment of an edge already followed adds nothing.
        const auto onTraced = [&](const Candidate& t) {
            if (t.cls != cls) return false;
            std::size_t near = 0;
            for (const auto& q : pts)
                near += q.along >= t.first && q.along <= t.last &&
                        std::fabs(q.across - t.line.At(q.along)) <= 2 * f;
            return 2 * near > pts.size();
        };
        if (std::any_of(found.begin(), found.end(), onTraced)) continue;
        const double sign = (cls == 0 || cls == 2) ? 1.0 : -1.0;
        const Oriented img(px, area, vertical);
        const auto traced = Trace(img, *guess, (lo + hi) / 2, blockLines, half, sign, f + 3.0);
        if (!traced) continue;
        const double slope = traced->line.b;
        const double angle = std::atan(slope) / kDegree;
        if (std::fabs(angle) < settings.minAngle || std::fabs(angle) > settings.maxAngle) continue;

        // Usable along range: away from the ends by what the far side of
        // the ROI and the other edge's blur need.
        int first = traced->first, last = traced->last;
        const double perpendicular = std::tan((settings.maxAngle + 1) * kDegree);
        int width = 0, length = 0, along0 = 0, across0 = 0;
        bool ok = false;
        for (int pass = 0; pass < 4; ++pass) {
            const int span = last - first + 1;
            const int widthGuess =
                static_cast<int>(std::ceil(span * std::fabs(slope))) + 2 * (lsfPixels + kPad);
            const int margin =
                static_cast<int>(std::ceil(widthGuess / 2.0 * perpendicular + 1.5 / pitch)) + blockLines;
            const int usable = span - 2 * margin;
            length = std::min(usable, static_cast<int>(settings.maxLength / pitch));
            if (length < std::max(32.0, settings.minLength / pitch)) break;
            const double mid = (first + margin + last - margin) / 2.0;
            along0 = static_cast<int>(std::lround(mid - length / 2.0));
            const double e0 = traced->line.At(along0), e1 = traced->line.At(along0 + length - 1);
            const double eLo = std::min(e0, e1), eHi = std::max(e0, e1);
            const int side = lsfPixels + kPad;
            int a0 = static_cast<int>(std::floor(eLo)) - side;
            int a1 = static_cast<int>(std::ceil(eHi)) + side;
            // Near the border keep what lies inside, but never less than the
            // LSF window and a few pixels on each side.
            const int minSide = lsfPixels + 4;
            a0 = std::max(a0, img.acrossLo());
            a1 = std::min(a1, img.acrossHi() - 1);
            if (eLo - a0 < minSide || a1 - eHi < minSide) break;
            width = a1 - a0 + 1;
            across0 = a0;
            // Other candidates inside the ROI (corners, other objects): keep
            // the longest clear stretch around the middle.
            std::vector<double> foreign;
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(c.w) +
                                          static_cast<std::size_t>(x);
                    if (k.label[i] < 0 || k.size[static_cast<std::size_t>(k.label[i])] < kForeignPixels)
                        continue;
                    const double fx = area.x0 + f * x + (f - 1) / 2.0;
                    const double fy = area.y0 + f * y + (f - 1) / 2.0;
                    const double al = vertical ? fy : fx, ac = vertical ? fx : fy;
                    if (ac < a0 - f || ac > a1 + f) continue;
                    if (al < first - f || al > last + f) continue;
                    if (std::fabs(ac - traced->line.At(al)) <= 2.5 * f) continue;
                    if (k.cls[i] == cls) {
                        const double onLine =
                            (traced->line.At(al) - (vertical ? area.x0 : area.y0) - (f - 1) / 2.0) / f;
                        if (OnBlurTail(c, noise, x, y, onLine, vertical, sign)) continue;
                    }
                    foreign.push_back(al);
                }
            if (foreign.empty()) {
                ok = true;
                break;
            }
            // Longest gap between foreign positions (and the traced ends).
            std::sort(foreign.begin(), foreign.end());
            const int blur = static_cast<int>(std::ceil(1.5 / pitch)) + f;
            double bestLo = first, bestHi = first - 1.0;
            double prev = first - 1e9;
            foreign.push_back(last + 1e9);
            for (double q : foreign) {
                const double gLo = std::max<double>(first, prev + blur),
                             gHi = std::min<double>(last, q - blur);
                if (gHi - gLo > bestHi - bestLo) {
                    bestLo = gLo;
                    bestHi = gHi;
                }
                prev = q;
            }
            if (bestHi - bestLo < 32) break;
            // The margin for the ends is taken again on the next pass.
            const int nf = static_cast<int>(std::floor(bestLo)), nl = static_cast<int>(std::ceil(bestHi));
            if (nf == first && nl == last) break;
            first = nf;
            last = nl;
        }
        if (!ok) continue;

        Candidate cand;
        cand.cls = cls;
        cand.line = traced->line;
        cand.first = traced->first;
        cand.last = traced->last;
        FoundEdge& e = cand.edge;
        e.vertical = vertical;
        e.rising = sign > 0;
        e.angle = angle;
        e.contrast = traced->contrast;
        const double s0 = traced->first, s1 = traced->last;
        const double c0 = traced->line.At(s0), c1 = traced->line.At(s1);
        e.startX = vertical ? c0 : s0;
        e.startY = vertical ? s0 : c0;
        e.endX = vertical ? c1 : s1;
        e.endY = vertical ? s1 : c1;
        e.roi = vertical ? RoiOfBlock(across0, along0, width, length)
                         : RoiOfBlock(along0, across0, length, width);
        cand.middleAcross = traced->line.At(along0 + length / 2.0);
        found.push_back(cand);
    }

    // Fragments of one edge give the same edge twice: keep the longer.
    std::vector<FoundEdge> out;
    std::vector<bool> dropped(found.size(), false);
    for (std::size_t i = 0; i < found.size(); ++i)
        for (std::size_t j = 0; j < found.size(); ++j) {
            if (i == j || dropped[j] || found[i].cls != found[j].cls) continue;
            const Candidate& a = found[i];
            const Candidate& b = found[j];
            const bool overlap = a.first <= b.last && b.first <= a.last;
            if (overlap && std::fabs(a.middleAcross - b.middleAcross) < 4 + 2 * f) {
                const int lenA = a.last - a.first, lenB = b.last - b.first;
                if (lenA < lenB || (lenA == lenB && i > j)) dropped[i] = true;
            }
        }
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!dropped[i]) out.push_back(found[i].edge);
    std::sort(out.begin(), out.end(), [](const FoundEdge& a, const FoundEdge& b) {
        if (a.vertical != b.vertical) return a.vertical;
        return a.vertical ? std::tie(a.roi.centreX, a.roi.centreY) < std::tie(b.roi.centreX, b.roi.centreY)
                          : std::tie(a.roi.centreY, a.roi.centreX) < std::tie(b.roi.centreY, b.roi.centreX);
    });
    return out;
}

namespace {

// Profiles across the lines, each the mean of a band of lines: columns of
// a band of rows when the object's lines are nearly vertical (alongRows).
struct Bands {
    bool alongRows = true;
    int band = 8;                        // lines per band
    int count = 0;                       // bands
    int length = 0;                      // samples per profile
    int firstLine = 0, firstSample = 0;  // absolute row (column) of line 0 and sample 0
    std::vector<double> mean;            // count × length
    double noise = 0;                    // of one profile sample
    const double* Profile(int b) const
    {
        return mean.data() + static_cast<std::size_t>(b) * static_cast<std::size_t>(length);
    }
    double LineOf(int b) const { return firstLine + b * band + (band - 1) / 2.0; }
};

Bands MakeBands(const Pixels& px, const Area& a, bool alongRows)
{
    Bands bands;
    bands.alongRows = alongRows;
    const int lines = alongRows ? a.h : a.w;
    bands.band = std::max(8, lines / 64);
    bands.count = lines / bands.band;
    bands.length = alongRows ? a.w : a.h;
    bands.firstLine = alongRows ? a.y0 : a.x0;
    bands.firstSample = alongRows ? a.x0 : a.y0;
    bands.mean.assign(static_cast<std::size_t>(bands.count) * static_cast<std::size_t>(bands.length), 0.0);
    std::vector<double> diffs;
    for (int y = a.y0; y < a.y0 + a.h; ++y) {
        for (int x = a.x0; x < a.x0 + a.w; ++x) {
            const int line = alongRows ? y - a.y0 : x - a.x0;
            const int b = line / bands.band;
            if (b >= bands.count) continue;
            const int k = alongRows ? x - a.x0 : y - a.y0;
            bands.mean[static_cast<std::size_t>(b) * static_cast<std::size_t>(bands.length) +
                       static_cast<std::size_t>(k)] += px(x, y);
        }
        // Noise from differences of neighbouring lines, where the object
        // hardly changes (a subset is enough).
        if (y % 3 == 0 && y + 1 < a.y0 + a.h && alongRows)
            for (int x = a.x0; x < a.x0 + a.w; x += 3) diffs.push_back(std::fabs(px(x, y + 1) - px(x, y)));
        if (y % 3 == 0 && !alongRows)
            for (int x = a.x0; x + 1 < a.x0 + a.w; x += 3)
                diffs.push_back(std::fabs(px(x + 1, y) - px(x, y)));
    }
    for (double& v : bands.mean) v /= bands.band;
    // Never below the rounding of whole sample values (a noiseless background).
    bands.noise = std::max(1.4826 * Median(diffs) / std::sqrt(2.0), 1 / std::sqrt(12.0)) /
                  std::sqrt(static_cast<double>(bands.band));
    return bands;
}

struct LineRun {
    double score = 0;
    Line line;  // sample = a + b × line (absolute)
    int firstBand = 0, lastBand = -1;
    double lo = 0, hi = 0;  // along the profile: the object's extent (absolute)
};

// The longest run of neighbouring bands (one band may be missing) among the
// marked ones.
std::pair<int, int> LongestRun(const std::vector<bool>& good)
{
    int bestFirst = 0, bestLast = -1, first = -1, last = -1, gap = 0;
    for (int b = 0; b < static_cast<int>(good.size()); ++b) {
        if (good[static_cast<std::size_t>(b)]) {
            if (first < 0) first = b;
            last = b;
            gap = 0;
        } else if (first >= 0 && ++gap > 1) {
            if (last - first > bestLast - bestFirst) bestFirst = first, bestLast = last;
            first = -1;
            gap = 0;
        }
    }
    if (first >= 0 && last - first > bestLast - bestFirst) bestFirst = first, bestLast = last;
    return {bestFirst, bestLast};
}

LineRun SlitRun(const Bands& bands)
{
    LineRun run;
    if (bands.count < 3 || bands.length < 16 || !(bands.noise > 0)) return run;
    const int maxWidth = 4 + bands.band / 2;
    std::vector<WeightedPoint> peaks(static_cast<std::size_t>(bands.count), {0, 0, 0});
    for (int b = 0; b < bands.count; ++b) {
        const double* p = bands.Profile(b);
        std::vector<double> v(p, p + bands.length);
        const double base = Median(v);
        const int k = static_cast<int>(std::max_element(v.begin(), v.end()) - v.begin());
        const double height = v[static_cast<std::size_t>(k)] - base;
        if (!(height > 12 * bands.noise)) continue;
        int lo = k, hi = k;
        while (lo > 0 && v[static_cast<std::size_t>(lo - 1)] - base > height / 2) --lo;
        while (hi + 1 < bands.length && v[static_cast<std::size_t>(hi + 1)] - base > height / 2) ++hi;
        if (hi - lo + 1 > maxWidth || lo == 0 || hi + 1 == bands.length) continue;
        // A second peak as high (a chart's bars) makes it no slit.
        bool single = true;
        for (int i = 0; i < bands.length && single; ++i)
            if ((i < lo - 4 || i > hi + 4) && v[static_cast<std::size_t>(i)] - base > height / 2)
                single = false;
        if (!single) continue;
        double sw = 0, sx = 0;
        for (int i = std::max(0, lo - 2); i <= std::min(bands.length - 1, hi + 2); ++i) {
            const double w = std::max(0.0, v[static_cast<std::size_t>(i)] - base);
            sw += w;
            sx += w * i;
        }
        if (sw > 0)
            peaks[static_cast<std::size_t>(b)] = {bands.LineOf(b), bands.firstSample + sx / sw,
                                                  height / bands.noise};
    }
    std::vector<WeightedPoint> pts;
    for (const auto& q : peaks)
        if (q.w > 0) pts.push_back({q.along, q.across, 1.0});
    if (pts.size() < 3) return run;
    const auto line = RobustFit(pts, 3);
    if (!line) return run;
    std::vector<bool> good(static_cast<std::size_t>(bands.count), false);
    for (int b = 0; b < bands.count; ++b) {
        const auto& q = peaks[static_cast<std::size_t>(b)];
        good[static_cast<std::size_t>(b)] = q.w > 0 && std::fabs(q.across - line->At(q.along)) <= 3;
    }
    const auto [first, last] = LongestRun(good);
    if (last - first + 1 < 3) return run;
    run.line = *line;
    run.firstBand = first;
    run.lastBand = last;
    std::vector<double> sig;
    for (int b = first; b <= last; ++b)
        if (good[static_cast<std::size_t>(b)]) sig.push_back(peaks[static_cast<std::size_t>(b)].w);
    run.score = static_cast<double>(sig.size()) * Median(sig);
    return run;
}

LineRun ChartRun(const Bands& bands, double pitch)
{
    LineRun run;
    if (bands.count < 1 || bands.length < 16 || !(bands.noise > 0)) return run;
    const double threshold = 6 * std::sqrt(2.0) * bands.noise;
    const double maxGap = 15 / pitch;
    struct Extent {
        int count = 0;
        double lo = 0, hi = 0;
    };
    std::vector<Extent> ext(static_cast<std::size_t>(bands.count));
    for (int b = 0; b < bands.count; ++b) {
        const double* p = bands.Profile(b);
        // Bars step by much of the largest step; a slit's or an edge's
        // noisy flanks do not.
        double largest = 0;
        for (int i = 0; i + 1 < bands.length; ++i) largest = std::max(largest, std::fabs(p[i + 1] - p[i]));
        const double least = std::max(threshold, 0.2 * largest);
        std::vector<int> steps;
        for (int i = 1; i + 2 < bands.length; ++i) {
            const double d = std::fabs(p[i + 1] - p[i]);
            if (d > least && d >= std::fabs(p[i] - p[i - 1]) && d >= std::fabs(p[i + 2] - p[i + 1]))
                steps.push_back(i);
        }
        // The cluster with the most steps, gaps up to the chart's own.
        std::size_t s = 0;
        while (s < steps.size()) {
            std::size_t e = s;
            while (e + 1 < steps.size() && steps[e + 1] - steps[e] <= maxGap) ++e;
            const int n = static_cast<int>(e - s + 1);
            if (n > ext[static_cast<std::size_t>(b)].count)
                ext[static_cast<std::size_t>(b)] = {n, bands.firstSample + steps[s] + 0.5,
                                                    bands.firstSample + steps[e] + 0.5};
            s = e + 1;
        }
    }
    // A chart is long (its groups and the large square: several cm) and
    // steps many times; a slit's flanks step often over a few millimetres.
    const double minExtent = 20 / pitch;
    int most = 0;
    for (const auto& e : ext)
        if (e.hi - e.lo >= minExtent) most = std::max(most, e.count);
    if (most < 16) return run;
    std::vector<bool> good(static_cast<std::size_t>(bands.count), false);
    for (int b = 0; b < bands.count; ++b) {
        const auto& e = ext[static_cast<std::size_t>(b)];
        good[static_cast<std::size_t>(b)] = e.count >= most / 2 && e.hi - e.lo >= minExtent;
    }
    const auto [first, last] = LongestRun(good);
    run.firstBand = first;
    run.lastBand = last;
    run.lo = 1e30;
    run.hi = -1e30;
    double steps = 0;
    for (int b = first; b <= last; ++b) {
        const auto& e = ext[static_cast<std::size_t>(b)];
        if (!good[static_cast<std::size_t>(b)]) continue;
        run.lo = std::min(run.lo, e.lo);
        run.hi = std::max(run.hi, e.hi);
        steps += e.count;
    }
    run.score = steps;
    return run;
}

// "Auto" on the ROI block.
std::optional<LineGeometry> GeometryOf(const Pixels& px, int col0, int row0, int cols, int rows,
                                       const FindSettings& settings)
{
    ValueTable table;
    table.columns = cols;
    table.rows = rows;
    table.values.reserve(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    for (int r = row0; r < row0 + rows; ++r)
        for (int c = col0; c < col0 + cols; ++c) {
            const double v = px(c, r);
            table.values.push_back(settings.exposure ? settings.exposure(static_cast<std::int32_t>(v)) : v);
        }
    try {
        return EstimateGeometry(table, FeatureKind::kAny);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

// The ROI block from the lines [line0, line1] and samples [s0, s1] (inclusive,
// absolute), clipped to the area.
std::optional<FoundLines> LinesResult(const Pixels& px, const Area& a, bool alongRows, int line0, int line1,
                                      int s0, int s1, const FindSettings& settings)
{
    const int x0 = std::max(alongRows ? s0 : line0, a.x0),
              x1 = std::min(alongRows ? s1 : line1, a.x0 + a.w - 1);
    const int y0 = std::max(alongRows ? line0 : s0, a.y0),
              y1 = std::min(alongRows ? line1 : s1, a.y0 + a.h - 1);
    if (x1 - x0 < 8 || y1 - y0 < 8) return std::nullopt;
    const auto geometry = GeometryOf(px, x0, y0, x1 - x0 + 1, y1 - y0 + 1, settings);
    if (!geometry) return std::nullopt;
    return FoundLines{RoiOfBlock(x0, y0, x1 - x0 + 1, y1 - y0 + 1), *geometry};
}

}  // namespace

std::optional<FoundLines> FindSlit(const SampleImageView& image, const FindSettings& settings)
{
    const Area area = AreaOf(image, settings);
    if (area.w < 16 || area.h < 16 || !UsableSpacing(image.pixelSpacing) || !UsableSettings(settings))
        return std::nullopt;
    const Pixels px(image);
    const Bands rows = MakeBands(px, area, true), columns = MakeBands(px, area, false);
    const LineRun r = SlitRun(rows), c = SlitRun(columns);
    const bool alongRows = r.score >= c.score;
    const LineRun& run = alongRows ? r : c;
    const Bands& bands = alongRows ? rows : columns;
    if (run.score <= 0) return std::nullopt;
    const int line0 = bands.firstLine + run.firstBand * bands.band;
    const int line1 = bands.firstLine + (run.lastBand + 1) * bands.band - 1;
    const double p0 = run.line.At(line0), p1 = run.line.At(line1);
    const int side = static_cast<int>(std::ceil(settings.lsfHalfWidth / image.pixelSpacing)) + kPad;
    const int s0 = static_cast<int>(std::floor(std::min(p0, p1))) - side;
    const int s1 = static_cast<int>(std::ceil(std::max(p0, p1))) + side;
    return LinesResult(px, area, alongRows, line0, line1, s0, s1, settings);
}

std::optional<FoundLines> FindChart(const SampleImageView& image, const FindSettings& settings)
{
    const Area area = AreaOf(image, settings);
    if (area.w < 16 || area.h < 16 || !UsableSpacing(image.pixelSpacing) || !UsableSettings(settings))
        return std::nullopt;
    const Pixels px(image);
    const Bands rows = MakeBands(px, area, true), columns = MakeBands(px, area, false);
    const LineRun r = ChartRun(rows, image.pixelSpacing), c = ChartRun(columns, image.pixelSpacing);
    const bool alongRows = r.score >= c.score;
    const LineRun& run = alongRows ? r : c;
    const Bands& bands = alongRows ? rows : columns;
    if (run.score <= 0) return std::nullopt;
    const int line0 = bands.firstLine + run.firstBand * bands.band;
    const int line1 = bands.firstLine + (run.lastBand + 1) * bands.band - 1;
    // Beyond the outermost clear steps: the finest group (whose bars the
    // detector hardly resolves) and some background on each end.
    const int margin = static_cast<int>(std::ceil(2 / image.pixelSpacing));
    const int s0 = static_cast<int>(std::floor(run.lo)) - margin;
    const int s1 = static_cast<int>(std::ceil(run.hi)) + margin;
    return LinesResult(px, area, alongRows, line0, line1, s0, s1, settings);
}

}  // namespace radmtf
