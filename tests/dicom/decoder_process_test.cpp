// The decoder process: hostile and unusual files are refused without harm to
// the program, a decoder that dies or hangs refuses its file, the budget
// refuses a bomb before anything is allocated, plain files start no process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/failure.h"
#include "dicom/codestream.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "dicom_builder.h"

namespace radmtf {
namespace {

using testdata::DicomWriter;
using Bytes = std::vector<std::uint8_t>;

constexpr char kRle[] = "1.2.840.10008.1.2.5";
constexpr char kJpegLossless[] = "1.2.840.10008.1.2.4.70";
constexpr char kJpeg2000[] = "1.2.840.10008.1.2.4.90";

struct Pixels {
    std::uint16_t rows = 4, columns = 4, samples = 1, bitsAllocated = 16, bitsStored = 16, highBit = 15;
    std::string photometric = "MONOCHROME2";
};

// A file of one encapsulated frame.
Bytes Encapsulated(const char* syntax, const Pixels& p, Bytes fragment)
{
    if (fragment.size() % 2) fragment.push_back(0);
    DicomWriter w(true);
    w.Preamble().MetaHeader(syntax);
    w.US(0x0028, 0x0002, p.samples);
    w.Element(0x0028, 0x0004, "CS", DicomWriter::PadText(p.photometric));
    w.US(0x0028, 0x0010, p.rows).US(0x0028, 0x0011, p.columns);
    w.US(0x0028, 0x0100, p.bitsAllocated).US(0x0028, 0x0101, p.bitsStored).US(0x0028, 0x0102, p.highBit);
    w.US(0x0028, 0x0103, 0);
    w.Tag(0x7FE0, 0x0010).Raw(std::string_view("OB")).Put16(0).Put32(0xFFFFFFFFu);
    w.Tag(0xFFFE, 0xE000).Put32(0);
    w.Tag(0xFFFE, 0xE000).Put32(static_cast<std::uint32_t>(fragment.size())).Raw(fragment);
    w.Tag(0xFFFE, 0xE0DD).Put32(0);
    return w.bytes();
}

// An RLE frame with one segment per byte of each sample, all runs of zeros.
Bytes RleFrame(const Pixels& p)
{
    const std::uint32_t segments = p.samples * (p.bitsAllocated / 8u);
    const std::size_t n = std::size_t(p.rows) * p.columns;
    Bytes frame(64, 0);
    frame[0] = static_cast<std::uint8_t>(segments);
    Bytes body;
    for (std::uint32_t s = 0; s < segments; ++s) {
        const std::size_t offset = 64 + body.size();
        for (int b = 0; b < 4; ++b) frame[4 + 4 * s + b] = static_cast<std::uint8_t>(offset >> (8 * b));
        for (std::size_t left = n; left > 0; left -= std::min<std::size_t>(left, 128)) {
            body.push_back(static_cast<std::uint8_t>(257 - std::min<std::size_t>(left, 128)));
            body.push_back(0);
        }
    }
    frame.insert(frame.end(), body.begin(), body.end());
    if (frame.size() % 2) frame.push_back(0);
    return frame;
}

// The headers of a lossless JPEG stream (SOF3) up to its first scan, and its end.
Bytes JpegLosslessFrame(const Pixels& p)
{
    const auto hi = [](unsigned v) { return static_cast<std::uint8_t>(v >> 8); };
    const auto lo = [](unsigned v) { return static_cast<std::uint8_t>(v & 0xFF); };
    return {0xFF,
            0xD8,
            0xFF,
            0xC3,
            0,
            11,
            static_cast<std::uint8_t>(p.bitsStored),
            hi(p.rows),
            lo(p.rows),
            hi(p.columns),
            lo(p.columns),
            1,
            1,
            0x11,
            0,
            0xFF,
            0xDA,
            0,
            8,
            1,
            1,
            0,
            1,
            0,
            0,
            0xFF,
            0xD9};
}

// A JPEG 2000 SIZ marker segment (one 16-bit component), the stream's end following.
Bytes Codestream(std::uint32_t width, std::uint32_t height)
{
    Bytes s{0xFF, 0x4F, 0xFF, 0x51, 0, 41, 0, 0};
    for (const std::uint32_t v : {width, height, 0u, 0u, width, height, 0u, 0u})
        for (int b = 3; b >= 0; --b) s.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
    s.insert(s.end(), {0, 1, 15, 1, 1, 0xFF, 0xD9});
    return s;
}

Bytes Box(const char* type, const Bytes& content)
{
    const std::uint32_t length = 8 + static_cast<std::uint32_t>(content.size());
    Bytes box{static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
              static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    box.insert(box.end(), type, type + 4);
    box.insert(box.end(), content.begin(), content.end());
    return box;
}

// A JP2 file: signature, file type, `extra` boxes, the header (`headerBoxes`
// after its image header) and the code stream.
Bytes Jp2(std::uint32_t width, std::uint32_t height, const Bytes& extra, const Bytes& headerBoxes = {})
{
    Bytes ihdr;
    for (const std::uint32_t v : {height, width})
        for (int b = 3; b >= 0; --b) ihdr.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
    ihdr.insert(ihdr.end(), {0, 1, 15, 7, 0, 0});
    Bytes header = Box("ihdr", ihdr);
    header.insert(header.end(), headerBoxes.begin(), headerBoxes.end());
    Bytes file = Box("jP  ", {0x0D, 0x0A, 0x87, 0x0A});
    for (const Bytes& box : {Box("ftyp", {'j', 'p', '2', ' ', 0, 0, 0, 0, 'j', 'p', '2', ' '}), extra,
                             Box("jp2h", header), Box("jp2c", Codestream(width, height))})
        file.insert(file.end(), box.begin(), box.end());
    return file;
}

FailureCode LoadFailure(const Bytes& file, const DecodeOptions& options = {})
{
    try {
        PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "", options);
    } catch (const Failure& failure) {
        return failure.code();
    }
    return FailureCode::kNotMeasured;  // stands for "loaded"
}

TEST(Jpeg2000Header, TheCodestreamOfAJp2FileIsCheckedNotADecoyBeforeIt)
{
    const DeclaredImage small{64, 64, 1, 16};
    const auto matches = [&](const Bytes& stream) {
        return StreamMatches(Codec::kJpeg2000, small, {stream});
    };
    EXPECT_TRUE(matches(Codestream(64, 64)));
    EXPECT_TRUE(matches(Jp2(64, 64, {})));
    // A 64 x 64 SIZ hidden in an XML box ahead of the real 2048 x 2048 stream.
    const Bytes decoy = Jp2(2048, 2048, Box("xml ", Codestream(64, 64)));
    EXPECT_FALSE(matches(decoy));
    EXPECT_FALSE(matches(Jp2(64, 64, {}, Box("pclr", Bytes(8, 0)))));
    EXPECT_FALSE(matches(Jp2(64, 64, {}, Box("cmap", Bytes(4, 0)))));
    Bytes disagreeing = Jp2(64, 64, {});
    disagreeing[disagreeing.size() - 37] = 1;  // the SIZ width 64 -> 65600 behind an ihdr of 64
    EXPECT_FALSE(matches(disagreeing));
    EXPECT_EQ(LoadFailure(Encapsulated(kJpeg2000, {64, 64}, decoy)), FailureCode::kUndecodablePixelData);
}

TEST(DecoderProcess, RefusesLayoutsTheLibraryWouldAssertOnAndGoesOn)
{
    Pixels highBit;
    highBit.bitsStored = 12;  // legal with a high bit of 15
    Pixels colour7;
    colour7.samples = 3;
    colour7.bitsAllocated = 8;
    colour7.bitsStored = 7;
    colour7.highBit = 6;
    colour7.photometric = "RGB";
    Pixels ybr16;
    ybr16.samples = 3;
    ybr16.photometric = "YBR_FULL_422";
    Pixels wide;
    wide.bitsAllocated = 32;
    wide.bitsStored = 16;
    const std::uint64_t started = DecoderRequestsSent();
    for (const Bytes& file :
         {Encapsulated(kRle, highBit, RleFrame(highBit)),
          Encapsulated(kJpegLossless, highBit, JpegLosslessFrame(highBit)),
          Encapsulated(kRle, colour7, RleFrame(colour7)), Encapsulated(kRle, ybr16, RleFrame(ybr16)),
          Encapsulated(kJpegLossless, wide, JpegLosslessFrame(wide))})
        EXPECT_EQ(LoadFailure(file), FailureCode::kUndecodablePixelData);
    EXPECT_EQ(DecoderRequestsSent(), started + 5);
    EXPECT_EQ(LoadFailure(Encapsulated(kRle, {}, RleFrame({}))), FailureCode::kNotMeasured);
}

TEST(DecoderProcess, ACrashOrAHangRefusesTheFileNamingItAndItsSyntax)
{
    const Bytes file = Encapsulated(kRle, {}, RleFrame({}));
    DecodeOptions options;
    options.fileName = "/data/x.dcm";
    options.timeoutSeconds = 1;
    for (const auto& [fault, code] : {std::pair{"abort", FailureCode::kDecoderStopped},
                                      std::pair{"hang", FailureCode::kDecoderTimedOut}}) {
        setenv("RADMTF_DECODER_TEST_FAULT", fault, 1);
        try {
            PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "", options);
            ADD_FAILURE() << fault;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), code);
            ASSERT_GE(failure.args().size(), 2u);
            EXPECT_EQ(failure.args()[0], "/data/x.dcm");
            EXPECT_EQ(failure.args()[1], "1.2.840.10008.1.2.5 (RLE Lossless)");
        }
    }
    // What the libraries write comes back, to be printed with the file's name.
    setenv("RADMTF_DECODER_TEST_FAULT", "talk", 1);
    std::string messages;
    options.libraryMessages = &messages;
    EXPECT_EQ(LoadFailure(file, options), FailureCode::kNotMeasured);
    unsetenv("RADMTF_DECODER_TEST_FAULT");
    EXPECT_EQ(PrefixedLines("x.dcm", messages),
              "x.dcm: Corrupt JPEG data: \\x1B[31m2 extraneous bytes\nx.dcm: before marker 0xd9\n");
}

TEST(DecoderProcess, AMetaGroupTheLibraryAssertsOnLeavesTheTableEmpty)
{
    if (!std::filesystem::is_directory(RADMTF_DICOM_CORPUS)) GTEST_SKIP() << "no pydicom corpus";
    for (const char* name : {"MR_small_bigendian.dcm", "image_dfl.dcm"}) {
        std::ifstream in(std::string(RADMTF_DICOM_CORPUS) + "/" + name, std::ios::binary);
        const Bytes original{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_GT(original.size(), 144u);
        const std::vector<std::vector<std::pair<std::size_t, std::uint8_t>>> changes = {
            {{137, 'M'}},                                           // (0002,0000) "UL" -> "UM"
            {{140, static_cast<std::uint8_t>(original[140] + 4)}},  // its group length 4 bytes off
            {{148, 'S'}, {149, 'Q'}},                               // (0002,0001) "OB" -> "SQ"
        };
        for (std::size_t k = 0; k < changes.size(); ++k) {
            Bytes file = original;
            for (const auto& [at, byte] : changes[k]) file[at] = byte;
            const DicomLoad load = PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "");
            ASSERT_TRUE(load.decoded) << name << k;
            EXPECT_TRUE(load.decoded->elements.empty()) << name << k;
        }
    }
}

// A data set whose tags do not ascend: the library asserted on this one
// (found by the fuzzer); it loads, without the library's element list.
TEST(DecoderProcess, TagsOutOfOrderAreKeptFromTheLibrary)
{
    if (!std::filesystem::is_directory(RADMTF_DICOM_CORPUS)) GTEST_SKIP() << "no pydicom corpus";
    std::ifstream in(std::string(RADMTF_DICOM_CORPUS) + "/SC_rgb_small_odd_jpeg.dcm", std::ios::binary);
    Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(file.size(), 1041u);
    file[1041] = 0xB3;  // (0020,000D) -> (B320,000D), after (0018,5100)
    for (const char c : std::string("361 ")) file.push_back(static_cast<std::uint8_t>(c));
    const DicomLoad load = PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "");
    ASSERT_TRUE(load.decoded);
    EXPECT_TRUE(load.decoded->elements.empty());
}

TEST(DecoderProcess, TheBudgetRefusesABombBeforeAnyProcessOrAllocation)
{
    const std::uint64_t started = DecoderRequestsSent();
    Pixels bomb;
    bomb.rows = 16384;
    bomb.columns = 16384;
    // 2^28 samples of 16 bits: 512 MB, its words and the codec's copies.
    EXPECT_EQ(LoadFailure(Encapsulated(kRle, bomb, RleFrame({}))), FailureCode::kDecodeBudgetExceeded);
    Pixels large;
    large.rows = 1024;
    large.columns = 1024;
    DecodeOptions tight;
    tight.maxDecodedBytes = 4 << 20;
    EXPECT_EQ(LoadFailure(Encapsulated(kRle, large, RleFrame(large)), tight),
              FailureCode::kDecodeBudgetExceeded);
    EXPECT_EQ(DecoderRequestsSent(), started);
    tight.maxDecodedBytes = 16 << 20;
    EXPECT_EQ(LoadFailure(Encapsulated(kRle, large, RleFrame(large)), tight), FailureCode::kNotMeasured);
}

TEST(DecoderProcess, PlainFilesStartNoneAndShortEightBitFilesAreRefused)
{
    const std::uint64_t started = DecoderRequestsSent();
    testdata::DicomImageFields fields;
    fields.rows = 16;
    fields.columns = 16;
    fields.pixels.assign(256, 100);
    EXPECT_EQ(LoadFailure(testdata::BuildDicom(fields)), FailureCode::kNotMeasured);
    EXPECT_EQ(DecoderRequestsSent(), started);
    // 8-bit samples 256 bytes short of their 32 x 32 are never read as 16-bit words.
    DicomWriter w(true);
    w.Preamble().MetaHeader("1.2.840.10008.1.2.1");
    w.US(0x0028, 0x0002, 1).US(0x0028, 0x0010, 32).US(0x0028, 0x0011, 32);
    w.US(0x0028, 0x0100, 8).US(0x0028, 0x0101, 8).US(0x0028, 0x0102, 7);
    w.Element(0x7FE0, 0x0010, "OB", std::string(768, '\x10'));
    EXPECT_EQ(LoadFailure(w.bytes()), FailureCode::kUndecodablePixelData);
}

}  // namespace
}  // namespace radmtf
