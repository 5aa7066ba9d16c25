// The headers of compressed pixel data streams (JPEG, JPEG-LS, JPEG 2000,
// RLE), read by the program itself before the DICOM library decodes them:
// a stream must declare the image its DICOM header describes and be whole,
// so that no decoder sizes its work from a damaged or hostile stream, and
// none of the library's assertions can be reached.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace radmtf {

enum class Codec { kJpeg, kJpegLs, kJpeg2000, kRle, kOther };

// The codec of a transfer syntax; kOther for plain samples and unknown syntaxes.
Codec CodecOf(const std::string& uid);

// The image as the DICOM header declares it.
struct DeclaredImage {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t samplesPerPixel = 1;
    std::uint32_t bitsAllocated = 16;
};

// The fragments of one frame, in order.
using Fragments = std::vector<std::span<const std::uint8_t>>;

// Whether the frame's stream declares `image` (size, components, a
// precision that fits) and ends with its end marker; for RLE, whether its
// header lists one segment per byte of each sample, all inside the fragment.
bool StreamMatches(Codec codec, const DeclaredImage& image, const Fragments& frame);

}  // namespace radmtf
