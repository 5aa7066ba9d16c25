#include "precise/mtf_points.h"

#include <algorithm>
#include <cmath>

#include "core/numtext.h"

namespace radmtf {

std::string PreciseMtfLine(const PreciseMtfPoint& point)
{
    const auto three = [](double v) {
        return FloatToStr(static_cast<long double>(Round(v * 1000.0L)) / 1000.0L);
    };
    return three(point.frequency) + "\t" + three(point.mtf) + "\t±" + FormatFixed(point.uncertainty, 3);
}

std::vector<std::string> PreciseMtfLines(const std::vector<PreciseMtfPoint>& points)
{
    std::vector<std::string> lines;
    lines.reserve(points.size());
    for (const PreciseMtfPoint& p : points) lines.push_back(PreciseMtfLine(p));
    return lines;
}

std::vector<std::pair<std::pair<double, double>, std::pair<double, double>>> ErrorBars(
    const std::vector<PreciseMtfPoint>& points)
{
    std::vector<std::pair<std::pair<double, double>, std::pair<double, double>>> bars;
    for (const PreciseMtfPoint& p : points)
        if (p.uncertainty > 0)
            bars.push_back({{p.frequency, p.mtf - p.uncertainty}, {p.frequency, p.mtf + p.uncertainty}});
    return bars;
}

std::vector<double> HalfStepFrequencies(double pixelSpacing)
{
    std::vector<double> f;
    if (!(pixelSpacing > 0)) return f;
    const double nyquist = 1 / (2 * pixelSpacing);
    // Counted, so a tiny spacing cannot run away: 500 cycles/mm at most.
    constexpr int kMaxSteps = 1000;
    for (int k = 0; k <= kMaxSteps && k * 0.5 <= nyquist + 1e-9; ++k) f.push_back(k * 0.5);
    // Nyquist itself when it falls between steps, so the MTF there is measured.
    if (!f.empty() && f.back() < nyquist - 1e-9 && f.size() <= kMaxSteps) f.push_back(nyquist);
    return f;
}

void StoreMeasuredMtf(const std::vector<PreciseMtfPoint>& points, MtfState& mtf)
{
    const int count = static_cast<int>(std::min<std::size_t>(points.size(), kMtfCapacity));
    for (int k = 0; k < count; ++k) {
        mtf.mtfFrequency[static_cast<std::size_t>(k)] = points[static_cast<std::size_t>(k)].frequency;
        mtf.mtfValue[static_cast<std::size_t>(k)] = points[static_cast<std::size_t>(k)].mtf;
    }
    mtf.mtfPointCount = count;
    mtf.measuredCount = count;
}

}  // namespace radmtf
