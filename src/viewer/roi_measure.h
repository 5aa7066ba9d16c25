// ROI statistics ("Stat") and the automatic window ("Auto").
//
// Both read samples the measurement way (sample_reader.h: 16-bit words, or the
// bytes of an 8-bit image, Swap, offset added modulo 65536, signed). Blocks are
// cut to the samples that exist; when none are left the result is empty and
// the window leaves its edits as they were.
#pragma once

#include <cstdint>
#include <optional>

#include "viewer/sample_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

struct RoiStatistics {
    double mean = 0.0;
    double sd = 0.0;  // population standard deviation
    std::int32_t maximum = 0;
    std::int32_t minimum = 0;
    SampleBlock block;  // the samples actually measured
};

// Statistics of the ROI block (RoiBlock: one column left of the ROI), cut to
// existing samples. mean = sum / w / h, sum in double; SD = sqrt(sum of
// squares / w / h), each square in extended precision. The window writes mean,
// maximum and minimum, then SD.
std::optional<RoiStatistics> MeasureRoi(const SampleReader& reader, const ViewRect& view,
                                        const PixelRect& roiBitmapRect);

// Same, for any block.
std::optional<RoiStatistics> MeasureBlock(const SampleReader& reader, const SampleBlock& block);

struct AutoWindow {
    std::int32_t maximum = 0;
    std::int32_t minimum = 0;
    std::int32_t width = 0;  // maximum - minimum - 1 (one less than the range, by definition)
    std::int32_t level = 0;  // (maximum + minimum) div 2, toward zero
};

// Extremes of the central half of the image in each direction: rows
// H div 4 .. 3 (H div 4) - 1, columns W div 4 .. 3 (W div 4) - 1, cut to existing
// samples. Empty for an image with fewer than 4 columns or rows.
std::optional<AutoWindow> FindAutoWindow(const SampleReader& reader);

}  // namespace radmtf
