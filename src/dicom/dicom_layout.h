// A strict structural scan of a DICOM file: where its data set starts, how it
// is encoded, the image attributes the pixel decoder needs, and where the
// pixel data lies. Unlike the tolerant header walk it checks every length
// against the file, so that nothing handed on to the DICOM library can make
// it read or allocate beyond what the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace radmtf {

enum class DataSetEncoding { kImplicitLittle, kExplicitLittle, kExplicitBig };

struct PixelFragment {
    std::size_t offset = 0;  // first byte of the fragment's value
    std::size_t length = 0;
    std::size_t itemOffset = 0;  // of its item tag, counted from the first fragment's item tag
};

struct DicomLayout {
    // Every element, item and fragment of the data set lies inside the file.
    bool consistent = false;
    bool hasMeta = false;
    std::string transferSyntax;  // (0002,0010) without padding; empty when absent
    DataSetEncoding encoding = DataSetEncoding::kExplicitLittle;
    bool deflated = false;  // the data set after the meta group is deflate-compressed
    std::size_t dataSetStart = 0;

    // Image attributes of the top-level data set; 0 or empty when absent.
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t samplesPerPixel = 0;
    std::uint32_t bitsAllocated = 0;
    std::uint32_t bitsStored = 0;
    std::uint32_t highBit = 0;
    std::uint32_t pixelRepresentation = 0;
    std::uint32_t planarConfiguration = 0;
    std::string photometric;     // trimmed
    std::string numberOfFrames;  // (0028,0008) as written, trimmed; empty when absent

    bool hasPixelData = false;
    bool encapsulated = false;
    // An explicit VR that is no VR of the standard, or one that may not
    // leave its length open but does: readers part ways on its length field
    // (the DICOM library asserts on what follows), so the file is not
    // handed to one.
    bool unknownVr = false;
    // Elements of one data set not in ascending tag order, as the standard
    // requires: the library asserts on some such files.
    bool tagsOutOfOrder = false;
    std::size_t pixelOffset = 0;  // native pixel data: value position and length
    std::size_t pixelLength = 0;
    std::vector<std::uint32_t> offsetTable;  // encapsulated: the basic offset table
    std::vector<PixelFragment> fragments;    // encapsulated: the fragments after it
};

// Scans data[0, size). Never reads outside it; `consistent` is false when an
// element, item or fragment runs past the end or the nesting is implausible.
// A deflated data set is only recognised (`deflated`), unless `inflated` says
// that the bytes after the meta group are the data set already inflated.
DicomLayout ScanDicomLayout(const std::uint8_t* data, std::size_t size, bool inflated = false);

// True for the transfer syntaxes whose pixel data is stored as plain
// samples (implicit/explicit little endian, big endian, deflated).
bool IsNativeTransferSyntax(const std::string& uid);

// True when a load surely shows the file's samples as they are stored
// (consistent little-endian 16-bit gray samples, not encapsulated, where the
// header walk found them), so that no decoder need be consulted; false when
// only the decoder can tell (DecodeDicomPixels).
bool LoadsAsStoredForSure(const DicomLayout& layout, bool walkFoundPixelData);

// Whether a file whose layout is not consistent is refused rather than shown
// as plain words: it says its pixels are compressed, big endian or deflated,
// or they are colour, which plain words would never show.
bool RefusedWhenInconsistent(const DicomLayout& layout);

}  // namespace radmtf
