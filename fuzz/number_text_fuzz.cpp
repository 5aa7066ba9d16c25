// Any text typed into a number edit: conversions either give a number or
// fail with the program's message; a number read back prints and reads again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "core/numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const std::int32_t value = radmtf::StrToInt(text);
        if (radmtf::StrToInt(radmtf::IntToStr(value)) != value) std::abort();
    } catch (const radmtf::Failure&) {
    }
    try {
        const long double value = radmtf::StrToFloat(text);
        if (!std::isfinite(value)) std::abort();  // out-of-range text must fail, not read as inf
        const std::string printed = radmtf::FloatToStr(value);
        radmtf::StrToFloat(printed);
        radmtf::Round(value);
    } catch (const radmtf::Failure&) {
    }
    return 0;
}
