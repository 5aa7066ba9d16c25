#include "dicom/element_table.h"

#include <gtest/gtest.h>

namespace radmtf {
namespace {

TEST(DicomElementTable, CellFormats)
{
    EXPECT_EQ(FormatRowNumber(1), "  1");
    EXPECT_EQ(FormatRowNumber(42), " 42");
    EXPECT_EQ(FormatRowNumber(1234), "1234");
    EXPECT_EQ(Hex4(0x0002), "0002");
    EXPECT_EQ(Hex4(0x7FE0), "7FE0");
    EXPECT_EQ(Hex4(0xe00d), "E00D");
}

TEST(DicomElementTable, SummaryLabelsByGroup)
{
    struct Case {
        std::uint16_t group, element;
        const char* line;  // nullptr: no line
    };
    const Case cases[] = {
        {0x0028, 0x0010, "DspMtrx : v\r\n"}, {0x0018, 0x0010, nullptr},
        {0x0028, 0x0030, "mmPSize : v\r\n"}, {0x0018, 0x7022, "mmPSize : v\r\n"},
        {0x0018, 0x0050, "mmST : v\r\n"},    {0x0018, 0x0060, "kV : v\r\n"},
        {0x0020, 0x0060, "kV : v\r\n"},      {0x0008, 0x0060, nullptr},
        {0x0018, 0x0080, "msTR : v\r\n"},    {0x0018, 0x0081, "msTE : v\r\n"},
        {0x0018, 0x0083, "Ac : v\r\n"},      {0x0018, 0x0089, "PE# : v\r\n"},
        {0x0018, 0x0091, "ETL : v\r\n"},     {0x0018, 0x0095, "Hz/pxl : v\r\n"},
        {0x0008, 0x103E, "Se : v\r\n"},      {0x0019, 0x103E, "Se : v\r\n"},
        {0x0018, 0x1100, "mmFOV : v\r\n"},   {0x0028, 0x1100, nullptr},
        {0x0018, 0x1152, "mAs : v\r\n"},     {0x0043, 0x1152, "mAs : v\r\n"},
        {0x0018, 0x1210, "RF : v\r\n"},      {0x0018, 0x1250, "Coil : v\r\n"},
        {0x0018, 0x1310, "AcMtrx : v\r\n"},  {0x0018, 0x1312, "PE : v\r\n"},
        {0x0018, 0x1090, nullptr},           {0x0028, 0x0011, nullptr},
    };
    for (const Case& c : cases) {
        std::string summary = "A\r\n";
        AddSummaryLine(summary, c.group, c.element, "v");
        EXPECT_EQ(summary, std::string("A\r\n") + (c.line ? c.line : ""))
            << Hex4(c.group) << "," << Hex4(c.element);
    }
}

TEST(DicomElementTable, ModelNameGoesFirstWithoutLabel)
{
    std::string summary = "kV : 80\r\n";
    AddSummaryLine(summary, 0x0008, 0x1090, "MODEL ");
    EXPECT_EQ(summary, "MODEL \r\nkV : 80\r\n");
}

}  // namespace
}  // namespace radmtf
