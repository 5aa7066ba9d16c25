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
using DicomTableRow = std::array<std::string, 7>;

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
