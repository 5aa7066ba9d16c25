// The ranges the analysis charts give their axes: round numbers around the
// points of all series, a logarithmic axis in whole decades.
#pragma once

#include <limits>

namespace radmtf {

// The extent of the finite points of a chart.
struct DataBounds {
    double xMin = std::numeric_limits<double>::infinity();
    double xMax = -std::numeric_limits<double>::infinity();
    double yMin = std::numeric_limits<double>::infinity();
    double yMax = -std::numeric_limits<double>::infinity();
    double yPositiveMin = std::numeric_limits<double>::infinity();  // for a logarithmic axis

    // Points with a non-finite coordinate are left out.
    void Add(double x, double y);
    bool Empty() const { return !(xMin <= xMax); }
};

// An axis range widened to round tick values, five or six ticks.
struct AxisRange {
    double low = 0.0;
    double high = 1.0;
    int ticks = 2;
};
AxisRange NiceRange(double lo, double hi);

// The bottom axis (a single x is widened by 1).
AxisRange HorizontalRange(const DataBounds& bounds);
// A linear left axis, from 0 when `fromZero` (a flat series is widened by 1).
AxisRange VerticalRange(const DataBounds& bounds, bool fromZero);

// A logarithmic left axis: whole decades from below the smallest positive
// value to above the largest (at least one decade). False when no value is
// positive.
struct DecadeRange {
    double low = 1.0;
    double high = 10.0;
};
bool LogarithmicRange(const DataBounds& bounds, DecadeRange& range);

}  // namespace radmtf
