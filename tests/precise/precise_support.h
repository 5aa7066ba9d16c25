// Synthetic radiographs through the precise kernels, as the window runs them.
#pragma once

#include <gtest/gtest.h>

#include "analysis/exposure.h"
#include "precise/geometry.h"
#include "precise/value_table.h"
#include "synth/radiograph.h"

namespace radmtf::testing {

// The table of a whole radiograph converted with the detector model
// (L = 4, B = 12, no offset).
inline ValueTable ExposureOf(const synth::Radiograph& image)
{
    return TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ExposureConversion{});
}

inline synth::DetectorModel Detector(double pixel)
{
    synth::DetectorModel model;
    model.pixelPitch = pixel;
    model.aperture = pixel;
    return model;
}

// Mean and standard deviation.
inline std::pair<double, double> MeanAndSd(const std::vector<double>& v)
{
    double mean = 0, sq = 0;
    for (double x : v) mean += x;
    mean /= static_cast<double>(v.size());
    for (double x : v) sq += (x - mean) * (x - mean);
    return {mean, std::sqrt(sq / static_cast<double>(v.size() - 1))};
}

}  // namespace radmtf::testing
