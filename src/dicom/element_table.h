// Cell texts of the DICOM element table and the lines of the acquisition
// summary that the header reader produces for each listed element.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

// Columns of one table row: " No", "Group", "Erement", "VR", "CHR#", "Name",
// "Value". Cells hold raw bytes, one byte per character (Latin-1).
inline constexpr int kDicomTableColumns = 7;
using DicomTableCells = std::array<std::string, kDicomTableColumns>;

// One row as read: the numbers, the value and which cells were written. A
// header may list hundreds of thousands of elements, so a row keeps no cell
// text; DicomTable::Cell makes it when the cell is shown.
struct DicomTableRow {
    std::string value;           // "Value", raw bytes
    std::uint32_t name = 0;      // "Name": index into DicomTable::names
    std::uint16_t group = 0;     // "Group"
    std::uint16_t element = 0;   // "Erement"
    std::uint16_t length = 0;    // "CHR#", the length field as read
    char vr[2] = {};             // "VR", `vrSize` letters
    std::uint8_t vrSize = 0;
    std::uint8_t written = 0;    // bit c: cell c was written
};

// The table's rows below its header row, and the element names they use,
// each name once.
struct DicomTable {
    std::vector<DicomTableRow> rows;  // rows[r - 1] is table row r
    std::vector<std::string> names{std::string()};

    // The text of a cell of table row r >= 1 (empty when never written or
    // beyond the rows); " No" is the row's own number.
    std::string Cell(int row, int column) const;
    DicomTableCells Cells(int row) const;
};

// Four uppercase hexadecimal digits, as in the "Group", "Erement" and "CHR#"
// columns.
std::string Hex4(std::uint16_t value);

// The " No" cell: printf "%3d", right aligned in three characters and wider
// when the number needs more digits.
std::string FormatRowNumber(int row);

// Adds the summary line of (group, element) to `summary`, if it has one:
// label + value + CR LF at the end, or for the model name (0008,1090) the
// value + CR LF in front of all lines.
void AddSummaryLine(std::string& summary, std::uint16_t group, std::uint16_t element, std::string_view value);

// The summary while a header is walked: the model-name lines, which go in
// front, are kept apart, so that a header of many elements builds the text
// in linear time. Text() is the summary AddSummaryLine would have built.
struct SummaryBuilder {
    std::vector<std::string> frontLines;  // in the order met; the last one met comes first
    std::string lines;
    std::string Text() const;
};
void AddSummaryLine(SummaryBuilder& summary, std::uint16_t group, std::uint16_t element,
                    std::string_view value);

}  // namespace radmtf
