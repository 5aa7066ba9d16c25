// The pixel table of the analysis window: the ROI block of the loaded image,
// read the way the viewer's measurements read it, and the table's texts.
//
// Table layout (grid coordinates, both counted from 0): row 0 and column 0
// hold headers, data cells are (1, 1) .. (C, R).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

// The image block behind the ROI, in image coordinates. The first column is
// one left of the ROI's left bound (the same block the ROI statistics read).
struct TableBlock {
    std::int64_t firstColumn = 0;
    std::int64_t firstRow = 0;
    std::int64_t width = 0;   // data columns of the table
    std::int64_t height = 0;  // data rows of the table
};

// How a 16-bit sample is read: word at header + 2 × (row × ImageWidth + col),
// low byte first, optionally swapped, plus the offset modulo 65536, signed.
struct SampleFormat {
    std::int64_t header = 0;
    std::int32_t valueOffset = 0;
    bool swapBytes = false;
};

// c0 = viewLeft + roiLeft − 1, r0 = viewTop + roiTop,
// w = roiRight − roiLeft + 1, h = roiBottom − roiTop + 1.
TableBlock TransferBlock(std::int32_t viewLeft, std::int32_t viewTop, std::int32_t roiLeft,
                         std::int32_t roiTop, std::int32_t roiRight, std::int32_t roiBottom);

// True when every sample of the block lies inside the image
// (imageWidth × imageHeight) and its two bytes inside the buffer. An empty
// block (no column or no row) reads nothing and fits; a negative size does not.
bool BlockInsideImage(const TableBlock& block, std::int32_t imageWidth, std::int32_t imageHeight,
                      std::int64_t header, std::size_t bufferSize);

// One sample value (the caller guarantees the two bytes are in the buffer).
std::int32_t SampleValue(const std::uint8_t* word, const SampleFormat& format);

// Fills values (resized to width × height, row-major: table row 1 first,
// left to right) with the block's sample values. Throws Failure with
// FailureCode::kRoiOutsideImage, before touching values, when the block does not fit.
void ReadBlockValues(std::span<const std::uint8_t> buffer, std::int32_t imageWidth, std::int32_t imageHeight,
                     const SampleFormat& format, const TableBlock& block, std::vector<std::int32_t>& values);

// Header texts: column i + 1 shows roiLeft + i, row j + 1 shows roiTop + j.
std::vector<std::string> ColumnHeaderTexts(std::int32_t roiLeft, std::int64_t width);
std::vector<std::string> RowHeaderTexts(std::int32_t roiTop, std::int64_t height);

// Read access to the table's data cells, in grid coordinates (column 1 .. C,
// row 1 .. R). A cell without a value (never filled) is std::nullopt. The
// kernels never ask for a cell outside that range; they treat such a cell
// as empty themselves. The reader may throw.
using CellReader = std::function<std::optional<std::int32_t>(int column, int row)>;

struct PixelTableView {
    int dataColumns = 0;  // C = column count − 1
    int dataRows = 0;     // R = row count − 1
    CellReader cell;
};

// Clipboard text of the data cells: untransposed one line per data row
// (cells of that row TAB-separated), transposed one line per data column;
// every line ends with CR LF. Empty cells, and cells of a missing first
// row or column, give empty text.
std::string PixelTableClipboardText(const PixelTableView& table, bool transposed);

}  // namespace radmtf
