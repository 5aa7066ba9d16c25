// Every sample of the table placed at its exact position along the profile,
// the weights that make scattered positions count like an even grid, and
// the noise of single samples measured from the image itself.
#pragma once

#include <vector>

#include "precise/geometry.h"
#include "precise/value_table.h"

namespace radmtf {

struct LineSamples {
    std::vector<double> position;  // mm along the profile, 0 at the feature's fitted line
    std::vector<double> value;     // exposure
    std::vector<double> weight;    // mm of profile each sample stands for
};

// All samples of all lines, position = (k − origin − slope × line) × pixel
// spacing. Every sample of a line sits at the same sub-pixel phase; the
// lines' phases, taken round the unit circle, share each pixel among them:
// a line's weight is half the distance to the neighbouring phases on either
// side, divided among the lines at the same phase (phases closer than a
// quarter of 1/lines count as the same). A weighted sum over the
// samples is then the trapezoid rule on the interleaved grid: an even grid
// (M lines, or a multiple of them) is weighed evenly, and an uneven one (a
// non-integer M, phases that repeat) carries no binning bias.
LineSamples CollectSamples(const ValueTable& exposure, const LineGeometry& geometry, double pixelSpacing);

// Variance of one sample as a straight line in its exposure, a + b E:
// Poisson noise gives b > 0, additive noise a > 0. Measured from the spread
// of the samples within narrow bins about a straight line through each bin.
struct NoiseModel {
    double a = 0;
    double b = 0;
    double Variance(double exposure) const;
};
NoiseModel EstimateNoise(const std::vector<double>& position, const std::vector<double>& value,
                         double binWidth);

}  // namespace radmtf
