#include "dicom/dictionary.h"

#include <gtest/gtest.h>

#include <random>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace radmtf {
namespace {

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return lines;
        start = end + 2;
    }
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

bool IsUpperHex4(const std::string& s)
{
    return s.size() == 4 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
           });
}

// Element field as a number for ordering; the x of a repeating group counts as 0.
unsigned ElementOrder(std::string element)
{
    std::replace(element.begin(), element.end(), 'x', '0');
    return static_cast<unsigned>(std::stoul(element, nullptr, 16));
}

constexpr const char* kStrayLine = "1 = Signed\t\t\t";
constexpr const char* kCutLine = "0045\t101B\tPhanto";

std::string Name(std::uint16_t group, std::uint16_t element)
{
    return LookupElementName(DicomDictionaryText(), group, element);
}

TEST(DicomDictionaryText, SizeLinesAndBreaks)
{
    const std::string_view text = DicomDictionaryText();
    ASSERT_EQ(text.size(), 65536u);
    // Every line break is CR LF, and there is none after the last line.
    std::size_t crlf = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            ASSERT_LT(i + 1, text.size());
            ASSERT_EQ(text[i + 1], '\n') << "at " << i;
            ++crlf;
        } else if (text[i] == '\n') {
            ASSERT_EQ(i > 0 ? text[i - 1] : 0, '\r') << "at " << i;
        }
    }
    EXPECT_EQ(crlf + 1, 1913u);
    EXPECT_EQ(SplitLines(text).size(), 1913u);
    EXPECT_TRUE(text.ends_with(std::string("\r\n") + kCutLine));
}

TEST(DicomDictionaryText, MatchesTheCommittedTextFile)
{
    std::ifstream file(RADMTF_DICTIONARY_TXT, std::ios::binary);
    ASSERT_TRUE(file.is_open()) << RADMTF_DICTIONARY_TXT;
    const std::string onDisk((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(onDisk == DicomDictionaryText());
}

TEST(DicomDictionaryText, LineFormatOrderAndGroupCounts)
{
    const std::vector<std::string> lines = SplitLines(DicomDictionaryText());
    const std::map<std::string, int> expected = {
        {"0002", 10},  {"0004", 19},  {"0008", 161}, {"0009", 10}, {"0010", 50}, {"0011", 1},  {"0012", 17},
        {"0018", 642}, {"0019", 143}, {"0020", 103}, {"0021", 35}, {"0022", 48}, {"0023", 7},  {"0025", 9},
        {"0027", 36},  {"0028", 177}, {"0029", 15},  {"0032", 27}, {"0038", 26}, {"003A", 38}, {"0040", 219},
        {"0042", 5},   {"0043", 73},  {"0044", 14},  {"0045", 27},
    };
    std::map<std::string, int> counts;
    unsigned previous = 0;
    int stray = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == kStrayLine) {
            ++stray;
            continue;
        }
        const std::vector<std::string> f = SplitTabs(lines[i]);
        const bool last = i + 1 == lines.size();
        ASSERT_EQ(f.size(), last ? 3u : 4u) << lines[i];
        ASSERT_TRUE(IsUpperHex4(f[0])) << lines[i];
        ASSERT_EQ(f[1].size(), 4u) << lines[i];
        ASSERT_FALSE(f[2].empty()) << lines[i];
        EXPECT_EQ(f[2].find(' '), std::string::npos) << lines[i];
        if (!last) {
            EXPECT_EQ(f[3], "N") << lines[i];
        }
        // Group, then element; a repeating group's "x" orders as 0 and ties stay in place.
        const unsigned order =
            static_cast<unsigned>(std::stoul(f[0], nullptr, 16)) << 16 | ElementOrder(f[1]);
        EXPECT_LE(previous, order) << lines[i];
        previous = order;
        ++counts[f[0]];
    }
    EXPECT_EQ(stray, 1);
    EXPECT_EQ(counts, expected);
    EXPECT_LE(previous >> 16, 0x0045u);  // nothing beyond the private group 0045
}

TEST(DicomDictionaryText, StrayLineAndCutLastLine)
{
    const std::vector<std::string> lines = SplitLines(DicomDictionaryText());
    const auto stray = std::find(lines.begin(), lines.end(), kStrayLine);
    ASSERT_NE(stray, lines.end());
    ASSERT_NE(stray, lines.begin());
    ASSERT_NE(stray + 1, lines.end());
    EXPECT_EQ(stray[-1], "0028\t0103\tPixelRepresentation\tN");
    EXPECT_EQ(stray[1], "0028\t0104\tSmallestValidPixelValue\tN");
    EXPECT_EQ(lines.back(), kCutLine);
    EXPECT_EQ(lines[lines.size() - 2], "0045\t101A\tAirFilterCalibrationTime\tN");
    EXPECT_EQ(lines.front(), "0002\t0000\tFileMetaInfoGroupLength\tN");
}

TEST(DicomDictionaryText, SeventeenHyphenatedNames)
{
    int hyphenated = 0;
    for (const std::string& line : SplitLines(DicomDictionaryText())) {
        const std::vector<std::string> f = SplitTabs(line);
        if (f.size() >= 3 && f[2].find('-') != std::string::npos) ++hyphenated;
    }
    EXPECT_EQ(hyphenated, 17);
    EXPECT_EQ(Name(0x0018, 0x1318), "DB-Dt");
    EXPECT_EQ(Name(0x0040, 0x1006), "PlacerOrderNumber-Procedure");
    EXPECT_EQ(Name(0x0043, 0x1012), "X-RayChain");
}

TEST(DicomDictionaryText, EntriesThatLookupCannotReach)
{
    // Repeating groups written with "x" and the lowercase private element stay as text
    // only; each line is present exactly as written.
    const std::string_view text = DicomDictionaryText();
    const char* const lines[] = {
        "\r\n0020\t31xx\tSourceImageIDs\tN\r\n",
        "\r\n0028\t04x2\tCoefficientCoding\tN\r\n",
        "\r\n0028\t04x3\tCoefficientCodingPointers\tN\r\n",
        "\r\n0028\t08x0\tCodeLabel\tN\r\n",
        "\r\n0028\t08x2\tNumberOfTables\tN\r\n",
        "\r\n0028\t08x3\tCodeTableLocation\tN\r\n",
        "\r\n0028\t08x4\tBitsForCodeWord\tN\r\n",
        "\r\n0028\t08x8\tImageDataLocation\tN\r\n",
        "\r\n0043\t106f\tScannerTableEntry\tN\r\n",
    };
    for (const char* line : lines) EXPECT_NE(text.find(line), std::string_view::npos) << line;
    EXPECT_EQ(Name(0x0043, 0x106F), "");
    EXPECT_EQ(Name(0x0020, 0x3100), "");
}

TEST(DicomDictionaryLookup, NamedEntries)
{
    struct Entry {
        std::uint16_t group, element;
        const char* name;
    };
    const Entry entries[] = {
        // File meta information, in the dictionary's order.
        {0x0002, 0x0000, "FileMetaInfoGroupLength"},
        {0x0002, 0x0001, "FileMetaInfoVersion"},
        {0x0002, 0x0002, "MediaStorageSOPClassUID"},
        {0x0002, 0x0003, "MediaStorageSOPInstanceUID"},
        {0x0002, 0x0010, "TransferSyntaxUID"},
        {0x0002, 0x0012, "ImplementationClassUID"},
        {0x0002, 0x0013, "ImplementationVersionName"},
        {0x0002, 0x0016, "SourceApplicationEntityTitle"},
        {0x0002, 0x0100, "PrivateInformationCreatorUID"},
        {0x0002, 0x0102, "PrivateInformation"},
        // Group lengths.
        {0x0008, 0x0000, "IdentifyingGroupLength"},
        {0x0010, 0x0000, "PatientGroupLength"},
        {0x0018, 0x0000, "AcquisitionGroupLength"},
        {0x0020, 0x0000, "RelationshipGroupLength"},
        {0x0028, 0x0000, "ImagePresentationGroupLength"},
        {0x0032, 0x0000, "StudyGroupLength"},
        // The elements the reader and the acquisition summary use.
        {0x0008, 0x0060, "Modality"},
        {0x0008, 0x103E, "SeriesDescription"},
        {0x0008, 0x1090, "ManufacturersModelName"},
        {0x0018, 0x0050, "SliceThickness"},
        {0x0018, 0x0060, "KVP"},
        {0x0018, 0x0080, "RepetitionTime"},
        {0x0018, 0x0081, "EchoTime"},
        {0x0018, 0x0083, "NumberOfAverages"},
        {0x0018, 0x0089, "NumberOfPhaseEncodingSteps"},
        {0x0018, 0x0091, "EchoTrainLength"},
        {0x0018, 0x0095, "PixelBandwidth"},
        {0x0018, 0x1100, "ReconstructionDiameter"},
        {0x0018, 0x1152, "Exposure"},
        {0x0018, 0x1164, "ImagerPixelSpacing"},
        {0x0018, 0x1210, "ConvolutionKernel"},
        {0x0018, 0x1250, "ReceiveCoilName"},
        {0x0018, 0x1310, "AcquisitionMatrix"},
        {0x0018, 0x1312, "InPlanePhaseEncodingDirection"},
        {0x0018, 0x7022, "DetectorElementSpacing"},
        {0x0018, 0x7026, "DetectorActiveDimensions"},
        {0x0028, 0x0010, "Rows"},
        {0x0028, 0x0011, "Columns"},
        {0x0028, 0x0030, "PixelSpacing"},
        {0x0028, 0x1050, "WindowCenter"},
        {0x0028, 0x1051, "WindowWidth"},
        {0x0028, 0x1052, "RescaleIntercept"},
        {0x0028, 0x1053, "RescaleSlope"},
        // Private groups: repeated names and the scanner's own spellings.
        {0x0009, 0x10E6, "GenesisVersionNow"},
        {0x0021, 0x1005, "GenesisVersionNow"},
        {0x0021, 0x1018, "GenesisVersionNow"},
        {0x0011, 0x1010, "PatientStatus"},
        {0x0019, 0x1002, "NumberOfCellsIInDetector"},
        {0x0019, 0x10D2, "ProjectionAlgorithm"},
        {0x0019, 0x10D3, "ProjectionAlgorithm"},
        {0x0019, 0x10F9, "TransmissionGain"},
        {0x0043, 0x1062, "ScannerStudyID"},
        {0x0045, 0x101A, "AirFilterCalibrationTime"},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(Name(e.group, e.element), e.name) << std::hex << e.group << "," << e.element;
    }
}

TEST(DicomDictionaryLookup, EmptyNames)
{
    EXPECT_EQ(Name(0x7FE0, 0x0010), "");  // groups beyond the cut
    EXPECT_EQ(Name(0x2010, 0x0040), "");
    EXPECT_EQ(Name(0x0045, 0x101B), "");  // cut line: no TAB after "Phanto"
    EXPECT_EQ(Name(0x0043, 0x106F), "");  // written 106f
    EXPECT_EQ(Name(0x0018, 0x0001), "");  // absent tag
    EXPECT_EQ(Name(0x0000, 0x0000), "");
    EXPECT_EQ(Name(0xFFFF, 0xFFFF), "");
}

TEST(DicomDictionaryLookup, EveryReachableEntryFindsItsOwnName)
{
    // The lookup takes the first occurrence of "GGGG<TAB>EEEE" anywhere in the text, so
    // this also proves that no key appears earlier inside another line.
    const std::vector<std::string> lines = SplitLines(DicomDictionaryText());
    int reached = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::vector<std::string> f = SplitTabs(lines[i]);
        if (f.size() != 4 || !IsUpperHex4(f[1])) continue;
        const auto group = static_cast<std::uint16_t>(std::stoul(f[0], nullptr, 16));
        const auto element = static_cast<std::uint16_t>(std::stoul(f[1], nullptr, 16));
        EXPECT_EQ(Name(group, element), f[2]) << lines[i];
        ++reached;
    }
    EXPECT_EQ(reached, 1913 - 1 /*stray*/ - 1 /*cut*/ - 8 /*x*/ - 1 /*106f*/);
}

// The built-in text goes through an index; any copy of it through the scan.
// Both give the same names, for present and absent tags alike.
TEST(DicomDictionaryLookup, IndexGivesTheNamesOfTheScan)
{
    const std::string copy(DicomDictionaryText());
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
        const auto group = static_cast<std::uint16_t>(i < 1500 ? random() % 0x46 : random());
        const auto element = static_cast<std::uint16_t>(i % 3 == 0 ? random() % 0x20 : random());
        ASSERT_EQ(Name(group, element), LookupElementName(copy, group, element)) << group << " " << element;
    }
    for (const auto& [group, element] : {std::pair{0x0009, 0x10E6}, {0x0021, 0x1005}, {0x0028, 0x0010}})
        EXPECT_EQ(Name(group, element), LookupElementName(copy, group, element));
}

TEST(DicomDictionaryLookup, WindowOfTheLookupOnASyntheticText)
{
    // The name is read within 256 characters after the key's TAB.
    const std::string name255(255, 'a');
    const std::string name256(256, 'b');
    const std::string text = "0002\t0000\tFirst\tN\r\n0010\t0010\t" + name255 + "\tN\r\n0010\t0020\t" +
                             name256 + "\tN\r\n0010\t0030\tLast";
    EXPECT_EQ(LookupElementName(text, 0x0002, 0x0000), "First");
    EXPECT_EQ(LookupElementName(text, 0x0010, 0x0010), name255);
    EXPECT_EQ(LookupElementName(text, 0x0010, 0x0020), "");
    EXPECT_EQ(LookupElementName(text, 0x0010, 0x0030), "");  // no TAB up to the end
    EXPECT_EQ(LookupElementName(text, 0x0010, 0x0040), "");  // missing: TAB at position 10
    // First occurrence wins, and a key that ends the text reads nothing past it.
    EXPECT_EQ(LookupElementName("0002\t0000\tA\tN\r\n0002\t0000\tB\tN", 0x0002, 0x0000), "A");
    EXPECT_EQ(LookupElementName("0002\t0000", 0x0002, 0x0000), "");
    EXPECT_EQ(LookupElementName("0002\t0000\t", 0x0002, 0x0000), "");
    EXPECT_EQ(LookupElementName("", 0x0002, 0x0000), "");
    // Lowercase hex in the text is never matched: keys are uppercase.
    EXPECT_EQ(LookupElementName("0002\t0000\tA\tN\r\n00ab\t00cd\tLower\tN", 0x00AB, 0x00CD), "");
}

}  // namespace
}  // namespace radmtf
