// The ROI rectangles and the dotted ROI frames drawn into the picture.
#pragma once

#include <cstdint>
#include <optional>

#include "viewer/view_types.h"

namespace radmtf {

// RoiRect from the ROI edits: Left = PosX - SizeX div 2, Top = PosY - SizeY div 2,
// Right = Left + SizeX - 1, Bottom = Top + SizeY - 1 (32-bit, wrapping like the
// window's integers).
PixelRect RoiRectFromEdits(std::int32_t posX, std::int32_t posY, std::int32_t sizeX, std::int32_t sizeY);

// RoiBitmapRect = RoiRect minus the view origin (view.left, view.top).
PixelRect RoiToBitmap(const PixelRect& roiRect, const ViewRect& view);

// Dragging a corner of the ROI frame to bitmap position (bx, by): the top
// left corner, the bottom right corner or both follow it (Trunc of the
// position; a position beyond the 32-bit range fails as not an integer).
PixelRect DragRoiCorners(const PixelRect& roiBitmapRect, double bx, double by, bool topLeft,
                         bool bottomRight);

// Dragging the whole ROI: the same size, centred at (bx, by); an even side
// puts the extra pixel before the centre.
PixelRect CentreRoiAt(const PixelRect& roiBitmapRect, double bx, double by);

// Which part of the ROI the pointer holds: the top left corner (pressed
// above and left of the ROI), the bottom right one (below and right of it),
// or the whole ROI (pressed inside it, away from where the pointer last was).
struct RoiGrip {
    bool topLeft = false;
    bool bottomRight = false;
    bool whole = false;
};

// The pointer at (x, y) of the 512-row picture is at bitmap position
// (x s, y s), s = bitmap height / 512.
RoiGrip GripRoi(const PixelRect& roiBitmapRect, std::int32_t bitmapHeight, int x, int y, bool pointerMoved);

// A drag of the held part to the pointer at (x, y): the ROI's new bitmap
// rectangle and the edits it changes. A corner sets the size edits to the
// new rectangle's (long, whatever the corners); the whole ROI is centred on
// the pointer (CentreRoiAt) and the position edits take the pointer in
// image coordinates, Trunc(bitmap position + view origin). Nothing holds the
// ROI inside the image. A position beyond the 32-bit range fails as not an
// integer, before anything is returned.
struct RoiDragResult {
    PixelRect roiBitmapRect;
    std::optional<std::int64_t> sizeX;
    std::optional<std::int64_t> sizeY;
    std::optional<std::int32_t> posX;
    std::optional<std::int32_t> posY;
};
std::optional<RoiDragResult> DragRoi(const PixelRect& roiBitmapRect, const ViewRect& view,
                                     std::int32_t bitmapHeight, int x, int y, const RoiGrip& grip);

// Dotted focus rectangle combined by exclusive-or: the outline of the pixels
// x in [left, right), y in [top, bottom), every other pixel (those with x + y
// even) inverted (XOR 0xFF). Each outline pixel is toggled once, so drawing
// the same rectangle twice restores the bitmap. Clipped to the bitmap; an
// empty rectangle (right <= left or bottom <= top) draws nothing.
void DrawFocusRect(GrayBitmapView bitmap, std::int64_t left, std::int64_t top, std::int64_t right,
                   std::int64_t bottom);

// t = Trunc(bitmap height / 512); for k = -t .. t the rectangle
// (Left - k, Top - k, Right + k, Bottom + k) of RoiBitmapRect, each as a focus
// rectangle, so the outline stays visible once a tall bitmap is shrunk to 512
// rows. Drawing the frames twice removes them.
void DrawRoiFrames(GrayBitmapView bitmap, const PixelRect& roiBitmapRect);

}  // namespace radmtf
