#include "analysis/pixel_table.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

TableBlock TransferBlock(std::int32_t viewLeft, std::int32_t viewTop, std::int32_t roiLeft,
                         std::int32_t roiTop, std::int32_t roiRight, std::int32_t roiBottom)
{
    TableBlock block;
    block.firstColumn = std::int64_t{viewLeft} + roiLeft - 1;
    block.firstRow = std::int64_t{viewTop} + roiTop;
    block.width = std::int64_t{roiRight} - roiLeft + 1;
    block.height = std::int64_t{roiBottom} - roiTop + 1;
    return block;
}

bool BlockInsideImage(const TableBlock& block, std::int32_t imageWidth, std::int32_t imageHeight,
                      std::int64_t header, std::size_t bufferSize)
{
    if (block.width < 0 || block.height < 0) return false;
    if (block.width == 0 || block.height == 0) return true;
    if (block.firstColumn < 0 || block.firstRow < 0) return false;
    if (block.firstColumn + block.width > imageWidth) return false;
    if (block.firstRow + block.height > imageHeight) return false;
    if (header < -(std::int64_t{1} << 62) || header > (std::int64_t{1} << 62)) return false;
    // Inside the image the address grows with row and column, so the first
    // and the last sample bound all others. The sizes are below 2^31 each,
    // so the address fits in 64 bits.
    const std::int64_t first = header + 2 * (block.firstRow * imageWidth + block.firstColumn);
    const std::int64_t lastRow = block.firstRow + block.height - 1;
    const std::int64_t lastColumn = block.firstColumn + block.width - 1;
    const std::int64_t last = header + 2 * (lastRow * imageWidth + lastColumn);
    return first >= 0 && last + 2 <= static_cast<std::int64_t>(bufferSize);
}

std::int32_t SampleValue(const std::uint8_t* word, const SampleFormat& format)
{
    // v = (word + offset) mod 65536, read as a signed 16-bit number.
    std::uint32_t value =
        format.swapBytes ? (std::uint32_t{word[0]} << 8) | word[1] : (std::uint32_t{word[1]} << 8) | word[0];
    value = (value + static_cast<std::uint32_t>(format.valueOffset)) & 0xFFFFu;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

void ReadBlockValues(std::span<const std::uint8_t> buffer, std::int32_t imageWidth, std::int32_t imageHeight,
                     const SampleFormat& format, const TableBlock& block, std::vector<std::int32_t>& values)
{
    if (!BlockInsideImage(block, imageWidth, imageHeight, format.header, buffer.size()))
        ThrowFailure(FailureCode::kRoiOutsideImage);

    values.resize(static_cast<std::size_t>(block.width * block.height));
    std::int32_t* out = values.data();
    const std::uint32_t offset = static_cast<std::uint32_t>(format.valueOffset);
    // The byte order is decided once per block, not per sample.
    const auto readRows = [&]<bool kSwap>() {
        for (std::int64_t j = 0; j < block.height; ++j) {
            const std::int64_t rowStart =
                format.header + 2 * ((block.firstRow + j) * imageWidth + block.firstColumn);
            const std::uint8_t* word = buffer.data() + rowStart;
            for (std::int64_t i = 0; i < block.width; ++i, word += 2) {
                const std::uint32_t raw =
                    kSwap ? (std::uint32_t{word[0]} << 8) | word[1] : (std::uint32_t{word[1]} << 8) | word[0];
                *out++ = static_cast<std::int16_t>(static_cast<std::uint16_t>(raw + offset));
            }
        }
    };
    if (format.swapBytes)
        readRows.template operator()<true>();
    else
        readRows.template operator()<false>();
}

namespace {

std::vector<std::string> HeaderTexts(std::int64_t first, std::int64_t count)
{
    std::vector<std::string> texts;
    if (count <= 0) return texts;
    texts.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) texts.push_back(IntToStr(first + i));
    return texts;
}

void AppendInt(std::string& text, std::int32_t value)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

}  // namespace

std::vector<std::string> ColumnHeaderTexts(std::int32_t roiLeft, std::int64_t width)
{
    return HeaderTexts(roiLeft, width);
}

std::vector<std::string> RowHeaderTexts(std::int32_t roiTop, std::int64_t height)
{
    return HeaderTexts(roiTop, height);
}

std::string PixelTableClipboardText(const PixelTableView& table, bool transposed)
{
    if (!table.cell) throw std::invalid_argument("PixelTableClipboardText: no cell reader");
    const int columns = table.dataColumns;
    const int rows = table.dataRows;
    const auto appendCell = [&](std::string& text, int column, int row) {
        if (column < 1 || column > columns || row < 1 || row > rows) return;
        if (const std::optional<std::int32_t> value = table.cell(column, row)) AppendInt(text, *value);
    };

    // Untransposed: a line per data row; transposed: a line per data column.
    const int lines = transposed ? columns : rows;
    const int perLine = transposed ? rows : columns;
    std::string text;
    if (lines > 0 && perLine > 0) text.reserve(static_cast<std::size_t>(lines) * (perLine * 7 + 2));
    for (int line = 1; line <= lines; ++line) {
        for (int item = 1; item <= std::max(perLine, 1); ++item) {
            if (item > 1) text.push_back('\t');
            if (transposed)
                appendCell(text, line, item);
            else
                appendCell(text, item, line);
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace radmtf
