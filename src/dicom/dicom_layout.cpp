#include "dicom/dicom_layout.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "dicom/codestream.h"

namespace radmtf {

namespace {

constexpr std::uint32_t kUndefinedLength = 0xFFFFFFFFu;
constexpr int kMaxNesting = 24;

bool IsUpper(std::uint8_t b)
{
    return b >= 'A' && b <= 'Z';
}

// Explicit VRs whose element header has 2 reserved bytes and a 4-byte length.
bool HasLongLength(char a, char b)
{
    static constexpr const char* kLong[] = {"OB", "OD", "OF", "OL", "OV", "OW", "SQ",
                                            "UC", "UN", "UR", "UT", "SV", "UV"};
    for (const char* vr : kLong)
        if (vr[0] == a && vr[1] == b) return true;
    return false;
}

bool IsStandardVr(char a, char b)
{
    static constexpr const char* kVrs[] = {
        "AE", "AS", "AT", "CS", "DA", "DS", "DT", "FD", "FL", "IS", "LO", "LT", "OB", "OD", "OF", "OL", "OV",
        "OW", "PN", "SH", "SL", "SQ", "SS", "ST", "SV", "TM", "UC", "UI", "UL", "UN", "UR", "US", "UT", "UV"};
    for (const char* vr : kVrs)
        if (vr[0] == a && vr[1] == b) return true;
    return false;
}

std::string Trimmed(const std::uint8_t* p, std::size_t n)
{
    std::string text(reinterpret_cast<const char*>(p), n);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ')) text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    return text.substr(first);
}

class Scanner {
public:
    // Every bound is checked by the callers against the end they pass in.
    Scanner(const std::uint8_t* data, std::size_t /*size*/, DicomLayout& layout) : d_(data), layout_(layout)
    {
    }

    // Parses the elements in [pos, end). In an item of undefined length the
    // item delimitation ends it. Returns false on anything inconsistent.
    bool DataSet(std::size_t& pos, std::size_t end, bool untilDelimiter, bool topLevel, bool implicit,
                 int depth)
    {
        if (depth > kMaxNesting) return false;
        std::optional<std::uint32_t> previousTag;
        while (pos < end) {
            if (end - pos < 8) return topLevel && !untilDelimiter;  // trailing padding bytes
            const std::uint16_t group = U16(pos);
            const std::uint16_t element = U16(pos + 2);
            if (group == 0xFFFE) {
                if (element == 0xE00D && untilDelimiter) {
                    pos += 8;
                    return true;
                }
                return false;
            }
            const std::uint32_t tag = (std::uint32_t{group} << 16) | element;
            if (previousTag && tag <= *previousTag) layout_.tagsOutOfOrder = true;
            previousTag = tag;
            std::uint32_t length = 0;
            std::size_t header = 8;
            char vr[2] = {0, 0};
            if (!implicit && IsUpper(d_[pos + 4]) && IsUpper(d_[pos + 5])) {
                vr[0] = static_cast<char>(d_[pos + 4]);
                vr[1] = static_cast<char>(d_[pos + 5]);
                if (!IsStandardVr(vr[0], vr[1])) layout_.unknownVr = true;
                if (HasLongLength(vr[0], vr[1])) {
                    if (end - pos < 12) return false;
                    length = U32(pos + 8);
                    header = 12;
                } else {
                    length = U16(pos + 6);
                }
            } else {
                length = U32(pos + 4);  // implicit VR, also inside an explicit data set
            }
            pos += header;
            const bool pixelData = topLevel && group == 0x7FE0 && element == 0x0010;
            if (length == kUndefinedLength) {
                // Only a sequence, an unknown or pixel data may leave its length open.
                const bool openVr = vr[0] == 0 || (vr[0] == 'S' && vr[1] == 'Q') ||
                                    (vr[0] == 'U' && vr[1] == 'N') ||
                                    (vr[0] == 'O' && (vr[1] == 'B' || vr[1] == 'W'));
                if (!openVr) layout_.unknownVr = true;
                if (pixelData) {
                    if (!Fragments(pos, end)) return false;
                    continue;
                }
                // A sequence; the items of an "UN" one are implicit VR.
                const bool unknown = vr[0] == 'U' && vr[1] == 'N';
                if (!Sequence(pos, end, true, implicit || unknown, depth + 1)) return false;
                continue;
            }
            if (length > end - pos) return false;
            const std::size_t valueEnd = pos + length;
            const bool sequence =
                (vr[0] == 'S' && vr[1] == 'Q') ||
                (vr[0] != 0 && vr[0] == 'U' && vr[1] == 'N' && StartsWithItem(pos, valueEnd)) ||
                (vr[0] == 0 && !pixelData && StartsWithItem(pos, valueEnd));
            if (sequence) {
                const bool unknown = vr[0] == 'U' && vr[1] == 'N';
                std::size_t inner = pos;
                if (!Sequence(inner, valueEnd, false, implicit || unknown, depth + 1)) return false;
            } else if (pixelData) {
                layout_.hasPixelData = true;
                layout_.pixelOffset = pos;
                layout_.pixelLength = length;
            } else if (topLevel && group == 0x0028) {
                Capture(element, pos, length);
            }
            pos = valueEnd;
        }
        return !untilDelimiter;
    }

    std::uint16_t U16(std::size_t p) const
    {
        return big_ ? static_cast<std::uint16_t>((d_[p] << 8) | d_[p + 1])
                    : static_cast<std::uint16_t>(d_[p] | (d_[p + 1] << 8));
    }
    std::uint32_t U32(std::size_t p) const
    {
        if (big_) return (std::uint32_t{U16(p)} << 16) | U16(p + 2);
        return U16(p) | (std::uint32_t{U16(p + 2)} << 16);
    }
    void SetBigEndian(bool big) { big_ = big; }

private:
    bool StartsWithItem(std::size_t pos, std::size_t end) const
    {
        return end - pos >= 8 && U16(pos) == 0xFFFE && U16(pos + 2) == 0xE000;
    }

    // Items up to the sequence delimitation (undefined length) or to `end`.
    bool Sequence(std::size_t& pos, std::size_t end, bool undefined, bool implicit, int depth)
    {
        if (depth > kMaxNesting) return false;
        while (pos < end) {
            if (end - pos < 8) return false;
            const std::uint16_t group = U16(pos);
            const std::uint16_t element = U16(pos + 2);
            const std::uint32_t length = U32(pos + 4);
            pos += 8;
            if (group != 0xFFFE) return false;
            if (element == 0xE0DD) return undefined;
            if (element != 0xE000) return false;
            if (length == kUndefinedLength) {
                if (!DataSet(pos, end, true, false, implicit, depth + 1)) return false;
            } else {
                if (length > end - pos) return false;
                std::size_t inner = pos;
                if (!DataSet(inner, pos + length, false, false, implicit, depth + 1)) return false;
                pos += length;
            }
        }
        return !undefined;
    }

    // The items of encapsulated pixel data: the basic offset table, then the
    // fragments, up to the sequence delimitation.
    bool Fragments(std::size_t& pos, std::size_t end)
    {
        layout_.hasPixelData = true;
        layout_.encapsulated = true;
        bool first = true;
        std::size_t firstFragmentItem = 0;
        while (true) {
            if (end - pos < 8) return false;
            const std::uint16_t group = U16(pos);
            const std::uint16_t element = U16(pos + 2);
            const std::uint32_t length = U32(pos + 4);
            if (group != 0xFFFE) return false;
            if (element == 0xE0DD) {
                pos += 8;
                return !first;
            }
            if (element != 0xE000 || length == kUndefinedLength || length > end - pos - 8) return false;
            const std::size_t item = pos;
            pos += 8;
            if (first) {
                for (std::size_t i = 0; i + 4 <= length; i += 4) layout_.offsetTable.push_back(U32(pos + i));
                first = false;
            } else {
                if (layout_.fragments.empty()) firstFragmentItem = item;
                layout_.fragments.push_back({pos, length, item - firstFragmentItem});
            }
            pos += length;
        }
    }

    void Capture(std::uint16_t element, std::size_t pos, std::uint32_t length)
    {
        auto us = [&](std::uint32_t& field) {
            if (length >= 2) field = U16(pos);
        };
        switch (element) {
            case 0x0002:
                us(layout_.samplesPerPixel);
                break;
            case 0x0006:
                us(layout_.planarConfiguration);
                break;
            case 0x0010:
                us(layout_.rows);
                break;
            case 0x0011:
                us(layout_.columns);
                break;
            case 0x0100:
                us(layout_.bitsAllocated);
                break;
            case 0x0101:
                us(layout_.bitsStored);
                break;
            case 0x0102:
                us(layout_.highBit);
                break;
            case 0x0103:
                us(layout_.pixelRepresentation);
                break;
            case 0x0004:
                layout_.photometric = Trimmed(d_ + pos, length);
                break;
            case 0x0008:
                layout_.numberOfFrames = Trimmed(d_ + pos, length);
                break;
            default:
                break;
        }
    }

    const std::uint8_t* d_;
    DicomLayout& layout_;
    bool big_ = false;
};

// The encoding of a data set without a transfer syntax, from its first element.
void GuessEncoding(const std::uint8_t* p, std::size_t available, DicomLayout& layout)
{
    if (available < 6) return;
    const bool bigGroup = p[0] == 0 && p[1] != 0;
    const bool explicitVr = IsUpper(p[4]) && IsUpper(p[5]);
    if (bigGroup)
        layout.encoding = DataSetEncoding::kExplicitBig;
    else
        layout.encoding = explicitVr ? DataSetEncoding::kExplicitLittle : DataSetEncoding::kImplicitLittle;
}

}  // namespace

bool IsNativeTransferSyntax(const std::string& uid)
{
    return uid.empty() || uid == "1.2.840.10008.1.2" || uid == "1.2.840.10008.1.2.1" ||
           uid == "1.2.840.10008.1.2.2" || uid == "1.2.840.10008.1.2.1.99";
}

DicomLayout ScanDicomLayout(const std::uint8_t* data, std::size_t size, bool inflated)
{
    DicomLayout layout;
    if (data == nullptr) return layout;
    std::size_t pos = 0;
    if (size >= 132 && std::memcmp(data + 128, "DICM", 4) == 0) pos = 132;

    // The file meta group: explicit VR little endian, group 0002.
    {
        DicomLayout meta;
        Scanner scanner(data, size, meta);
        while (size - pos >= 8 && scanner.U16(pos) == 0x0002) {
            const std::uint16_t element = scanner.U16(pos + 2);
            std::uint32_t length = 0;
            std::size_t header = 8;
            if (IsUpper(data[pos + 4]) && IsUpper(data[pos + 5])) {
                if (HasLongLength(static_cast<char>(data[pos + 4]), static_cast<char>(data[pos + 5]))) {
                    if (size - pos < 12) return layout;
                    length = scanner.U32(pos + 8);
                    header = 12;
                } else {
                    length = scanner.U16(pos + 6);
                }
            } else {
                length = scanner.U32(pos + 4);
            }
            if (length > size - pos - header) return layout;
            layout.hasMeta = true;
            if (element == 0x0010) {
                layout.transferSyntax = Trimmed(data + pos + header, length);
                while (!layout.transferSyntax.empty() && layout.transferSyntax.back() == '\0')
                    layout.transferSyntax.pop_back();
            }
            pos += header + length;
        }
    }
    layout.dataSetStart = pos;

    const std::string& ts = layout.transferSyntax;
    if (ts == "1.2.840.10008.1.2")
        layout.encoding = DataSetEncoding::kImplicitLittle;
    else if (ts == "1.2.840.10008.1.2.2")
        layout.encoding = DataSetEncoding::kExplicitBig;
    else if (ts.empty())
        GuessEncoding(data + pos, size - pos, layout);
    else
        layout.encoding = DataSetEncoding::kExplicitLittle;
    if (ts == "1.2.840.10008.1.2.1.99" && !inflated) {
        // The caller inflates the data set and scans the result.
        layout.deflated = true;
        layout.consistent = true;
        return layout;
    }

    Scanner scanner(data, size, layout);
    scanner.SetBigEndian(layout.encoding == DataSetEncoding::kExplicitBig);
    layout.consistent =
        scanner.DataSet(pos, size, false, true, layout.encoding == DataSetEncoding::kImplicitLittle, 0);
    return layout;
}

bool LoadsAsStoredForSure(const DicomLayout& layout, bool walkFoundPixelData)
{
    if (!layout.consistent || layout.deflated) return false;
    if (!layout.hasPixelData) return true;
    const auto bits = layout.bitsAllocated == 0 ? 16 : layout.bitsAllocated;
    const auto samples = layout.samplesPerPixel == 0 ? 1 : layout.samplesPerPixel;
    return layout.encoding != DataSetEncoding::kExplicitBig && !layout.encapsulated && bits == 16 &&
           samples == 1 && walkFoundPixelData;
}

bool RefusedWhenInconsistent(const DicomLayout& layout)
{
    // An unknown syntax over plain samples loads as it always did.
    const bool compressed =
        !IsNativeTransferSyntax(layout.transferSyntax) && CodecOf(layout.transferSyntax) != Codec::kOther;
    const bool saysNotPlain =
        compressed || layout.encoding == DataSetEncoding::kExplicitBig || layout.deflated;
    return (saysNotPlain && layout.hasMeta) || layout.samplesPerPixel > 1;
}

}  // namespace radmtf
