#include "analysis/exposure.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/composite_profile.h"
#include "core/failure.h"
#include "core/paths.h"

namespace radmtf {

void ConvertProfileToKerma(ProfileState& state, const Conversion& conversion)
{
    CheckProfileState(state);
    const bool model = conversion.kind() != Conversion::Kind::kCurve;
    if (model) state.exposureCount = state.profileCount;
    const std::size_t count = ValidCount(state.profileCount, kProfileCapacity);
    if (count > 0) conversion.Kerma(state.compositeProfile.data(), count, state.exposureProfile.data());
    state.exposureCount = state.profileCount;
}

std::vector<ChartPoint> ConvertToExposure(ProfileState& state, const Conversion& conversion)
{
    ConvertProfileToKerma(state, conversion);
    return FinishExposure(state);
}

std::vector<ChartPoint> ConvertToExposureByCurve(ProfileState& state, const std::vector<std::string>& lines,
                                                 std::string_view path)
{
    CheckProfileState(state);
    RequireProfile(state);
    return ConvertToExposure(state, Conversion::CurveFile(lines, std::string(path)));
}

std::vector<ChartPoint> FinishExposure(ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t count = ValidCount(state.exposureCount, kProfileCapacity);
    // Ties keep the earlier index.
    std::int32_t peakIndex = 0;
    double peak = state.exposureProfile[0];
    for (std::size_t k = 0; k < count; ++k) {
        if (state.exposureProfile[k] > peak) {
            peak = state.exposureProfile[k];
            peakIndex = static_cast<std::int32_t>(k);
        }
    }
    state.peakIndex = peakIndex;
    // E[k] / peak × 1000; an all-zero profile fails at its first entry (0 / 0).
    for (std::size_t k = 0; k < count; ++k) {
        const long double ratio =
            CheckedDivide(static_cast<long double>(state.exposureProfile[k]), static_cast<long double>(peak));
        state.exposureProfile[k] = static_cast<double>(ratio * 1000.0L);
    }
    return ExposureSeries(state);
}

std::vector<double> ConvertValuesToExposure(const std::vector<std::int32_t>& values,
                                            const ExposureConversion& conversion)
{
    if (values.empty()) return {};
    // The distinct values, ascending: marked in a table over the value range
    // when it is small (16-bit data), sorted otherwise.
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const std::int64_t low = *lowest;
    const std::int64_t range = std::int64_t{*highest} - low + 1;
    constexpr std::int64_t kTableRange = std::int64_t{1} << 20;
    std::vector<std::int32_t> distinct;
    if (range <= kTableRange) {
        std::vector<char> present(static_cast<std::size_t>(range), 0);
        for (std::int32_t v : values) present[static_cast<std::size_t>(v - low)] = 1;
        for (std::int64_t j = 0; j < range; ++j)
            if (present[static_cast<std::size_t>(j)]) distinct.push_back(static_cast<std::int32_t>(low + j));
    } else {
        distinct = values;
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    }
    if (distinct.size() > static_cast<std::size_t>(kProfileCapacity))
        ThrowFailure(FailureCode::kTooManyValues);
    // The distinct values, ascending, as a profile: one conversion each.
    auto state = std::make_unique<ProfileState>();
    std::copy(distinct.begin(), distinct.end(), state->compositeProfile.begin());
    state->profileCount = static_cast<std::int32_t>(distinct.size());
    state->sampleSpacing = 1.0;
    ConvertToExposure(*state, conversion);

    std::vector<double> exposures(values.size());
    if (range <= kTableRange) {
        std::vector<double> byValue(static_cast<std::size_t>(range), 0.0);
        for (std::size_t j = 0; j < distinct.size(); ++j)
            byValue[static_cast<std::size_t>(distinct[j] - low)] = state->exposureProfile[j];
        for (std::size_t i = 0; i < values.size(); ++i)
            exposures[i] = byValue[static_cast<std::size_t>(values[i] - low)];
    } else {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto at = std::lower_bound(distinct.begin(), distinct.end(), values[i]) - distinct.begin();
            exposures[i] = state->exposureProfile[static_cast<std::size_t>(at)];
        }
    }
    return exposures;
}

std::vector<ChartPoint> ExposureSeries(const ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t count = ValidCount(state.exposureCount, kProfileCapacity);
    std::vector<ChartPoint> points(count);
    const long double spacing = state.sampleSpacing;
    for (std::size_t k = 0; k < count; ++k) {
        const long double offset = static_cast<long double>(static_cast<std::int64_t>(k) - state.peakIndex);
        points[k] = {static_cast<double>(offset * spacing), state.exposureProfile[k]};
    }
    return points;
}

std::string CurveFilePath(std::string_view imageFileName)
{
    return std::string(FolderPart(imageFileName)) + "hdc.txt";
}

}  // namespace radmtf
