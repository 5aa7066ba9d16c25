#include "viewer/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

ViewExtent ComputeViewExtent(long double mf, std::int32_t w, std::int32_t h)
{
    const long double width = w;
    const long double height = h;
    // W/MF first, then H/MF: with MF 0 the user sees the failure of the first division.
    const long double widthOverMf = CheckedDivide(width, mf);
    const long double heightOverMf = CheckedDivide(height, mf);

    ViewExtent extent;
    extent.magnification = mf;
    // A view wider than it is high shows the centred square of side H/MF.
    extent.columnSpan = width > heightOverMf ? heightOverMf : widthOverMf;
    extent.rowSpan = heightOverMf;

    constexpr long double kSideLimit = kMaxBitmapSide + 1.0L;
    if (std::fabs(extent.columnSpan) >= kSideLimit || std::fabs(extent.rowSpan) >= kSideLimit) {
        ThrowFailure(FailureCode::kBitmapTooLarge);
    }
    extent.bitmapWidth = static_cast<std::int32_t>(std::max(0LL, Trunc(extent.columnSpan)));
    extent.bitmapHeight = static_cast<std::int32_t>(std::max(0LL, Trunc(extent.rowSpan)));
    if (static_cast<std::int64_t>(extent.bitmapWidth) * extent.bitmapHeight > kMaxBitmapPixels) {
        ThrowFailure(FailureCode::kBitmapTooLarge);
    }

    // a = Trunc((W - W/MF) / 2) (or with H/MF for the square), b = Trunc((H - H/MF) / 2)
    extent.firstColumn = Trunc((width - extent.columnSpan) / 2.0L);
    extent.firstRow = Trunc((height - extent.rowSpan) / 2.0L);
    return extent;
}

ViewGeometry ShiftViewExtent(const ViewExtent& extent, std::int32_t shiftX, std::int32_t shiftY)
{
    // A positive ShiftX shows parts further left, a positive ShiftY parts further down.
    const long long left =
        extent.firstColumn - Trunc(static_cast<long double>(shiftX) * extent.magnification);
    const long long right = Trunc(extent.columnSpan + static_cast<long double>(left)) - 1;
    const long long top = extent.firstRow + Trunc(static_cast<long double>(shiftY) * extent.magnification);
    const long long bottom = Trunc(extent.rowSpan + static_cast<long double>(top)) - 1;
    for (const long long v : {left, right, top, bottom}) {
        if (v < -kMaxViewCoordinate || v > kMaxViewCoordinate) ThrowFailure(FailureCode::kViewTooFar);
    }

    ViewGeometry geometry;
    geometry.view = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(right),
                     static_cast<std::int32_t>(top), static_cast<std::int32_t>(bottom)};
    geometry.bitmapWidth = extent.bitmapWidth;
    geometry.bitmapHeight = extent.bitmapHeight;
    return geometry;
}

float WindowScale(std::int32_t width)
{
    // k = 256 / Width, formed in extended precision and held as a 32-bit float.
    return static_cast<float>(CheckedDivide(256.0L, static_cast<long double>(width)));
}

std::uint8_t GrayLevel(std::int32_t s, const DisplayWindow& window, float k)
{
    // d = s + Offset - Level wraps like the 32-bit integer it is.
    const auto d =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(s) + static_cast<std::uint32_t>(window.offset) -
                                  static_cast<std::uint32_t>(window.level));
    // g = Round(d * k) + 128, product in extended precision, halves to even.
    const long long g = Round(static_cast<long double>(d) * static_cast<long double>(k)) + 128;
    const auto clamped = static_cast<std::uint8_t>(std::clamp(g, 0LL, 255LL));
    return window.invert ? static_cast<std::uint8_t>(255 - clamped) : clamped;
}

namespace {

// GrayLevel for the table. While |d| < 2^29 the product of d (29 bits) and the
// float k (24 bits) is exact in double, so rounding it in double gives the
// same gray as the extended-precision product; beyond that the general formula runs.
std::uint8_t TableGray(std::int32_t s, const DisplayWindow& window, float k)
{
    const auto d =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(s) + static_cast<std::uint32_t>(window.offset) -
                                  static_cast<std::uint32_t>(window.level));
    constexpr std::int32_t kExactInDouble = 1 << 29;
    if (d <= -kExactInDouble || d >= kExactInDouble) return GrayLevel(s, window, k);
    const double product = static_cast<double>(d) * static_cast<double>(k);
    const double g = std::clamp(std::nearbyint(product) + 128.0, 0.0, 255.0);  // halves to even
    const auto gray = static_cast<std::uint8_t>(g);
    return window.invert ? static_cast<std::uint8_t>(255 - gray) : gray;
}

// Gray level for every possible stored value: the byte in 8-bit mode, the
// little-endian word otherwise. Swap is folded into the table.
std::vector<std::uint8_t> BuildGrayTable(bool eightBit, bool unsignedWords, const DisplayWindow& window,
                                         float k)
{
    std::vector<std::uint8_t> table(eightBit ? 256 : 65536);
    for (std::uint32_t stored = 0; stored < table.size(); ++stored) {
        std::uint32_t value;
        if (eightBit) {
            value = window.swap ? stored << 8 : stored;
        } else {
            value = window.swap ? ((stored & 0xFFu) << 8) | (stored >> 8) : stored;
        }
        // 16-bit values are signed unless the file says unsigned; an 8-bit
        // byte without Swap stays 0..255.
        const bool plainByte = (eightBit && !window.swap) || (!eightBit && unsignedWords);
        const std::int32_t s =
            plainByte ? static_cast<std::int32_t>(value) : static_cast<std::int16_t>(value);
        table[stored] = TableGray(s, window, k);
    }
    return table;
}

}  // namespace

void RenderView(std::span<const std::uint8_t> buffer, const SampleLayout& layout, const DisplayWindow& window,
                const ViewRect& view, GrayBitmapView bitmap)
{
    const float k = WindowScale(window.width);
    if (bitmap.pixels == nullptr || bitmap.width <= 0 || bitmap.height <= 0) return;

    const std::vector<std::uint8_t> table = BuildGrayTable(layout.eightBit, layout.unsignedWords, window, k);
    const std::uint8_t missing = window.invert ? 255 : 0;
    for (std::int32_t y = 0; y < bitmap.height; ++y) {
        std::uint8_t* out = bitmap.pixels + static_cast<std::ptrdiff_t>(y) * bitmap.stride;
        const std::int64_t row = static_cast<std::int64_t>(view.top) + y;
        const ColumnRange columns = ExistingColumns(buffer.size(), layout, row);
        // Bitmap columns [x0, x1) have samples; bitmap column x shows image column view.left + x.
        const std::int64_t x0 = std::clamp<std::int64_t>(columns.first - view.left, 0, bitmap.width);
        const std::int64_t x1 = std::clamp<std::int64_t>(columns.end - view.left, x0, bitmap.width);
        std::memset(out, missing, static_cast<std::size_t>(x0));
        if (x1 > x0) {
            const std::uint8_t* in = buffer.data() + SampleOffset(layout, row, view.left + x0);
            const std::uint8_t* gray = table.data();
            if (layout.eightBit) {
                for (std::int64_t x = x0; x < x1; ++x) out[x] = gray[*in++];
            } else {
                for (std::int64_t x = x0; x < x1; ++x, in += 2) out[x] = gray[in[0] | (in[1] << 8)];
            }
        }
        std::memset(out + x1, missing, static_cast<std::size_t>(bitmap.width - x1));
    }
}

ImagePlacement ComputeImagePlacement(long double mf, std::int32_t w, std::int32_t h)
{
    const long double width = w;
    // Trunc(W * 512 / H) is formed even when the square case overrides it, so H 0 fails here.
    long long controlWidth = Trunc(CheckedDivide(width * 512.0L, static_cast<long double>(h)));
    if (width > CheckedDivide(static_cast<long double>(h), mf)) controlWidth = 512;
    controlWidth = std::clamp<long long>(controlWidth, INT32_MIN, INT32_MAX);

    ImagePlacement placement;
    placement.width = static_cast<std::int32_t>(controlWidth);
    placement.left = static_cast<std::int32_t>((512 - controlWidth) / 2);  // toward zero
    return placement;
}

void ScalePicture(const GrayBitmapView& source, const GrayBitmapView& target)
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) return;
    std::vector<std::int32_t> sourceColumn(static_cast<std::size_t>(target.width));
    for (std::int32_t x = 0; x < target.width; ++x)
        sourceColumn[std::size_t(x)] =
            static_cast<std::int32_t>(std::int64_t(x) * source.width / target.width);
    for (std::int32_t y = 0; y < target.height; ++y) {
        const std::int64_t sourceRow = std::int64_t(y) * source.height / target.height;
        const std::uint8_t* from = source.pixels + sourceRow * source.stride;
        std::uint8_t* to = target.pixels + std::int64_t(y) * target.stride;
        for (std::int32_t x = 0; x < target.width; ++x) to[x] = from[sourceColumn[std::size_t(x)]];
    }
}

PanMove PanView(const ViewRect& view, std::int32_t imageWidth, std::int32_t imageHeight,
                std::int32_t bitmapHeight, int fromX, int fromY, int x, int y)
{
    PanMove pan;
    pan.scale = static_cast<double>(bitmapHeight) / 512.0;
    pan.moveX = std::int64_t{x} - fromX;
    pan.moveY = std::int64_t{fromY} - y;
    const long long dx = Trunc(pan.moveX * pan.scale);
    pan.panX =
        (dx < 0 && -dx < static_cast<long long>(imageWidth) - view.right) || (dx > 0 && dx < view.left);
    const long long dy = Trunc(pan.moveY * pan.scale);
    pan.panY =
        (dy > 0 && dy < static_cast<long long>(imageHeight) - view.bottom) || (dy < 0 && -dy < view.top);
    return pan;
}

std::int32_t PannedShift(std::int32_t shift, long long move, double scale)
{
    return CheckedInt32(Trunc(shift + move * scale));
}

namespace {

long long WindowStep(int rangeItem)
{
    static constexpr int kSteps[] = {1, 3, 10, 30};
    return rangeItem >= 0 && rangeItem < 4 ? kSteps[rangeItem] : 0;
}

}  // namespace

std::optional<std::int32_t> DraggedWindowWidth(std::int32_t width, int rangeItem, int fromX, int x)
{
    const long long dragged = width + (std::int64_t{x} - fromX) * WindowStep(rangeItem);
    if (dragged <= 0) return std::nullopt;
    return CheckedInt32(dragged);
}

std::int32_t DraggedWindowLevel(std::int32_t level, int rangeItem, int fromY, int y)
{
    return CheckedInt32(level - (std::int64_t{y} - fromY) * WindowStep(rangeItem));
}

}  // namespace radmtf
