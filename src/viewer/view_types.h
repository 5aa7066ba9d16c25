// Rectangles and the picture buffer shared by the viewer kernels.
//
// The window keeps these as its viewer state; the kernels take them as plain
// values. All rectangles are inclusive on every side, as the window stores them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace radmtf {

// The part of the image in view: first and last column, first and last row,
// image coordinates, inclusive. Image pixel (left, top) is bitmap pixel (0, 0).
struct ViewRect {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

// The ROI (RoiRect in image coordinates, RoiBitmapRect in bitmap coordinates).
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// An 8-bit gray picture owned by the caller: pixel (x, y) is
// pixels[y * stride + x], its value is the gray level (palette index).
// stride may exceed width (for instance the 4-byte aligned rows of a toolkit image).
struct GrayBitmapView {
    std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;
};

}  // namespace radmtf
