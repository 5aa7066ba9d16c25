#include "viewer/roi_frames.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "failure_code.h"

namespace radmtf {
namespace {

struct Picture {
    int width;
    int height;
    int stride;
    std::vector<std::uint8_t> pixels;

    Picture(int w, int h, std::uint32_t seed) : width(w), height(h), stride(w + 2), pixels(stride * h)
    {
        std::mt19937 rng(seed);
        for (auto& p : pixels) p = static_cast<std::uint8_t>(rng());
    }
    GrayBitmapView View() { return {pixels.data(), width, height, stride}; }
};

// Whether pixel (x, y) is a dot of the focus rectangle [l, r) x [t, b).
bool OnFocusRect(long long x, long long y, long long l, long long t, long long r, long long b)
{
    const bool inside = x >= l && x < r && y >= t && y < b;
    const bool edge = x == l || x == r - 1 || y == t || y == b - 1;
    return inside && edge && (x + y) % 2 == 0;
}

// Reference: a pixel is inverted once per frame whose outline holds it.
Picture ReferenceFrames(Picture picture, const PixelRect& roi)
{
    const int t = picture.height / 512;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            for (int k = -t; k <= t; ++k) {
                if (OnFocusRect(x, y, roi.left - k, roi.top - k, roi.right + k, roi.bottom + k)) {
                    picture.pixels[y * picture.stride + x] ^= 0xFF;
                }
            }
        }
    }
    return picture;
}

TEST(RoiRect, FromEditsAndToBitmap)
{
    const PixelRect roi = RoiRectFromEdits(64, 64, 64, 64);
    EXPECT_EQ(roi.left, 32);
    EXPECT_EQ(roi.top, 32);
    EXPECT_EQ(roi.right, 95);
    EXPECT_EQ(roi.bottom, 95);
    const PixelRect odd = RoiRectFromEdits(100, 50, 65, -3);
    EXPECT_EQ(odd.left, 68);
    EXPECT_EQ(odd.right, 132);
    EXPECT_EQ(odd.top, 51);  // -3 div 2 = -1
    EXPECT_EQ(odd.bottom, 47);
    const PixelRect bitmapRect = RoiToBitmap(roi, {128, 383, 100, 355});
    EXPECT_EQ(bitmapRect.left, -96);
    EXPECT_EQ(bitmapRect.top, -68);
    EXPECT_EQ(bitmapRect.right, -33);
    EXPECT_EQ(bitmapRect.bottom, -5);
}

TEST(FocusRect, OutlineDotsRightAndBottomExclusive)
{
    Picture picture(8, 6, 1);
    std::fill(picture.pixels.begin(), picture.pixels.end(), 0);
    DrawFocusRect(picture.View(), 1, 1, 6, 5);  // pixels x 1..5, y 1..4
    const char* expected[] = {
        "........",  //
        ".X.X.X..",  // top row y = 1, dots where x + y is even
        "........",  //
        ".X...X..",  // side columns x = 1 and x = 5
        "..X.X...",  // bottom row y = 4
        "........",  // y = 5 is outside: bottom edge exclusive
    };
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(picture.pixels[y * picture.stride + x], expected[y][x] == 'X' ? 0xFF : 0)
                << x << "," << y;
        }
    }
}

TEST(RoiFrames, NestedFrameCount)
{
    // Frames per height: below 512 one, 512..1023 three, 1024..1535 five, 2048 nine.
    for (const auto& [height, frames] : {std::pair{511, 1}, {512, 3}, {1023, 3}, {1024, 5}, {2048, 9}}) {
        Picture picture(40, height, 3);
        std::fill(picture.pixels.begin(), picture.pixels.end(), 0);
        DrawRoiFrames(picture.View(), {10, 100, 30, 200});
        // Columns 20 and 21 in the rows around the top edge: each frame leaves one dot in the pair.
        int dots = 0;
        for (int y = 80; y < 120; ++y) {
            dots += picture.pixels[y * picture.stride + 20] != 0;
            dots += picture.pixels[y * picture.stride + 21] != 0;
        }
        EXPECT_EQ(dots, frames) << height;
    }
}

TEST(RoiFrames, MatchReferenceClipAndVanishWhenDrawnTwice)
{
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int trial = 0; trial < 60; ++trial) {
        const int height = pick(0, 3) == 0 ? pick(512, 1100) : pick(1, 60);
        Picture picture(pick(1, 60), height, trial);
        const Picture original = picture;
        // Sizes from -3 (empty) through 1 (one pixel wide or high) upward.
        PixelRect roi{pick(-20, 70), pick(-20, height + 10), 0, 0};
        roi.right = roi.left + pick(-3, 50);
        roi.bottom = roi.top + pick(-3, 50);
        DrawRoiFrames(picture.View(), roi);
        ASSERT_EQ(picture.pixels, ReferenceFrames(original, roi).pixels) << trial;
        DrawRoiFrames(picture.View(), roi);
        ASSERT_EQ(picture.pixels, original.pixels) << trial;
    }
    // Far outside, and at the extremes of the coordinates: nothing drawn, nothing touched.
    Picture picture(16, 16, 9);
    const Picture original = picture;
    DrawRoiFrames(picture.View(), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    DrawRoiFrames(picture.View(), {1000, 1000, 2000, 2000});
    EXPECT_EQ(picture.pixels, original.pixels);
}

// The pointer works on a 1024-row bitmap shown in 512 rows: bitmap = 2 x pointer.
TEST(RoiDrag, GripsMovesAndResizes)
{
    const PixelRect roi{100, 100, 199, 199};
    const auto grip = [&](int x, int y, bool moved) {
        const RoiGrip g = GripRoi(roi, 1024, x, y, moved);
        return std::vector<bool>{g.topLeft, g.bottomRight, g.whole};
    };
    EXPECT_EQ(grip(40, 40, true), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(grip(120, 120, true), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(grip(75, 75, true), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(grip(75, 75, false), (std::vector<bool>{false, false, false}));  // a click where it was
    EXPECT_EQ(grip(40, 75, true), (std::vector<bool>{false, false, false}));

    const ViewRect view{1000, 1511, 500, 1011};
    const auto rect = [](const RoiDragResult& r) {
        const PixelRect& p = r.roiBitmapRect;
        return std::vector<std::int64_t>{p.left, p.top, p.right, p.bottom};
    };
    // Each corner follows the pointer; the size edits take the new size.
    auto moved = DragRoi(roi, view, 1024, 30, 20, {true, false, false});
    ASSERT_TRUE(moved);
    EXPECT_EQ(rect(*moved), (std::vector<std::int64_t>{60, 40, 199, 199}));
    EXPECT_EQ(moved->sizeX, 140);
    EXPECT_EQ(moved->sizeY, 160);
    EXPECT_FALSE(moved->posX);
    moved = DragRoi(roi, view, 1024, 150, 130, {false, true, false});
    EXPECT_EQ(rect(*moved), (std::vector<std::int64_t>{100, 100, 300, 260}));
    EXPECT_EQ(moved->sizeX, 201);

    // The whole ROI is centred on the pointer (an even side puts the extra
    // pixel before the centre); the position edits are in image coordinates.
    moved = DragRoi(roi, view, 1024, 100, 60, {false, false, true});
    EXPECT_EQ(rect(*moved), (std::vector<std::int64_t>{150, 70, 249, 169}));
    EXPECT_EQ(moved->posX, 1200);
    EXPECT_EQ(moved->posY, 620);
    EXPECT_FALSE(moved->sizeX);
    EXPECT_FALSE(DragRoi(roi, view, 1024, 100, 60, {}));
}

TEST(RoiDrag, NothingHoldsItInsideTheImageButThe32BitRange)
{
    const PixelRect roi{0, 0, 99, 99};
    const auto moved = DragRoi(roi, ViewRect{}, 512, -30, -40, {false, false, true});
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->roiBitmapRect.left, -80);
    EXPECT_EQ(moved->posY, -40);
    EXPECT_EQ(testing::CodeOf([&] {
                  DragRoi(roi, ViewRect{}, INT32_MAX, 10000, 0, {true, false, false});
              }),
              FailureCode::kNotInteger);
    EXPECT_EQ(testing::CodeOf([&] {
                  DragRoi(roi, ViewRect{INT32_MAX, 0, 0, 0}, 512, 10, 0, {false, false, true});
              }),
              FailureCode::kNotInteger);
}

}  // namespace
}  // namespace radmtf
