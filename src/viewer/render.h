// Display rendering: the view region chosen by magnification and shift, the
// window level/width mapping to gray, and the placement of the picture in the
// 512 x 512 display area.
//
// A rendering, with its reads in the order that decides which failure the
// user sees (each call raises its failure before the next edit is read):
//   mf, W, H, Level, Width          read the edits
//   extent = ComputeViewExtent(mf, W, H)
//   shiftX, shiftY                  read the edits
//   geometry = ShiftViewExtent(extent, shiftX, shiftY)
//   size the bitmap to geometry.bitmapWidth x geometry.bitmapHeight
//   Header, Offset                  read the edits
//   RenderView(...)                 raises the zero-divide failure for Width 0
//   placement = ComputeImagePlacement(mf, W, H)
//   then the ROI rectangles and frames (roi_frames.h), then ViewRect = geometry.view.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "viewer/sample_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

// Largest picture a rendering makes: each side at most kMaxBitmapSide pixels
// and at most kMaxBitmapPixels in all. Beyond that (a tiny magnification typed
// by hand) rendering refuses with FailureCode::kBitmapTooLarge instead of allocating.
inline constexpr std::int32_t kMaxBitmapSide = 32768;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 28;
// View coordinates are kept within +-2^30 so that the ROI arithmetic of the
// window cannot overflow; a shift beyond that is refused (FailureCode::kViewTooFar).
inline constexpr std::int32_t kMaxViewCoordinate = 1 << 30;

// What the magnification and the image size alone decide.
struct ViewExtent {
    long double magnification = 1.0L;
    long double columnSpan = 0.0L;  // W/MF, or H/MF when W > H/MF (centred square)
    long double rowSpan = 0.0L;     // H/MF
    std::int64_t firstColumn = 0;   // before the shift: Trunc((W - columnSpan) / 2)
    std::int64_t firstRow = 0;      // before the shift: Trunc((H - rowSpan) / 2)
    std::int32_t bitmapWidth = 0;   // Trunc(columnSpan), 0 when negative
    std::int32_t bitmapHeight = 0;  // Trunc(rowSpan), 0 when negative
};

// Divisions in extended precision; MF 0 fails with the zero-divide failure
// (invalid operation when W is 0 too). Refuses pictures above the limits.
ViewExtent ComputeViewExtent(long double mf, std::int32_t w, std::int32_t h);

struct ViewGeometry {
    ViewRect view;  // what the window records as ViewRect
    std::int32_t bitmapWidth = 0;
    std::int32_t bitmapHeight = 0;
};

// Left = first - Trunc(ShiftX * MF), Right = Trunc(columnSpan + Left) - 1,
// Top = first + Trunc(ShiftY * MF), Bottom = Trunc(rowSpan + Top) - 1.
ViewGeometry ShiftViewExtent(const ViewExtent& extent, std::int32_t shiftX, std::int32_t shiftY);

// The window mapping of one rendering.
struct DisplayWindow {
    std::int32_t level = 0;
    std::int32_t width = 0;
    std::int32_t offset = 0;  // value offset added to every sample
    bool swap = false;        // exchange the two bytes (an 8-bit sample v becomes v * 256)
    bool invert = false;
};

// k = 256 / Width held as a 32-bit float; Width 0 fails with the zero-divide failure.
float WindowScale(std::int32_t width);

// Gray level of the signed sample s: d = s + offset - level (wrapping 32-bit),
// g = Round(d * k in extended precision) + 128, clamped to 0..255, inverted on request.
std::uint8_t GrayLevel(std::int32_t s, const DisplayWindow& window, float k);

// Renders the view into `bitmap`: bitmap pixel (x, y) shows image pixel
// (view.left + x, view.top + y). Only the bitmap's pixels are visited, never the
// whole image. A pixel without a sample (outside the image, or bytes beyond the
// buffer) is gray 0 before inversion. Raises the Width 0 failure before
// writing anything.
void RenderView(std::span<const std::uint8_t> buffer, const SampleLayout& layout, const DisplayWindow& window,
                const ViewRect& view, GrayBitmapView bitmap);

// Position of the image control in the 512 x 512 display area (top 0, height 512).
struct ImagePlacement {
    std::int32_t left = 0;
    std::int32_t width = 512;
};
// width = Trunc(W * 512 / H) (always evaluated, so H 0 fails), 512 when W > H/MF;
// left = Trunc((512 - width) / 2).
ImagePlacement ComputeImagePlacement(long double mf, std::int32_t w, std::int32_t h);

// The picture shown in a control of another size: target pixel (x, y) shows
// source pixel (x × sourceWidth / targetWidth, y × sourceHeight / targetHeight),
// integer division. Either picture empty: nothing is written.
void ScalePicture(const GrayBitmapView& source, const GrayBitmapView& target);

// Panning with the pointer from (fromX, fromY) to (x, y) of the 512-row
// picture: the move (y up) scaled to the bitmap, s = bitmap height / 512. A
// direction pans only while the view has image left that way (the move,
// truncated, is less than what lies beyond the view's edge).
struct PanMove {
    bool panX = false;
    bool panY = false;
    long long moveX = 0;
    long long moveY = 0;
    double scale = 0.0;
};
PanMove PanView(const ViewRect& view, std::int32_t imageWidth, std::int32_t imageHeight,
                std::int32_t bitmapHeight, int fromX, int fromY, int x, int y);

// The shift edit after a pan: Trunc(shift + move × scale), failing as not an
// integer beyond the 32-bit range.
std::int32_t PannedShift(std::int32_t shift, long long move, double scale);

// Dragging the display window with the right button: the width grows with
// the pointer's move to the right, the level with its move up, by the step
// of the range item (1, 3, 10, 30; none for another item). A width that
// would not be positive stays (none); a result beyond the 32-bit range fails
// as not an integer.
std::optional<std::int32_t> DraggedWindowWidth(std::int32_t width, int rangeItem, int fromX, int x);
std::int32_t DraggedWindowLevel(std::int32_t level, int rangeItem, int fromY, int y);

}  // namespace radmtf
