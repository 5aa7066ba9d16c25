#include "viewer/roi_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/numtext.h"

namespace radmtf {
namespace {

// A 16-bit image of w x h words after `header` zero bytes; values[r * w + c].
std::vector<std::uint8_t> WordImage(int w, int h, const std::vector<int>& values, int header = 0)
{
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(header + 2 * w * h), 0);
    for (int i = 0; i < w * h; ++i) {
        const auto word = static_cast<std::uint16_t>(values[i]);
        buffer[header + 2 * i] = static_cast<std::uint8_t>(word & 0xFF);
        buffer[header + 2 * i + 1] = static_cast<std::uint8_t>(word >> 8);
    }
    return buffer;
}

TEST(SampleReader, MeasurementReading)
{
    const std::vector<std::uint8_t> buffer = {0xFF, 0x7F, 0x34, 0x12, 0x00, 0x80};
    SampleReader reader{buffer, {0, 3, 1, false}, 0, false};
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 0), 0x7FFF);
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 2), -32768);
    reader.offset = 1;  // (0x7FFF + 1) mod 65536 read as signed
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 0), -32768);
    reader.offset = -65536 * 3 + 2;
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 1), 0x1236);
    reader.offset = 0;
    reader.swap = true;
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 1), 0x3412);
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 0), static_cast<std::int16_t>(0xFF7F));
    // Missing: outside the image, or bytes beyond the buffer.
    EXPECT_FALSE(ReadMeasuredSample(reader, 0, 3));
    EXPECT_FALSE(ReadMeasuredSample(reader, 1, 0));
    EXPECT_FALSE(ReadMeasuredSample(reader, 0, -1));
    reader.layout.header = 1;  // the third word would need byte 6
    EXPECT_TRUE(ReadMeasuredSample(reader, 0, 1));
    EXPECT_FALSE(ReadMeasuredSample(reader, 0, 2));
    reader.layout.header = -1;
    EXPECT_FALSE(ReadMeasuredSample(reader, 0, 0));
    EXPECT_TRUE(ReadMeasuredSample(reader, 0, 1));
    // 8-bit: one byte per sample; Swap makes it byte * 256, as rendering shows it.
    SampleReader bytes{buffer, {0, 6, 1, true}, 0, false};
    EXPECT_EQ(ReadMeasuredSample(bytes, 0, 0), 255);
    EXPECT_EQ(ReadMeasuredSample(bytes, 0, 5), 128);
    bytes.swap = true;
    EXPECT_EQ(ReadMeasuredSample(bytes, 0, 5), -32768);
    bytes.offset = 1;
    EXPECT_EQ(ReadMeasuredSample(bytes, 0, 2), 0x3401);
}

TEST(SampleReader, UnsignedWordsReadAsTheirValues)
{
    // A 16-bit detector's values around 32768, as PixelRepresentation 0 declares them.
    const std::vector<std::uint8_t> buffer = WordImage(2, 2, {29761, 45395, 32768, 65535});
    SampleReader reader{buffer, {0, 2, 2, false, true}, 0, false};
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 1), 45395);
    reader.offset = -1000;  // no wrap at 16 bits
    EXPECT_EQ(ReadMeasuredSample(reader, 1, 1), 64535);
    reader.offset = 0;
    const std::optional<RoiStatistics> stats = MeasureBlock(reader, {0, 0, 2, 2});
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->maximum, 65535);
    EXPECT_EQ(stats->minimum, 29761);
    reader.layout.unsignedWords = false;  // the signed reading of raw files stays
    EXPECT_EQ(ReadMeasuredSample(reader, 0, 1), 45395 - 65536);
}

TEST(RoiStatistics, WorkedExampleOneColumnLeftOfTheRoi)
{
    // 4 x 3 image; the block read is one column left of the ROI's left edge.
    const std::vector<int> values = {0, 0,  0,  0,   //
                                     0, 10, 20, 99,  //
                                     0, 30, 40, 99};
    const auto buffer = WordImage(4, 3, values);
    const SampleReader reader{buffer, {0, 4, 3, false}, 0, false};
    const ViewRect view{1, 3, 0, 2};
    const auto stats = MeasureRoi(reader, view, {1, 1, 2, 2});  // image columns 2..3 -> block 1..2
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->mean, 25.0);
    EXPECT_EQ(FloatToStr(stats->sd), "11.1803398874989");
    EXPECT_EQ(stats->maximum, 40);
    EXPECT_EQ(stats->minimum, 10);
    EXPECT_EQ(stats->block.col0, 1);
    EXPECT_EQ(stats->block.row0, 1);

    const auto uniform = WordImage(2, 2, {-7, -7, -7, -7});
    const auto flat = MeasureRoi({uniform, {0, 2, 2, false}, 0, false}, {0, 1, 0, 1}, {1, 0, 2, 1});
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->sd, 0.0);
    EXPECT_EQ(flat->maximum, -7);
    EXPECT_EQ(flat->minimum, -7);
}

TEST(RoiStatistics, SwapAndOffsetAreApplied)
{
    const auto buffer = WordImage(2, 1, {0x7FFF, 0x0100});
    SampleReader reader{buffer, {0, 2, 1, false}, 1, false};
    auto stats = MeasureBlock(reader, {0, 0, 1, 2});
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->minimum, -32768);
    EXPECT_EQ(stats->maximum, 257);
    reader.offset = 0;
    reader.swap = true;
    stats = MeasureBlock(reader, {0, 0, 1, 2});
    EXPECT_EQ(stats->maximum, 1);
    EXPECT_EQ(stats->minimum, static_cast<std::int16_t>(0xFF7F));
}

TEST(RoiStatistics, BlockCutToExistingSamples)
{
    std::mt19937 rng(5);
    std::vector<int> values(6 * 5);
    for (auto& v : values) v = std::uniform_int_distribution<int>(-3000, 3000)(rng);
    const auto full = WordImage(6, 5, values);
    const SampleReader reader{full, {0, 6, 5, false}, 0, false};

    // Reference over a known sub-block.
    auto expect = [&](const RoiStatistics& stats, int r0, int c0, int rows, int cols) {
        EXPECT_EQ(stats.block.row0, r0);
        EXPECT_EQ(stats.block.col0, c0);
        EXPECT_EQ(stats.block.rows, rows);
        EXPECT_EQ(stats.block.cols, cols);
        long double sum = 0;
        int hi = INT32_MIN, lo = INT32_MAX;
        for (int r = r0; r < r0 + rows; ++r) {
            for (int c = c0; c < c0 + cols; ++c) {
                sum += values[r * 6 + c];
                hi = std::max(hi, values[r * 6 + c]);
                lo = std::min(lo, values[r * 6 + c]);
            }
        }
        const long double mean = sum / (rows * cols);
        long double squares = 0;
        for (int r = r0; r < r0 + rows; ++r) {
            for (int c = c0; c < c0 + cols; ++c)
                squares += (values[r * 6 + c] - mean) * (values[r * 6 + c] - mean);
        }
        EXPECT_NEAR(stats.mean, static_cast<double>(mean), 1e-9);
        EXPECT_NEAR(stats.sd, static_cast<double>(std::sqrt(squares / (rows * cols))), 1e-9);
        EXPECT_EQ(stats.maximum, hi);
        EXPECT_EQ(stats.minimum, lo);
    };

    // ROI at the left edge: the block's first column (one left of the ROI) is -1 and is cut.
    auto stats = MeasureRoi(reader, {0, 5, 0, 4}, {0, 1, 2, 3});
    ASSERT_TRUE(stats);
    expect(*stats, 1, 0, 3, 2);
    // Past the right and bottom edges.
    stats = MeasureBlock(reader, {3, 4, 10, 10});
    ASSERT_TRUE(stats);
    expect(*stats, 3, 4, 2, 2);
    // The buffer ends inside row 3: only rows whose block columns all exist.
    const std::vector<std::uint8_t> shortBuffer(full.begin(), full.begin() + 2 * (3 * 6 + 4));
    stats = MeasureBlock({shortBuffer, {0, 6, 5, false}, 0, false}, {0, 1, 5, 3});
    ASSERT_TRUE(stats);
    expect(*stats, 0, 1, 4, 3);
    stats = MeasureBlock({shortBuffer, {0, 6, 5, false}, 0, false}, {0, 4, 5, 2});
    ASSERT_TRUE(stats);
    expect(*stats, 0, 4, 3, 2);
    // Nothing to measure: empty ROI, outside the image, beyond the buffer.
    EXPECT_FALSE(MeasureRoi(reader, {0, 5, 0, 4}, {3, 1, 2, 3}));
    EXPECT_FALSE(MeasureRoi(reader, {0, 5, 0, 4}, {1, 2, 4, 1}));
    EXPECT_FALSE(MeasureBlock(reader, {5, 0, 3, 3}));
    EXPECT_FALSE(MeasureBlock(reader, {-4, -4, 3, 3}));
    EXPECT_FALSE(MeasureBlock({full, {1000, 6, 5, false}, 0, false}, {0, 0, 5, 6}));
}

TEST(RoiStatistics, EightBitImagesAreMeasuredByTheirBytes)
{
    const std::vector<std::uint8_t> buffer = {1, 2, 3, 250};
    SampleReader reader{buffer, {0, 2, 2, true}, 0, false};
    auto stats = MeasureBlock(reader, {0, 0, 2, 2});
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->mean, 64.0);
    EXPECT_EQ(stats->maximum, 250);
    EXPECT_EQ(stats->minimum, 1);
    reader.swap = true;
    stats = MeasureBlock(reader, {0, 0, 2, 2});
    EXPECT_EQ(stats->maximum, 3 * 256);
    EXPECT_EQ(stats->minimum, static_cast<std::int16_t>(250 * 256));
}

TEST(AutoWindow, WorkedExamples)
{
    // 8 x 8: the central area is rows and columns 2..5; extremes outside it are ignored.
    std::vector<int> values(64, 600);
    values[2 * 8 + 2] = 100;
    values[5 * 8 + 5] = 1100;
    values[1 * 8 + 3] = -30000;
    values[6 * 8 + 3] = 30000;
    values[3 * 8 + 6] = 30000;
    auto buffer = WordImage(8, 8, values);
    auto result = FindAutoWindow({buffer, {0, 8, 8, false}, 0, false});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->maximum, 1100);
    EXPECT_EQ(result->minimum, 100);
    EXPECT_EQ(result->width, 999);
    EXPECT_EQ(result->level, 600);

    std::vector<int> negative(64, -5);
    negative[3 * 8 + 3] = -11;
    negative[4 * 8 + 4] = 0;
    buffer = WordImage(8, 8, negative);
    result = FindAutoWindow({buffer, {0, 8, 8, false}, 0, false});
    EXPECT_EQ(result->width, 10);
    EXPECT_EQ(result->level, -5);  // -11 div 2 toward zero

    buffer = WordImage(4, 4, std::vector<int>(16, 77));
    result = FindAutoWindow({buffer, {0, 4, 4, false}, 0, false});
    EXPECT_EQ(result->width, -1);
    EXPECT_EQ(result->level, 77);

    buffer = WordImage(3, 8, std::vector<int>(24, 1));
    EXPECT_FALSE(FindAutoWindow({buffer, {0, 3, 8, false}, 0, false}));
}

TEST(AutoWindow, CentralHalfOf512)
{
    // Rows and columns 128..383: values at 127 and 384 do not count.
    std::vector<int> values(512 * 512, 50);
    values[128 * 512 + 128] = 10;
    values[383 * 512 + 383] = 90;
    values[127 * 512 + 200] = -999;
    values[200 * 512 + 384] = 999;
    const auto buffer = WordImage(512, 512, values);
    const auto result = FindAutoWindow({buffer, {0, 512, 512, false}, 0, false});
    EXPECT_EQ(result->minimum, 10);
    EXPECT_EQ(result->maximum, 90);
    // A buffer ending at row 300 is measured on the rows that exist.
    const std::vector<std::uint8_t> cut(buffer.begin(), buffer.begin() + 2 * 300 * 512);
    const auto partial = FindAutoWindow({cut, {0, 512, 512, false}, 0, false});
    EXPECT_EQ(partial->minimum, 10);
    EXPECT_EQ(partial->maximum, 50);
}

// A header typed as the most negative integer puts every sample about 2 GB
// before the buffer: nothing exists, nothing is read.
TEST(SampleReader, MostNegativeHeaderLeavesNoSamples)
{
    const std::vector<std::uint8_t> buffer = WordImage(4, 4, std::vector<int>(16, 7));
    const SampleReader reader{buffer, {INT32_MIN, 4, 4, false}, 0, false};
    EXPECT_FALSE(MeasureRoi(reader, {0, 3, 0, 3}, {1, 0, 3, 3}));
    EXPECT_FALSE(FindAutoWindow(reader));
    EXPECT_TRUE(ClipToExistingSamples(buffer.size(), reader.layout, {0, 0, 4, 4}).Empty());
    EXPECT_EQ(RowsWithSamples(buffer.size(), reader.layout).end, 0);
}

}  // namespace
}  // namespace radmtf
