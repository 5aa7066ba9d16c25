#include "viewer/sample_reader.h"

#include <algorithm>

namespace radmtf {
namespace {

// Quotients rounded toward minus and plus infinity (divisor > 0).
std::int64_t FloorDiv(std::int64_t n, std::int64_t d)
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
std::int64_t CeilDiv(std::int64_t n, std::int64_t d)
{
    return -FloorDiv(-n, d);
}

}  // namespace

ColumnRange ExistingColumns(std::size_t bufferSize, const SampleLayout& layout, std::int64_t row)
{
    if (layout.width <= 0 || row < 0 || row >= layout.height) return {};
    const std::int64_t bytes = layout.BytesPerSample();
    // A row that starts beyond 2^61 bytes lies past any buffer.
    if (row > 0 && layout.width > (std::int64_t{1} << 60) / row) return {};
    // Sample c occupies [rowStart + bytes*c, rowStart + bytes*(c+1)); it must lie in [0, bufferSize).
    const std::int64_t rowStart = layout.header + bytes * row * layout.width;
    const std::int64_t size = static_cast<std::int64_t>(std::min<std::size_t>(bufferSize, INT64_MAX / 2));
    const std::int64_t first = std::max<std::int64_t>(0, CeilDiv(-rowStart, bytes));
    const std::int64_t end = std::min<std::int64_t>(layout.width, FloorDiv(size - rowStart, bytes));
    if (end <= first) return {};
    return {first, end};
}

std::optional<std::size_t> SampleBytePosition(std::size_t bufferSize, const SampleLayout& layout,
                                              std::int64_t row, std::int64_t col)
{
    const ColumnRange columns = ExistingColumns(bufferSize, layout, row);
    if (col < columns.first || col >= columns.end) return std::nullopt;
    return static_cast<std::size_t>(SampleOffset(layout, row, col));
}

RowRange RowsWithSamples(std::size_t bufferSize, const SampleLayout& layout)
{
    if (layout.width <= 0 || layout.height <= 0) return {};
    // Row r spans bytes [header + rowBytes*r, header + rowBytes*(r+1)); it can
    // hold a sample only when that span meets [0, bufferSize).
    const std::int64_t rowBytes = layout.BytesPerSample() * std::int64_t{layout.width};
    const std::int64_t size = static_cast<std::int64_t>(std::min<std::size_t>(bufferSize, INT64_MAX / 4));
    const std::int64_t first = std::max<std::int64_t>(0, FloorDiv(-layout.header, rowBytes));
    const std::int64_t end = std::min<std::int64_t>(layout.height, CeilDiv(size - layout.header, rowBytes));
    if (end <= first) return {};
    return {first, end};
}

std::optional<std::int32_t> ReadMeasuredSample(const SampleReader& reader, std::int64_t row, std::int64_t col)
{
    const auto position = SampleBytePosition(reader.buffer.size(), reader.layout, row, col);
    if (!position) return std::nullopt;
    return DecodeMeasuredSample(reader, reader.buffer.data() + *position);
}

SampleBlock RoiBlock(const ViewRect& view, const PixelRect& roiBitmapRect)
{
    SampleBlock block;
    block.cols = static_cast<std::int64_t>(roiBitmapRect.right) - roiBitmapRect.left + 1;
    block.rows = static_cast<std::int64_t>(roiBitmapRect.bottom) - roiBitmapRect.top + 1;
    block.row0 = static_cast<std::int64_t>(view.top) + roiBitmapRect.top;
    block.col0 = static_cast<std::int64_t>(view.left) + roiBitmapRect.left - 1;
    return block;
}

SampleBlock ClipToExistingSamples(std::size_t bufferSize, const SampleLayout& layout,
                                  const SampleBlock& block)
{
    if (block.Empty()) return {};
    const std::int64_t colLo = std::max<std::int64_t>(block.col0, 0);
    const std::int64_t colHi = std::min<std::int64_t>(block.col0 + block.cols, layout.width);  // exclusive
    const std::int64_t rowLo = std::max<std::int64_t>(block.row0, 0);
    const std::int64_t rowHi = std::min<std::int64_t>(block.row0 + block.rows, layout.height);  // exclusive
    if (colHi <= colLo || rowHi <= rowLo) return {};

    // Row r holds all of [colLo, colHi) when its first and last sample lie in
    // the buffer: rowStart + bytes*colLo >= 0 and rowStart + bytes*colHi <= size,
    // rowStart = header + bytes*W*r. Both bounds are linear in r, so those rows
    // are consecutive.
    const std::int64_t bytes = layout.BytesPerSample();
    const std::int64_t rowBytes = bytes * layout.width;
    const std::int64_t size = static_cast<std::int64_t>(std::min<std::size_t>(bufferSize, INT64_MAX / 4));
    const std::int64_t firstRow = std::max(rowLo, CeilDiv(-layout.header - bytes * colLo, rowBytes));
    const std::int64_t lastRow =
        std::min(rowHi - 1, FloorDiv(size - layout.header - bytes * colHi, rowBytes));
    if (lastRow < firstRow) return {};
    return {firstRow, colLo, lastRow - firstRow + 1, colHi - colLo};
}

}  // namespace radmtf
