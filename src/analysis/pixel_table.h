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

#include "viewer/sample_reader.h"

namespace radmtf {

// The ROI block (RoiBlock: its first column is one left of the ROI's left
// bound, the block the ROI statistics read) is read with the viewer's sample
// reading, so the table holds the values the statistics measure.

// True when every sample of the block exists: inside the image and its bytes
// inside the buffer. An empty block (no column or no row) reads nothing and
// fits; a negative size does not.
bool BlockInsideImage(std::size_t bufferSize, const SampleLayout& layout, const SampleBlock& block);

// Fills values (resized to cols × rows, row-major: table row 1 first, left
// to right) with the block's measurement values. Throws Failure with
// FailureCode::kRoiOutsideImage, before touching values, when the block does not fit.
void ReadBlockValues(const SampleReader& reader, const SampleBlock& block, std::vector<std::int32_t>& values);

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

// The data cells row by row (table row 1 first). An empty cell fails with
// the not-an-integer message for '', as "2Dto1D" does.
std::vector<std::int32_t> TableCellValues(const PixelTableView& table);

// Clipboard text of the data cells: untransposed one line per data row
// (cells of that row TAB-separated), transposed one line per data column;
// every line ends with CR LF. Empty cells, and cells of a missing first
// row or column, give empty text.
std::string PixelTableClipboardText(const PixelTableView& table, bool transposed);

}  // namespace radmtf
