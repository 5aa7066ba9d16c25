#include "precise/precise_slit.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "core/failure.h"
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

    // One pass per frequency. With along_i = (c cos_i + s sin_i) / |X|, the
    // derivative of the MTF by sample i is w_i (along_i − MTF) / X(0); its
    // squares weighted by the samples' variances, and its plain and
    // x-weighted sums (for the background's two coefficients), expand into
    // the sums below.
    std::vector<double> wg(x.size()), ww(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        wg[i] = w[i] * g[i];
        ww[i] = w[i] * w[i] * variance[i];
    }
    const auto measure = [&](double f) {
        double c = 0, s = 0;  // X(f) = c − i s
        double vcc = 0, vcs = 0, vss = 0, vc = 0, vs = 0, v = 0;
        double wc = 0, ws = 0, wxc = 0, wxs = 0, wsum = 0, wxsum = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double phase = kTwoPi * f * x[i];
            const double cosine = std::cos(phase), sine = std::sin(phase);
            c += wg[i] * cosine;
            s += wg[i] * sine;
            vcc += ww[i] * cosine * cosine;
            vcs += ww[i] * cosine * sine;
            vss += ww[i] * sine * sine;
            vc += ww[i] * cosine;
            vs += ww[i] * sine;
            v += ww[i];
            wc += w[i] * cosine;
            ws += w[i] * sine;
            wxc += w[i] * x[i] * cosine;
            wxs += w[i] * x[i] * sine;
            wsum += w[i];
            wxsum += w[i] * x[i];
        }
        const double magnitude = std::hypot(c, s);
        const double raw = magnitude / area;
        // The direction of X; at |X| = 0 every sample counts as along it.
        const double uc = magnitude > 0 ? c / magnitude : 1.0;
        const double us = magnitude > 0 ? s / magnitude : 0.0;
        const double alongSquared = uc * uc * vcc + 2 * uc * us * vcs + us * us * vss;
        const double alongLinear = uc * vc + us * vs;
        double var = std::max(alongSquared - 2 * raw * alongLinear + raw * raw * v, 0.0) / (area * area);
        const double d0 = (uc * wc + us * ws - raw * wsum) / area;
        const double d1 = (uc * wxc + us * wxs - raw * wxsum) / area;
        var += d0 * d0 * bg.cov00 + 2 * d0 * d1 * bg.cov01 + d1 * d1 * bg.cov11;
        const double aperture = settings.slitWidth > 0 ? AbsSinc(settings.slitWidth * f) : 1.0;
        return PreciseMtfPoint{f, raw / aperture, std::sqrt(std::max(var, 0.0)) / aperture};
    };

    PreciseSlitResult result;
    for (double f : settings.listFrequencies) result.listed.push_back(measure(f));
    for (double f : HalfStepFrequencies(p)) result.halfSteps.push_back(measure(f));
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
