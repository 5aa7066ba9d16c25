#include "mtf/edge.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <stdexcept>

#include "core/failure.h"
#include "core/fft.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kFineStep = 0.05;  // cycles/mm
constexpr double kTableStep = 0.5;  // cycles/mm
// A second step this large against the edge's own (in a one-pixel ESF,
// away from the edge) means a second edge.
constexpr double kSecondEdgeRatio = 0.25;
constexpr double kSecondEdgeDistance = 6.0;  // pixels
// The edge must stand out of the pixel noise by this factor.
constexpr double kContrastOverNoise = 6.0;
// Resolution of the binning's offset distribution (over two bin widths).
constexpr int kOffsetBins = 256;

// 0, step, 2 step, ... up to the Nyquist frequency, and the Nyquist
// frequency itself when it falls between steps (0.139 mm: 3.597 cycles/mm),
// so the MTF there is measured rather than left out. At most kMtfCapacity
// entries; a grid cut short by that does not reach Nyquist.
std::vector<double> GridToNyquist(double step, double nyquist)
{
    std::vector<double> f;
    int j = 0;
    for (; j * step <= nyquist * (1 + 1e-12) && j < kMtfCapacity; ++j) f.push_back(j * step);
    if (j < kMtfCapacity && f.back() < nyquist * (1 - 1e-12)) f.push_back(nyquist);
    return f;
}

double Sinc(double x)
{
    if (x == 0.0) return 1.0;
    return std::sin(kPi * x) / (kPi * x);
}

// The ROI read along lines: rows for a vertical edge, columns for a
// horizontal one. Position i runs along the line.
class Lines {
public:
    Lines(const EdgeImage& image, bool vertical) : image_(image), vertical_(vertical) {}
    int count() const { return vertical_ ? image_.rows : image_.columns; }
    int length() const { return vertical_ ? image_.columns : image_.rows; }
    double at(int line, int i) const
    {
        const std::size_t columns = static_cast<std::size_t>(image_.columns);
        return vertical_ ? image_.exposure[static_cast<std::size_t>(line) * columns + i]
                         : image_.exposure[static_cast<std::size_t>(i) * columns + line];
    }

private:
    const EdgeImage& image_;
    bool vertical_;
};

// Robust per-pixel noise: the median absolute difference of horizontal
// neighbours (an edge touches only a few of them), as a standard deviation.
double PixelNoise(const EdgeImage& image)
{
    // Every stride-th difference of the image read as one long row (the
    // few that join two rows do not move the median).
    const std::size_t total = image.exposure.size();
    if (total < 2) return 0.0;
    const std::size_t stride = std::max<std::size_t>(1, total / 40000);
    std::vector<double> diffs;
    diffs.reserve(total / stride + 1);
    for (std::size_t i = 0; i + 1 < total; i += stride)
        diffs.push_back(std::fabs(image.exposure[i + 1] - image.exposure[i]));
    auto middle = diffs.begin() + static_cast<std::ptrdiff_t>(diffs.size() / 2);
    std::nth_element(diffs.begin(), middle, diffs.end());
    // |N(0, 2σ²)| has median 0.6745 √2 σ.
    return *middle / (0.6745 * std::sqrt(2.0));
}

struct StepMeasure {
    double range = 0.0;  // max − min of the mean profile
    double step = 0.0;   // far end minus near end
};

StepMeasure MeasureStep(const std::vector<double>& profile)
{
    StepMeasure m;
    if (profile.size() < 4) return m;
    const auto [low, high] = std::minmax_element(profile.begin(), profile.end());
    m.range = *high - *low;
    const std::size_t band = std::max<std::size_t>(1, profile.size() / 10);
    double near = 0.0;
    double far = 0.0;
    for (std::size_t i = 0; i < band; ++i) {
        near += profile[i];
        far += profile[profile.size() - 1 - i];
    }
    m.step = (far - near) / static_cast<double>(band);
    return m;
}

// True when the mean profile (the edge smeared by its tilt) steps twice:
// its differences over ±span pixels, away from the run around the largest
// one, reach a quarter of that one again.
bool MeanProfileStepsTwice(const std::vector<double>& profile, double sign)
{
    const int n = static_cast<int>(profile.size());
    const int span = std::clamp(n / 25, 1, 8);
    if (n < 2 * span + 1) return false;
    std::vector<double> d(static_cast<std::size_t>(n), 0.0);
    int top = span;
    for (int i = span; i + span < n; ++i) {
        d[i] = sign * (profile[i + span] - profile[i - span]);
        if (d[i] > d[top]) top = i;
    }
    const double limit = kSecondEdgeRatio * d[top];
    int low = top;
    int high = top;
    while (low - 1 >= span && d[low - 1] > limit) --low;
    while (high + 1 + span < n && d[high + 1] > limit) ++high;
    const int margin = 2 * span + static_cast<int>(kSecondEdgeDistance);
    for (int i = span; i + span < n; ++i) {
        if (i >= low - margin && i <= high + margin) continue;
        if (std::fabs(d[i]) > limit) return true;
    }
    return false;
}

struct LineFit {
    double offset = 0.0;  // position on line 0
    double slope = 0.0;   // pixels per line
    int used = 0;
};

// Least-squares line through (x, y), then twice again without the points
// that lie more than three robust standard deviations off it.
LineFit RobustLineFit(const std::vector<double>& x, const std::vector<double>& y)
{
    std::vector<char> keep(x.size(), 1);
    LineFit fit;
    for (int pass = 0; pass < 3; ++pass) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (!keep[i]) continue;
            n += 1;
            sx += x[i];
            sy += y[i];
            sxx += x[i] * x[i];
            sxy += x[i] * y[i];
        }
        const double det = n * sxx - sx * sx;
        if (n < 3 || det <= 0) {
            fit.used = 0;
            return fit;
        }
        fit.slope = (n * sxy - sx * sy) / det;
        fit.offset = (sy - fit.slope * sx) / n;
        fit.used = static_cast<int>(n);
        if (pass == 2) break;
        std::vector<double> residuals;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (keep[i]) residuals.push_back(std::fabs(y[i] - fit.offset - fit.slope * x[i]));
        auto middle = residuals.begin() + static_cast<std::ptrdiff_t>(residuals.size() / 2);
        std::nth_element(residuals.begin(), middle, residuals.end());
        const double limit = std::max(3.0 * 1.4826 * *middle, 0.05);
        for (std::size_t i = 0; i < x.size(); ++i)
            keep[i] = std::fabs(y[i] - fit.offset - fit.slope * x[i]) <= limit;
    }
    return fit;
}

// Edge position on a profile (already signed so that the edge rises): the
// centroid of its differences within ±halfWidth pixels of `guess`, or of the
// largest smoothed difference when there is no guess. NaN when the
// differences there do not rise.
double EdgePosition(const std::vector<double>& v, double guess, int halfWidth)
{
    const int n = static_cast<int>(v.size());
    if (n < 3) return NAN;
    int centre;
    if (std::isnan(guess)) {
        centre = 0;
        double best = -INFINITY;
        for (int i = 0; i + 1 < n; ++i) {
            const double left = i > 0 ? v[i] - v[i - 1] : v[i + 1] - v[i];
            const double right = i + 2 < n ? v[i + 2] - v[i + 1] : v[i + 1] - v[i];
            const double smoothed = left + 2 * (v[i + 1] - v[i]) + right;
            if (smoothed > best) {
                best = smoothed;
                centre = i;
            }
        }
    } else {
        // Difference i sits at i + 0.5.
        centre = static_cast<int>(std::lround(guess - 0.5));
        if (centre < 0 || centre > n - 2) return NAN;
    }
    double weight = 0.0;
    double moment = 0.0;
    for (int i = std::max(0, centre - halfWidth); i <= std::min(n - 2, centre + halfWidth); ++i) {
        const double d = v[i + 1] - v[i];
        weight += d;
        moment += d * (i + 0.5);
    }
    if (!(weight > 0)) return NAN;
    return moment / weight;
}

// Per-line edge positions and their straight line. Blocks of lines give a
// first line; single lines, searched near it, the final one.
LineFit FindEdgeLine(const Lines& lines, double sign)
{
    const int count = lines.count();
    const int length = lines.length();
    const int block = std::clamp(count / 16, 1, 16);
    std::vector<double> profile(static_cast<std::size_t>(length));
    std::vector<double> xs, ys;
    for (int start = 0; start + block <= count; start += block) {
        std::fill(profile.begin(), profile.end(), 0.0);
        for (int l = start; l < start + block; ++l)
            for (int i = 0; i < length; ++i) profile[i] += sign * lines.at(l, i);
        const double pos = EdgePosition(profile, NAN, 3);
        if (std::isnan(pos)) continue;
        xs.push_back(start + (block - 1) / 2.0);
        ys.push_back(pos);
    }
    LineFit fit = RobustLineFit(xs, ys);
    if (fit.used < 3) return fit;
    for (int pass = 0; pass < 2; ++pass) {
        xs.clear();
        ys.clear();
        constexpr int kHalfWidth = 4;
        std::vector<double> near;
        for (int l = 0; l < count; ++l) {
            // Only the pixels around the expected position are read.
            const double guess = fit.offset + fit.slope * l;
            const long long centre = std::llround(guess - 0.5);
            if (centre < 0 || centre > length - 2) continue;
            const int first = static_cast<int>(std::max<long long>(0, centre - kHalfWidth));
            const int last = static_cast<int>(std::min<long long>(length - 1, centre + kHalfWidth + 1));
            near.resize(static_cast<std::size_t>(last - first + 1));
            for (int i = first; i <= last; ++i) near[i - first] = sign * lines.at(l, i);
            const double pos = EdgePosition(near, guess - first, kHalfWidth);
            if (std::isnan(pos)) continue;
            xs.push_back(l);
            ys.push_back(pos + first);
        }
        if (static_cast<int>(xs.size()) < std::max(3, count / 2)) {
            fit.used = 0;
            return fit;
        }
        fit = RobustLineFit(xs, ys);
        if (fit.used < 3) return fit;
    }
    return fit;
}

// Weighted sums and weights of the projected samples, per bin, for each
// group of lines.
struct Binned {
    double width = 0.1;      // bin width in pixels
    long long firstBin = 0;  // index of bin 0 (centre firstBin × width)
    int bins = 0;
    int groups = 0;
    std::vector<double> sum;     // groups × bins
    std::vector<double> weight;  // groups × bins
    // The weights by the sample's offset from the centre of the bin it
    // counts in, over (−1, 1) bin widths: the binning's own blur.
    std::vector<double> offsetWeight;
    // One-pixel bins over all lines, for the check for a second edge.
    long long firstPixelBin = 0;
    std::vector<double> pixelSum;
    std::vector<int> pixelCount;
};

Binned ProjectOntoNormal(const Lines& lines, const LineFit& fit, double sign, double binWidth, int groups)
{
    const double cosine = 1.0 / std::sqrt(1.0 + fit.slope * fit.slope);
    const int count = lines.count();
    const int length = lines.length();
    // Distance u from the edge along its normal, signed so the ESF rises.
    double uMin = INFINITY;
    double uMax = -INFINITY;
    for (int l : {0, count - 1}) {
        const double edge = fit.offset + fit.slope * l;
        for (int i : {0, length - 1}) {
            const double u = sign * (i - edge) * cosine;
            uMin = std::min(uMin, u);
            uMax = std::max(uMax, u);
        }
    }
    Binned b;
    b.width = binWidth;
    b.groups = groups;
    b.firstBin = static_cast<long long>(std::floor(uMin / binWidth));
    b.bins = static_cast<int>(static_cast<long long>(std::ceil(uMax / binWidth)) - b.firstBin + 1);
    b.sum.assign(static_cast<std::size_t>(groups) * b.bins, 0.0);
    b.weight.assign(static_cast<std::size_t>(groups) * b.bins, 0.0);
    b.offsetWeight.assign(kOffsetBins, 0.0);
    b.firstPixelBin = static_cast<long long>(std::floor(uMin + 0.5));
    const int pixelBins =
        static_cast<int>(static_cast<long long>(std::floor(uMax + 0.5)) - b.firstPixelBin + 1);
    b.pixelSum.assign(static_cast<std::size_t>(pixelBins), 0.0);
    b.pixelCount.assign(static_cast<std::size_t>(pixelBins), 0);

    const double step = sign * cosine;
    for (int l = 0; l < count; ++l) {
        const int group = static_cast<int>(static_cast<long long>(l) * groups / count);
        double* sum = b.sum.data() + static_cast<std::size_t>(group) * b.bins;
        double* weight = b.weight.data() + static_cast<std::size_t>(group) * b.bins;
        const double u0 = -sign * (fit.offset + fit.slope * l) * cosine;
        for (int i = 0; i < length; ++i) {
            const double u = u0 + i * step;
            const double value = lines.at(l, i);
            // Shared between the two nearest bin centres in proportion to
            // closeness: a sample on a bin border counts half in each, so
            // the ESF does not jump where the sampling grid lines up with
            // the bins (tilts with tan = 1/20, 1/10, …).
            const double t = std::clamp(u / binWidth - static_cast<double>(b.firstBin), 0.0, b.bins - 1.0);
            const int k = std::min(static_cast<int>(t), b.bins - 2);
            const double upper = t - k;
            sum[k] += (1 - upper) * value;
            weight[k] += 1 - upper;
            sum[k + 1] += upper * value;
            weight[k + 1] += upper;
            const int slot = std::min(static_cast<int>(upper * (kOffsetBins / 2)), kOffsetBins / 2 - 1);
            b.offsetWeight[kOffsetBins / 2 + slot] += 1 - upper;  // offset +upper from bin k
            b.offsetWeight[slot] += upper;                        // offset upper − 1 from bin k + 1
            long long p = static_cast<long long>(std::floor(u + 0.5)) - b.firstPixelBin;
            p = std::clamp<long long>(p, 0, pixelBins - 1);
            b.pixelSum[p] += value;
            ++b.pixelCount[p];
        }
    }
    return b;
}

// Weighted mean per bin (the weights of a bin sum to 1, so a bin that the
// sampling grid fills more often does not count more); empty bins are
// interpolated between their filled neighbours.
std::vector<double> BinMeans(const double* sum, const double* weight, int bins)
{
    std::vector<double> esf(static_cast<std::size_t>(bins), NAN);
    for (int k = 0; k < bins; ++k)
        if (weight[k] > 1e-9) esf[k] = sum[k] / weight[k];
    int previous = -1;
    for (int k = 0; k < bins; ++k) {
        if (std::isnan(esf[k])) continue;
        if (previous < 0) {
            for (int j = 0; j < k; ++j) esf[j] = esf[k];
        } else {
            for (int j = previous + 1; j < k; ++j)
                esf[j] = esf[previous] + (esf[k] - esf[previous]) * (j - previous) / (k - previous);
        }
        previous = k;
    }
    if (previous < 0) return {};
    for (int j = previous + 1; j < bins; ++j) esf[j] = esf[previous];
    return esf;
}

// True when the one-pixel ESF steps a second time, away from the edge.
bool HasSecondEdge(const Binned& b, int lineCount)
{
    const int n = static_cast<int>(b.pixelSum.size());
    std::vector<double> esf(static_cast<std::size_t>(n), NAN);
    const int minCount = std::max(1, lineCount / 4);
    for (int j = 0; j < n; ++j)
        if (b.pixelCount[j] >= minCount) esf[j] = b.pixelSum[j] / b.pixelCount[j];
    double peak = 0.0;
    double elsewhere = 0.0;
    for (int j = 1; j + 1 < n; ++j) {
        if (std::isnan(esf[j - 1]) || std::isnan(esf[j + 1])) continue;
        const double d = std::fabs(esf[j + 1] - esf[j - 1]);
        const double u = static_cast<double>(j + b.firstPixelBin);
        if (std::fabs(u) <= 1.5) peak = std::max(peak, d);
        if (std::fabs(u) > kSecondEdgeDistance) elsewhere = std::max(elsewhere, d);
    }
    return elsewhere > kSecondEdgeRatio * peak;
}

// How far the LSF reaches, in bins from the edge bin `edge`: scanned
// inwards pixel by pixel, the first distance d at which the ESF over
// [d, 2d) (at least a pixel; a faint tail shows over a longer stretch)
// stands off that side's plateau (the mean over the outer quarter of the
// window, half width `half` bins) by more than 0.1 % of the step or five
// times that stretch's noise; the reach is d plus a pixel. The noise comes
// from the differences of neighbouring one-pixel blocks over the outer half
// of both sides (a slow tail drops out of them), so few false alarms widen
// the window. −1 when the window is too short to give a plateau or the ESF
// does not rise.
int LsfReach(const std::vector<double>& esf, int edge, int half, int pixel)
{
    const int pixels = (half + 1) / pixel;  // whole pixels from the edge
    const int outer = (3 * half + 3) / 4 / pixel;
    if (pixels - outer < 3) return -1;
    // Mean of pixels [from, to) on one side.
    const auto mean = [&](int side, int from, int to) {
        double sum = 0.0;
        for (int k = from * pixel; k < to * pixel; ++k) sum += esf[static_cast<std::size_t>(edge + side * k)];
        return sum / ((to - from) * pixel);
    };
    double plateau[2];
    double squares = 0.0;
    int differences = 0;
    for (int s = 0; s < 2; ++s) {
        const int side = 2 * s - 1;
        plateau[s] = mean(side, outer, pixels);
        for (int b = pixels / 2; b + 1 < pixels; ++b, ++differences)
            squares += std::pow(mean(side, b + 1, b + 2) - mean(side, b, b + 1), 2) / 2;
    }
    const double step = plateau[1] - plateau[0];
    if (!(step > 0)) return -1;
    const double noise = std::sqrt(squares / differences);
    int reach = 0;
    for (int s = 0; s < 2; ++s) {
        const int side = 2 * s - 1;
        for (int d = outer - 1; d >= 0; --d) {
            const int to = std::min(outer, std::max(2 * d, d + 1));
            const double threshold = std::max(1e-3 * step, 5 * noise / std::sqrt(to - d));
            if (std::fabs(mean(side, d, to) - plateau[s]) > threshold) {
                reach = std::max(reach, (d + 1) * pixel);
                break;
            }
        }
    }
    return reach;
}

// The LSF bins of one ESF within the window: central differences.
struct LsfWindow {
    int first = 0;           // first ESF bin of the window
    int last = 0;            // last ESF bin of the window
    double halfWidth = 0.0;  // mm; 0: no taper
    double taper = 0.0;      // outer fraction of the half width that tapers

    // A flat top with cosine tapers: the LSF near the ends of the window
    // fades out instead of stopping, so no single noisy ESF bin at an end
    // sets the level of the whole curve.
    double Weight(double x) const
    {
        if (halfWidth <= 0 || taper <= 0) return 1.0;
        const double flat = halfWidth * (1 - taper);
        const double a = std::fabs(x);
        if (a <= flat) return 1.0;
        if (a >= halfWidth) return 0.0;
        return 0.5 * (1 + std::cos(kPi * (a - flat) / (halfWidth - flat)));
    }
};

// |T(f)| / |T(0)| of the windowed LSF, corrected for the central
// difference (sinc(2fΔ)) and the binning (each sample is shared between its
// two nearest bins; see BinningTransfer), Δ the bin in mm.
// With a core window, the LSF outside the core enters with the weight
// 1 / (1 + (f / cutoff)²): in full at low frequencies, where the long tails
// carry signal, and fading where they carry mostly noise.
class LsfTransform {
public:
    LsfTransform(const std::vector<double>& esf, const LsfWindow& window, const LsfWindow& core,
                 double firstCentreMm, double binMm, double cutoff, const std::vector<double>* offsetWeight)
        : binMm_(binMm), cutoff_(cutoff), offsetWeight_(offsetWeight)
    {
        x0_ = firstCentreMm + window.first * binMm;
        double total = 0.0;
        for (int k = window.first; k <= window.last; ++k) {
            const double x = x0_ + (k - window.first) * binMm;
            const double d = (esf[k + 1] - esf[k - 1]) / 2;
            const double full = window.Weight(x);
            const double inner = core.halfWidth > 0 ? std::min(full, core.Weight(x)) : full;
            lsf_.push_back(full * d);
            coreLsf_.push_back(inner * d);
            total += full * d;
        }
        area_ = std::fabs(total);
        outerHalfWidth_ = window.halfWidth > 0 ? window.halfWidth : INFINITY;
    }

    // From now on the window at f narrows to ± cycles / f mm (once that is
    // inside the window), tapered as given, in place of the core and tails.
    void NarrowWithFrequency(double cycles, double taper)
    {
        adaptive_ = cycles;
        adaptiveTaper_ = taper;
    }
    bool adaptive() const { return adaptive_ > 0; }

    bool valid() const { return area_ > 0 && std::isfinite(area_); }

    double Mtf(double f) const
    {
        if (f == 0.0) return 1.0;
        const double w = -2 * kPi * f * binMm_;
        const std::complex<double> rotation(std::cos(w), std::sin(w));
        std::complex<double> phase = std::polar(1.0, -2 * kPi * f * x0_);
        std::complex<double> full = 0.0;
        std::complex<double> inner = 0.0;
        if (adaptive_ > 0) {
            // The noise of the transform grows with the window's width, the
            // LSF's share beyond ± cycles / f of a smooth LSF falls with f.
            const LsfWindow narrow{0, 0, std::fabs(adaptive_ / f), adaptiveTaper_};
            const bool narrower = narrow.halfWidth < outerHalfWidth_;
            for (std::size_t k = 0; k < lsf_.size(); ++k) {
                const double x = x0_ + static_cast<double>(k) * binMm_;
                const double weight = !narrower            ? 1.0
                                      : adaptiveTaper_ > 0 ? narrow.Weight(x)
                                                           : (std::fabs(x) <= narrow.halfWidth ? 1.0 : 0.0);
                full += weight * lsf_[k] * phase;
                phase *= rotation;
            }
            return std::abs(full) / area_ / (Sinc(2 * f * binMm_) * BinningTransfer(f));
        }
        for (std::size_t k = 0; k < lsf_.size(); ++k) {
            full += lsf_[k] * phase;
            inner += coreLsf_[k] * phase;
            phase *= rotation;
        }
        return MtfOf(f, full, inner, BinningTransfer(f));
    }

    // The MTF at f from the window's transforms there, the full and the
    // core one (any common phase), and the binning's transfer.
    double MtfOf(double f, std::complex<double> full, std::complex<double> inner, double binning) const
    {
        if (f == 0.0) return 1.0;
        const double tailWeight = cutoff_ > 0 ? 1.0 / (1.0 + (f / cutoff_) * (f / cutoff_)) : 1.0;
        const std::complex<double> t = inner + tailWeight * (full - inner);
        return std::abs(t) / area_ / (Sinc(2 * f * binMm_) * binning);
    }

    // Averaged over [f − interval/2, f + interval/2] (five points).
    double SmoothedMtf(double f, double interval) const
    {
        if (f == 0.0 || interval <= 0) return Mtf(f);
        double sum = 0.0;
        for (int j = -2; j <= 2; ++j) sum += Mtf(std::fabs(f + j * interval / 4));
        return sum / 5;
    }

    // The transfer of the binning: the transform of the samples' offsets
    // from their bin centres. Uniform offsets give sinc²(fΔ); at tilts where
    // the samples gather near the centres it is closer to 1.
    double BinningTransfer(double f) const
    {
        const std::vector<double>& w = *offsetWeight_;
        std::complex<double> sum = 0.0;
        double total = 0.0;
        const int n = static_cast<int>(w.size());
        for (int h = 0; h < n; ++h) {
            const double offset = ((h + 0.5) / n * 2 - 1) * binMm_;
            sum += w[h] * std::polar(1.0, -2 * kPi * f * offset);
            total += w[h];
        }
        return total > 0 ? std::abs(sum) / total : 1.0;
    }

    const std::vector<double>& lsf() const { return lsf_; }
    const std::vector<double>& coreLsf() const { return coreLsf_; }
    const std::vector<double>& offsetWeight() const { return *offsetWeight_; }
    double firstCentreMm() const { return x0_; }

private:
    std::vector<double> lsf_;
    std::vector<double> coreLsf_;
    double outerHalfWidth_ = INFINITY;
    double adaptive_ = 0.0;  // cycles; 0: the fixed window with core and tails
    double adaptiveTaper_ = 0.0;
    double x0_ = 0.0;
    double binMm_ = 0.0;
    double cutoff_ = 0.0;
    const std::vector<double>* offsetWeight_ = nullptr;
    double area_ = 0.0;
};

// SmoothedMtf at the frequencies of GridToNyquist(step, ·): the multiples
// j step through chirp-z transforms of the LSF window and of the binning's
// offsets at j step + i interval / 4 for each smoothing offset i (the
// samples Δ and 2Δ / offset bins apart; the transforms' phase at the first
// sample drops out of every magnitude), a Nyquist frequency between steps
// directly.
class GridMtf {
public:
    GridMtf(const std::vector<double>& frequencies, double step, double interval, std::size_t lsfLength,
            std::size_t offsetBins, double binMm)
        : frequencies_(frequencies), step_(step), interval_(interval)
    {
        while (multiples_ < frequencies.size() &&
               frequencies[multiples_] == static_cast<double>(multiples_) * step)
            ++multiples_;
        if (multiples_ == 0) return;
        const double offsetMm = 2 * binMm / static_cast<double>(offsetBins);
        for (int i = interval > 0 ? -2 : 0; i <= (interval > 0 ? 2 : 0); ++i) {
            const double offset = i * interval / 4;
            offsets_.push_back(offset);
            lsf_.emplace_back(lsfLength, multiples_, offset * binMm, step * binMm);
            bins_.emplace_back(offsetBins, multiples_, offset * offsetMm, step * offsetMm);
        }
    }

    std::vector<double> operator()(const LsfTransform& t) const
    {
        // A window that changes with frequency has no chirp-z shortcut.
        if (t.adaptive()) {
            std::vector<double> direct;
            for (double f : frequencies_) direct.push_back(t.SmoothedMtf(f, interval_));
            return direct;
        }
        std::vector<double> mtf(multiples_, 0.0);
        std::vector<std::complex<double>> full(multiples_), inner(multiples_), bins(multiples_);
        const std::vector<double>& weight = t.offsetWeight();
        double total = 0.0;
        for (double w : weight) total += w;
        for (std::size_t i = 0; i < offsets_.size(); ++i) {
            lsf_[i](t.lsf().data(), full.data());
            lsf_[i](t.coreLsf().data(), inner.data());
            bins_[i](weight.data(), bins.data());
            for (std::size_t j = 0; j < multiples_; ++j) {
                const double f = std::fabs(static_cast<double>(j) * step_ + offsets_[i]);
                mtf[j] += t.MtfOf(f, full[j], inner[j], total > 0 ? std::abs(bins[j]) / total : 1.0);
            }
        }
        // Averaged over the offsets, except at 0, where SmoothedMtf does not average.
        if (offsets_.size() > 1)
            for (std::size_t j = 0; j < multiples_; ++j)
                mtf[j] = j == 0 ? 1.0 : mtf[j] / static_cast<double>(offsets_.size());
        for (std::size_t j = multiples_; j < frequencies_.size(); ++j)
            mtf.push_back(t.SmoothedMtf(frequencies_[j], interval_));
        return mtf;
    }

private:
    std::vector<double> frequencies_;
    double step_ = 0.0;
    double interval_ = 0.0;
    std::size_t multiples_ = 0;  // leading frequencies that are multiples of the step
    std::vector<double> offsets_;
    std::vector<ChirpZ> lsf_;
    std::vector<ChirpZ> bins_;
};

void CheckSettings(const EdgeSettings& s)
{
    const auto finite = [](double x) { return std::isfinite(x); };
    const bool valid = s.pixelSpacing > 0 && finite(s.pixelSpacing) && s.binWidth >= 0.01 &&
                       s.binWidth <= 1 && s.lsfHalfWidth >= 0 && finite(s.lsfHalfWidth) && s.lsfTaper >= 0 &&
                       s.lsfTaper <= 1 && s.coreHalfWidth >= 0 && finite(s.coreHalfWidth) &&
                       s.tailCutoff >= 0 && finite(s.tailCutoff) && s.smoothingInterval >= 0 &&
                       finite(s.smoothingInterval) && s.adaptiveWindow >= 0 && finite(s.adaptiveWindow) &&
                       s.reachFactor >= 0 && finite(s.reachFactor);
    if (!valid) ThrowFailure(FailureCode::kEdgeSettings);
}

std::string ThreeDecimals(double x)
{
    return FloatToStr(static_cast<long double>(Round(static_cast<long double>(x) * 1000)) / 1000.0L);
}

struct EdgeProjection {
    EdgeResult result;  // direction, rise, angle, offset
    Binned binned;
    int groups = 1;
};

EdgeProjection ProjectEdge(const EdgeImage& image, const EdgeSettings& settings)
{
    if (image.columns < 0 || image.rows < 0 ||
        image.exposure.size() !=
            static_cast<std::size_t>(image.columns) * static_cast<std::size_t>(image.rows))
        throw std::invalid_argument("MeasureEdge: image out of shape");
    CheckSettings(settings);
    if (image.columns < 4 || image.rows < 4) ThrowFailure(FailureCode::kEdgeNotFound);
    for (double v : image.exposure)
        if (!std::isfinite(v)) ThrowInvalidOperation();

    // Direction: the mean profiles across the columns and across the rows;
    // the edge is the one that steps most.
    std::vector<double> alongX(static_cast<std::size_t>(image.columns), 0.0);
    std::vector<double> alongY(static_cast<std::size_t>(image.rows), 0.0);
    double largest = 0.0;
    for (int r = 0; r < image.rows; ++r) {
        const double* row = image.exposure.data() + static_cast<std::size_t>(r) * image.columns;
        double rowSum = 0.0;
        for (int c = 0; c < image.columns; ++c) {
            alongX[c] += row[c];
            rowSum += row[c];
            largest = std::max(largest, std::fabs(row[c]));
        }
        alongY[r] = rowSum / image.columns;
    }
    for (double& v : alongX) v /= image.rows;
    const StepMeasure x = MeasureStep(alongX);
    const StepMeasure y = MeasureStep(alongY);
    const bool vertical = x.range >= y.range;
    const StepMeasure& chosen = vertical ? x : y;
    const double noise = PixelNoise(image);
    if (!(chosen.range > kContrastOverNoise * noise) || !(chosen.range > 1e-9 * largest))
        ThrowFailure(FailureCode::kEdgeNotFound);
    // A band (two opposite edges) steps up and back down.
    if (std::fabs(chosen.step) < 0.5 * chosen.range) ThrowFailure(FailureCode::kEdgeTwoEdges);
    const double sign = chosen.step > 0 ? 1.0 : -1.0;
    if (MeanProfileStepsTwice(vertical ? alongX : alongY, sign)) ThrowFailure(FailureCode::kEdgeTwoEdges);

    const Lines lines(image, vertical);
    const LineFit fit = FindEdgeLine(lines, sign);
    if (fit.used < 3) ThrowFailure(FailureCode::kEdgeNotFound);

    EdgeProjection projection;
    EdgeResult& result = projection.result;
    result.vertical = vertical;
    result.rising = sign > 0;
    result.angle = std::atan(fit.slope) * 180.0 / kPi;
    result.edgeOffset = fit.offset;
    const double magnitude = std::fabs(result.angle);
    if (magnitude < settings.minAngle || magnitude > settings.maxAngle) {
        const long double shown =
            static_cast<long double>(Round(static_cast<long double>(result.angle) * 100)) / 100;
        ThrowFailure(FailureCode::kEdgeAngle, {FloatToStr(shown + 0.0L)});
    }

    // Groups of lines for the uncertainty: each must shift the edge by a
    // pixel at least, so that its own bins fill.
    const double shiftPerLine = std::fabs(fit.slope);
    const int groups =
        std::clamp(static_cast<int>(lines.count() * shiftPerLine), 1, std::max(1, settings.subsets));
    projection.binned = ProjectOntoNormal(lines, fit, sign, settings.binWidth, groups);
    if (HasSecondEdge(projection.binned, lines.count())) ThrowFailure(FailureCode::kEdgeTwoEdges);
    projection.groups = groups;
    return projection;
}

// The ESF of all groups of lines together.
std::vector<double> TotalEsf(const Binned& binned)
{
    std::vector<double> total(static_cast<std::size_t>(binned.bins), 0.0);
    std::vector<double> totalWeight(static_cast<std::size_t>(binned.bins), 0.0);
    for (int g = 0; g < binned.groups; ++g) {
        for (int k = 0; k < binned.bins; ++k) {
            total[k] += binned.sum[static_cast<std::size_t>(g) * binned.bins + k];
            totalWeight[k] += binned.weight[static_cast<std::size_t>(g) * binned.bins + k];
        }
    }
    return BinMeans(total.data(), totalWeight.data(), binned.bins);
}

// The MTF of an ESF whose bin 0 is bin `firstBin` from the edge. `parts`
// are ESFs of independent parts of the data on the same bins (groups of
// lines, or edges); their spread gives the uncertainty.
void FinishEdge(EdgeResult& result, const std::vector<double>& esf, long long firstBin,
                const std::vector<double>& offsetWeight, const std::vector<std::vector<double>>& parts,
                const EdgeSettings& settings)
{
    const int bins = static_cast<int>(esf.size());

    const double p = settings.pixelSpacing;
    const double binMm = settings.binWidth * p;
    const double firstCentreMm = static_cast<double>(firstBin) * binMm;
    // Window: bins whose centre lies within ± the half width, inside the
    // ESF with one bin to spare on each side for the difference. An edge
    // near the side of the ROI narrows the window on both sides alike, so
    // the LSF still fades out symmetrically.
    LsfWindow window{1, bins - 2};
    if (settings.lsfHalfWidth > 0) {
        const long long room = std::min<long long>(-firstBin - 1, firstBin + bins - 2);
        // Compared as doubles: for a tiny spacing the bin count is beyond any integer.
        const long long half = static_cast<long long>(
            std::min(static_cast<double>(room), std::floor(settings.lsfHalfWidth / binMm + 1e-9)));
        window.first = static_cast<int>(-half - firstBin);
        window.last = static_cast<int>(half - firstBin);
        window.halfWidth = std::min(settings.lsfHalfWidth, static_cast<double>(half) * binMm);
        window.taper = settings.lsfTaper;
        // The noise of the transform grows with the window's width, so a
        // narrow LSF gets a window fitted to it (the taper then fades out
        // only what lies beyond its reach), two pixels at least.
        const int block = std::max(1, static_cast<int>(std::lround(1 / settings.binWidth)));
        const int reach = settings.reachFactor > 0 && half < INT_MAX / 4
                              ? LsfReach(esf, static_cast<int>(-firstBin), static_cast<int>(half), block)
                              : -1;
        if (reach > 0) {
            const double fitted = std::max(settings.reachFactor * reach, 2.0 * block);
            if (fitted < static_cast<double>(half)) {
                const long long narrow = static_cast<long long>(std::ceil(fitted));
                window.first = static_cast<int>(-narrow - firstBin);
                window.last = static_cast<int>(narrow - firstBin);
                window.halfWidth = static_cast<double>(narrow) * binMm;
            }
        }
    }
    if (window.last - window.first < 4) ThrowFailure(FailureCode::kEdgeNotFound);

    LsfWindow core;
    core.halfWidth = settings.coreHalfWidth;
    core.taper = settings.lsfTaper;
    const double cutoff = settings.coreHalfWidth > 0 ? settings.tailCutoff : 0.0;
    LsfTransform transform(esf, window, core, firstCentreMm, binMm, cutoff, &offsetWeight);
    transform.NarrowWithFrequency(settings.adaptiveWindow, settings.lsfTaper);
    if (!transform.valid()) ThrowFailure(FailureCode::kEdgeNotFound);
    std::vector<LsfTransform> subsets;
    for (const std::vector<double>& part : parts) {
        if (part.empty()) continue;
        LsfTransform t(part, window, core, firstCentreMm, binMm, cutoff, &offsetWeight);
        t.NarrowWithFrequency(settings.adaptiveWindow, settings.lsfTaper);
        if (t.valid()) subsets.push_back(std::move(t));
    }
    if (subsets.size() < 2) subsets.clear();
    result.subsetsUsed = static_cast<int>(subsets.size());

    const double nyquist = 1.0 / (2 * p);
    const double interval = settings.smoothingInterval;
    // The spread of the parts' MTFs: each holds 1/n of the data, so the
    // full result's spread is theirs over √n. NaN without parts.
    const auto measure = [&](double step, std::vector<double>& frequency, std::vector<double>& mtf,
                             std::vector<double>& uncertainty) {
        frequency = GridToNyquist(step, nyquist);
        const GridMtf grid(frequency, step, interval, transform.lsf().size(), offsetWeight.size(), binMm);
        mtf = grid(transform);
        std::vector<std::vector<double>> values;
        for (const LsfTransform& t : subsets) values.push_back(grid(t));
        for (std::size_t j = 0; j < frequency.size(); ++j) {
            if (values.empty()) {
                uncertainty.push_back(NAN);
                continue;
            }
            double mean = 0.0;
            for (const std::vector<double>& v : values) mean += v[j] / values.size();
            double squares = 0.0;
            for (const std::vector<double>& v : values) squares += (v[j] - mean) * (v[j] - mean);
            const double n = static_cast<double>(values.size());
            uncertainty.push_back(std::sqrt(squares / (n - 1)) / std::sqrt(n));
        }
    };
    measure(kTableStep, result.tableFrequency, result.tableMtf, result.tableUncertainty);
    measure(kFineStep, result.fineFrequency, result.fineMtf, result.fineUncertainty);

    // Charts: the ESF scaled to 1000 at its bright end, the LSF to a peak of 1.
    const int brightBins = std::max(1, bins / 20);
    double bright = 0.0;
    for (int k = bins - brightBins; k < bins; ++k) bright += esf[k] / brightBins;
    const double esfScale = bright != 0 ? 1000.0 / bright : 1.0;
    result.esf.reserve(esf.size());
    for (int k = 0; k < bins; ++k) result.esf.push_back({firstCentreMm + k * binMm, esf[k] * esfScale});
    const std::vector<double>& lsf = transform.lsf();
    const double lsfPeak = *std::max_element(lsf.begin(), lsf.end());
    for (std::size_t k = 0; k < lsf.size(); ++k)
        result.lsf.push_back({transform.firstCentreMm() + static_cast<double>(k) * binMm,
                              lsfPeak > 0 ? lsf[k] / lsfPeak : lsf[k]});
}

}  // namespace

void CheckEdgeSettings(const EdgeSettings& settings)
{
    CheckSettings(settings);
}

EdgeImage EdgeImageFromTable(const PixelTableView& table, const ExposureConversion& conversion)
{
    EdgeImage image;
    image.columns = std::max(table.dataColumns, 0);
    image.rows = std::max(table.dataRows, 0);
    image.exposure = ConvertValuesToExposure(TableCellValues(table), conversion);
    return image;
}

EdgeResult MeasureEdge(const EdgeImage& image, const EdgeSettings& settings)
{
    EdgeProjection projection = ProjectEdge(image, settings);
    const Binned& binned = projection.binned;
    const std::vector<double> esf = TotalEsf(binned);
    if (binned.bins < 5 || esf.empty()) ThrowFailure(FailureCode::kEdgeNotFound);
    std::vector<std::vector<double>> parts;
    if (projection.groups >= 2)
        for (int g = 0; g < projection.groups; ++g)
            parts.push_back(BinMeans(binned.sum.data() + static_cast<std::size_t>(g) * binned.bins,
                                     binned.weight.data() + static_cast<std::size_t>(g) * binned.bins,
                                     binned.bins));
    FinishEdge(projection.result, esf, binned.firstBin, binned.offsetWeight, parts, settings);
    return projection.result;
}

EdgeResult MeasureEdges(std::span<const EdgeImage> images, const EdgeSettings& settings)
{
    if (images.empty()) ThrowFailure(FailureCode::kEdgeNotFound);
    if (images.size() == 1) return MeasureEdge(images[0], settings);
    std::vector<EdgeProjection> each;
    std::vector<std::vector<double>> esfs;
    for (std::size_t i = 0; i < images.size(); ++i) {
        each.push_back(ProjectEdge(images[i], settings));
        if (each[i].result.vertical != each[0].result.vertical)
            ThrowFailure(FailureCode::kEdgeDirectionsDiffer, {IntToStr(static_cast<long long>(i + 1))});
        esfs.push_back(TotalEsf(each[i].binned));
        if (esfs[i].empty()) ThrowFailure(FailureCode::kEdgeNotFound);
    }
    // The bins every edge covers, each counted from its own edge; the ESFs
    // averaged there with equal weights.
    long long first = LLONG_MIN, last = LLONG_MAX;
    for (const EdgeProjection& p : each) {
        first = std::max(first, p.binned.firstBin);
        last = std::min(last, p.binned.firstBin + p.binned.bins - 1);
    }
    if (last - first + 1 < 5) ThrowFailure(FailureCode::kEdgeNotFound);
    const std::size_t bins = static_cast<std::size_t>(last - first + 1);
    std::vector<double> esf(bins, 0.0);
    std::vector<double> offsetWeight(kOffsetBins, 0.0);
    std::vector<std::vector<double>> parts;
    for (std::size_t i = 0; i < each.size(); ++i) {
        const auto from = esfs[i].begin() + static_cast<std::ptrdiff_t>(first - each[i].binned.firstBin);
        parts.emplace_back(from, from + static_cast<std::ptrdiff_t>(bins));
        for (std::size_t k = 0; k < bins; ++k) esf[k] += parts.back()[k] / static_cast<double>(each.size());
        for (int h = 0; h < kOffsetBins; ++h) offsetWeight[h] += each[i].binned.offsetWeight[h];
    }
    EdgeResult result = each[0].result;
    FinishEdge(result, esf, first, offsetWeight, parts, settings);
    return result;
}

std::vector<std::string> EdgeMemoLines(const EdgeResult& result)
{
    std::vector<std::string> lines;
    for (std::size_t j = 0; j < result.tableFrequency.size(); ++j) {
        std::string line =
            ThreeDecimals(result.tableFrequency[j]) + "\t" + ThreeDecimals(result.tableMtf[j]) + "\t";
        if (j < result.tableUncertainty.size() && std::isfinite(result.tableUncertainty[j]) && j > 0)
            line += "±" + ThreeDecimals(result.tableUncertainty[j]);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string EdgeAngleText(const EdgeResult& result)
{
    return ThreeDecimals(result.angle);
}

std::vector<ChartPoint> StoreEdgeMtf(const EdgeResult& result, MtfState& mtf)
{
    const int count = static_cast<int>(std::min<std::size_t>(result.fineFrequency.size(), kMtfCapacity));
    std::vector<ChartPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        mtf.mtfFrequency[k] = result.fineFrequency[k];
        mtf.mtfValue[k] = result.fineMtf[k];
        points.push_back({result.fineFrequency[k], result.fineMtf[k]});
    }
    mtf.mtfPointCount = count;
    mtf.measuredCount = count;
    return points;
}

}  // namespace radmtf
