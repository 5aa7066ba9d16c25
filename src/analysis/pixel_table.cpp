#include "analysis/pixel_table.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

bool BlockInsideImage(std::size_t bufferSize, const SampleLayout& layout, const SampleBlock& block)
{
    if (block.rows < 0 || block.cols < 0) return false;
    if (block.Empty()) return true;
    const SampleBlock existing = ClipToExistingSamples(bufferSize, layout, block);
    return existing.row0 == block.row0 && existing.col0 == block.col0 && existing.rows == block.rows &&
           existing.cols == block.cols;
}

void ReadBlockValues(const SampleReader& reader, const SampleBlock& block, std::vector<std::int32_t>& values)
{
    if (!BlockInsideImage(reader.buffer.size(), reader.layout, block))
        ThrowFailure(FailureCode::kRoiOutsideImage);
    values.resize(static_cast<std::size_t>(block.cols * block.rows));
    if (block.Empty()) return;
    std::int32_t* out = values.data();
    ForEachSample(reader, block, [&](std::int32_t v) { *out++ = v; });
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

std::vector<std::int32_t> TableCellValues(const PixelTableView& table)
{
    const int columns = std::max(table.dataColumns, 0);
    const int rows = std::max(table.dataRows, 0);
    std::vector<std::int32_t> values;
    values.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            const std::optional<std::int32_t> value = table.cell(c, r);
            if (!value) ThrowNotInteger("");
            values.push_back(*value);
        }
    }
    return values;
}

}  // namespace radmtf
