#include "dicom/element_table.h"

#include <cstdio>

namespace radmtf {

namespace {

constexpr std::uint16_t kAnyGroup = 0xFFFF;

struct SummaryLabel {
    std::uint16_t element;
    std::uint16_t group;  // kAnyGroup: the element number alone selects the line
    const char* label;
};

// Acquisition parameters of CT, MR and radiography headers that the
// technologist wants to see at a glance.
constexpr SummaryLabel kSummaryLabels[] = {
    {0x0010, 0x0028, "DspMtrx : "}, {0x0030, 0x0028, "mmPSize : "}, {0x0050, 0x0018, "mmST : "},
    {0x0080, 0x0018, "msTR : "},    {0x0081, 0x0018, "msTE : "},    {0x0083, 0x0018, "Ac : "},
    {0x0089, 0x0018, "PE# : "},     {0x0091, 0x0018, "ETL : "},     {0x0095, 0x0018, "Hz/pxl : "},
    {0x103E, kAnyGroup, "Se : "},   {0x1100, 0x0018, "mmFOV : "},   {0x1152, kAnyGroup, "mAs : "},
    {0x1210, kAnyGroup, "RF : "},   {0x1250, 0x0018, "Coil : "},    {0x1310, 0x0018, "AcMtrx : "},
    {0x1312, 0x0018, "PE : "},      {0x7022, 0x0018, "mmPSize : "},
};

}  // namespace

std::string Hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

std::string DicomTable::Cell(int row, int column) const
{
    if (row < 1 || static_cast<std::size_t>(row) > rows.size() || column < 0 || column >= kDicomTableColumns)
        return {};
    const DicomTableRow& cells = rows[static_cast<std::size_t>(row - 1)];
    if ((cells.written & (1u << column)) == 0) return {};
    switch (column) {
        case 0:
            return FormatRowNumber(row);
        case 1:
            return Hex4(cells.group);
        case 2:
            return Hex4(cells.element);
        case 3:
            return std::string(cells.vr, cells.vrSize);
        case 4:
            return Hex4(cells.length);
        case 5:
            return cells.name < names.size() ? names[cells.name] : std::string();
        default:
            return cells.value;
    }
}

DicomTableCells DicomTable::Cells(int row) const
{
    DicomTableCells cells;
    for (int c = 0; c < kDicomTableColumns; ++c) cells[std::size_t(c)] = Cell(row, c);
    return cells;
}

std::string FormatRowNumber(int row)
{
    char text[16];
    std::snprintf(text, sizeof text, "%3d", row);
    return text;
}

void AddSummaryLine(SummaryBuilder& summary, std::uint16_t group, std::uint16_t element,
                    std::string_view value)
{
    if (element == 0x1090 && group == 0x0008) {
        summary.frontLines.emplace_back(value).append("\r\n");
        return;
    }
    // KVP lives in group 0018, but any group except the identifying one 0008
    // (where 0060 is the modality) gives the line.
    const char* label = nullptr;
    if (element == 0x0060 && group != 0x0008) {
        label = "kV : ";
    } else {
        for (const SummaryLabel& entry : kSummaryLabels) {
            if (entry.element == element && (entry.group == kAnyGroup || entry.group == group)) {
                label = entry.label;
                break;
            }
        }
    }
    if (label == nullptr) return;
    summary.lines += label;
    summary.lines += value;
    summary.lines += "\r\n";
}

std::string SummaryBuilder::Text() const
{
    std::string text;
    for (auto line = frontLines.rbegin(); line != frontLines.rend(); ++line) text += *line;
    return text + lines;
}

void AddSummaryLine(std::string& summary, std::uint16_t group, std::uint16_t element, std::string_view value)
{
    SummaryBuilder builder;
    builder.lines = std::move(summary);
    AddSummaryLine(builder, group, element, value);
    summary = builder.Text();
}

}  // namespace radmtf
