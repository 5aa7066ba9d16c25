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
    // Phase of each line in [0, 1), lines sorted by it.
    const int lines = geometry.lineCount;
    std::vector<double> phase(static_cast<std::size_t>(lines));
    for (int l = 0; l < lines; ++l) {
        const double x = -(geometry.origin + geometry.slope * l);
        phase[static_cast<std::size_t>(l)] = x - std::floor(x);
    }
    std::vector<int> order(static_cast<std::size_t>(lines));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return phase[std::size_t(a)] < phase[std::size_t(b)]; });
    // Groups of (nearly) equal phase, and each group's share of the circle.
    // Lines M apart repeat a phase up to the tilt's estimation error; they
    // count as one phase, so that they share its weight instead of one of
    // them taking it all.
    const double tolerance = 0.25 / std::max(lines, 1);
    std::vector<double> lineWeight(static_cast<std::size_t>(lines), pixelSpacing);
    std::vector<std::pair<std::size_t, std::size_t>> groups;  // [first, last) in `order`
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i + 1;
        while (j < order.size() &&
               phase[std::size_t(order[j])] - phase[std::size_t(order[j - 1])] < tolerance)
            ++j;
        groups.push_back({i, j});
        i = j;
    }
    if (groups.size() > 1) {
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const double next = g + 1 < groups.size() ? phase[std::size_t(order[groups[g + 1].first])]
                                                      : phase[std::size_t(order[groups[0].first])] + 1;
            const double previous = g > 0 ? phase[std::size_t(order[groups[g - 1].first])]
                                          : phase[std::size_t(order[groups.back().first])] - 1;
            const double share =
                (next - previous) / 2 / static_cast<double>(groups[g].second - groups[g].first);
            for (std::size_t i = groups[g].first; i < groups[g].second; ++i)
                lineWeight[std::size_t(order[i])] = share * pixelSpacing;
        }
    }

    LineSamples s;
    const std::size_t n =
        static_cast<std::size_t>(geometry.lineCount) * static_cast<std::size_t>(geometry.sampleCount);
    s.position.reserve(n);
    s.value.reserve(n);
    s.weight.reserve(n);
    for (int l = 0; l < geometry.lineCount; ++l)
        for (int k = 0; k < geometry.sampleCount; ++k) {
            s.position.push_back(geometry.Position(l, k) * pixelSpacing);
            s.value.push_back(geometry.Value(exposure, l, k));
            s.weight.push_back(lineWeight[static_cast<std::size_t>(l)]);
        }
    return s;
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
