#include "synth/dicom_writer.h"

#include <cstdio>
#include <string_view>

#include "core/numtext.h"

namespace radmtf::synth {
namespace {

class ElementWriter {
public:
    std::vector<std::uint8_t> bytes;

    void Put16(std::uint16_t v)
    {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Put32(std::uint32_t v)
    {
        Put16(static_cast<std::uint16_t>(v & 0xFFFF));
        Put16(static_cast<std::uint16_t>(v >> 16));
    }
    // Explicit VR; OB/OW carry a 4-byte length. Values are padded to an even
    // length (UIDs with a NUL, texts with a space).
    void Element(std::uint16_t group, std::uint16_t element, std::string_view vr, std::string value)
    {
        if (value.size() % 2 != 0) value.push_back(vr == "UI" ? '\0' : ' ');
        Put16(group);
        Put16(element);
        bytes.insert(bytes.end(), vr.begin(), vr.end());
        if (vr == "OB" || vr == "OW") {
            Put16(0);
            Put32(static_cast<std::uint32_t>(value.size()));
        } else {
            Put16(static_cast<std::uint16_t>(value.size()));
        }
        bytes.insert(bytes.end(), value.begin(), value.end());
    }
    void US(std::uint16_t group, std::uint16_t element, std::uint16_t v)
    {
        Element(group, element, "US", std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)});
    }
};

constexpr std::string_view kSopClass = "1.2.840.10008.5.1.4.1.1.1.1";  // Digital X-Ray, for presentation
constexpr std::string_view kInstance = "2.25.329800735698586629295641978511506172918";  // UUID-derived
constexpr std::string_view kExplicitLittle = "1.2.840.10008.1.2.1";

}  // namespace

std::vector<std::uint8_t> DicomBytes(const Radiograph& image, const std::string& description)
{
    ElementWriter meta;
    meta.Element(0x0002, 0x0001, "OB", std::string("\0\1", 2));
    meta.Element(0x0002, 0x0002, "UI", std::string(kSopClass));
    meta.Element(0x0002, 0x0003, "UI", std::string(kInstance));
    meta.Element(0x0002, 0x0010, "UI", std::string(kExplicitLittle));

    ElementWriter file;
    file.bytes.assign(128, 0);
    for (char c : std::string_view("DICM")) file.bytes.push_back(static_cast<std::uint8_t>(c));
    std::string length(4, '\0');
    for (int i = 0; i < 4; ++i) length[i] = static_cast<char>((meta.bytes.size() >> (8 * i)) & 0xFF);
    file.Element(0x0002, 0x0000, "UL", length);
    file.bytes.insert(file.bytes.end(), meta.bytes.begin(), meta.bytes.end());

    const std::string spacing = FloatToStr(image.pixelSpacing);
    file.Element(0x0008, 0x0016, "UI", std::string(kSopClass));
    file.Element(0x0008, 0x0018, "UI", std::string(kInstance));
    file.Element(0x0008, 0x0060, "CS", "DX");
    if (!description.empty()) file.Element(0x0008, 0x103E, "LO", description);
    file.Element(0x0018, 0x1164, "DS", spacing + "\\" + spacing);  // what DX readers take as the spacing
    file.US(0x0028, 0x0002, 1);
    file.Element(0x0028, 0x0004, "CS", "MONOCHROME2");
    file.US(0x0028, 0x0010, static_cast<std::uint16_t>(image.rows));
    file.US(0x0028, 0x0011, static_cast<std::uint16_t>(image.columns));
    file.Element(0x0028, 0x0030, "DS", spacing + "\\" + spacing);
    file.US(0x0028, 0x0100, 16);
    file.US(0x0028, 0x0101, static_cast<std::uint16_t>(image.bitsStored));
    file.US(0x0028, 0x0102, static_cast<std::uint16_t>(image.bitsStored - 1));
    file.US(0x0028, 0x0103, 0);
    std::string words;
    words.reserve(image.pixels.size() * 2);
    for (std::uint16_t w : image.pixels) {
        words.push_back(static_cast<char>(w & 0xFF));
        words.push_back(static_cast<char>(w >> 8));
    }
    file.Element(0x7FE0, 0x0010, "OW", std::move(words));
    return file.bytes;
}

bool WriteDicomFile(const std::string& path, const Radiograph& image, const std::string& description)
{
    const std::vector<std::uint8_t> bytes = DicomBytes(image, description);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace radmtf::synth
