// A crafted DICOM header of many tiny elements, for the timings of the
// header walk and of the whole load with its element table.
#pragma once

#include <cstdint>
#include <vector>

namespace radmtf::bench {

inline void Put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Explicit little endian: meta group length, (0002,0002), then `count`
// two-byte "SH" elements cycling through tags present and absent in the
// dictionary (the model name among them, which the summary puts first),
// then the pixel data, so that its tag lies in the first half of the file.
inline std::vector<std::uint8_t> TinyElementHeader(int count)
{
    std::vector<std::uint8_t> out(128, 0);
    for (const char c : {'D', 'I', 'C', 'M'}) out.push_back(static_cast<std::uint8_t>(c));
    const auto element = [&](std::uint16_t group, std::uint16_t number, const char* vr, const char* value,
                             std::uint16_t length) {
        Put16(out, group);
        Put16(out, number);
        out.push_back(static_cast<std::uint8_t>(vr[0]));
        out.push_back(static_cast<std::uint8_t>(vr[1]));
        Put16(out, length);
        for (std::uint16_t i = 0; i < length; ++i) out.push_back(static_cast<std::uint8_t>(value[i]));
    };
    element(0x0002, 0x0000, "UL", "\x10\0\0\0", 4);
    element(0x0002, 0x0002, "UI", "1.2.3", 6);
    constexpr std::uint16_t kTags[][2] = {{0x0008, 0x0060}, {0x0018, 0x0060}, {0x0008, 0x1090},
                                          {0x0045, 0x101B}, {0x0033, 0x0010}, {0x0028, 0x1054}};
    for (int i = 0; i < count; ++i) element(kTags[i % 6][0], kTags[i % 6][1], "SH", "AB", 2);
    Put16(out, 0x7FE0);
    Put16(out, 0x0010);
    out.insert(out.end(), {'O', 'W', 0, 0, 0, 0, 0, 0});
    out.resize(out.size() * 2 + 16, 0);
    return out;
}

}  // namespace radmtf::bench
