// "Triming": the ROI block as a headerless 16-bit raw file, and the name it is offered under.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/sample_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

// At most this many samples (512 MB of file) are trimmed at once.
inline constexpr std::int64_t kMaxTrimSamples = std::int64_t{1} << 28;

// The bytes of the trimmed file: the ROI block (RoiBlock, one column left of
// the ROI) row by row from the top, each row left to right, w x h x 2 bytes.
// 16-bit samples are copied as stored (no swap, no offset); an 8-bit sample is
// written as the little-endian word of its byte, so the file loads again as a
// 16-bit image with the same values. A sample outside the image or the buffer
// is written as 0. An empty ROI (w or h 0 or less) or one above
// kMaxTrimSamples is refused with a Failure.
std::vector<std::uint8_t> BuildTrimmedImage(std::span<const std::uint8_t> buffer, const SampleLayout& layout,
                                            const ViewRect& view, const PixelRect& roiBitmapRect);

// The name offered for the trimmed file: path + " " + w + " " + h + ".bin".
std::string TrimmedFileName(std::string_view path, const ViewRect& view, const PixelRect& roiBitmapRect);

}  // namespace radmtf
