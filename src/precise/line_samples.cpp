#include "precise/line_samples.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace radmtf {

namespace {

long long BinOf(double position, double binWidth)
{
    return std::llround(position / binWidth);
}

}  // namespace

LineSamples CollectSamples(const ValueTable& exposure, const LineGeometry& geometry, double pixelSpacing)
{
    LineSamples s;
    const std::size_t n =
        static_cast<std::size_t>(geometry.lineCount) * static_cast<std::size_t>(geometry.sampleCount);
    s.position.reserve(n);
    s.value.reserve(n);
    for (int l = 0; l < geometry.lineCount; ++l)
        for (int k = 0; k < geometry.sampleCount; ++k) {
            s.position.push_back(geometry.Position(l, k) * pixelSpacing);
            s.value.push_back(geometry.Value(exposure, l, k));
        }
    return s;
}

bool DensityWeights(const std::vector<double>& position, double binWidth, double from, double to,
                    std::vector<double>& weight)
{
    std::map<long long, int> count;
    for (double x : position) ++count[BinOf(x, binWidth)];
    weight.resize(position.size());
    for (std::size_t i = 0; i < position.size(); ++i)
        weight[i] = binWidth / count[BinOf(position[i], binWidth)];
    for (long long b = BinOf(from, binWidth) + 1; b < BinOf(to, binWidth); ++b)
        if (!count.count(b)) return false;
    return true;
}

double NoiseModel::Variance(double exposure) const
{
    return std::max(a + b * exposure, 0.0);
}

NoiseModel EstimateNoise(const std::vector<double>& position, const std::vector<double>& value,
                         double binWidth)
{
    // Samples grouped by bin; the bins widen until most hold enough samples
    // for a line and a spread.
    std::map<long long, std::vector<std::size_t>> bins;
    for (int widen = 0; widen < 6; ++widen, binWidth *= 2) {
        bins.clear();
        for (std::size_t i = 0; i < position.size(); ++i) bins[BinOf(position[i], binWidth)].push_back(i);
        std::size_t enough = 0;
        for (const auto& [b, members] : bins) enough += members.size() >= 4;
        if (2 * enough >= bins.size()) break;
    }
    // Per bin: mean exposure, residual variance about a line, degrees of freedom.
    double s0 = 0, s1 = 0, s2 = 0, t0 = 0, t1 = 0;
    for (const auto& [b, members] : bins) {
        const double n = static_cast<double>(members.size());
        if (members.size() < 4) continue;
        double mx = 0, my = 0;
        for (std::size_t i : members) {
            mx += position[i];
            my += value[i];
        }
        mx /= n;
        my /= n;
        double sxx = 0, sxy = 0;
        for (std::size_t i : members) {
            sxx += (position[i] - mx) * (position[i] - mx);
            sxy += (position[i] - mx) * (value[i] - my);
        }
        const double slope = sxx > 0 ? sxy / sxx : 0;
        double rss = 0;
        for (std::size_t i : members) rss += std::pow(value[i] - my - slope * (position[i] - mx), 2);
        const double dof = n - 2;
        const double variance = rss / dof;
        // Weighted fit of variance = a + b × exposure, weights the degrees of freedom.
        s0 += dof;
        s1 += dof * my;
        s2 += dof * my * my;
        t0 += dof * variance;
        t1 += dof * variance * my;
    }
    NoiseModel model;
    if (s0 <= 0) return model;
    const double det = s0 * s2 - s1 * s1;
    if (det > 1e-12 * s0 * s2) {
        model.b = (s0 * t1 - s1 * t0) / det;
        model.a = (t0 - model.b * s1) / s0;
    }
    if (!(det > 1e-12 * s0 * s2) || model.b < 0) {
        model.b = 0;
        model.a = t0 / s0;
    }
    return model;
}

}  // namespace radmtf
