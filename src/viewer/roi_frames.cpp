#include "viewer/roi_frames.h"

#include <algorithm>

#include "core/numtext.h"

namespace radmtf {
namespace {

std::int32_t Wrap(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// Inverts the dotted pixels of the row segment y, x in [x0, x1).
void ToggleRow(GrayBitmapView bitmap, std::int64_t y, std::int64_t x0, std::int64_t x1)
{
    if (y < 0 || y >= bitmap.height) return;
    x0 = std::max<std::int64_t>(x0, 0);
    x1 = std::min<std::int64_t>(x1, bitmap.width);
    if (((x0 + y) & 1) != 0) ++x0;
    std::uint8_t* row = bitmap.pixels + y * bitmap.stride;
    for (std::int64_t x = x0; x < x1; x += 2) row[x] ^= 0xFF;
}

// Inverts the dotted pixels of the column segment x, y in [y0, y1).
void ToggleColumn(GrayBitmapView bitmap, std::int64_t x, std::int64_t y0, std::int64_t y1)
{
    if (x < 0 || x >= bitmap.width) return;
    y0 = std::max<std::int64_t>(y0, 0);
    y1 = std::min<std::int64_t>(y1, bitmap.height);
    if (((x + y0) & 1) != 0) ++y0;
    for (std::int64_t y = y0; y < y1; y += 2) bitmap.pixels[y * bitmap.stride + x] ^= 0xFF;
}

}  // namespace

PixelRect RoiRectFromEdits(std::int32_t posX, std::int32_t posY, std::int32_t sizeX, std::int32_t sizeY)
{
    PixelRect rect;
    rect.left = Wrap(std::int64_t{posX} - sizeX / 2);
    rect.top = Wrap(std::int64_t{posY} - sizeY / 2);
    rect.right = Wrap(std::int64_t{rect.left} + sizeX - 1);
    rect.bottom = Wrap(std::int64_t{rect.top} + sizeY - 1);
    return rect;
}

PixelRect RoiToBitmap(const PixelRect& roiRect, const ViewRect& view)
{
    return {Wrap(std::int64_t{roiRect.left} - view.left), Wrap(std::int64_t{roiRect.top} - view.top),
            Wrap(std::int64_t{roiRect.right} - view.left), Wrap(std::int64_t{roiRect.bottom} - view.top)};
}

void DrawFocusRect(GrayBitmapView bitmap, std::int64_t left, std::int64_t top, std::int64_t right,
                   std::int64_t bottom)
{
    if (bitmap.pixels == nullptr || right <= left || bottom <= top) return;
    // Top and bottom rows span the full width; the side columns only the rows
    // between them, so no pixel is inverted twice (which would erase it).
    ToggleRow(bitmap, top, left, right);
    if (bottom - top >= 2) ToggleRow(bitmap, bottom - 1, left, right);
    ToggleColumn(bitmap, left, top + 1, bottom - 1);
    if (right - left >= 2) ToggleColumn(bitmap, right - 1, top + 1, bottom - 1);
}

void DrawRoiFrames(GrayBitmapView bitmap, const PixelRect& roiBitmapRect)
{
    if (bitmap.height <= 0) return;
    const std::int64_t t = bitmap.height / 512;  // Trunc(height / 512)
    for (std::int64_t k = -t; k <= t; ++k) {
        DrawFocusRect(bitmap, std::int64_t{roiBitmapRect.left} - k, std::int64_t{roiBitmapRect.top} - k,
                      std::int64_t{roiBitmapRect.right} + k, std::int64_t{roiBitmapRect.bottom} + k);
    }
}

PixelRect DragRoiCorners(const PixelRect& roiBitmapRect, double bx, double by, bool topLeft, bool bottomRight)
{
    PixelRect roi = roiBitmapRect;
    if (topLeft) {
        roi.left = CheckedInt32(Trunc(bx));
        roi.top = CheckedInt32(Trunc(by));
    }
    if (bottomRight) {
        roi.right = CheckedInt32(Trunc(bx));
        roi.bottom = CheckedInt32(Trunc(by));
    }
    return roi;
}

PixelRect CentreRoiAt(const PixelRect& roiBitmapRect, double bx, double by)
{
    const long long w = static_cast<long long>(roiBitmapRect.right) - roiBitmapRect.left + 1;
    const long long h = static_cast<long long>(roiBitmapRect.bottom) - roiBitmapRect.top + 1;
    const long long halfW = w / 2, evenW = (w % 2 == 0) ? 1 : 0;
    const long long halfH = h / 2, evenH = (h % 2 == 0) ? 1 : 0;
    PixelRect roi;
    roi.left = CheckedInt32(Trunc(bx - halfW));
    roi.top = CheckedInt32(Trunc(by - halfH));
    roi.right = CheckedInt32(Trunc(bx + halfW - evenW));
    roi.bottom = CheckedInt32(Trunc(by + halfH - evenH));
    return roi;
}

namespace {

double BitmapScale(std::int32_t bitmapHeight)
{
    return static_cast<double>(bitmapHeight) / 512.0;
}

}  // namespace

RoiGrip GripRoi(const PixelRect& roi, std::int32_t bitmapHeight, int x, int y, bool pointerMoved)
{
    const double s = BitmapScale(bitmapHeight);
    const double bx = x * s;
    const double by = y * s;
    RoiGrip grip;
    grip.topLeft = bx < roi.left && by < roi.top;
    grip.bottomRight = bx > roi.right && by > roi.bottom;
    grip.whole = roi.left < bx && bx < roi.right && roi.top < by && by < roi.bottom && pointerMoved;
    return grip;
}

std::optional<RoiDragResult> DragRoi(const PixelRect& roiBitmapRect, const ViewRect& view,
                                     std::int32_t bitmapHeight, int x, int y, const RoiGrip& grip)
{
    const double s = BitmapScale(bitmapHeight);
    const double bx = x * s;
    const double by = y * s;
    RoiDragResult result;
    if (grip.topLeft || grip.bottomRight) {
        const PixelRect& roi = result.roiBitmapRect =
            DragRoiCorners(roiBitmapRect, bx, by, grip.topLeft, grip.bottomRight);
        result.sizeX = std::int64_t{roi.right} - roi.left + 1;
        result.sizeY = std::int64_t{roi.bottom} - roi.top + 1;
        return result;
    }
    if (!grip.whole) return std::nullopt;
    result.roiBitmapRect = CentreRoiAt(roiBitmapRect, bx, by);
    result.posX = CheckedInt32(Trunc(bx + view.left));
    result.posY = CheckedInt32(Trunc(by + view.top));
    return result;
}

}  // namespace radmtf
