// Flat fields and edge images as 16-bit DICOM files for the noise and DQE
// tests: a detector of gain 2000 without blur.
#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <cstdint>
#include <vector>

#include "synth/dicom_writer.h"
#include "synth/flat_field.h"

namespace radmtf::testing {

inline synth::FlatFieldDetector FlatDetector()
{
    synth::FlatFieldDetector d;
    d.cells = 1;
    d.sigmaX = d.sigmaY = 0.0;
    d.gain = 2000.0;
    return d;
}

// A square image of 0.1 mm pixels.
inline void WriteImage(const QString& path, const std::vector<std::int32_t>& values, std::int32_t size)
{
    synth::Radiograph image;
    image.columns = image.rows = size;
    image.pixelSpacing = 0.1;
    image.bitsStored = 16;
    image.pixels.assign(values.begin(), values.end());
    EXPECT_TRUE(synth::WriteDicomFile(path.toStdString(), image));
}

}  // namespace radmtf::testing
