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
};

// All samples of all lines, position = (k − origin − slope × line) × pixel spacing.
LineSamples CollectSamples(const ValueTable& exposure, const LineGeometry& geometry, double pixelSpacing);

// Weight binWidth / n for each of the n samples of a bin of width binWidth
// (bins centred on multiples of binWidth): every occupied bin weighs the
// same whatever the number of lines that fall in it, and a sample grid that
// lines up with the bins (M a multiple of the oversampling) is weighed
// evenly, so a weighted sum is an unbiased integral. Returns false when a bin
// between `from` and `to` is empty.
bool DensityWeights(const std::vector<double>& position, double binWidth, double from, double to,
                    std::vector<double>& weight);

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
