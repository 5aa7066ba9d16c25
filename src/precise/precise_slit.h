// The precise slit method: the presampled MTF from every line of a tilted
// slit image, with the slit's own width and the background taken out.
//
//  1. Every sample at its exact position along the profile from the
//     estimated (non-integer) tilt.
//  2. Background: a straight line fitted to the samples beyond ±3 mm
//     (a setting), subtracted from the LSF.
//  3. LSF: the samples within ±2.5 mm (a setting), each weighted by the share
//     of the profile its line's phase stands for (CollectSamples), so that the
//     interleaved LSF carries no binning bias whatever the tilt; its Fourier
//     transform is taken at the sample positions themselves (no binning or
//     interpolation to a grid; line by line, whose samples lie a pixel
//     apart, through FFTs where the frequencies are evenly spaced). The LSF
//     chart shows it in 1/10-pixel bins.
//  4. MTF(f) = |X(f)| / X(0) / |sinc(a f)| for the slit width a (0: off).
//  5. A standard uncertainty per frequency, propagated from the samples'
//     noise (measured in the image as a function of exposure) and from the
//     background fit's uncertainty.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "precise/geometry.h"
#include "precise/mtf_points.h"
#include "precise/value_table.h"

namespace radmtf {

struct PreciseSlitSettings {
    double pixelSpacing = 0.1;            // mm
    double slitWidth = 0.01;              // mm; 0 turns the correction off
    double lsfHalfWidth = 2.5;            // mm kept on either side of the slit
    double baselineFrom = 3.0;            // mm from the slit where the background fit begins
    int oversampling = 10;                // bins per pixel of the LSF shown and of the noise estimate
    std::vector<double> listFrequencies;  // the frequencies of the first list
};

struct PreciseSlitResult {
    std::vector<PreciseMtfPoint> listed;         // at settings.listFrequencies
    std::vector<PreciseMtfPoint> halfSteps;      // 0, 0.5, … up to the Nyquist frequency
    std::vector<std::pair<double, double>> lsf;  // binned LSF above the background (mm, peak 1000)
    double backgroundOffset = 0;                 // fitted background at the slit (exposure)
    double backgroundSlope = 0;                  // per mm
};

// The frequencies the slit method lists for a sample spacing s:
// k / (2048 s) below 10 cycles/mm.
std::vector<double> SlitMethodFrequencies(double sampleSpacing);

PreciseSlitResult RunPreciseSlit(const ValueTable& exposure, const LineGeometry& geometry,
                                 const PreciseSlitSettings& settings);

// The first list with the Nyquist point of the second in its place, for the
// summary: the MTF at Nyquist is then measured there, not interpolated.
std::vector<PreciseMtfPoint> SummaryPoints(const PreciseSlitResult& result, double pixelSpacing);

}  // namespace radmtf
