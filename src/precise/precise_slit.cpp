#include "precise/precise_slit.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>
#include <numbers>

#include "core/failure.h"
#include "core/fft.h"
#include "precise/line_samples.h"

namespace radmtf {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double AbsSinc(double x)
{
    if (x == 0) return 1.0;
    return std::abs(std::sin(std::numbers::pi * x) / (std::numbers::pi * x));
}

struct Background {
    double c0 = 0, c1 = 0;
    double cov00 = 0, cov01 = 0, cov11 = 0;  // covariance of c0, c1
};

Background FitBackground(const LineSamples& s, double from)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    int left = 0, right = 0;
    for (std::size_t i = 0; i < s.position.size(); ++i) {
        const double x = s.position[i];
        if (std::abs(x) <= from) continue;
        (x < 0 ? left : right) += 1;
        n += 1;
        sx += x;
        sy += s.value[i];
        sxx += x * x;
        sxy += x * s.value[i];
    }
    if (left < 3 || right < 3) ThrowFailure(FailureCode::kNoBackground);
    const double det = n * sxx - sx * sx;
    Background b;
    b.c1 = (n * sxy - sx * sy) / det;
    b.c0 = (sy - b.c1 * sx) / n;
    double rss = 0;
    for (std::size_t i = 0; i < s.position.size(); ++i) {
        const double x = s.position[i];
        if (std::abs(x) > from) rss += std::pow(s.value[i] - b.c0 - b.c1 * x, 2);
    }
    const double variance = rss / std::max(n - 2, 1.0);
    b.cov00 = variance * sxx / det;
    b.cov01 = -variance * sx / det;
    b.cov11 = variance * n / det;
    return b;
}

// The sums of one frequency: X(f) = c − i s = Σ wg e^{−iφ} (φ = 2π f x),
// the variance-weighted Σ ww cos², cos sin, sin², cos, sin, 1, and the
// weight's Σ w cos, sin, 1 and x-weighted Σ w x cos, sin, 1.
struct SlitSums {
    double c = 0, s = 0;
    double vcc = 0, vcs = 0, vss = 0, vc = 0, vs = 0, v = 0;
    double wc = 0, ws = 0, wxc = 0, wxs = 0, wsum = 0, wxsum = 0;
};

// The sums by their definition, at any frequency.
SlitSums DirectSums(double f, const std::vector<double>& x, const std::vector<double>& w,
                    const std::vector<double>& wg, const std::vector<double>& ww)
{
    SlitSums sum;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double phase = kTwoPi * f * x[i];
        const double cosine = std::cos(phase), sine = std::sin(phase);
        sum.c += wg[i] * cosine;
        sum.s += wg[i] * sine;
        sum.vcc += ww[i] * cosine * cosine;
        sum.vcs += ww[i] * cosine * sine;
        sum.vss += ww[i] * sine * sine;
        sum.vc += ww[i] * cosine;
        sum.vs += ww[i] * sine;
        sum.v += ww[i];
        sum.wc += w[i] * cosine;
        sum.ws += w[i] * sine;
        sum.wxc += w[i] * x[i] * cosine;
        sum.wxs += w[i] * x[i] * sine;
        sum.wsum += w[i];
        sum.wxsum += w[i] * x[i];
    }
    return sum;
}

// The slit method's frequencies k / (2048 s) for a sample spacing s = p / M
// put sample n of every line at the phase 2π k M n / 2048: a 2048-point DFT.
constexpr std::size_t kSlitBins = 2048;

// M when the frequencies are j M / (2048 p), j = 0, 1, … for a whole M (to
// the rounding of their computation); 0 otherwise.
long long GridStep(const std::vector<double>& f, double p)
{
    if (f.size() < 2 || f[0] != 0) return 0;
    const double m = std::nearbyint(f[1] * p * kSlitBins);
    if (!(m >= 1 && m <= 1e6)) return 0;
    for (std::size_t j = 1; j < f.size(); ++j) {
        const double expected = static_cast<double>(j) * m;
        if (!(std::abs(f[j] * p * kSlitBins - expected) <= 1e-14 * expected)) return 0;
    }
    return static_cast<long long>(m);
}

using Complex = std::complex<double>;

// A line's samples within the half width: the first one's index on the
// line, and wg, ww, w and w x of each.
struct LineWindow {
    int first = 0;
    std::vector<double> q[4];
};

// Calls each(line, window) for every line with samples within the half
// width, in the order of the samples.
template <typename Each>
void ForEachLine(const LineSamples& all, double halfWidth, const std::vector<double>& x,
                 const std::vector<double>& wg, const std::vector<double>& ww, const LineGeometry& geometry,
                 Each&& each)
{
    LineWindow window;
    std::size_t kept = 0;  // index into x, wg, ww: the samples within the half width
    const int samples = geometry.sampleCount;
    for (int line = 0; line < geometry.lineCount; ++line) {
        for (auto& q : window.q) q.clear();
        for (int k = 0; k < samples; ++k) {
            const std::size_t i = static_cast<std::size_t>(line) * static_cast<std::size_t>(samples) +
                                  static_cast<std::size_t>(k);
            if (std::abs(all.position[i]) > halfWidth) continue;
            if (window.q[0].empty()) window.first = k;
            const double w = all.weight[i];
            window.q[0].push_back(wg[kept]);
            window.q[1].push_back(ww[kept]);
            window.q[2].push_back(w);
            window.q[3].push_back(w * x[kept]);
            ++kept;
        }
        if (!window.q[0].empty()) each(line, window);
    }
}

// Sums of the lines' transforms at f_j: X, ww's at f_j and 2 f_j, w's and
// w x's; and the frequency-free sums of ww, w and w x.
struct GridTotals {
    std::vector<Complex> x, v1, v2, w, wx;
    double v = 0, wsum = 0, wxsum = 0;

    explicit GridTotals(std::size_t count) : x(count), v1(count), v2(count), w(count), wx(count) {}

    void AddFrequencyFree(const LineWindow& window)
    {
        for (std::size_t i = 0; i < window.q[1].size(); ++i) {
            v += window.q[1][i];
            wsum += window.q[2][i];
            wxsum += window.q[3][i];
        }
    }

    std::vector<SlitSums> Sums() const
    {
        std::vector<SlitSums> sums(x.size());
        for (std::size_t j = 0; j < x.size(); ++j) {
            SlitSums& s = sums[j];
            s.c = x[j].real();
            s.s = -x[j].imag();
            // cos² = (1 + cos 2φ) / 2, sin² = (1 − cos 2φ) / 2, cos sin = sin 2φ / 2.
            s.vcc = (v + v2[j].real()) / 2;
            s.vss = (v - v2[j].real()) / 2;
            s.vcs = -v2[j].imag() / 2;
            s.vc = v1[j].real();
            s.vs = -v1[j].imag();
            s.v = v;
            s.wc = w[j].real();
            s.ws = -w[j].imag();
            s.wxc = wx[j].real();
            s.wxs = -wx[j].imag();
            s.wsum = wsum;
            s.wxsum = wxsum;
        }
        return sums;
    }
};

// The sums at f_j = j M / (2048 p), j < count, line by line: sample k of a
// line lies at x = (n + d) p with n = k − round(o) and d = round(o) − o for
// the line's feature position o, so its sums over n are bins j M and 2 j M
// (mod 2048) of the DFTs of wg, ww, w and w x, turned by e^{−2πi f d p}
// (the cos², cos sin and sin² sums come from the frequency 2f). Samples
// 2048 or more apart share a bin, which leaves the sums exact.
std::vector<SlitSums> FftSums(std::size_t count, long long m, const LineSamples& all, double halfWidth,
                              const std::vector<double>& x, const std::vector<double>& wg,
                              const std::vector<double>& ww, const LineGeometry& geometry, double p)
{
    constexpr std::size_t n = kSlitBins;
    // Bin of j M (a complex conjugate for the upper half of the real input's transform).
    const auto bin = [](const std::vector<Complex, FftAllocator<Complex>>& t, long long q) {
        q %= static_cast<long long>(n);
        return q <= static_cast<long long>(n / 2) ? t[static_cast<std::size_t>(q)]
                                                  : std::conj(t[static_cast<std::size_t>(n - q)]);
    };
    GridTotals totals(count);
    std::vector<double, FftAllocator<double>> in[4];
    std::vector<Complex, FftAllocator<Complex>> out[4];
    for (int q = 0; q < 4; ++q) {
        in[q].assign(n, 0.0);
        out[q].resize(n / 2 + 1);
    }
    std::vector<std::size_t> used;  // the entries of in that the last line filled
    ForEachLine(all, halfWidth, x, wg, ww, geometry, [&](int line, const LineWindow& window) {
        const double o = geometry.origin + geometry.slope * line;
        const double centre = std::nearbyint(o);
        const double d = centre - o;
        for (std::size_t u : used)
            for (auto& buffer : in) buffer[u] = 0.0;
        used.clear();
        for (std::size_t i = 0; i < window.q[0].size(); ++i) {
            const long long shift = static_cast<long long>(window.first + static_cast<double>(i) - centre) %
                                    static_cast<long long>(n);
            const std::size_t u =
                static_cast<std::size_t>(shift < 0 ? shift + static_cast<long long>(n) : shift);
            for (int q = 0; q < 4; ++q) in[q][u] += window.q[q][i];
            used.push_back(u);
        }
        for (int q = 0; q < 4; ++q) RealFft(in[q].data(), out[q].data(), n);
        totals.AddFrequencyFree(window);
        for (std::size_t j = 0; j < count; ++j) {
            const long long q = static_cast<long long>(j) * m;
            const double f = static_cast<double>(q) / (static_cast<double>(n) * p);
            const Complex turn = std::polar(1.0, -kTwoPi * f * (d * p));
            totals.x[j] += turn * bin(out[0], q);
            totals.v1[j] += turn * bin(out[1], q);
            totals.v2[j] += turn * turn * bin(out[1], 2 * q);
            totals.w[j] += turn * bin(out[2], q);
            totals.wx[j] += turn * bin(out[3], q);
        }
    });
    return totals.Sums();
}

// The sums at f_j = j step, j < count, for any step: on each line the
// samples lie p apart from the first one's position x0, so its sums are
// chirp-z transforms at j step p (and 2 j step p) cycles per sample, turned
// by e^{−2πi f x0}.
std::vector<SlitSums> ChirpSums(std::size_t count, double step, const LineSamples& all, double halfWidth,
                                const std::vector<double>& x, const std::vector<double>& wg,
                                const std::vector<double>& ww, const LineGeometry& geometry, double p)
{
    std::size_t longest = 0;
    ForEachLine(all, halfWidth, x, wg, ww, geometry,
                [&](int, const LineWindow& window) { longest = std::max(longest, window.q[0].size()); });
    GridTotals totals(count);
    if (longest == 0) return totals.Sums();
    const ChirpZ once(longest, count, 0, step * p), twice(longest, count, 0, 2 * step * p);
    std::vector<double> in(longest);
    std::vector<Complex> out[5];
    for (auto& o : out) o.resize(count);
    ForEachLine(all, halfWidth, x, wg, ww, geometry, [&](int line, const LineWindow& window) {
        for (int q = 0; q < 4; ++q) {
            std::fill(in.begin(), in.end(), 0.0);
            std::copy(window.q[q].begin(), window.q[q].end(), in.begin());
            once(in.data(), out[q].data());
            if (q == 1) twice(in.data(), out[4].data());
        }
        totals.AddFrequencyFree(window);
        const double x0 = geometry.Position(line, window.first) * p;
        for (std::size_t j = 0; j < count; ++j) {
            const double f = static_cast<double>(j) * step;
            const Complex turn = std::polar(1.0, -kTwoPi * f * x0);
            totals.x[j] += turn * out[0][j];
            totals.v1[j] += turn * out[1][j];
            totals.v2[j] += turn * turn * out[4][j];
            totals.w[j] += turn * out[2][j];
            totals.wx[j] += turn * out[3][j];
        }
    });
    return totals.Sums();
}

}  // namespace

std::vector<double> SlitMethodFrequencies(double sampleSpacing)
{
    std::vector<double> f;
    if (!(sampleSpacing > 0)) return f;
    for (int k = 0; k < 2048; ++k) {
        const double v = k / (2048 * sampleSpacing);
        if (v >= 10) break;
        f.push_back(v);
    }
    return f;
}

PreciseSlitResult RunPreciseSlit(const ValueTable& exposure, const LineGeometry& geometry,
                                 const PreciseSlitSettings& settings)
{
    const double p = settings.pixelSpacing;
    if (!(p > 0)) ThrowZeroDivide();
    const LineSamples all = CollectSamples(exposure, geometry, p);
    const Background bg = FitBackground(all, settings.baselineFrom);

    // The LSF above the background.
    std::vector<double> x, g, w;
    for (std::size_t i = 0; i < all.position.size(); ++i) {
        if (std::abs(all.position[i]) > settings.lsfHalfWidth) continue;
        x.push_back(all.position[i]);
        g.push_back(all.value[i] - bg.c0 - bg.c1 * all.position[i]);
        w.push_back(all.weight[i]);
    }
    const int over = std::max(settings.oversampling, 1);
    const NoiseModel noise = EstimateNoise(all.position, all.value, p / over);
    std::vector<double> variance(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) variance[i] = noise.Variance(g[i] + bg.c0 + bg.c1 * x[i]);

    double area = 0;
    for (std::size_t i = 0; i < x.size(); ++i) area += w[i] * g[i];
    if (!(area > 0)) ThrowFailure(FailureCode::kNoTiltedObject);

    // With along_i = (c cos_i + s sin_i) / |X|, the derivative of the MTF
    // by sample i is w_i (along_i − MTF) / X(0); its squares weighted by the
    // samples' variances, and its plain and x-weighted sums (for the
    // background's two coefficients), expand into the sums of SlitSums.
    std::vector<double> wg(x.size()), ww(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        wg[i] = w[i] * g[i];
        ww[i] = w[i] * w[i] * variance[i];
    }
    const auto finish = [&](double f, const SlitSums& sum) {
        const double magnitude = std::hypot(sum.c, sum.s);
        const double raw = magnitude / area;
        // The direction of X; at |X| = 0 every sample counts as along it.
        const double uc = magnitude > 0 ? sum.c / magnitude : 1.0;
        const double us = magnitude > 0 ? sum.s / magnitude : 0.0;
        const double alongSquared = uc * uc * sum.vcc + 2 * uc * us * sum.vcs + us * us * sum.vss;
        const double alongLinear = uc * sum.vc + us * sum.vs;
        double var = std::max(alongSquared - 2 * raw * alongLinear + raw * raw * sum.v, 0.0) / (area * area);
        const double d0 = (uc * sum.wc + us * sum.ws - raw * sum.wsum) / area;
        const double d1 = (uc * sum.wxc + us * sum.wxs - raw * sum.wxsum) / area;
        var += d0 * d0 * bg.cov00 + 2 * d0 * d1 * bg.cov01 + d1 * d1 * bg.cov11;
        const double aperture = settings.slitWidth > 0 ? AbsSinc(settings.slitWidth * f) : 1.0;
        return PreciseMtfPoint{f, raw / aperture, std::sqrt(std::max(var, 0.0)) / aperture};
    };
    const auto measure = [&](double f) { return finish(f, DirectSums(f, x, w, wg, ww)); };

    PreciseSlitResult result;
    const std::vector<double>& listed = settings.listFrequencies;
    if (const long long m = GridStep(listed, p); m > 0) {
        const std::vector<SlitSums> sums =
            FftSums(listed.size(), m, all, settings.lsfHalfWidth, x, wg, ww, geometry, p);
        // At 0 every cosine is exactly 1, so the uncertainty there stays exactly 0.
        result.listed.push_back(measure(0));
        for (std::size_t j = 1; j < listed.size(); ++j) result.listed.push_back(finish(listed[j], sums[j]));
    } else {
        for (double f : listed) result.listed.push_back(measure(f));
    }
    // The half steps j 0.5 cycles/mm through chirp-z transforms, a Nyquist
    // frequency between them directly.
    const std::vector<double> halfSteps = HalfStepFrequencies(p);
    std::size_t multiples = 0;
    while (multiples < halfSteps.size() && halfSteps[multiples] == static_cast<double>(multiples) * 0.5)
        ++multiples;
    const std::vector<SlitSums> halfSums =
        multiples > 1 ? ChirpSums(multiples, 0.5, all, settings.lsfHalfWidth, x, wg, ww, geometry, p)
                      : std::vector<SlitSums>{};
    for (std::size_t j = 0; j < halfSteps.size(); ++j)
        result.halfSteps.push_back(j == 0 || j >= halfSums.size() ? measure(halfSteps[j])
                                                                  : finish(halfSteps[j], halfSums[j]));
    result.backgroundOffset = bg.c0;
    result.backgroundSlope = bg.c1;

    // The LSF as bin means, scaled to a peak of 1000, for the LSF chart.
    std::map<long long, std::pair<double, double>>
        bins;  // sum of positions and values, count in the key's pair
    std::map<long long, int> counts;
    const double width = p / over;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const long long b = std::llround(x[i] / width);
        bins[b].first += x[i];
        bins[b].second += g[i];
        ++counts[b];
    }
    double peak = 0;
    for (const auto& [b, sums] : bins) peak = std::max(peak, sums.second / counts[b]);
    for (const auto& [b, sums] : bins)
        result.lsf.push_back({sums.first / counts[b], peak > 0 ? sums.second / counts[b] / peak * 1000 : 0});
    return result;
}

std::vector<PreciseMtfPoint> SummaryPoints(const PreciseSlitResult& result, double pixelSpacing)
{
    std::vector<PreciseMtfPoint> points = result.listed;
    if (!(pixelSpacing > 0) || result.halfSteps.empty()) return points;
    const PreciseMtfPoint& last = result.halfSteps.back();
    if (std::abs(last.frequency - 1 / (2 * pixelSpacing)) > 1e-9) return points;
    const auto at = std::lower_bound(points.begin(), points.end(), last.frequency,
                                     [](const PreciseMtfPoint& p, double f) { return p.frequency < f; });
    if (at == points.end() || at->frequency != last.frequency) points.insert(at, last);
    return points;
}

}  // namespace radmtf
