#include "analysis/chart_axes.h"

#include <algorithm>
#include <cmath>

namespace radmtf {

void DataBounds::Add(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
    if (y > 0) yPositiveMin = std::min(yPositiveMin, y);
}

AxisRange NiceRange(double lo, double hi)
{
    const double span = hi - lo;
    const double rough = span / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    const double step = (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * magnitude;
    const double low = std::floor(lo / step) * step;
    const double high = std::ceil(hi / step) * step;
    return {low, high, static_cast<int>(std::lround((high - low) / step)) + 1};
}

AxisRange HorizontalRange(const DataBounds& bounds)
{
    return NiceRange(bounds.xMin, bounds.xMax == bounds.xMin ? bounds.xMin + 1 : bounds.xMax);
}

AxisRange VerticalRange(const DataBounds& bounds, bool fromZero)
{
    const double low = fromZero ? 0.0 : bounds.yMin;
    const double high = bounds.yMax > low ? bounds.yMax : low + 1;
    return NiceRange(low, high);
}

bool LogarithmicRange(const DataBounds& bounds, DecadeRange& range)
{
    if (!std::isfinite(bounds.yPositiveMin)) return false;
    const double top = std::max(bounds.yMax, bounds.yPositiveMin * 10);
    range.low = std::pow(10.0, std::floor(std::log10(bounds.yPositiveMin)));
    range.high = std::pow(10.0, std::ceil(std::log10(top)));
    return true;
}

}  // namespace radmtf
