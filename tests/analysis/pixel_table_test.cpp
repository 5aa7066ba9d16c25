#include "analysis/pixel_table.h"

#include <gtest/gtest.h>

#include <random>

#include "test_support.h"

namespace radmtf {
namespace {

using testing::FailureText;
using testing::Table;

TEST(PixelTableTexts, HeadersCountFromTheRoi)
{
    EXPECT_EQ(ColumnHeaderTexts(10, 3), (std::vector<std::string>{"10", "11", "12"}));
    EXPECT_EQ(RowHeaderTexts(-1, 2), (std::vector<std::string>{"-1", "0"}));
}

TEST(ReadBlockValues, MatchesDirectAddressing)
{
    constexpr int kWidth = 11, kHeight = 7, kHeader = 5;
    std::vector<std::uint8_t> buffer(kHeader + 2 * kWidth * kHeight);
    std::mt19937 random(7);
    for (auto& byte : buffer) byte = static_cast<std::uint8_t>(random());

    for (const bool swap : {false, true}) {
        const SampleReader reader{buffer, {kHeader, kWidth, kHeight, false}, 300, swap};
        // View origin (2, 1), ROI columns 3 .. 8, rows 2 .. 5: image columns 4 .. 9, rows 3 .. 6.
        const SampleBlock block = RoiBlock({2, 12, 1, 8}, {3, 2, 8, 5});
        std::vector<std::int32_t> values;
        ReadBlockValues(reader, block, values);
        ASSERT_EQ(values.size(), 6u * 4u);
        for (int j = 0; j < 4; ++j) {
            for (int i = 0; i < 6; ++i) {
                const std::size_t at = kHeader + 2 * ((3 + j) * kWidth + (4 + i));
                int word = swap ? buffer[at] * 256 + buffer[at + 1] : buffer[at + 1] * 256 + buffer[at];
                word = (word + 300) % 65536;
                const int expected = word >= 32768 ? word - 65536 : word;
                EXPECT_EQ(values[j * 6 + i], expected) << "row " << j << " column " << i;
            }
        }
    }
}

TEST(ReadBlockValues, RefusesBlocksOutsideTheLoadedImage)
{
    constexpr int kWidth = 8, kHeight = 6;
    constexpr std::int64_t kHeader = 4;
    const std::vector<std::uint8_t> buffer(kHeader + 2 * kWidth * kHeight, 0);
    const auto inside = [&](const SampleBlock& block, std::size_t size = 0, std::int64_t header = 4) {
        return BlockInsideImage(size ? size : buffer.size(), {header, kWidth, kHeight, false}, block);
    };
    EXPECT_TRUE(inside({0, 0, kHeight, kWidth}));
    EXPECT_TRUE(inside({5, 7, 1, 1}));
    EXPECT_TRUE(inside({3, 3, 0, 0}));
    // An ROI at the image's first column starts its block at column -1.
    EXPECT_FALSE(inside(RoiBlock({}, {0, 0, 2, 2})));
    EXPECT_FALSE(inside({0, 6, 1, 3}));   // past the right edge
    EXPECT_FALSE(inside({4, 0, 3, 1}));   // past the bottom
    EXPECT_FALSE(inside({-1, 0, 1, 1}));  // above the top
    EXPECT_FALSE(inside({0, 0, 1, -1}));
    // A file shorter than its stated size: the last sample's bytes are missing.
    EXPECT_FALSE(inside({5, 7, 1, 1}, buffer.size() - 1));
    EXPECT_FALSE(inside({0, 0, 1, 1}, 0, -2));
    // A header typed as the most negative integer puts every sample before the buffer.
    EXPECT_FALSE(inside({0, 0, 1, 1}, 0, INT32_MIN));

    std::vector<std::int32_t> values{42};
    const SampleReader reader{buffer, {kHeader, kWidth, kHeight, false}, 0, false};
    EXPECT_EQ(FailureText([&] { ReadBlockValues(reader, {0, 6, 1, 3}, values); }),
              std::string(kRoiOutsideImageMessage));
    EXPECT_EQ(values, std::vector<std::int32_t>{42});
}

TEST(PixelTableClipboardText, RowsColumnsAndEmptyTables)
{
    const Table table{{{1, 2}, {3, 4}}};
    EXPECT_EQ(PixelTableClipboardText(table.View(), false), "1\t2\r\n3\t4\r\n");
    EXPECT_EQ(PixelTableClipboardText(table.View(), true), "1\t3\r\n2\t4\r\n");

    const Table ragged{{{-5, std::nullopt, 7}}};
    EXPECT_EQ(PixelTableClipboardText(ragged.View(), false), "-5\t\t7\r\n");
    EXPECT_EQ(PixelTableClipboardText(ragged.View(), true), "-5\r\n\r\n7\r\n");

    PixelTableView noRows = table.View();
    noRows.dataRows = 0;
    EXPECT_EQ(PixelTableClipboardText(noRows, false), "");
    // Transposed, each data column still gives a line (its missing first cell).
    EXPECT_EQ(PixelTableClipboardText(noRows, true), "\r\n\r\n");
}

}  // namespace
}  // namespace radmtf
