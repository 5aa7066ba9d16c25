// Headers of real detectors' files: long private elements, sequences of
// undefined length, OB pixel data, and what the header says of the samples.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dicom/dicom_layout.h"
#include "dicom/dicom_load.h"
#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"
#include "dicom_builder.h"

namespace radmtf {
namespace {

using testdata::DicomWriter;

constexpr int kColumns = 300;
constexpr int kRows = 250;

std::vector<std::uint16_t> Samples()
{
    std::vector<std::uint16_t> samples(std::size_t{kColumns} * kRows);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint16_t>(i % 4096);
    return samples;
}

struct DetectorFile {
    std::vector<std::uint8_t> bytes;
    std::size_t pixelOffset = 0;
};

// An intraoral sensor's radiograph as such sensors write it: a private
// element before the image attributes (written by `privateElement`), only
// Imager Pixel Spacing, MONOCHROME1, FOR PRESENTATION, a VOI LUT Sequence of
// undefined length and OB pixel data.
template <typename WritePrivate>
DetectorFile IntraoralFile(WritePrivate privateElement)
{
    DicomWriter w(true);
    w.Preamble().MetaHeader("1.2.840.10008.1.2.1");
    w.Element(0x0008, 0x0060, "CS", "IO");
    w.Element(0x0008, 0x0068, "CS", "FOR PRESENTATION");
    w.Element(0x0009, 0x0010, "LO", "VENDOR XML");
    privateElement(w);
    w.Element(0x0018, 0x1164, "DS", "0.03\\0.03 ");
    w.US(0x0028, 0x0002, 1);
    w.Element(0x0028, 0x0004, "CS", "MONOCHROME1 ");
    w.US(0x0028, 0x0010, kRows);
    w.US(0x0028, 0x0011, kColumns);
    w.US(0x0028, 0x0100, 16);
    w.US(0x0028, 0x0101, 12);
    w.US(0x0028, 0x0102, 11);
    w.US(0x0028, 0x0103, 0);
    DicomWriter lut(true);
    lut.Element(0x0028, 0x3002, "US", std::string("\x00\x10\x00\x00\x10\x00", 6));
    lut.Element(0x0028, 0x3006, "OW", std::string(8192, '\x01'));
    w.Sequence(0x0028, 0x3010, {lut.bytes()}, false, false);
    DetectorFile file;
    file.pixelOffset = w.size() + 12;
    std::string pixels;
    for (std::uint16_t s : Samples()) pixels += {static_cast<char>(s & 0xFF), static_cast<char>(s >> 8)};
    w.Element(0x7FE0, 0x0010, "OB", pixels);
    file.bytes = w.bytes();
    return file;
}

std::string Xml(std::size_t size)
{
    std::string text = "<?xml version=\"1.0\"?><Sensor>";
    while (text.size() + 9 < size) text += "<a>1</a>";
    text.resize(size - 9, ' ');
    return text + "</Sensor>";
}

TEST(DetectorFiles, TheWalkCrossesLongPrivateElementsAndReadsWhatTheHeaderSays)
{
    const std::vector<std::pair<const char*, DetectorFile>> files = {
        {"UT", IntraoralFile([](DicomWriter& w) { w.Element(0x0009, 0x1010, "UT", Xml(300)); })},
        {"long UT", IntraoralFile([](DicomWriter& w) { w.Element(0x0009, 0x1010, "UT", Xml(70000)); })},
        {"long OB", IntraoralFile([](DicomWriter& w) { w.Element(0x0009, 0x1010, "OB", Xml(70000)); })},
        {"UN of undefined length", IntraoralFile([](DicomWriter& w) {
             // Its item holds an implicit VR element, as "UN" sequences do.
             w.Tag(0x0009, 0x1010).Raw(std::string_view("UN")).Put16(0).Put32(0xFFFFFFFFu);
             w.Tag(0xFFFE, 0xE000).Put32(0xFFFFFFFFu);
             w.Tag(0x0009, 0x1011).Put32(4).Raw(std::string_view("ABCD"));
             w.Tag(0xFFFE, 0xE00D).Put32(0).Tag(0xFFFE, 0xE0DD).Put32(0);
         })},
    };
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        DicomHeaderOutput out;
        ReadDicomHeader(file.bytes.data(), file.bytes.size(), DicomDictionaryText(), "", out);
        EXPECT_EQ(out.headerOffset, static_cast<std::int64_t>(file.pixelOffset));
        EXPECT_EQ(out.columns, kColumns);
        EXPECT_EQ(out.rows, kRows);
        EXPECT_TRUE(WalkAgreesWithLayout(out, ScanDicomLayout(file.bytes.data(), file.bytes.size())));
        const DicomImageFacts& facts = out.facts;
        EXPECT_EQ(facts.pixelRepresentation, 0);
        EXPECT_EQ(facts.bitsStored, 12);
        EXPECT_EQ(facts.imagerPixelSpacing, "0.03");
        EXPECT_EQ(facts.pixelSpacing, "");
        EXPECT_TRUE(facts.InvertedPhotometric());
        EXPECT_TRUE(facts.lutSequence);
        EXPECT_TRUE(facts.Processed());
        // Shown as stored: nothing to decode.
        const DicomLoad load =
            PrepareDicomLoad(file.bytes.data(), file.bytes.size(), DicomDictionaryText(), "");
        EXPECT_FALSE(load.decoded);
        EXPECT_EQ(load.header.headerOffset, out.headerOffset);
    }
}

TEST(DetectorFiles, AWalkGoneAstrayGivesWayToTheLibrarysReading)
{
    // A private value holding the bytes of the Pixel Data tag: the walk takes
    // them for the pixel data and never reaches Rows and Columns.
    const DetectorFile file = IntraoralFile([](DicomWriter& w) {
        w.Element(0x0009, 0x1010, "OB", std::string("\xE0\x7F\x10\x00OB\x00\x00\x10\x00\x00\x00", 12));
    });
    DicomHeaderOutput walk;
    ReadDicomHeader(file.bytes.data(), file.bytes.size(), DicomDictionaryText(), "", walk);
    ASSERT_NE(walk.headerOffset, static_cast<std::int64_t>(file.pixelOffset));
    EXPECT_FALSE(WalkAgreesWithLayout(walk, ScanDicomLayout(file.bytes.data(), file.bytes.size())));

    const DicomLoad load = PrepareDicomLoad(file.bytes.data(), file.bytes.size(), DicomDictionaryText(), "");
    EXPECT_FALSE(load.headerFailure);
    ASSERT_TRUE(load.decoded);
    EXPECT_EQ(load.header.headerOffset, 0);
    EXPECT_EQ(load.header.columns, kColumns);
    EXPECT_EQ(load.header.rows, kRows);
    EXPECT_FALSE(load.decoded->signedSamples);
    std::vector<std::uint8_t> expected;
    for (std::uint16_t s : Samples())
        expected.insert(expected.end(), {std::uint8_t(s & 0xFF), std::uint8_t(s >> 8)});
    EXPECT_EQ(load.decoded->words, expected);
    // The element list and the facts are the library's.
    EXPECT_TRUE(load.header.tableReplaced);
    EXPECT_EQ(load.header.facts.imagerPixelSpacing, "0.03");
    EXPECT_TRUE(load.header.facts.InvertedPhotometric());
    EXPECT_TRUE(load.header.facts.lutSequence);
}

}  // namespace
}  // namespace radmtf
