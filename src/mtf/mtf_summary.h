// The figures that summarise a measured MTF curve: the frequencies where it
// falls to 50 % and 10 % and its value at the Nyquist frequency, read off
// the measured points joined by straight lines.
#pragma once

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace radmtf {

using CurvePoint = std::pair<double, double>;  // (cycles/mm, MTF)

struct MtfSummary {
    std::optional<double> mtf50;      // cycles/mm; empty when the curve never falls to 0.5
    std::optional<double> mtf10;      // cycles/mm; empty when the curve never falls to 0.1
    std::optional<double> nyquist;    // cycles/mm, 1 / (2 x pixel spacing); empty for a spacing <= 0
    std::optional<double> atNyquist;  // MTF there; empty when the points do not reach it
};

// The first frequency at which the curve, walked from its first point, falls
// to `level` or below, interpolated linearly between the two points around
// it. Empty when no point is at or below the level, or the first point
// already is (there is nothing to interpolate from). Points must be in
// ascending frequency order; non-finite points end the curve.
std::optional<double> FirstFallTo(std::span<const CurvePoint> points, double level);

// The curve's value at `frequency`, linearly interpolated; empty outside the
// range of the points.
std::optional<double> ValueAt(std::span<const CurvePoint> points, double frequency);

MtfSummary SummarizeMtf(std::span<const CurvePoint> points, double pixelSpacingMm);

// Frequencies 0.5, 1.0, ... up to and including `limit` (cycles/mm), for the
// report's table.
std::vector<double> HalfCycleSteps(double limit);

}  // namespace radmtf
