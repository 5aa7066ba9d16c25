// Decoding through the DICOM library: the pydicom corpus (compressed and
// big-endian twins of one image must give its exact samples), damaged and
// hostile files (never a crash, an over-read or an allocation the file
// cannot justify; the refusal names the transfer syntax).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include "core/failure.h"
#include "failure_text.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "dicom_builder.h"

namespace radmtf {
namespace {

using testdata::DicomWriter;

std::vector<std::uint8_t> ReadCorpusFile(const std::string& name)
{
    std::ifstream file(std::string(RADMTF_DICOM_CORPUS) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Loads from an exact-size copy, so that the sanitizer sees any read past
// the end. Returns the refusal message, or empty when the load is accepted.
std::string Load(const std::vector<std::uint8_t>& bytes, DicomLoad* result = nullptr)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    try {
        DicomLoad load = PrepareDicomLoad(copy.get(), bytes.size(), DicomDictionaryText(), "");
        if (load.decoded) {
            EXPECT_EQ(load.decoded->words.size(),
                      std::size_t(load.decoded->rows) * std::size_t(load.decoded->columns) * 2);
            EXPECT_EQ(load.header.header, "0");
        }
        if (result) *result = std::move(load);
        return {};
    } catch (const Failure& failure) {
        return testing::Text(failure);
    }
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(RADMTF_DICOM_CORPUS)) GTEST_SKIP() << "no pydicom corpus";
    }
};

TEST_F(Corpus, CompressedAndBigEndianTwinsGiveTheSamplesOfTheUncompressedFile)
{
    const std::vector<std::uint8_t> plain = ReadCorpusFile("MR_small.dcm");
    DicomLoad asStored;
    ASSERT_EQ(Load(plain, &asStored), "");
    EXPECT_FALSE(asStored.decoded);  // shown as stored, from the header offset on
    const auto first = plain.begin() + std::stoi(*asStored.header.header);
    const std::vector<std::uint8_t> samples(first, first + 64 * 64 * 2);
    for (const char* twin : {"MR_small_RLE.dcm", "MR_small_jpeg_ls_lossless.dcm", "MR_small_jp2klossless.dcm",
                             "MR_small_bigendian.dcm", "MR_small_expb.dcm"}) {
        DicomLoad load;
        ASSERT_EQ(Load(ReadCorpusFile(twin), &load), "") << twin;
        ASSERT_TRUE(load.decoded) << twin;
        EXPECT_EQ(load.decoded->words, samples) << twin;
        EXPECT_EQ(load.header.imgSizeX, "64");
        EXPECT_EQ(load.header.pxlSpc, "0.3125") << twin;
        EXPECT_EQ(load.header.swap, false);
    }
}

TEST_F(Corpus, EveryFileLoadsOrIsRefusedWithAReason)
{
    int decoded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RADMTF_DICOM_CORPUS)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".dcm") continue;
        DicomLoad load;
        const std::string refusal = Load(ReadCorpusFile(name), &load);
        if (load.decoded) ++decoded;
        if (!refusal.empty()) {
            EXPECT_TRUE(refusal.find("転送構文") != std::string::npos ||
                        refusal == std::string("画素値が16ビットの範囲に収まりません。この画像は表示できません。"))
                << name << ": " << refusal;
        }
    }
    EXPECT_GE(decoded, 35);
    // Files the walk cannot read get their table from the library's data set.
    DicomLoad bigEndian;
    ASSERT_EQ(Load(ReadCorpusFile("MR_small_bigendian.dcm"), &bigEndian), "");
    EXPECT_TRUE(bigEndian.header.tableReplaced);
    bool rowsListed = false;
    for (int r = 1; r <= static_cast<int>(bigEndian.header.table.rows.size()); ++r) {
        const DicomTableCells row = bigEndian.header.table.Cells(r);
        rowsListed |= row[1] == "0028" && row[2] == "0010" && row[5] == "Rows" && row[6] == "64";
    }
    EXPECT_TRUE(rowsListed);
    // Colour becomes gray, frame counts and the colour note reach the summary.
    DicomLoad colour;
    ASSERT_EQ(Load(ReadCorpusFile("SC_rgb_rle_2frame.dcm"), &colour), "");
    EXPECT_NE(colour.header.summary.find("Frames : 2 (first shown)\r\nColor : shown as gray (luma)\r\n"),
              std::string::npos);
    // 32-bit dose values beyond 16 bits are refused rather than wrapped.
    EXPECT_EQ(Load(ReadCorpusFile("rtdose_rle_1frame.dcm")), std::string("画素値が16ビットの範囲に収まりません。この画像は表示できません。"));
}

TEST_F(Corpus, DamagedCompressedStreamsNeverHarm)
{
    // RADMTF_MUTATIONS runs a longer search by hand.
    const int kMutations = std::getenv("RADMTF_MUTATIONS") ? std::atoi(std::getenv("RADMTF_MUTATIONS")) : 70;
    std::mt19937 random(9);
    for (const char* name : {"MR_small_RLE.dcm", "MR_small_jpeg_ls_lossless.dcm", "MR_small_jp2klossless.dcm",
                             "JPGExtended.dcm", "image_dfl.dcm", "SC_rgb_jpeg_gdcm.dcm"}) {
        const std::vector<std::uint8_t> file = ReadCorpusFile(name);
        ASSERT_FALSE(file.empty()) << name;
        for (std::size_t n = 0; n < file.size(); n += 1 + file.size() / 40)
            Load(std::vector<std::uint8_t>(file.begin(), file.begin() + std::ptrdiff_t(n)));
        for (int i = 0; i < kMutations; ++i) {
            std::vector<std::uint8_t> bad = file;
            const std::size_t at = random() % bad.size();
            bad[at] = static_cast<std::uint8_t>(random());
            if (i % 3 == 0 && at + 1 < bad.size()) bad[at + 1] = 0xFF;
            Load(bad);
        }
    }
}

// A 16-bit RLE file of 4 x 4 pixels, value 0x0102 + i; `fragment` replaces
// the encoded frame when given.
std::vector<std::uint8_t> RleFile(std::uint16_t rows, std::uint16_t columns, const std::string& frames,
                                  std::vector<std::uint8_t> fragment = {})
{
    if (fragment.empty()) {
        fragment.assign(64, 0);
        fragment[0] = 2;
        fragment[4] = 64;
        fragment[8] = 64 + 17;
        for (int segment = 0; segment < 2; ++segment) {
            fragment.push_back(15);  // a literal run of 16 bytes
            for (int i = 0; i < 16; ++i) fragment.push_back(std::uint8_t(segment == 0 ? 0x01 : 0x02 + i));
        }
        fragment.push_back(0);
    }
    DicomWriter w(true);
    w.Preamble().MetaHeader("1.2.840.10008.1.2.5");
    w.US(0x0028, 0x0002, 1);
    w.Element(0x0028, 0x0004, "CS", "MONOCHROME2 ");
    if (!frames.empty()) w.Element(0x0028, 0x0008, "IS", DicomWriter::PadText(frames));
    w.US(0x0028, 0x0010, rows).US(0x0028, 0x0011, columns);
    w.US(0x0028, 0x0100, 16).US(0x0028, 0x0101, 16).US(0x0028, 0x0102, 15).US(0x0028, 0x0103, 0);
    w.Tag(0x7FE0, 0x0010).Raw(std::string_view("OB")).Put16(0).Put32(0xFFFFFFFFu);
    w.Tag(0xFFFE, 0xE000).Put32(0);
    w.Tag(0xFFFE, 0xE000).Put32(static_cast<std::uint32_t>(fragment.size())).Raw(fragment);
    w.Tag(0xFFFE, 0xE0DD).Put32(0);
    return w.bytes();
}

TEST(HostileFiles, AreRefusedBeforeAnythingIsAllocatedForThem)
{
    DicomLoad load;
    ASSERT_EQ(Load(RleFile(4, 4, ""), &load), "");
    ASSERT_TRUE(load.decoded);
    EXPECT_EQ(load.decoded->words[0], 0x02);
    EXPECT_EQ(load.decoded->words[1], 0x01);
    EXPECT_EQ(load.decoded->words[31], 0x01);

    const std::string refused =
        testing::Text(Failure(FailureCode::kUndecodablePixelData, {TransferSyntaxDescription("1.2.840.10008.1.2.5")}));
    EXPECT_EQ(refused, "転送構文 1.2.840.10008.1.2.5 (RLE Lossless) の画素データを読み込めません。");
    EXPECT_EQ(Load(RleFile(4, 4, "0")), refused);
    EXPECT_EQ(Load(RleFile(4, 4, "2147483648")), refused);
    EXPECT_EQ(Load(RleFile(65535, 65535, "")), std::string("読み込む画像が大きすぎます。"));
    EXPECT_EQ(Load(RleFile(8, 4, "")), refused);  // the stream holds fewer bytes than declared
    EXPECT_EQ(Load(RleFile(4, 4, "", std::vector<std::uint8_t>(64, 0xFF))), refused);
    // A fragment length past the end of the file.
    std::vector<std::uint8_t> cut = RleFile(4, 4, "");
    cut.resize(cut.size() - 20);
    EXPECT_EQ(Load(cut), refused);

    // Big endian: 65535 x 65535 x 16 bits declared over a few bytes.
    DicomWriter big(true);
    big.Preamble().MetaHeader("1.2.840.10008.1.2.2");
    big.Raw({0x00, 0x28, 0x00, 0x10, 'U', 'S', 0x00, 0x02, 0xFF, 0xFF});
    big.Raw({0x00, 0x28, 0x00, 0x11, 'U', 'S', 0x00, 0x02, 0xFF, 0xFF});
    big.Raw({0x00, 0x28, 0x01, 0x00, 'U', 'S', 0x00, 0x02, 0x00, 0x10});
    big.Raw({0x7F, 0xE0, 0x00, 0x10, 'O', 'W', 0, 0, 0, 0, 0, 8, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(Load(big.bytes()), std::string("読み込む画像が大きすぎます。"));
}

TEST(PlainMultiFrameFiles, ShowTheirFirstFrameAsStoredWithTheFrameCount)
{
    DicomWriter w(true);
    w.Preamble().MetaHeader("1.2.840.10008.1.2.1");
    w.Element(0x0028, 0x0008, "IS", "3 ");
    w.US(0x0028, 0x0010, 16).US(0x0028, 0x0011, 16).US(0x0028, 0x0100, 16);
    w.PixelData(std::vector<std::uint16_t>(3 * 16 * 16, 7));
    DicomLoad load;
    ASSERT_EQ(Load(w.bytes(), &load), "");
    EXPECT_FALSE(load.decoded);
    EXPECT_EQ(load.header.summary, "DspMtrx : 16\r\nFrames : 3 (first shown)\r\n");
}

}  // namespace
}  // namespace radmtf
