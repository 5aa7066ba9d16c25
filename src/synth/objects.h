// Test objects as seen through a DetectorModel: the relative fluence that a
// pixel receives as a function of its centre's position along the profile
// (mm from the object's reference point). 1 is the open (brightest) level
// of the object; a radiograph scales it to its quanta per pixel.
#pragma once

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "synth/detector_model.h"

namespace radmtf::synth {

using ObjectProfile = std::function<double(double positionMm)>;

// A slit of the given width centred at 0, scaled to 1 at its centre, on a
// pedestal (the jaws' transmission) given as a fraction of that peak.
ObjectProfile SlitObject(const DetectorModel& model, double slitWidth, double pedestal);

// An edge at 0: pedestal on the dark side, 1 on the open side; the open side
// lies at positive positions when openAbove, at negative ones otherwise.
ObjectProfile EdgeObject(const DetectorModel& model, double pedestal, bool openAbove);

// Uniform exposure (1 everywhere).
ObjectProfile FlatObject();

// The square-wave bar chart the chart method expects, along increasing
// positions from 0 to `length` mm: a 1 mm margin, then the nine bar groups
// from the highest frequency (6 cycles/mm) to the lowest (0.5), each group
// 2 mm after the previous one, a 10 mm gap and the 10 mm large square,
// then a 1 mm margin. Read from the high end: the square, a 10 mm gap, group
// 1 with five bars of period 2 mm, groups 2 .. 9 with ten bars each. Bars
// are half a period wide; bars and square are the open level.
struct BarChartLayout {
    static constexpr std::array<double, 10> kPeriods = {20,  2,       1,    2.0 / 3, 0.5,
                                                        0.4, 1.0 / 3, 0.25, 0.2,     1.0 / 6};
    static constexpr std::array<double, 10> kFrequencies = {0, 0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6};

    double length = 0;                            // mm
    std::vector<std::pair<double, double>> bars;  // open intervals (mm), the square first
    std::array<double, 10> groupTop{};  // upper end of each group's first bar (mm); [0]: the square's

    BarChartLayout();
};

// The chart above with its gaps and surroundings at `lowLevel` (fraction of
// the open level), the chart's position 0 at position 0.
ObjectProfile BarChartObject(const DetectorModel& model, const BarChartLayout& layout, double lowLevel);

}  // namespace radmtf::synth
