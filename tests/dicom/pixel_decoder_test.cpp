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

#include <sys/resource.h>
#include <unistd.h>

#include "core/failure.h"
#include "dicom/dicom_layout.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "dicom/pixel_decoder.h"
#include "dicom_builder.h"
#include "failure_text.h"

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
            EXPECT_EQ(load.header.headerOffset, 0);
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
    const auto first = plain.begin() + *asStored.header.headerOffset;
    const std::vector<std::uint8_t> samples(first, first + 64 * 64 * 2);
    for (const char* twin : {"MR_small_RLE.dcm", "MR_small_jpeg_ls_lossless.dcm", "MR_small_jp2klossless.dcm",
                             "MR_small_bigendian.dcm", "MR_small_expb.dcm"}) {
        DicomLoad load;
        ASSERT_EQ(Load(ReadCorpusFile(twin), &load), "") << twin;
        ASSERT_TRUE(load.decoded) << twin;
        EXPECT_EQ(load.decoded->words, samples) << twin;
        EXPECT_EQ(load.header.columns, 64);
        EXPECT_EQ(load.header.pixelSpacingWritten, "0.3125") << twin;
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
                        refusal ==
                            std::string("画素値が16ビットの範囲に収まりません。この画像は表示できません。"))
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
    EXPECT_EQ(Load(ReadCorpusFile("rtdose_rle_1frame.dcm")),
              std::string("画素値が16ビットの範囲に収まりません。この画像は表示できません。"));
}

// The rounded BT.601 luma of each pixel of a PPM, ASCII (P3) or binary (P6).
std::vector<long> PpmLuma(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    auto number = [&] {
        while ((in >> std::ws).peek() == '#') in.ignore(1 << 20, '\n');
        long value = -1;
        in >> value;
        return value;
    };
    const long width = number(), height = number(), max = number();
    in.get();
    auto sample = [&] {
        if (magic == "P3") return number();
        const long high = in.get();
        return max > 255 ? high * 256 + in.get() : high;
    };
    std::vector<long> luma;
    for (long i = 0; i < width * height && in; ++i) {
        const double r = sample(), g = sample(), b = sample();
        luma.push_back(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
    }
    if (!in || magic.size() != 2) luma.clear();
    return luma;
}

bool HasTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The reference decode of a corpus file: DCMTK's (`decompressor` to native
// samples, then dcm2pnm) or, for JPEG 2000 ("opj"), OpenJPEG's of the first
// fragment. Skips the test when a tool is missing.
std::vector<long> ReferenceLuma(const std::string& name, const std::string& decompressor, int bits)
{
    const std::string file = std::string(RADMTF_DICOM_CORPUS) + "/" + name;
    const std::string work = ::testing::TempDir() + "radmtf_colour_" + std::to_string(getpid());
    const std::string ppm = work + ".ppm";
    std::string command;
    if (decompressor == "opj") {
        if (!HasTool("opj_decompress")) return {};
        const std::vector<std::uint8_t> bytes = ReadCorpusFile(name);
        const DicomLayout layout = ScanDicomLayout(bytes.data(), bytes.size());
        if (layout.fragments.empty()) return {};
        const PixelFragment& first = layout.fragments.front();
        const bool jp2 = first.length > 8 && std::memcmp(bytes.data() + first.offset + 4, "jP  ", 4) == 0;
        const std::string stream = work + (jp2 ? ".jp2" : ".j2k");
        std::ofstream(stream, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data() + first.offset), std::streamsize(first.length));
        command = "opj_decompress -quiet -i '" + stream + "' -o '" + ppm + "'";
    } else {
        if (!HasTool("dcm2pnm") || (!decompressor.empty() && !HasTool(decompressor))) return {};
        const std::string native = decompressor.empty() ? file : work + ".dcm";
        if (!decompressor.empty()) command = decompressor + " '" + file + "' '" + native + "' && ";
        command += "dcm2pnm +opn " + std::to_string(bits) + " '" + native + "' '" + ppm + "'";
    }
    EXPECT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
    std::vector<long> luma = PpmLuma(ppm);
    for (const char* extension : {".ppm", ".dcm", ".jp2", ".j2k"}) std::filesystem::remove(work + extension);
    return luma;
}

TEST_F(Corpus, ColourBecomesTheLumaOfTheReferenceDecodes)
{
    struct Case {
        const char* file;
        const char* decompressor;
        int bits;
        long tolerance;  // DCMTK rounds its own conversion of stored YBR
    };
    for (const Case& c :
         {Case{"SC_rgb_rle.dcm", "dcmdrle", 8, 0}, Case{"SC_rgb_rle_16bit.dcm", "dcmdrle", 16, 0},
          Case{"SC_rgb_rle_16bit_2frame.dcm", "dcmdrle", 16, 0},
          Case{"SC_rgb_jpeg_gdcm.dcm", "dcmdjpeg", 8, 0},
          Case{"SC_rgb_dcmtk_+eb+cy+s2.dcm", "dcmdjpeg", 8, 1},  // YBR_FULL_422
          Case{"SC_rgb_dcmtk_+eb+cy+np.dcm", "dcmdjpeg", 8, 1},  // 4:2:0 named YBR_FULL_422
          Case{"SC_rgb_dcmtk_+eb+cy+n1.dcm", "dcmdjpeg", 8, 1},  // YBR_FULL beyond the RGB cube
          Case{"SC_rgb_dcmtk_+eb+cy+s4.dcm", "dcmdjpeg", 8, 1},  // YBR_FULL
          Case{"SC_ybr_full_422_uncompressed.dcm", "", 8, 1},
          Case{"GDCMJ2K_TextGBR.dcm", "opj", 8, 0},  // YBR_RCT
          Case{"SC_rgb_gdcm_KY.dcm", "opj", 8, 0}}) {
        DicomLoad load;
        ASSERT_EQ(Load(ReadCorpusFile(c.file), &load), "") << c.file;
        ASSERT_TRUE(load.decoded) << c.file;
        const std::vector<long> reference = ReferenceLuma(c.file, c.decompressor, c.bits);
        if (reference.empty() && !HasTool(c.decompressor[0] == 'o' ? "opj_decompress" : "dcm2pnm"))
            GTEST_SKIP() << "no reference decoder";
        const std::vector<std::uint8_t>& words = load.decoded->words;
        ASSERT_EQ(reference.size() * 2, words.size()) << c.file;
        long worst = 0;
        for (std::size_t i = 0; i < reference.size(); ++i)
            worst =
                std::max(worst, std::labs(long{words[2 * i]} + 256 * long{words[2 * i + 1]} - reference[i]));
        EXPECT_LE(worst, c.tolerance) << c.file;
    }
}

// Planar Configuration 1: meaningless to JPEG, whose decoder interleaves;
// never honoured for stored 4:2:2, whose two samples a pixel it would overrun.
TEST_F(Corpus, PlanarConfigurationOneChangesNothingWhereItCannotApply)
{
    for (const char* name :
         {"SC_rgb_jpeg_gdcm.dcm", "SC_rgb_dcmtk_+eb+cy+s2.dcm", "SC_ybr_full_422_uncompressed.dcm"}) {
        const std::vector<std::uint8_t> file = ReadCorpusFile(name);
        const std::vector<std::uint8_t> tag = {0x28, 0x00, 0x06, 0x00, 'U', 'S', 2, 0, 0, 0};
        std::vector<std::uint8_t> planar = file;
        const auto at = std::search(planar.begin(), planar.end(), tag.begin(), tag.end());
        ASSERT_NE(at, planar.end()) << name;
        at[8] = 1;
        DicomLoad asStored, asPlanar;
        ASSERT_EQ(Load(file, &asStored), "");
        ASSERT_EQ(Load(planar, &asPlanar), "");
        ASSERT_TRUE(asStored.decoded && asPlanar.decoded);
        EXPECT_EQ(asStored.decoded->words, asPlanar.decoded->words) << name;
    }
}

TEST_F(Corpus, PlainColourCutShortIsRefusedRatherThanShownAsWords)
{
    for (const char* name : {"SC_rgb_small_odd.dcm", "SC_ybr_full_422_uncompressed.dcm"}) {
        std::vector<std::uint8_t> file = ReadCorpusFile(name);
        file.resize(file.size() - 3);
        try {
            PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "");
            ADD_FAILURE() << name;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), FailureCode::kUndecodablePixelData) << name;
        }
    }
}

TEST_F(Corpus, DamagedCompressedStreamsNeverHarm)
{
    // RADMTF_MUTATIONS runs a longer search by hand.
    const int kMutations = std::getenv("RADMTF_MUTATIONS") ? std::atoi(std::getenv("RADMTF_MUTATIONS")) : 70;
    std::mt19937 random(9);
    for (const char* name :
         {"MR_small_RLE.dcm", "MR_small_jpeg_ls_lossless.dcm", "MR_small_jp2klossless.dcm", "JPGExtended.dcm",
          "image_dfl.dcm", "SC_rgb_jpeg_gdcm.dcm", "SC_rgb_rle_16bit.dcm"}) {
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

    const std::string refused = testing::Text(
        Failure(FailureCode::kUndecodablePixelData, {TransferSyntaxDescription("1.2.840.10008.1.2.5")}));
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

// An unknown VR in a big-endian data set: the library would read a 4-byte
// length from the value's text ("ABCD", over a gigabyte) and size a buffer by
// it. Such a file is kept from the library, and the decoder process caps any
// allocation at its budget plus the file anyway.
TEST(HostileFiles, LengthsTheLibraryMisreadsAllocateNoMoreThanTheBudget)
{
    DicomWriter big(true);
    big.Preamble().MetaHeader("1.2.840.10008.1.2.2");
    big.Raw({0x00, 0x08, 0x00, 0x08, 'Z', 'Z', 0x00, 0x04, 'A', 'B', 'C', 'D'});
    big.Raw({0x00, 0x28, 0x00, 0x10, 'U', 'S', 0x00, 0x02, 0x00, 0x02});
    big.Raw({0x00, 0x28, 0x00, 0x11, 'U', 'S', 0x00, 0x02, 0x00, 0x02});
    big.Raw({0x00, 0x28, 0x01, 0x00, 'U', 'S', 0x00, 0x02, 0x00, 0x10});
    big.Raw({0x7F, 0xE0, 0x00, 0x10, 'O', 'W', 0, 0, 0, 0, 0, 8, 1, 2, 3, 4, 5, 6, 7, 8});
    Load(big.bytes());
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 512L * 1024);  // kilobytes
}

TEST(HostileFiles, StoredHalfChromaNeverReadsPastItsData)
{
    auto file = [](std::uint16_t side, std::uint16_t planar) {
        DicomWriter w(true);
        w.Preamble().MetaHeader("1.2.840.10008.1.2.1");
        w.US(0x0028, 0x0002, 3).Element(0x0028, 0x0004, "CS", "YBR_FULL_422").US(0x0028, 0x0006, planar);
        w.US(0x0028, 0x0010, side).US(0x0028, 0x0011, side).US(0x0028, 0x0100, 16);
        w.PixelData(std::vector<std::uint16_t>(std::size_t{side} * side * 2, 0x8000));
        return w.bytes();
    };
    // Planar Configuration 1 would read three samples a pixel.
    DicomLoad load;
    ASSERT_EQ(Load(file(4, 1), &load), "");
    ASSERT_TRUE(load.decoded);
    for (std::size_t i = 0; i < 32; i += 2) EXPECT_EQ(load.decoded->words[i + 1], 0x80);
    // An odd pixel count leaves the last pixel without its chroma.
    EXPECT_NE(Load(file(3, 0)), "");
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
