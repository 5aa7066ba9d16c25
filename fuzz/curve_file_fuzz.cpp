// Any bytes as "hdc.txt": the first two bytes choose a small profile, the
// rest is the curve file. Only the program's own failures may come out.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "analysis/exposure.h"
#include "core/failure.h"
#include "core/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto state = std::make_unique<radmtf::ProfileState>();
    if (size < 2) return 0;
    const int count = 1 + data[0] % 8;
    for (int i = 0; i < count; ++i) state->compositeProfile[i] = (data[1] + 37 * i) * ((i % 3) - 1) * 100;
    state->profileCount = count;
    state->exposureCount = 0;
    state->sampleSpacing = 0.01;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    try {
        radmtf::ConvertToExposureByCurve(*state, radmtf::SplitTextLines(text), "hdc.txt");
    } catch (const radmtf::Failure&) {
    }
    return 0;
}
