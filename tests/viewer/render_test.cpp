#include "viewer/render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/failure.h"
#include "failure_code.h"
#include "failure_text.h"

namespace radmtf {
namespace {

using testing::FailureText;

ViewGeometry Geometry(long double mf, int w, int h, int shiftX = 0, int shiftY = 0)
{
    return ShiftViewExtent(ComputeViewExtent(mf, w, h), shiftX, shiftY);
}

// The rendering as the formula states it, one sample at a time, reading the
// buffer only where the sample's bytes lie inside it.
std::uint8_t ReferenceGray(const std::vector<std::uint8_t>& buffer, const SampleLayout& layout,
                           const DisplayWindow& window, long long row, long long col)
{
    const int bytes = layout.eightBit ? 1 : 2;
    const long long pos = layout.header + bytes * (row * layout.width + col);
    const bool exists = row >= 0 && row < layout.height && col >= 0 && col < layout.width && pos >= 0 &&
                        pos + bytes <= static_cast<long long>(buffer.size());
    if (!exists) return window.invert ? 255 : 0;
    long long s;
    if (layout.eightBit) {
        const int v = buffer[pos];
        s = window.swap ? static_cast<std::int16_t>(v * 256) : v;
    } else {
        int word = buffer[pos] + 256 * buffer[pos + 1];
        if (window.swap) word = (word % 256) * 256 + word / 256;
        s = word >= 32768 ? word - 65536 : word;
    }
    long long d = s + window.offset - static_cast<long long>(window.level);
    d = static_cast<std::int32_t>(static_cast<std::uint32_t>(d & 0xFFFFFFFF));  // 32-bit wrap
    const float k = static_cast<float>(256.0L / window.width);
    long long g = std::llrintl(static_cast<long double>(d) * static_cast<long double>(k)) + 128;
    g = std::min(255LL, std::max(0LL, g));
    return static_cast<std::uint8_t>(window.invert ? 255 - g : g);
}

// Renders through the kernel into a bitmap with padded rows and checks every
// pixel against the reference, and that the padding is left alone.
void ExpectRenderMatchesReference(const std::vector<std::uint8_t>& buffer, const SampleLayout& layout,
                                  const DisplayWindow& window, const ViewGeometry& geometry)
{
    const int pad = 3;
    const std::ptrdiff_t stride = geometry.bitmapWidth + pad;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride * geometry.bitmapHeight), 0x5A);
    RenderView(buffer, layout, window, geometry.view,
               {pixels.data(), geometry.bitmapWidth, geometry.bitmapHeight, stride});
    for (int y = 0; y < geometry.bitmapHeight; ++y) {
        for (int x = 0; x < geometry.bitmapWidth; ++x) {
            const auto expected =
                ReferenceGray(buffer, layout, window, geometry.view.top + y, geometry.view.left + x);
            ASSERT_EQ(pixels[y * stride + x], expected)
                << "x " << x << " y " << y << " level " << window.level << " width " << window.width;
        }
        for (int x = geometry.bitmapWidth; x < stride; ++x) ASSERT_EQ(pixels[y * stride + x], 0x5A);
    }
}

TEST(ViewGeometry, WorkedExamples)
{
    auto g = Geometry(1.0L, 512, 512);
    EXPECT_EQ(g.view.left, 0);
    EXPECT_EQ(g.view.right, 511);
    EXPECT_EQ(g.view.top, 0);
    EXPECT_EQ(g.view.bottom, 511);
    EXPECT_EQ(g.bitmapWidth, 512);
    EXPECT_EQ(g.bitmapHeight, 512);

    g = Geometry(2.0L, 512, 512);
    EXPECT_EQ(g.view.left, 128);
    EXPECT_EQ(g.view.right, 383);
    EXPECT_EQ(g.view.top, 128);
    EXPECT_EQ(g.view.bottom, 383);
    EXPECT_EQ(g.bitmapWidth, 256);

    g = Geometry(1.5L, 512, 512);
    EXPECT_EQ(g.view.left, 85);
    EXPECT_EQ(g.view.right, 425);
    EXPECT_EQ(g.bitmapWidth, 341);
    EXPECT_EQ(g.bitmapHeight, 341);

    g = Geometry(1.0L, 1024, 512);  // wide: the centred square
    EXPECT_EQ(g.view.left, 256);
    EXPECT_EQ(g.view.right, 767);
    EXPECT_EQ(g.view.bottom, 511);
    EXPECT_EQ(g.bitmapWidth, 512);
    EXPECT_EQ(g.bitmapHeight, 512);

    g = Geometry(1.0L, 512, 1024);  // tall: all of it
    EXPECT_EQ(g.view.right, 511);
    EXPECT_EQ(g.view.bottom, 1023);
    EXPECT_EQ(g.bitmapWidth, 512);
    EXPECT_EQ(g.bitmapHeight, 1024);
}

TEST(ViewGeometry, ShiftsMoveTheOrigin)
{
    // Positive ShiftX shows parts further left, positive ShiftY parts further down; both scale with MF.
    auto g = Geometry(2.0L, 512, 512, 10, 7);
    EXPECT_EQ(g.view.left, 108);
    EXPECT_EQ(g.view.right, 363);
    EXPECT_EQ(g.view.top, 142);
    EXPECT_EQ(g.view.bottom, 397);
    // A view pushed past the left edge: Right = Trunc(span + Left) - 1 rounds toward zero.
    g = Geometry(1.5L, 512, 512, 100, 0);
    EXPECT_EQ(g.view.left, 85 - 150);
    EXPECT_EQ(g.view.right, 275);  // Trunc(341.33 - 65) - 1
    EXPECT_EQ(g.bitmapWidth, 341);
}

TEST(ViewGeometry, FailuresAndLimits)
{
    EXPECT_EQ(FailureText([] { ComputeViewExtent(0.0L, 512, 512); }), "0 による浮動小数点数除算");
    EXPECT_EQ(FailureText([] { ComputeViewExtent(0.0L, 0, 512); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(FailureText([] { ComputeViewExtent(0.0001L, 3072, 3072); }),
              std::string("表示する画像が大きすぎます。"));
    EXPECT_EQ(FailureText([] { ComputeViewExtent(0.5L, 20000, 20000); }),
              std::string("表示する画像が大きすぎます。"));
    EXPECT_NO_THROW(ComputeViewExtent(1.0L, 32768, 8192));
    EXPECT_EQ(FailureText([] { Geometry(1.0L, 512, 512, 2000000000, 0); }),
              std::string("表示位置が画像から離れすぎています。"));
    // A negative magnification or size gives an empty picture, not a failure.
    const auto g = Geometry(-1.0L, 512, 512);
    EXPECT_EQ(g.bitmapWidth, 0);
    EXPECT_EQ(g.bitmapHeight, 0);
}

TEST(ImagePlacement, WidthAndLeft)
{
    EXPECT_EQ(ComputeImagePlacement(1.0L, 512, 512).width, 512);
    EXPECT_EQ(ComputeImagePlacement(1.0L, 512, 512).left, 0);
    EXPECT_EQ(ComputeImagePlacement(1.0L, 1024, 512).width, 512);
    EXPECT_EQ(ComputeImagePlacement(1.0L, 512, 1024).width, 256);
    EXPECT_EQ(ComputeImagePlacement(1.0L, 512, 1024).left, 128);
    EXPECT_EQ(ComputeImagePlacement(1.0L, 300, 700).width, 219);  // Trunc(219.43)
    EXPECT_EQ(ComputeImagePlacement(1.0L, 300, 700).left, 146);   // Trunc(146.5)
    EXPECT_EQ(FailureText([] { ComputeImagePlacement(1.0L, 0, 0); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(FailureText([] { ComputeImagePlacement(1.0L, 512, 0); }), "0 による浮動小数点数除算");
}

TEST(GrayLevel, WorkedExamples)
{
    const DisplayWindow window{512, 1024, 0, false, false};
    const float k = WindowScale(1024);
    EXPECT_EQ(GrayLevel(0, window, k), 0);
    EXPECT_EQ(GrayLevel(512, window, k), 128);
    EXPECT_EQ(GrayLevel(1018, window, k), 254);  // 126.5 rounds to even 126
    EXPECT_EQ(GrayLevel(1014, window, k), 254);  // 125.5 rounds to even 126
    EXPECT_EQ(GrayLevel(1023, window, k), 255);  // 256 clamped
    EXPECT_EQ(GrayLevel(-32768, {0, 256, 0, false, false}, WindowScale(256)), 0);
    EXPECT_EQ(GrayLevel(0, {512, 1024, 0, false, true}, k), 255);
    // Negative width reverses the ramp.
    EXPECT_EQ(GrayLevel(0, {512, -1024, 0, false, false}, WindowScale(-1024)), 255);
    EXPECT_EQ(FailureText([] { WindowScale(0); }), "0 による浮動小数点数除算");
}

TEST(RenderView, StoredWordsAndBytes)
{
    // 0x8000 as a 16-bit word is -32768: gray 0 with Level 0, Width 256.
    std::vector<std::uint8_t> buffer = {0x00, 0x80, 0xFF, 0x7F};
    std::vector<std::uint8_t> pixels(2);
    RenderView(buffer, {0, 2, 1, false}, {0, 256, 0, false, false}, {0, 1, 0, 0}, {pixels.data(), 2, 1, 2});
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[1], 255);
    // 8-bit with Swap: byte 0x80 becomes 0x8000 = -32768.
    std::vector<std::uint8_t> bytes = {0x80, 0x01};
    RenderView(bytes, {0, 2, 1, true}, {0, 256, 0, true, false}, {0, 1, 0, 0}, {pixels.data(), 2, 1, 2});
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[1], 255);  // 256 -> 384 clamped
    // Unsigned words (PixelRepresentation 0): 0x8000 is 32768, above 0x7FFF.
    RenderView(buffer, {0, 2, 1, false, true}, {32767, 2, 0, false, false}, {0, 1, 0, 0},
               {pixels.data(), 2, 1, 2});
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[1], 128);
    // Width 0 fails before anything is written.
    pixels = {7, 7};
    EXPECT_EQ(FailureText([&] {
                  RenderView(buffer, {0, 2, 1, false}, {0, 0, 0, false, false}, {0, 1, 0, 0},
                             {pixels.data(), 2, 1, 2});
              }),
              "0 による浮動小数点数除算");
    EXPECT_EQ(pixels[0], 7);
}

TEST(RenderView, HeaderNearTheEndOfTheBuffer)
{
    // 100 bytes, header 95, 4 x 4 16-bit samples: only the words at 95 and 97 exist.
    std::vector<std::uint8_t> buffer(100, 0x01);
    std::vector<std::uint8_t> pixels(16, 0x33);
    const DisplayWindow window{0, 1024, 0, false, true};
    RenderView(buffer, {95, 4, 4, false}, window, {0, 3, 0, 3}, {pixels.data(), 4, 4, 4});
    const std::uint8_t present = GrayLevel(0x0101, window, WindowScale(1024));
    EXPECT_EQ(pixels[0], present);
    EXPECT_EQ(pixels[1], present);
    for (int i = 2; i < 16; ++i) EXPECT_EQ(pixels[i], 255) << i;  // missing, inverted
    ExpectRenderMatchesReference(buffer, {95, 4, 4, false}, window, Geometry(1.0L, 4, 4));
    ExpectRenderMatchesReference(buffer, {99, 4, 4, false}, window, Geometry(1.0L, 4, 4));
    ExpectRenderMatchesReference(buffer, {-7, 4, 4, false}, window, Geometry(1.0L, 4, 4));
}

TEST(RenderView, MatchesPerSampleFormulaOnRandomImages)
{
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const long double magnifications[] = {0.5L, 0.8L, 1.0L, 1.5L, 2.0L, 3.3L};
    for (int trial = 0; trial < 400; ++trial) {
        SampleLayout layout;
        layout.width = pick(1, 40);
        layout.height = pick(1, 40);
        layout.eightBit = pick(0, 3) == 0;
        layout.header = pick(-4, 12);
        const long long needed = layout.header + (layout.eightBit ? 1 : 2) * layout.width * layout.height;
        const int size = std::max(0, static_cast<int>(needed) + pick(-30, 10));
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
        for (auto& b : buffer) b = static_cast<std::uint8_t>(pick(0, 255));

        DisplayWindow window;
        window.level = pick(-40000, 40000);
        do {
            window.width = pick(0, 3) == 0 ? pick(-4, 4) : pick(-70000, 70000);
        } while (window.width == 0);
        window.offset = pick(0, 5) == 0 ? pick(INT32_MIN, INT32_MAX) : pick(-2000, 2000);
        window.swap = pick(0, 1) == 1;
        window.invert = pick(0, 1) == 1;
        const long double mf = magnifications[pick(0, 5)];
        const auto geometry = Geometry(mf, layout.width, layout.height, pick(-8, 8), pick(-8, 8));
        ExpectRenderMatchesReference(buffer, layout, window, geometry);
        if (HasFatalFailure()) return;
    }
}

TEST(RenderView, EveryWordValueThroughTheTable)
{
    // One image holding all 65536 words: the table must agree with the formula for each.
    std::vector<std::uint8_t> buffer(2 * 65536);
    for (int v = 0; v < 65536; ++v) {
        buffer[2 * v] = static_cast<std::uint8_t>(v & 0xFF);
        buffer[2 * v + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    const SampleLayout layout{0, 256, 256, false};
    for (const DisplayWindow window :
         {DisplayWindow{512, 1024, 0, false, false}, DisplayWindow{-300, 7, 33, true, true},
          DisplayWindow{0, -3, -5, false, false}, DisplayWindow{100, 1, 0, true, false}}) {
        ExpectRenderMatchesReference(buffer, layout, window, Geometry(1.0L, 256, 256));
    }
}

TEST(PointerDrags, PanOnlyTowardImageLeftBeyondTheView)
{
    // A 1024 x 512 image, the view its columns 100 .. 611, one bitmap pixel a pointer pixel.
    const ViewRect view{100, 611, 0, 511};
    const auto pans = [&](int x, int y) {
        const PanMove pan = PanView(view, 1024, 512, 512, 200, 200, x, y);
        return std::vector<long long>{pan.panX, pan.panY, pan.moveX, pan.moveY};
    };
    EXPECT_EQ(pans(250, 200), (std::vector<long long>{1, 0, 50, 0}));
    EXPECT_EQ(pans(300, 200), (std::vector<long long>{0, 0, 100, 0}));     // as far as the view's left: no
    EXPECT_EQ(pans(100, 210), (std::vector<long long>{1, 0, -100, -10}));  // up or down: no rows beyond
    EXPECT_EQ(PannedShift(5, -100, 1.5), -145);
    EXPECT_EQ(testing::CodeOf([] { PannedShift(INT32_MAX, 1, 1.0); }), FailureCode::kNotInteger);
}

TEST(PointerDrags, WindowFollowsTheRightButtonByTheRangeStep)
{
    EXPECT_EQ(DraggedWindowWidth(100, 1, 0, 10), 130);
    EXPECT_EQ(DraggedWindowWidth(100, 3, 10, 0), std::nullopt);  // would not be positive: stays
    EXPECT_EQ(DraggedWindowWidth(100, 7, 0, 10), 100);           // no such item: no step
    EXPECT_EQ(DraggedWindowLevel(2000, 2, 0, 5), 1950);          // down lowers the level
    EXPECT_EQ(testing::CodeOf([] { DraggedWindowLevel(INT32_MAX, 3, 10, 0); }), FailureCode::kNotInteger);
}

}  // namespace
}  // namespace radmtf
