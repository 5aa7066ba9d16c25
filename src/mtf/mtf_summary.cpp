#include "mtf/mtf_summary.h"

#include <cmath>

namespace radmtf {

namespace {

// The points up to the first one that is not finite or goes back in
// frequency: a curve must not be read past a gap or a fold.
std::span<const CurvePoint> UsablePrefix(std::span<const CurvePoint> points)
{
    std::size_t n = 0;
    while (n < points.size() && std::isfinite(points[n].first) && std::isfinite(points[n].second) &&
           (n == 0 || points[n].first > points[n - 1].first))
        ++n;
    return points.first(n);
}

double Interpolate(const CurvePoint& a, const CurvePoint& b, double x)
{
    const double t = (x - a.first) / (b.first - a.first);
    return a.second + t * (b.second - a.second);
}

}  // namespace

std::optional<double> FirstFallTo(std::span<const CurvePoint> points, double level)
{
    const std::span<const CurvePoint> curve = UsablePrefix(points);
    if (curve.empty() || curve[0].second <= level) return std::nullopt;
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const CurvePoint& a = curve[i - 1];
        const CurvePoint& b = curve[i];
        if (b.second > level) continue;
        if (b.second == level) return b.first;
        // a is above the level, b below: the crossing lies strictly between.
        const double t = (a.second - level) / (a.second - b.second);
        return a.first + t * (b.first - a.first);
    }
    return std::nullopt;
}

std::optional<double> ValueAt(std::span<const CurvePoint> points, double frequency)
{
    const std::span<const CurvePoint> curve = UsablePrefix(points);
    if (curve.empty() || !std::isfinite(frequency)) return std::nullopt;
    if (frequency < curve.front().first || frequency > curve.back().first) return std::nullopt;
    for (std::size_t i = 1; i < curve.size(); ++i)
        if (frequency <= curve[i].first) return Interpolate(curve[i - 1], curve[i], frequency);
    return curve.front().second;  // a single point at exactly that frequency
}

MtfSummary SummarizeMtf(std::span<const CurvePoint> points, double pixelSpacingMm)
{
    MtfSummary summary;
    summary.mtf50 = FirstFallTo(points, 0.5);
    summary.mtf10 = FirstFallTo(points, 0.1);
    if (std::isfinite(pixelSpacingMm) && pixelSpacingMm > 0) {
        summary.nyquist = 1.0 / (2.0 * pixelSpacingMm);
        summary.atNyquist = ValueAt(points, *summary.nyquist);
    }
    return summary;
}

std::vector<double> HalfCycleSteps(double limit)
{
    std::vector<double> steps;
    // Counted in whole steps so 0.5 x k stays exact; capped so a tiny pixel
    // spacing cannot make an endless table.
    for (int k = 1; k <= 200 && 0.5 * k <= limit + 1e-9; ++k) steps.push_back(0.5 * k);
    return steps;
}

}  // namespace radmtf
