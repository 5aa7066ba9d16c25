// Where the samples of the loaded file lie, and the one sample reading that
// rendering, statistics, the automatic window, trimming, the transforms and
// the ROI transfer share.
//
// Nothing here ever reads outside the buffer: a sample outside the image or
// whose bytes are not all inside the buffer is "missing". Every address is
// formed in 64 bits, so no typed header or size can wrap it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "viewer/view_types.h"

namespace radmtf {

// The image inside the file buffer: sample (row r, column c) starts at byte
// header + bytesPerSample * (r * width + c). Width and height are the column
// and row edits as typed (they may be zero or negative: then there is no sample).
struct SampleLayout {
    std::int64_t header = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool eightBit = false;  // mode " 8bit" (mode item 0): one byte per sample
    // 16-bit words read as unsigned values (a DICOM file with
    // PixelRepresentation 0); raw files keep the signed reading.
    bool unsignedWords = false;

    int BytesPerSample() const { return eightBit ? 1 : 2; }
};

// Columns [first, end) of image row `row` whose samples lie wholly inside a
// buffer of `bufferSize` bytes and inside the image. Empty (first == end) for
// a row outside the image.
struct ColumnRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
};
ColumnRange ExistingColumns(std::size_t bufferSize, const SampleLayout& layout, std::int64_t row);

// Byte position of sample (row, col) for a sample known to exist.
inline std::int64_t SampleOffset(const SampleLayout& layout, std::int64_t row, std::int64_t col)
{
    return layout.header + layout.BytesPerSample() * (row * layout.width + col);
}

// Rows [first, end) that may hold samples in the buffer: every row outside
// it has none, so a loop over the image's rows need not visit more than the
// buffer's size allows, whatever size was typed.
struct RowRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
};
RowRange RowsWithSamples(std::size_t bufferSize, const SampleLayout& layout);

// Byte position of sample (row, col), or nothing when the sample is missing.
std::optional<std::size_t> SampleBytePosition(std::size_t bufferSize, const SampleLayout& layout,
                                              std::int64_t row, std::int64_t col);

// Measurement reading: the stored word (low byte first), bytes exchanged with
// Swap, then v = (word + offset) mod 65536 read as signed 16-bit, so a word
// 0x7FFF with offset 1 reads -32768. In 8-bit mode the word is the byte itself,
// or byte * 256 with Swap, the same value that rendering shows. Unsigned
// words (SampleLayout::unsignedWords) read v = word + offset, unwrapped.
struct SampleReader {
    std::span<const std::uint8_t> buffer;
    SampleLayout layout;
    std::int32_t offset = 0;
    bool swap = false;
};
std::optional<std::int32_t> ReadMeasuredSample(const SampleReader& reader, std::int64_t row,
                                               std::int64_t col);

// The measurement value of a word: (word + offset) mod 65536 signed, or
// word + offset for unsigned words (wrapping only beyond 32 bits).
inline std::int32_t MeasuredValue(std::uint32_t word, std::uint32_t offset, bool unsignedWords)
{
    if (unsignedWords) return static_cast<std::int32_t>(word + offset);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(word + offset));
}

// The measurement value of the sample whose bytes start at p (known to exist).
inline std::int32_t DecodeMeasuredSample(const SampleReader& reader, const std::uint8_t* p)
{
    std::uint32_t word;
    if (reader.layout.eightBit) {
        word = reader.swap ? static_cast<std::uint32_t>(p[0]) << 8 : p[0];
    } else {
        word = reader.swap ? (static_cast<std::uint32_t>(p[0]) << 8) | p[1]
                           : p[0] | (static_cast<std::uint32_t>(p[1]) << 8);
    }
    return MeasuredValue(word, static_cast<std::uint32_t>(reader.offset), reader.layout.unsignedWords);
}

// A block of samples: `rows` rows from row0, `cols` columns from col0.
struct SampleBlock {
    std::int64_t row0 = 0;
    std::int64_t col0 = 0;
    std::int64_t rows = 0;
    std::int64_t cols = 0;

    bool Empty() const { return rows <= 0 || cols <= 0; }
};

// The ROI block that statistics, trimming and the ROI transfer read: the
// ROI's bitmap rectangle plus the view origin, starting one column left of
// the ROI's left edge (so all three agree on the same samples).
SampleBlock RoiBlock(const ViewRect& view, const PixelRect& roiBitmapRect);

// Calls f(v) with the measurement value of every sample of a block whose
// samples all exist (a ClipToExistingSamples result), row by row. The
// sample format is fixed per call so that the inner loop has no branches on it.
template <bool kEightBit, bool kSwap, bool kUnsigned, typename F>
void ForEachSampleOf(const SampleReader& reader, const SampleBlock& block, F& f)
{
    constexpr std::int64_t kBytes = kEightBit ? 1 : 2;
    const auto offset = static_cast<std::uint32_t>(reader.offset);
    for (std::int64_t r = block.row0; r < block.row0 + block.rows; ++r) {
        const std::uint8_t* p = reader.buffer.data() + SampleOffset(reader.layout, r, block.col0);
        for (std::int64_t c = 0; c < block.cols; ++c, p += kBytes) {
            std::uint32_t word;
            if constexpr (kEightBit) {
                word = kSwap ? static_cast<std::uint32_t>(p[0]) << 8 : p[0];
            } else {
                word = kSwap ? (static_cast<std::uint32_t>(p[0]) << 8) | p[1]
                             : p[0] | (static_cast<std::uint32_t>(p[1]) << 8);
            }
            f(MeasuredValue(word, offset, kUnsigned));
        }
    }
}

template <typename F>
void ForEachSample(const SampleReader& reader, const SampleBlock& block, F&& f)
{
    if (reader.layout.eightBit) {
        reader.swap ? ForEachSampleOf<true, true, false>(reader, block, f)
                    : ForEachSampleOf<true, false, false>(reader, block, f);
    } else if (reader.layout.unsignedWords) {
        reader.swap ? ForEachSampleOf<false, true, true>(reader, block, f)
                    : ForEachSampleOf<false, false, true>(reader, block, f);
    } else {
        reader.swap ? ForEachSampleOf<false, true, false>(reader, block, f)
                    : ForEachSampleOf<false, false, false>(reader, block, f);
    }
}

// The largest part of `block` whose samples all exist: the block is cut to the
// image, then to the rows whose samples in the block's columns all lie in the
// buffer (those rows are consecutive). Empty when nothing is left.
SampleBlock ClipToExistingSamples(std::size_t bufferSize, const SampleLayout& layout,
                                  const SampleBlock& block);

}  // namespace radmtf
