#include "analysis/pixel_table.h"

#include <gtest/gtest.h>

#include <random>

#include "test_support.h"
#include "failure_text.h"

namespace radmtf {
namespace {

using testing::FailureText;
using testing::Table;

TEST(TransferBlock, FirstColumnIsOneLeftOfTheRoi)
{
    const TableBlock atOrigin = TransferBlock(0, 0, 10, 20, 12, 21);
    EXPECT_EQ(atOrigin.firstColumn, 9);
    EXPECT_EQ(atOrigin.firstRow, 20);
    EXPECT_EQ(atOrigin.width, 3);
    EXPECT_EQ(atOrigin.height, 2);

    const TableBlock shifted = TransferBlock(100, 50, 10, 20, 12, 21);
    EXPECT_EQ(shifted.firstColumn, 109);
    EXPECT_EQ(shifted.firstRow, 70);
    EXPECT_EQ(shifted.width, 3);
    EXPECT_EQ(shifted.height, 2);

    EXPECT_EQ(ColumnHeaderTexts(10, 3), (std::vector<std::string>{"10", "11", "12"}));
    EXPECT_EQ(RowHeaderTexts(-1, 2), (std::vector<std::string>{"-1", "0"}));
}

TEST(SampleValue, ByteOrderOffsetAndSign)
{
    const std::uint8_t word[] = {0x34, 0x12};
    EXPECT_EQ(SampleValue(word, {0, 0, false}), 4660);
    EXPECT_EQ(SampleValue(word, {0, 0, true}), 13330);
    const std::uint8_t ones[] = {0xFF, 0xFF};
    EXPECT_EQ(SampleValue(ones, {0, 0, false}), -1);
    EXPECT_EQ(SampleValue(ones, {0, 2, false}), 1);
    const std::uint8_t large[] = {0x40, 0x9C};  // 40000
    EXPECT_EQ(SampleValue(large, {0, 0, false}), -25536);
    const std::uint8_t top[] = {0xFF, 0x7F};
    EXPECT_EQ(SampleValue(top, {0, 1, false}), -32768);
    const std::uint8_t zero[] = {0x00, 0x00};
    EXPECT_EQ(SampleValue(zero, {0, -1, false}), -1);
    EXPECT_EQ(SampleValue(zero, {0, 65536 + 5, false}), 5);  // only the low 16 bits count
}

TEST(ReadBlockValues, MatchesDirectAddressing)
{
    constexpr int kWidth = 11, kHeight = 7, kHeader = 5;
    std::vector<std::uint8_t> buffer(kHeader + 2 * kWidth * kHeight);
    std::mt19937 random(7);
    for (auto& byte : buffer) byte = static_cast<std::uint8_t>(random());

    for (const bool swap : {false, true}) {
        const SampleFormat format{kHeader, 300, swap};
        const TableBlock block = TransferBlock(2, 1, 3, 2, 8, 5);  // columns 4 .. 9, rows 3 .. 6
        std::vector<std::int32_t> values;
        ReadBlockValues(buffer, kWidth, kHeight, format, block, values);
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
    constexpr int kWidth = 8, kHeight = 6, kHeader = 4;
    const std::vector<std::uint8_t> buffer(kHeader + 2 * kWidth * kHeight, 0);
    const auto inside = [&](const TableBlock& block, std::size_t size = 0) {
        return BlockInsideImage(block, kWidth, kHeight, kHeader, size ? size : buffer.size());
    };
    EXPECT_TRUE(inside(TableBlock{0, 0, kWidth, kHeight}));
    EXPECT_TRUE(inside(TableBlock{7, 5, 1, 1}));
    EXPECT_TRUE(inside(TableBlock{3, 3, 0, 0}));
    // An ROI at the image's first column starts its block at column −1.
    EXPECT_FALSE(inside(TransferBlock(0, 0, 0, 0, 2, 2)));
    EXPECT_FALSE(inside(TableBlock{6, 0, 3, 1}));   // past the right edge
    EXPECT_FALSE(inside(TableBlock{0, 4, 1, 3}));   // past the bottom
    EXPECT_FALSE(inside(TableBlock{0, -1, 1, 1}));  // above the top
    EXPECT_FALSE(inside(TableBlock{0, 0, -1, 1}));
    // A file shorter than its stated size: the last sample's bytes are missing.
    EXPECT_FALSE(inside(TableBlock{7, 5, 1, 1}, buffer.size() - 1));
    EXPECT_FALSE(BlockInsideImage(TableBlock{0, 0, 1, 1}, kWidth, kHeight, -2, buffer.size()));

    std::vector<std::int32_t> values{42};
    EXPECT_EQ(
        FailureText([&] {
            ReadBlockValues(buffer, kWidth, kHeight, {kHeader, 0, false}, TableBlock{6, 0, 3, 1}, values);
        }),
        std::string("ROIが画像の外にはみ出しています。"));
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
