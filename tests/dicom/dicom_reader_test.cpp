#include "dicom/dicom_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/failure.h"
#include "core/numtext.h"
#include "dicom_builder.h"
#include "failure_text.h"

namespace radmtf {
namespace {

using testdata::DicomWriter;

// A small dictionary: the lookup itself is tested with the real one.
constexpr std::string_view kDictionary =
    "0002\t0002\tMediaStorageSOPClassUID\tN\r\n"
    "0002\t0003\tMediaStorageSOPInstanceUID\tN\r\n"
    "0002\t0010\tTransferSyntaxUID\tN\r\n"
    "0008\t0060\tModality\tN\r\n"
    "0028\t0010\tRows\tN\r\n"
    "0028\t0011\tColumns\tN\r\n"
    "7FE0\t0010\tPixelData\tN";

const std::string kExplicitLe = "1.2.840.10008.1.2.1";
const std::string kImplicitLe = "1.2.840.10008.1.2";

struct TestFile {
    std::vector<std::uint8_t> bytes;
    std::size_t pixelTag;  // offset of the (7FE0,0010) tag
};

// Appends Pixel Data long enough to put its tag in the first half.
TestFile WithPixels(DicomWriter w)
{
    const std::size_t k = w.size();
    w.PixelData(std::vector<std::uint16_t>(k / 2 + 8, 0x0101));
    return {w.bytes(), k};
}

DicomWriter Begin(bool explicitVr, const std::string& syntax)
{
    DicomWriter w(explicitVr);
    w.Preamble().MetaHeader(syntax);
    return w;
}

DicomHeaderOutput Read(const std::vector<std::uint8_t>& bytes, std::string_view windowWidthBefore = "1024")
{
    DicomHeaderOutput out;
    ReadDicomHeader(bytes.data(), bytes.size(), kDictionary, windowWidthBefore, out);
    return out;
}

DicomTableCells Row(const DicomHeaderOutput& out, int r)
{
    EXPECT_LE(static_cast<std::size_t>(r), out.table.rows.size());
    return out.table.Cells(r);
}

// Group, element, VR and value of the listed rows 4 and on (rows 1 to 3 are
// the meta elements), one text per row, for compact expectations.
std::vector<std::string> DataRows(const DicomHeaderOutput& out)
{
    std::vector<std::string> rows;
    for (int r = 4; r < out.rowCount; ++r) {
        const DicomTableCells row = Row(out, r);
        rows.push_back(row[0] + "|" + row[1] + "," + row[2] + "|" + row[3] + "|" + row[6]);
    }
    return rows;
}

std::string Bytes(std::initializer_list<std::uint8_t> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(DicomReader, ExplicitLittleEndianFile)
{
    DicomWriter w = Begin(true, kExplicitLe);
    w.Element(0x0008, 0x0060, "CS", "DX");
    w.Raw({0x28, 0x00, 0x10, 0x00, 'U', 'S', 0x02, 0x00, 0x00, 0x02});  // Rows 512
    w.US(0x0028, 0x0011, 512);
    const TestFile file = WithPixels(w);
    DicomHeaderOutput out;
    out.swap = true;
    ReadDicomHeader(file.bytes.data(), file.bytes.size(), kDictionary, "", out);

    EXPECT_EQ(out.swap, std::optional<bool>(false));
    EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(file.pixelTag + 12));
    EXPECT_EQ(out.columns, 512);
    EXPECT_EQ(out.rows, 512);
    EXPECT_EQ(out.valueOffset, 0);
    EXPECT_EQ(out.fovWritten, "");
    EXPECT_FALSE(out.pixelSpacingWritten.has_value());
    EXPECT_FALSE(out.windowLevel.has_value());
    EXPECT_FALSE(out.windowWidth.has_value());
    ASSERT_TRUE(out.tableReplaced);
    EXPECT_EQ(out.rowCount, 8);
    EXPECT_EQ(out.nextRow, 8);

    // (0002,0002) comes first, its NUL padding dropped.
    EXPECT_EQ(Row(out, 1), (DicomTableCells{"  1", "0002", "0002", "UI", "001C", "MediaStorageSOPClassUID",
                                            "1.2.840.10008.5.1.4.1.1.1.1"}));
    // Other values keep their padding, byte for byte.
    EXPECT_EQ(Row(out, 2)[6], std::string("1.2.392.200036.9999.1\0", 22));
    EXPECT_EQ(Row(out, 3), (DicomTableCells{"  3", "0002", "0010", "UI", "0014", "TransferSyntaxUID",
                                            std::string("1.2.840.10008.1.2.1\0", 20)}));
    EXPECT_EQ(Row(out, 4), (DicomTableCells{"  4", "0008", "0060", "CS", "0002", "Modality", "DX"}));
    EXPECT_EQ(Row(out, 5), (DicomTableCells{"  5", "0028", "0010", "US", "0002", "Rows", "512"}));
    // Pixel Data is walked like any element: "OW" reads its value from the
    // upper half of the 4-byte length on; "CHR#" shows the unadjusted length.
    const std::size_t pixelBytes = file.bytes.size() - file.pixelTag - 12;
    const DicomTableCells pixels = Row(out, 7);
    EXPECT_EQ(pixels[1] + pixels[2] + pixels[3], "7FE00010OW");
    EXPECT_EQ(pixels[4], Hex4(static_cast<std::uint16_t>(pixelBytes)));
    EXPECT_EQ(pixels[6].size(), pixelBytes + 2);
    EXPECT_EQ(pixels[6].substr(0, 4), Bytes({0, 0, 1, 1}));
    // Row past the end: cleared by the walk's last step and not shown.
    EXPECT_EQ(out.summary, "DspMtrx : 512\r\n");
    EXPECT_TRUE(out.summaryWritten);
}

TEST(DicomReader, ImplicitLittleEndianFile)
{
    DicomWriter w = Begin(false, kImplicitLe);
    w.Element(0x0018, 0x0060, "", "80");                 // group 0018: stays text
    w.Element(0x0028, 0x0010, "", Bytes({0xD0, 0x07}));  // Rows 2000
    w.Element(0x0028, 0x0100, "", Bytes({0x10, 0x00}));  // Bits Allocated 16
    w.Element(0x0028, 0x0103, "", Bytes({0xFF, 0xFF}));  // read as signed: -1
    w.Element(0x0028, 0x1053, "", "1 ");                 // Rescale Slope is never converted
    w.Element(0x0028, 0x1054, "", "US");                 // 2 bytes in group 0028: a number
    const TestFile file = WithPixels(w);
    const DicomHeaderOutput out = Read(file.bytes);

    EXPECT_EQ(out.swap, std::optional<bool>(false));
    EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(file.pixelTag + 8));
    EXPECT_EQ(out.rows, 2000);
    EXPECT_EQ(Row(out, 4), (DicomTableCells{"  4", "0018", "0060", "", "0002", "", "80"}));
    EXPECT_EQ(DataRows(out),
              (std::vector<std::string>{"  4|0018,0060||80", "  5|0028,0010||2000", "  6|0028,0100||16",
                                        "  7|0028,0103||-1", "  8|0028,1053||1 ", "  9|0028,1054||21333",
                                        " 10|7FE0,0010||" + std::string(Row(out, 10)[6])}));
    EXPECT_EQ(Row(out, 10)[6].size(), file.bytes.size() - file.pixelTag - 8);
    EXPECT_EQ(out.summary, "kV : 80\r\nDspMtrx : 2000\r\n");
}

TEST(DicomReader, TransferSyntaxSetsSwapOnlyForTheThreeKnownOnes)
{
    const std::pair<std::string, std::optional<bool>> cases[] = {
        {"1.2.840.10008.1.2", false},
        {"1.2.840.10008.1.2.1", false},
        {"1.2.840.10008.1.2.4.70", std::nullopt},  // compressed: nothing marks it
    };
    for (const auto& [syntax, swap] : cases) {
        DicomHeaderOutput out;
        out.swap = true;
        const TestFile file = WithPixels(Begin(true, syntax));
        ReadDicomHeader(file.bytes.data(), file.bytes.size(), kDictionary, "", out);
        EXPECT_EQ(out.swap, swap) << syntax;
    }
}

// Big-endian data set after the (little-endian) meta group.
DicomWriter BigEndianFile()
{
    DicomWriter w = Begin(true, "1.2.840.10008.1.2.2");
    w.Raw({0x00, 0x28, 0x00, 0x10, 'U', 'S', 0x00, 0x02, 0x00, 0x10});
    return w;
}

TEST(DicomReader, BigEndianFileIsNotDicomUnlessTheLittleEndianTagTurnsUp)
{
    DicomWriter plain = BigEndianFile();
    plain.Raw({0x7F, 0xE0, 0x00, 0x10, 'O', 'W', 0x00, 0x00, 0x00, 0x00, 0x02, 0x00});
    plain.Raw(std::vector<std::uint8_t>(512, 0x12));
    DicomHeaderOutput out = Read(plain.bytes());
    EXPECT_FALSE(out.tableReplaced);
    EXPECT_FALSE(out.summaryWritten);
    EXPECT_FALSE(out.swap.has_value());
    EXPECT_FALSE(out.headerOffset);
    EXPECT_FALSE(out.columns);
    EXPECT_FALSE(out.rows);
    EXPECT_EQ(out.fovWritten, "");
    EXPECT_EQ(out.valueOffset, 0);

    // The same bytes with E0 7F 10 00 among the first pixel values.
    DicomWriter lucky = BigEndianFile();
    lucky.Raw({0x7F, 0xE0, 0x00, 0x10, 'O', 'W', 0x00, 0x00, 0x00, 0x00, 0x02, 0x00});
    const std::size_t k = lucky.size();
    lucky.Raw({0xE0, 0x7F, 0x10, 0x00, 0x00, 0x00});
    lucky.Raw(std::vector<std::uint8_t>(506, 0x12));
    out = Read(lucky.bytes());
    EXPECT_TRUE(out.tableReplaced);
    EXPECT_EQ(out.swap, std::optional<bool>(true));
    EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(k + 8));
}

TEST(DicomReader, PixelTagMustEndInTheFirstHalf)
{
    DicomWriter w = Begin(true, kExplicitLe);
    const std::size_t k = w.size();
    w.Raw({0xE0, 0x7F, 0x10, 0x00, 'O', 'W', 0, 0});
    // The tag's last byte at k + 3 lies at S div 2 exactly, then one byte too far.
    std::vector<std::uint8_t> bytes = w.bytes();
    bytes.resize(2 * (k + 3) + 1, 0);
    EXPECT_TRUE(Read(bytes).tableReplaced);
    bytes.resize(2 * (k + 3) - 1);
    const DicomHeaderOutput out = Read(bytes);
    EXPECT_FALSE(out.tableReplaced);
    EXPECT_FALSE(out.headerOffset);
    EXPECT_EQ(out.valueOffset, 0);
}

TEST(DicomReader, SequenceOfUndefinedLengthEndsWithAnSqRow)
{
    DicomWriter item1(true), item2(true);
    item1.Element(0x0008, 0x0100, "SH", "CODE01").Element(0x0008, 0x0102, "SH", "DCM ");
    item2.Element(0x0008, 0x0100, "SH", "CODE02");
    DicomWriter w = Begin(true, kExplicitLe);
    w.Sequence(0x0008, 0x1032, {item1.bytes(), item2.bytes()}, false, false);
    w.US(0x0028, 0x0010, 7);
    const DicomHeaderOutput out = Read(WithPixels(w).bytes);

    EXPECT_EQ(Row(out, 4), (DicomTableCells{"", "0008", "1032", "SQ", "", "", ""}));
    EXPECT_EQ(Row(out, 8), (DicomTableCells{"", "", "", "SQ", "", "", ""}));
    const std::vector<std::string> rows = DataRows(out);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[1], "  5|0008,0100|SH|CODE01");
    EXPECT_EQ(rows[2], "  6|0008,0102|SH|DCM ");
    EXPECT_EQ(rows[3], "  7|0008,0100|SH|CODE02");
    EXPECT_EQ(rows[5], "  9|0028,0010|US|7");
    EXPECT_EQ(rows[6].substr(0, 17), " 10|7FE0,0010|OW|");
    EXPECT_EQ(out.rows, 7);
}

TEST(DicomReader, SequenceOfDefinedLengthGoesOnWithTheNextElement)
{
    DicomWriter item1(true), item2(true);
    item1.Element(0x0008, 0x0100, "SH", "CODE01");
    item2.Element(0x0008, 0x0100, "SH", "CODE02");
    DicomWriter w = Begin(true, kExplicitLe);
    w.Sequence(0x0008, 0x1032, {item1.bytes(), item2.bytes()}, true, false);
    w.US(0x0028, 0x0010, 7);
    w.US(0x0028, 0x0011, 9);
    const DicomHeaderOutput out = Read(WithPixels(w).bytes);

    const std::vector<std::string> rows = DataRows(out);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], "|0008,1032|SQ|");
    EXPECT_EQ(rows[1], "  5|0008,0100|SH|CODE01");
    EXPECT_EQ(rows[2], "  6|0008,0100|SH|CODE02");
    EXPECT_EQ(rows[3], "  7|0028,0010|US|7");
    EXPECT_EQ(rows[4], "  8|0028,0011|US|9");
    EXPECT_EQ(out.columns, 9);
    EXPECT_EQ(out.rows, 7);
}

TEST(DicomReader, ItemsOfDefinedLengthAfterTheFirstAreListedAsElements)
{
    DicomWriter item1(true), item2(true);
    item1.Element(0x0008, 0x0100, "SH", "CODE01");
    item2.Element(0x0008, 0x0100, "SH", "CODE02");
    DicomWriter w = Begin(true, kExplicitLe);
    w.Sequence(0x0008, 0x1032, {item1.bytes(), item2.bytes()}, true, true);
    w.US(0x0028, 0x0010, 7);
    const DicomHeaderOutput out = Read(WithPixels(w).bytes);

    const std::vector<std::string> rows = DataRows(out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], "  5|0008,0100|SH|CODE01");
    EXPECT_EQ(rows[2], "  6|FFFE,E000||" + std::string(item2.bytes().begin(), item2.bytes().end()));
    EXPECT_EQ(rows[3], "  7|0028,0010|US|7");
}

TEST(DicomReader, ZeroLengthElementsGetNoRowAndNoConversion)
{
    DicomWriter w = Begin(true, kExplicitLe);
    w.Element(0x0008, 0x0070, "LO", "");
    w.Element(0x0028, 0x1050, "DS", "");  // would not be a number
    w.Element(0x0008, 0x0080, "LO", "HOSP");
    const DicomHeaderOutput out = Read(WithPixels(w).bytes);
    EXPECT_EQ(DataRows(out)[0], "  4|0008,0080|LO|HOSP");
    EXPECT_FALSE(out.windowLevel.has_value());
}

TEST(DicomReader, LengthsOfObAndUn)
{
    DicomWriter w = Begin(true, kExplicitLe);
    w.Element(0x0009, 0x1001, "OB", "ABCDEF");
    w.Element(0x0009, 0x1002, "UN", "xy");
    w.Element(0x0009, 0x1003, "LO", std::string("\xB5m", 2));  // Latin-1 micro sign, raw
    const DicomHeaderOutput out = Read(WithPixels(w).bytes);
    EXPECT_EQ(Row(out, 4)[4], "0006");
    EXPECT_EQ(Row(out, 4)[6], std::string("\0\0ABCDEF", 8));
    EXPECT_EQ(Row(out, 5)[4], "0002");
    EXPECT_EQ(Row(out, 5)[6], "xy");
    EXPECT_EQ(Row(out, 6)[6], std::string("\xB5m", 2));
}

TEST(DicomReader, GeometryAndSpacing)
{
    testdata::DicomImageFields fields;
    fields.rows = 2000;
    fields.columns = 1500;
    fields.imagerSpacing = "0.15\\0.15";
    fields.pixelSpacing = "0.139\\0.139";
    DicomHeaderOutput out = Read(testdata::BuildDicom(fields));
    EXPECT_EQ(out.columns, 1500);
    EXPECT_EQ(out.rows, 2000);
    // The last spacing element in the file gives it.
    EXPECT_EQ(out.pixelSpacingWritten, "0.139");
    EXPECT_NEAR(out.pixelSpacing.value_or(0), 0.139L, 1e-15L);
    EXPECT_EQ(out.pixelSpacingSource, "pixel");

    // Orientation elements have no effect and never fail.
    DicomWriter w = Begin(true, kExplicitLe);
    w.Element(0x0018, 0x7026, "DS", "350\\430 ");
    w.Element(0x0018, 0x7026, "DS", "abc ");
    w.US(0x0028, 0x0010, 2000);
    w.US(0x0028, 0x0011, 1500);
    w.Element(0x0018, 0x1100, "DS", "430 ");
    w.Element(0x0018, 0x7022, "DS", "0.2\\0.2 ");
    w.Element(0x2010, 0x0040, "CS", "LANDSCAPE ");
    out = Read(WithPixels(w).bytes);
    EXPECT_EQ(out.columns, 1500);
    EXPECT_EQ(out.rows, 2000);
    EXPECT_EQ(out.fovWritten, "430 ");
    EXPECT_EQ(out.fov, std::optional<long double>(430));
    EXPECT_EQ(out.pixelSpacingWritten, "0.2");
    EXPECT_EQ(out.pixelSpacingSource, "detector");

    // Without a backslash the spacing's first part is empty.
    DicomWriter single = Begin(true, kExplicitLe);
    single.Element(0x0028, 0x0030, "DS", "0.1 ");
    EXPECT_EQ(Read(WithPixels(single).bytes).pixelSpacingWritten, "");
    fields.pixelSpacing.clear();
    out = Read(testdata::BuildDicom(fields));
    EXPECT_NEAR(out.pixelSpacing.value_or(0), 0.15L, 1e-15L);
    EXPECT_EQ(out.pixelSpacingSource, "imager");
}

DicomHeaderOutput ReadWindow(const std::string& center, const std::string& width, std::string_view before,
                             const std::string& intercept = "")
{
    DicomWriter w = Begin(true, kExplicitLe);
    if (!center.empty()) w.Element(0x0028, 0x1050, "DS", center);
    if (!width.empty()) w.Element(0x0028, 0x1051, "DS", width);
    if (!intercept.empty()) w.Element(0x0028, 0x1052, "DS", intercept);
    return Read(WithPixels(w).bytes, before);
}

// The number the reader rounded, or the file's text with its number.
DicomWindowValue Rounded(long double number)
{
    return {number, std::nullopt};
}
DicomWindowValue Written(std::optional<long double> number, std::string text)
{
    return {number, std::move(text)};
}

TEST(DicomReader, WindowAndRescale)
{
    DicomHeaderOutput out = ReadWindow("2046.5", "4095.5", "1024");
    EXPECT_EQ(out.windowLevel, Rounded(2046));
    EXPECT_EQ(out.windowWidth, Rounded(4096));

    out = ReadWindow(" 40.5 ", "400 ", "");
    EXPECT_EQ(out.windowLevel, Rounded(40));
    EXPECT_EQ(out.windowWidth, Rounded(400));

    out = ReadWindow("40\\400", "999 ", "");
    EXPECT_EQ(out.windowLevel, Written(40, "40"));
    EXPECT_EQ(out.windowWidth, Written(400, "400"));

    // Both values kept as text, padding included.
    out = ReadWindow("40\\80\\400\\800 ", "", "");
    EXPECT_EQ(out.windowLevel, Written(40, "40"));
    EXPECT_EQ(out.windowWidth, Written(std::nullopt, "80\\400\\800 "));

    // A width alone fills only an empty edit; so does one after a centre
    // that gave no width.
    out = ReadWindow("", "300 ", "1024");
    EXPECT_FALSE(out.windowWidth.has_value());
    out = ReadWindow("", "300 ", "");
    EXPECT_EQ(out.windowWidth, Rounded(300));
    out = ReadWindow("40\\", "300 ", "1024");
    EXPECT_EQ(out.windowWidth, Rounded(300));
    EXPECT_NO_THROW(ReadWindow("", "abc ", "1024"));

    EXPECT_EQ(ReadWindow("", "", "", "-1024.7 ").valueOffset, -1024);
    EXPECT_EQ(ReadWindow("", "", "", "1.5E3").valueOffset, 1500);
    EXPECT_EQ(ReadWindow("", "", "", "0.9").valueOffset, 0);
}

TEST(DicomReader, SummaryLines)
{
    testdata::DicomImageFields fields;
    fields.modelName = "MODEL";  // padded to "MODEL "
    fields.kvp = "80";
    fields.exposure = "4";
    fields.rows = 8;
    fields.columns = 64;
    DicomHeaderOutput out = Read(testdata::BuildDicom(fields));
    EXPECT_EQ(out.summary, "MODEL \r\nkV : 80\r\nmAs : 4 \r\nDspMtrx : 8\r\n");

    DicomWriter w = Begin(true, kExplicitLe);
    w.Element(0x0008, 0x0060, "CS", "CR");
    w.Element(0x0020, 0x0060, "CS", "L ");
    w.Element(0x0008, 0x1090, "LO", "MODEL");
    out = Read(WithPixels(w).bytes);
    EXPECT_EQ(out.summary, "MODEL\r\nkV : L \r\n");
}

TEST(DicomReader, ConversionFailureKeepsWhatWasDone)
{
    DicomWriter w = Begin(true, kExplicitLe);
    w.Element(0x0008, 0x1090, "LO", "MODEL ");
    w.US(0x0028, 0x0010, 100);
    w.US(0x0028, 0x0011, 120);
    w.Element(0x0028, 0x0030, "DS", "0.1\\0.1 ");
    w.Element(0x0028, 0x1052, "DS", "-5 ");
    w.Element(0x0028, 0x1050, "DS", "abc ");
    w.Element(0x0028, 0x1051, "DS", "400 ");
    const TestFile file = WithPixels(w);
    DicomHeaderOutput out;
    try {
        ReadDicomHeader(file.bytes.data(), file.bytes.size(), kDictionary, "", out);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(testing::Text(failure), "'abc ' は浮動小数点数ではありません");
    }
    EXPECT_EQ(out.columns, 120);
    EXPECT_EQ(out.rows, 100);
    EXPECT_EQ(out.pixelSpacingWritten, "0.1");
    EXPECT_EQ(out.valueOffset, -5);
    EXPECT_FALSE(out.windowLevel.has_value());
    EXPECT_FALSE(out.windowWidth.has_value());
    EXPECT_EQ(out.summary, "MODEL \r\nDspMtrx : 100\r\nmmPSize : 0.1\\0.1 \r\n");
    EXPECT_TRUE(out.summaryWritten);
    // The table keeps its 1024 rows; the failing element's row holds what
    // the walk had written of it.
    EXPECT_EQ(out.rowCount, kDicomTableRowCount);
    EXPECT_EQ(out.nextRow, 9);
    EXPECT_EQ(Row(out, 8)[0], "  8");
    EXPECT_EQ(Row(out, 9), (DicomTableCells{"", "0028", "", "DS", "", "", ""}));

    // Rescale Intercept and Window Width fail the same way.
    EXPECT_THROW(ReadWindow("", "", "", "x"), Failure);
    EXPECT_THROW(ReadWindow("40 ", "w", "1024"), Failure);
}

TEST(DicomReader, BuiltImagesPointAtTheirPixels)
{
    for (const bool explicitVr : {true, false}) {
        testdata::DicomImageFields fields;
        fields.explicitVr = explicitVr;
        fields.rows = 20;
        fields.columns = 30;
        fields.pixelSpacing = "0.143\\0.143";
        fields.windowCenter = "2048";
        fields.windowWidth = "4096";
        fields.rescaleIntercept = "-10";
        for (int i = 0; i < 600; ++i) fields.pixels.push_back(static_cast<std::uint16_t>(1000 + i));
        const std::vector<std::uint8_t> file = testdata::BuildDicom(fields);
        const DicomHeaderOutput out = Read(file, "");
        EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(file.size() - 1200)) << explicitVr;
        EXPECT_EQ(file[file.size() - 1200], 1000 & 0xFF);
        EXPECT_EQ(out.columns, 30);
        EXPECT_EQ(out.rows, 20);
        EXPECT_EQ(out.pixelSpacingWritten, "0.143");
        EXPECT_EQ(out.windowLevel, Rounded(2048));
        EXPECT_EQ(out.windowWidth, Rounded(4096));
        EXPECT_EQ(out.valueOffset, -10);
        EXPECT_EQ(out.swap, std::optional<bool>(false));
    }
}

TEST(DicomReader, QaFieldsAndTheDateTheyFallBackTo)
{
    for (const bool explicitVr : {true, false}) {
        testdata::DicomImageFields fields;
        fields.explicitVr = explicitVr;
        fields.institution = "Clinic";
        fields.manufacturer = "Maker";
        fields.modelName = "DR-1";
        fields.serialNumber = "SN 42";
        fields.detectorId = "D7";
        fields.kvp = "70";
        fields.exposureUAs = "2500";
        fields.studyDate = "20261130";
        const DicomQaFields qa = Read(testdata::BuildDicom(fields), "").facts.qa;
        EXPECT_EQ(qa.institution, "Clinic");
        EXPECT_EQ(qa.manufacturer, "Maker");
        EXPECT_EQ(qa.model, "DR-1");
        EXPECT_EQ(qa.serialNumber, "SN 42");  // the pad after an odd length trimmed
        EXPECT_EQ(qa.detectorId, "D7");
        EXPECT_EQ(qa.kvp, "70");
        EXPECT_EQ(qa.exposureUAs, "2500");
        EXPECT_EQ(qa.Date(), "20261130") << explicitVr;  // no acquisition date: the study's
        fields.acquisitionDate = "20261201";
        EXPECT_EQ(Read(testdata::BuildDicom(fields), "").facts.qa.Date(), "20261201");
    }
}

TEST(DicomReader, WalkWithoutStartListsNothing)
{
    // No "UL" before the data set: the table is emptied, nothing is listed.
    DicomWriter w(true);
    w.Preamble();
    w.Element(0x0008, 0x0060, "CS", "DX");
    const TestFile file = WithPixels(w);
    const DicomHeaderOutput out = Read(file.bytes);
    EXPECT_TRUE(out.tableReplaced);
    EXPECT_EQ(out.rowCount, 1);
    EXPECT_FALSE(out.summaryWritten);
    EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(file.pixelTag + 12));
}

TEST(DicomReader, ValuePastTheEndEndsTheWalk)
{
    DicomWriter w = Begin(true, kExplicitLe);
    w.US(0x0028, 0x0010, 64);
    w.Raw({0x08, 0x00, 0x80, 0x00, 'L', 'O', 0xFF, 0xFF});  // 65535 bytes announced
    const std::size_t k = w.size();
    w.Raw({0xE0, 0x7F, 0x10, 0x00, 'O', 'W', 0, 0, 0x00, 0x04, 0, 0});
    w.Raw(std::vector<std::uint8_t>(k + 64, 0));
    const DicomHeaderOutput out = Read(w.bytes());
    EXPECT_EQ(out.rowCount, 5);
    EXPECT_EQ(out.rows, 64);
    EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(k + 12));
}

TEST(DicomReader, TableGrowsPastItsInitialRows)
{
    DicomWriter w = Begin(true, kExplicitLe);
    for (int i = 0; i < 1100; ++i) w.Element(0x0009, 0x1000, "SH", "ab");
    const DicomHeaderOutput out = Read(WithPixels(w).bytes);
    EXPECT_EQ(out.rowCount, 3 + 1100 + 1 + 1);
    EXPECT_EQ(Row(out, 1103)[0], "1103");
    EXPECT_GE(out.table.rows.size(), static_cast<std::size_t>(out.rowCount - 1));
}

}  // namespace
}  // namespace radmtf
