#include "analysis/extraction.h"

#include <cstdint>

#include "analysis/composite_profile.h"
#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

void CutFlatEnds(ProfileState& state)
{
    CheckProfileState(state);
    const std::int64_t n = static_cast<std::int64_t>(ValidCount(state.profileCount, kProfileCapacity));
    std::int32_t* p = state.compositeProfile.data();
    // Differences in 64 bits: the values may span the whole 32-bit range.
    constexpr std::int64_t kLevel = 10;

    // Lead-in: the first sample standing more than 10 above the first one.
    std::int64_t first = -1;
    for (std::int64_t i = 1; i < n; ++i) {
        if (std::int64_t{p[i]} - p[0] > kLevel) {
            first = i;
            break;
        }
    }
    if (first < 0) ThrowFailure(FailureCode::kNoSignal);

    // Lead-out, on what the shift leaves (original indices first .. n − 1):
    // the last sample below the end standing more than 10 above the end.
    // Values below the end level are cut like flat ones.
    std::int64_t last = -1;
    for (std::int64_t k = n - 2; k >= first; --k) {
        if (std::int64_t{p[k]} - p[n - 1] > kLevel) {
            last = k;
            break;
        }
    }
    if (last < 0) ThrowFailure(FailureCode::kNoSignal);

    const std::int64_t kept = last - first + 1;
    for (std::int64_t j = 0; j < kept; ++j) p[j] = p[first + j];
    state.profileCount = static_cast<std::int32_t>(kept);
}

void HalveProfile(ProfileState& state, double spacing)
{
    CheckProfileState(state);
    state.sampleSpacing = spacing;
    std::size_t n = ValidCount(state.profileCount, kProfileCapacity);
    std::int32_t* p = state.compositeProfile.data();
    while (n > static_cast<std::size_t>(kMaxExtractedSamples)) {
        // Pairwise mean, truncated toward zero; an odd last sample is dropped.
        const std::size_t half = n / 2;
        for (std::size_t l = 0; l < half; ++l)
            p[l] = static_cast<std::int32_t>((std::int64_t{p[2 * l]} + p[2 * l + 1]) / 2);
        n = half;
        state.sampleSpacing *= 2.0;
        state.profileCount = static_cast<std::int32_t>(n);
    }
}

ExtractionOutput ExtractionListing(const ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t n = ValidCount(state.profileCount, kProfileCapacity);
    ExtractionOutput output;
    if (n < 2) return output;
    output.listing.reserve(n - 1);
    output.points.reserve(n - 1);
    const long double spacing = state.sampleSpacing;
    for (std::size_t l = 0; l + 1 < n; ++l) {
        const double x = static_cast<double>(static_cast<long double>(l) * spacing);
        const std::int32_t value = state.compositeProfile[l];
        output.points.push_back({x, static_cast<double>(value)});
        output.listing.push_back(FloatToStr(x) + "\t" + IntToStr(value));
    }
    return output;
}

ExtractionOutput ExtractProfile(ProfileState& state, long double pixelSpacing, long double maLines)
{
    CutFlatEnds(state);
    const double spacing = SampleSpacing(pixelSpacing, maLines);
    HalveProfile(state, spacing);
    return ExtractionListing(state);
}

}  // namespace radmtf
