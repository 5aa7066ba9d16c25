#include "viewer/transforms.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "viewer/render.h"

namespace radmtf {
namespace {

// Image of w x h samples (2 or 1 bytes) after a header, with guard bytes after
// the part handed to the kernel so that stray writes show.
struct TestImage {
    SampleLayout layout;
    std::vector<std::uint8_t> storage;
    std::size_t visible;  // bytes handed to the kernels

    TestImage(int w, int h, bool eightBit, int header, std::uint32_t seed, int cut = 0)
        : layout{header, w, h, eightBit}
    {
        visible = static_cast<std::size_t>(header + (eightBit ? 1 : 2) * w * h - cut);
        storage.resize(visible + 16);
        std::mt19937 rng(seed);
        for (auto& b : storage) b = static_cast<std::uint8_t>(rng());
    }
    std::span<std::uint8_t> Buffer() { return {storage.data(), visible}; }
    int Bytes() const { return layout.eightBit ? 1 : 2; }
    // The sample's stored bytes as one number, or -1 when it is not wholly in the buffer.
    int At(int r, int c) const
    {
        const std::size_t pos = layout.header + Bytes() * (r * layout.width + c);
        if (pos + Bytes() > visible) return -1;
        return layout.eightBit ? storage[pos] : storage[pos] | storage[pos + 1] << 8;
    }
    std::vector<int> Samples() const
    {
        std::vector<int> all;
        for (int r = 0; r < layout.height; ++r) {
            for (int c = 0; c < layout.width; ++c) all.push_back(At(r, c));
        }
        return all;
    }
};

std::vector<int> Row(const TestImage& image, int r)
{
    std::vector<int> row;
    for (int c = 0; c < image.layout.width; ++c) row.push_back(image.At(r, c));
    return row;
}

TEST(Flips, WorkedExamples)
{
    TestImage four(4, 1, false, 0, 1);
    const auto before = Row(four, 0);
    FlipHorizontal(four.Buffer(), four.layout);
    EXPECT_EQ(Row(four, 0), (std::vector<int>{before[3], before[2], before[1], before[0]}));

    TestImage three(3, 1, true, 2, 2);
    const auto row3 = Row(three, 0);
    FlipHorizontal(three.Buffer(), three.layout);
    EXPECT_EQ(Row(three, 0), (std::vector<int>{row3[2], row3[1], row3[0]}));

    TestImage rows(5, 3, false, 6, 3);
    const auto original = rows.storage;
    const auto r0 = Row(rows, 0), r1 = Row(rows, 1), r2 = Row(rows, 2);
    FlipVertical(rows.Buffer(), rows.layout);
    EXPECT_EQ(Row(rows, 0), r2);
    EXPECT_EQ(Row(rows, 1), r1);
    EXPECT_EQ(Row(rows, 2), r0);
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 6, rows.storage.begin()));  // header kept
    FlipVertical(rows.Buffer(), rows.layout);
    EXPECT_EQ(rows.storage, original);
}

TEST(Flips, ShortBufferExchangesOnlyExistingPairs)
{
    for (const bool eightBit : {false, true}) {
        // The buffer ends 5 bytes before the image does; the guard bytes must stay.
        TestImage image(6, 5, eightBit, 3, 4, 5);
        const auto original = image.storage;
        const auto before = image.Samples();
        FlipVertical(image.Buffer(), image.layout);
        const auto flipped = image.Samples();
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 6; ++c) {
                const int mirror = before[(4 - r) * 6 + c];
                const int self = before[r * 6 + c];
                EXPECT_EQ(flipped[r * 6 + c], (self < 0 || mirror < 0) ? self : mirror);
            }
        }
        FlipVertical(image.Buffer(), image.layout);
        EXPECT_EQ(image.storage, original);
        FlipHorizontal(image.Buffer(), image.layout);
        FlipHorizontal(image.Buffer(), image.layout);
        EXPECT_EQ(image.storage, original);
    }
}

TEST(Turns, TwoByTwoWorkedExample)
{
    TestImage image(2, 2, false, 0, 5);
    const int a = image.At(0, 0), b = image.At(0, 1), c = image.At(1, 0), d = image.At(1, 1);
    const ViewRect view{0, 1, 0, 1};
    TurnClockwise(image.Buffer(), image.layout, view);
    EXPECT_EQ(image.Samples(), (std::vector<int>{c, a, d, b}));
    TurnCounterClockwise(image.Buffer(), image.layout, view);
    TurnCounterClockwise(image.Buffer(), image.layout, view);
    EXPECT_EQ(image.Samples(), (std::vector<int>{b, d, a, c}));
}

TEST(Turns, MatchDirectMappingOnRandomSquares)
{
    std::mt19937 rng(6);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int trial = 0; trial < 60; ++trial) {
        const int w = pick(2, 30), h = pick(2, 30);
        TestImage image(w, h, pick(0, 2) == 0, pick(0, 9), trial);
        const int n = pick(2, std::min(w, h));
        const int left = pick(0, w - n), top = pick(0, h - n);
        const ViewRect view{left, left + n - 1, top, top + n - 1};
        const auto original = image.storage;
        const auto before = image.Samples();

        TurnClockwise(image.Buffer(), image.layout, view);
        // Direct: the square's (r, c) ends at (c, n - 1 - r); all else stays.
        std::vector<int> expected = before;
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c)
                expected[(top + c) * w + left + n - 1 - r] = before[(top + r) * w + left + c];
        }
        ASSERT_EQ(image.Samples(), expected) << trial;
        TurnCounterClockwise(image.Buffer(), image.layout, view);
        ASSERT_EQ(image.storage, original) << trial;
        for (int i = 0; i < 4; ++i) TurnClockwise(image.Buffer(), image.layout, view);
        ASSERT_EQ(image.storage, original) << trial;

        TurnCounterClockwise(image.Buffer(), image.layout, view);
        expected = before;
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c)
                expected[(top + n - 1 - c) * w + left + r] = before[(top + r) * w + left + c];
        }
        ASSERT_EQ(image.Samples(), expected) << trial;
    }
}

TEST(Turns, WideImageAtMagnificationOneTurnsTheCentreSquare)
{
    TestImage image(1024, 512, false, 0, 7);
    const ViewRect view = ShiftViewExtent(ComputeViewExtent(1.0L, 1024, 512), 0, 0).view;
    const auto before = image.Samples();
    TurnClockwise(image.Buffer(), image.layout, view);
    const auto after = image.Samples();
    for (int r = 0; r < 512; ++r) {
        for (int c = 0; c < 1024; ++c) {
            const bool inside = c >= 256 && c <= 767;
            // (r, c) in the square came from (511 - (c - 256), 256 + r).
            const int source = inside ? (511 - (c - 256)) * 1024 + 256 + r : r * 1024 + c;
            ASSERT_EQ(after[r * 1024 + c], before[source]) << r << "," << c;
        }
    }
}

TEST(Turns, RegionsThatAreNotSquareOrLeaveTheImage)
{
    // A tall view: the centred square of its width is turned.
    EXPECT_EQ(TurnSquare(1 << 20, {0, 6, 10, false}, {0, 5, 0, 9}).row0, 2);
    const SampleBlock tall = TurnSquare(1 << 20, {0, 6, 10, false}, {0, 5, 0, 9});
    EXPECT_EQ(tall.col0, 0);
    EXPECT_EQ(tall.rows, 6);
    EXPECT_EQ(tall.cols, 6);
    // A view hanging over the top-left corner: cut to the image first.
    const SampleBlock corner = TurnSquare(1 << 20, {0, 8, 8, false}, {-3, 4, -2, 5});
    EXPECT_EQ(corner.row0, 0);
    EXPECT_EQ(corner.col0, 0);
    EXPECT_EQ(corner.rows, 5);
    // Nothing to turn: one column left, or a square past the end of the buffer.
    EXPECT_TRUE(TurnSquare(1 << 20, {0, 8, 8, false}, {7, 12, 0, 7}).Empty());
    EXPECT_TRUE(TurnSquare(2 * 63, {0, 8, 8, false}, {0, 7, 0, 7}).Empty());
    EXPECT_FALSE(TurnSquare(2 * 64, {0, 8, 8, false}, {0, 7, 0, 7}).Empty());

    TestImage image(6, 10, false, 4, 8);
    const auto before = image.Samples();
    TurnClockwise(image.Buffer(), image.layout, {0, 5, 0, 9});
    std::vector<int> expected = before;
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) expected[(2 + c) * 6 + 5 - r] = before[(2 + r) * 6 + c];
    }
    EXPECT_EQ(image.Samples(), expected);

    // The image's last samples are missing: the turn leaves everything as it was.
    TestImage cut(6, 6, false, 0, 9, 1);
    const auto original = cut.storage;
    TurnClockwise(cut.Buffer(), cut.layout, {0, 5, 0, 5});
    EXPECT_EQ(cut.storage, original);
}

// A typed size far beyond the file: the flips visit only the rows and columns
// the buffer holds (the largest size would otherwise run through 2^61 samples).
TEST(Flips, HugeTypedSizeVisitsOnlyTheBuffer)
{
    std::vector<std::uint8_t> bytes(64);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    const std::vector<std::uint8_t> before = bytes;
    const SampleLayout tall{0, 2, INT32_MAX, false};
    EXPECT_EQ(RowsWithSamples(bytes.size(), tall).end, 16);
    FlipVertical(bytes, tall);  // every mirror row lies past the buffer
    EXPECT_EQ(bytes, before);

    const SampleLayout wide{0, INT32_MAX, INT32_MAX, false};
    EXPECT_EQ(RowsWithSamples(bytes.size(), wide).end, 1);
    FlipHorizontal(bytes, wide);  // every mirror column lies past the buffer
    FlipVertical(bytes, wide);
    EXPECT_EQ(bytes, before);

    // Rows before the buffer (a negative header) are skipped the same way.
    const SampleLayout shifted{-64, 2, INT32_MAX, false};
    EXPECT_EQ(RowsWithSamples(bytes.size(), shifted).first, 16);
    FlipHorizontal(bytes, shifted);
    EXPECT_EQ(bytes[0], before[2]);
    EXPECT_EQ(bytes[2], before[0]);
}

}  // namespace
}  // namespace radmtf
