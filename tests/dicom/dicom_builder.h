// Builds small DICOM files (preamble, file meta group, data set) byte by byte for tests.
//
// Header-only, standard library only. `DicomWriter` appends single elements
// exactly as given (no padding), for tests that need odd encodings;
// `BuildDicom` writes a plain 16-bit image with the common attributes.
//
// The viewer takes a file for DICOM only when the Pixel Data tag ends within
// the first half of the file, so the pixel data has to be at least as long as
// everything in front of it: with BuildDicom's header, 16 x 16 pixels or
// more are always enough.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf::testdata {

class DicomWriter {
public:
    explicit DicomWriter(bool explicitVr = true) : explicitVr_(explicitVr) {}

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    bool explicitVr() const { return explicitVr_; }

    DicomWriter& Raw(std::initializer_list<std::uint8_t> raw)
    {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    DicomWriter& Raw(const std::vector<std::uint8_t>& raw)
    {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    DicomWriter& Raw(std::string_view raw)
    {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    DicomWriter& Put16(std::uint16_t v) { return Raw({Lo(v), Hi(v)}); }
    DicomWriter& Put32(std::uint32_t v)
    {
        Put16(static_cast<std::uint16_t>(v & 0xFFFF));
        return Put16(static_cast<std::uint16_t>(v >> 16));
    }

    // 128 zero bytes and "DICM".
    DicomWriter& Preamble()
    {
        bytes_.insert(bytes_.end(), 128, 0);
        return Raw(std::string_view("DICM"));
    }

    // The file meta group, always explicit VR little endian: group length,
    // version, SOP class and instance UIDs, transfer syntax (UIDs padded with
    // a NUL to an even length).
    DicomWriter& MetaHeader(std::string_view transferSyntax)
    {
        DicomWriter meta(true);
        meta.Element(0x0002, 0x0001, "OB", std::string("\0\1", 2));
        meta.Element(0x0002, 0x0002, "UI", PadUid("1.2.840.10008.5.1.4.1.1.1.1"));
        meta.Element(0x0002, 0x0003, "UI", PadUid("1.2.392.200036.9999.1"));
        meta.Element(0x0002, 0x0010, "UI", PadUid(transferSyntax));
        DicomWriter length(true);
        length.Element(0x0002, 0x0000, "UL", Le32(static_cast<std::uint32_t>(meta.size())));
        Raw(length.bytes());
        return Raw(meta.bytes());
    }

    // One element with `value` as its bytes, unpadded. Explicit VR writes the
    // VR and the 2-byte length, or 2 reserved bytes and the 4-byte length for
    // the VRs that have one; implicit VR writes a 4-byte length.
    DicomWriter& Element(std::uint16_t group, std::uint16_t element, std::string_view vr,
                         std::string_view value)
    {
        Tag(group, element);
        const auto length = static_cast<std::uint32_t>(value.size());
        if (explicitVr_) {
            Raw(vr.substr(0, 2));
            if (HasLongLength(vr)) {
                Put16(0);
                Put32(length);
            } else {
                Put16(static_cast<std::uint16_t>(length));
            }
        } else {
            Put32(length);
        }
        return Raw(value);
    }

    // A "US" (explicit) or plain 2-byte (implicit) unsigned value.
    DicomWriter& US(std::uint16_t group, std::uint16_t element, std::uint16_t value)
    {
        return Element(group, element, "US",
                       std::string{static_cast<char>(Lo(value)), static_cast<char>(Hi(value))});
    }

    // A sequence of the given items, each an already encoded run of elements.
    // Undefined lengths close with delimitation items.
    DicomWriter& Sequence(std::uint16_t group, std::uint16_t element,
                          const std::vector<std::vector<std::uint8_t>>& items, bool definedSequenceLength,
                          bool definedItemLength)
    {
        DicomWriter body(explicitVr_);
        for (const auto& item : items) {
            body.Tag(0xFFFE, 0xE000);
            body.Put32(definedItemLength ? static_cast<std::uint32_t>(item.size()) : 0xFFFFFFFFu);
            body.Raw(item);
            if (!definedItemLength) body.Tag(0xFFFE, 0xE00D).Put32(0);
        }
        if (!definedSequenceLength) body.Tag(0xFFFE, 0xE0DD).Put32(0);
        Tag(group, element);
        if (explicitVr_) Raw(std::string_view("SQ")).Put16(0);
        Put32(definedSequenceLength ? static_cast<std::uint32_t>(body.size()) : 0xFFFFFFFFu);
        return Raw(body.bytes());
    }

    // (7FE0,0010) with 16-bit little-endian words: "OW" in explicit VR.
    DicomWriter& PixelData(const std::vector<std::uint16_t>& words)
    {
        std::string value;
        for (std::uint16_t w : words) {
            value.push_back(static_cast<char>(Lo(w)));
            value.push_back(static_cast<char>(Hi(w)));
        }
        return Element(0x7FE0, 0x0010, "OW", value);
    }

    DicomWriter& Tag(std::uint16_t group, std::uint16_t element)
    {
        Put16(group);
        return Put16(element);
    }

    static std::string PadUid(std::string_view uid)
    {
        std::string text(uid);
        if (text.size() % 2 != 0) text.push_back('\0');
        return text;
    }
    static std::string PadText(std::string_view text)
    {
        std::string padded(text);
        if (padded.size() % 2 != 0) padded.push_back(' ');
        return padded;
    }
    static std::string Le32(std::uint32_t v)
    {
        return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    }

private:
    static std::uint8_t Lo(std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
    static std::uint8_t Hi(std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); }
    static bool HasLongLength(std::string_view vr)
    {
        return vr == "OB" || vr == "OW" || vr == "OF" || vr == "SQ" || vr == "UT" || vr == "UN";
    }

    bool explicitVr_;
    std::vector<std::uint8_t> bytes_;
};

// A 16-bit image. Empty texts leave their element out.
struct DicomImageFields {
    bool explicitVr = true;
    std::string transferSyntax;         // empty: "1.2.840.10008.1.2.1" (explicit) or "1.2.840.10008.1.2"
    std::string studyDate;              // (0008,0020)
    std::string acquisitionDate;        // (0008,0022)
    std::string manufacturer;           // (0008,0070)
    std::string institution;            // (0008,0080)
    std::string modelName;              // (0008,1090)
    std::string serialNumber;           // (0018,1000)
    std::string exposureUAs;            // (0018,1153) µAs
    std::string detectorId;             // (0018,700A)
    std::string kvp;                    // (0018,0060)
    std::string exposure;               // (0018,1152) mAs
    std::string imagerSpacing;          // (0018,1164), e.g. "0.15\\0.15"
    std::uint16_t rows = 16;            // (0028,0010)
    std::uint16_t columns = 16;         // (0028,0011)
    std::string pixelSpacing;           // (0028,0030), e.g. "0.139\\0.139"
    std::uint16_t bitsStored = 12;      // (0028,0101): the test images hold 12-bit values
    std::string photometric;            // (0028,0004)
    std::string presentationIntent;     // (0008,0068)
    std::string windowCenter;           // (0028,1050)
    std::string windowWidth;            // (0028,1051)
    std::string rescaleIntercept;       // (0028,1052)
    std::vector<std::uint16_t> pixels;  // rows * columns words, row by row; empty: all 0
    // (0028,0103), absent unless set.
    std::optional<std::uint16_t> pixelRepresentation;
};

// The whole file; the pixel words are its last rows * columns * 2 bytes.
inline std::vector<std::uint8_t> BuildDicom(const DicomImageFields& fields)
{
    DicomWriter w(fields.explicitVr);
    std::string syntax = fields.transferSyntax;
    if (syntax.empty()) syntax = fields.explicitVr ? "1.2.840.10008.1.2.1" : "1.2.840.10008.1.2";
    w.Preamble().MetaHeader(syntax);
    const auto text = [&](std::uint16_t group, std::uint16_t element, std::string_view vr,
                          const std::string& value) {
        if (!value.empty()) w.Element(group, element, vr, DicomWriter::PadText(value));
    };
    text(0x0008, 0x0020, "DA", fields.studyDate);
    text(0x0008, 0x0022, "DA", fields.acquisitionDate);
    w.Element(0x0008, 0x0060, "CS", "DX");
    text(0x0008, 0x0068, "CS", fields.presentationIntent);
    text(0x0008, 0x0070, "LO", fields.manufacturer);
    text(0x0008, 0x0080, "LO", fields.institution);
    text(0x0008, 0x1090, "LO", fields.modelName);
    text(0x0018, 0x0060, "DS", fields.kvp);
    text(0x0018, 0x1000, "LO", fields.serialNumber);
    text(0x0018, 0x1152, "IS", fields.exposure);
    text(0x0018, 0x1153, "IS", fields.exposureUAs);
    text(0x0018, 0x1164, "DS", fields.imagerSpacing);
    text(0x0018, 0x700A, "SH", fields.detectorId);
    w.US(0x0028, 0x0002, 1);
    text(0x0028, 0x0004, "CS", fields.photometric);
    w.US(0x0028, 0x0010, fields.rows);
    w.US(0x0028, 0x0011, fields.columns);
    text(0x0028, 0x0030, "DS", fields.pixelSpacing);
    w.US(0x0028, 0x0100, 16);
    w.US(0x0028, 0x0101, fields.bitsStored);
    if (fields.pixelRepresentation) w.US(0x0028, 0x0103, *fields.pixelRepresentation);
    text(0x0028, 0x1050, "DS", fields.windowCenter);
    text(0x0028, 0x1051, "DS", fields.windowWidth);
    text(0x0028, 0x1052, "DS", fields.rescaleIntercept);
    std::vector<std::uint16_t> pixels = fields.pixels;
    pixels.resize(static_cast<std::size_t>(fields.rows) * fields.columns, 0);
    w.PixelData(pixels);
    return w.bytes();
}

}  // namespace radmtf::testdata
