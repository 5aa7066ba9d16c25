// The reader must survive any byte sequence: truncated files, corrupted
// bytes, lengths that point past the end. Each buffer is copied into an
// allocation of exactly its size so that the sanitizer build catches any
// read beyond it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "core/failure.h"
#include "dicom/dicom_reader.h"
#include "dicom_builder.h"

namespace radmtf {
namespace {

using testdata::DicomWriter;

constexpr std::string_view kDictionary = "0002\t0002\tMediaStorageSOPClassUID\tN\r\n0028\t0010\tRows\tN";

// Reads `bytes[0, size)` from an exact-size copy and checks the invariants
// the window relies on. A conversion failure is a valid outcome.
void ReadChecked(const std::uint8_t* bytes, std::size_t size)
{
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size == 0 ? 1 : size]);
    if (size > 0) std::memcpy(copy.get(), bytes, size);
    DicomHeaderOutput out;
    try {
        ReadDicomHeader(copy.get(), size, kDictionary, "", out);
    } catch (const Failure&) {
    }
    ASSERT_GE(out.rowCount, 1);
    ASSERT_GE(out.nextRow, 1);
    if (out.tableReplaced) {
        ASSERT_GE(out.table.rows.size() + 1, static_cast<std::size_t>(out.rowCount));
    }
    ASSERT_EQ(out.headerOffset.has_value(), out.tableReplaced);
}

// A small file that touches every branch of the walk.
std::vector<std::uint8_t> SmallFile()
{
    DicomWriter item1(true), item2(true);
    item1.Element(0x0008, 0x0100, "SH", "C1");
    item2.Element(0x0008, 0x0100, "SH", "C2").Element(0x0008, 0x0102, "SH", "DCM ");
    DicomWriter w(true);
    w.Preamble().MetaHeader("1.2.840.10008.1.2.1");
    w.Element(0x0008, 0x1090, "LO", "MODEL ");
    w.Element(0x0008, 0x0070, "LO", "");
    w.Sequence(0x0008, 0x1032, {item1.bytes(), item2.bytes()}, false, false);
    w.Sequence(0x0008, 0x1111, {item1.bytes()}, true, false);
    w.Element(0x0009, 0x1001, "OB", "ABCD");
    w.Element(0x0009, 0x1002, "UN", "xy");
    w.US(0x0028, 0x0010, 16);
    w.US(0x0028, 0x0011, 16);
    w.Element(0x0028, 0x0030, "DS", "0.1\\0.1 ");
    w.Element(0x0028, 0x1050, "DS", "40\\400");
    w.Element(0x0028, 0x1052, "DS", "-1 ");
    const std::size_t header = w.size();
    w.PixelData(std::vector<std::uint16_t>(header / 2 + 4, 0x0101));
    return w.bytes();
}

TEST(DicomReaderRobustness, EveryPrefixOfAValidFile)
{
    const std::vector<std::uint8_t> file = SmallFile();
    for (std::size_t n = 0; n <= file.size(); ++n) ReadChecked(file.data(), n);
}

TEST(DicomReaderRobustness, EverySingleByteCorruption)
{
    const std::vector<std::uint8_t> file = SmallFile();
    const std::uint8_t values[] = {0x00, 0xFF, 'O', 'S', 'Q', 'U', 'N', 0xFE, 0x0D, 0xDD, 0xE0};
    std::vector<std::uint8_t> bad = file;
    for (std::size_t i = 0; i < file.size(); ++i) {
        for (std::uint8_t v : values) {
            bad[i] = v;
            ReadChecked(bad.data(), bad.size());
        }
        bad[i] = file[i];
    }
}

TEST(DicomReaderRobustness, HostileLengthsAtTheEnd)
{
    // The walk's own pieces with the largest lengths, cut off at every point.
    DicomWriter w(true);
    w.Raw("UL").Tag(0x0002, 0x0002);
    w.Raw({'O', 'B', 0xFF, 0xFF, 0xFF, 0xFF});
    w.Raw({0xE0, 0x7F, 0x10, 0x00, 'S', 'Q', 0, 0, 0xFE, 0xFF, 0x0D, 0xE0});
    std::vector<std::uint8_t> bytes = w.bytes();
    bytes.resize(2 * bytes.size(), 0);
    for (std::size_t n = 0; n <= bytes.size(); ++n) ReadChecked(bytes.data(), n);

    // Zeros up to the end after the start: the zero skipping must stop there.
    std::vector<std::uint8_t> zeros = {'U', 'L', 2, 0, 2, 0, 0xE0, 0x7F, 0x10, 0x00};
    zeros.resize(64, 0);
    for (std::size_t n = 0; n <= zeros.size(); ++n) ReadChecked(zeros.data(), n);

    // Delimiters right at the end of a value inside a sequence.
    DicomWriter s(true);
    s.Raw("UL")
        .Tag(0x0002, 0x0002)
        .Raw({'S', 'Q', 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF});
    s.Element(0x0008, 0x0100, "SH", "C1")
        .Raw({0xFE, 0xFF, 0x0D, 0xE0, 0, 0, 0, 0, 0xFE, 0xFF, 0xDD, 0xE0, 0, 0, 0, 0});
    s.Raw({0xE0, 0x7F, 0x10, 0x00});
    std::vector<std::uint8_t> seq = s.bytes();
    seq.resize(2 * seq.size(), 0);
    for (std::size_t n = 0; n <= seq.size(); ++n) ReadChecked(seq.data(), n);
}

TEST(DicomReaderRobustness, RandomBytesAroundTheMarkers)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    // Mostly the bytes the walk cares about, so that it gets far.
    const std::uint8_t alphabet[] = {0x00, 0xFF, 0xFE, 0xE0, 0x0D, 0xDD, 'O', 'B',
                                     'W',  'S',  'Q',  'U',  'N',  0x28, 0x10};
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<std::uint8_t> bytes = {'U', 'L', 0x02, 0x00, 0x02, 0x00};
        const int length = 4 + trial % 120;
        for (int i = 0; i < length; ++i)
            bytes.push_back(byte(random) < 160
                                ? alphabet[static_cast<std::size_t>(byte(random)) % sizeof alphabet]
                                : static_cast<std::uint8_t>(byte(random)));
        const std::uint8_t tag[] = {0xE0, 0x7F, 0x10, 0x00};
        bytes.insert(bytes.end(), tag, tag + 4);
        const std::size_t tail = static_cast<std::size_t>(byte(random)) % (bytes.size() + 8);
        const std::size_t total = 2 * bytes.size() + tail;
        while (bytes.size() < total) bytes.push_back(static_cast<std::uint8_t>(byte(random)));
        ReadChecked(bytes.data(), bytes.size());
    }
}

}  // namespace
}  // namespace radmtf
