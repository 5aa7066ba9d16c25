// The analysis window's profile data. One instance lives for the whole run;
// every array has a fixed capacity and a count that says how much of it is
// valid. Operations work in place on the valid prefix.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace radmtf {

inline constexpr int kProfileCapacity = 100001;  // indices 0 .. 100000

struct ProfileState {
    std::vector<std::int32_t> compositeProfile = std::vector<std::int32_t>(kProfileCapacity, 0);
    std::int32_t profileCount = 0;
    double sampleSpacing = 0.0;  // mm between composite-profile samples

    std::vector<double> exposureProfile = std::vector<double>(kProfileCapacity, 0.0);
    std::int32_t exposureCount = 0;
    std::int32_t peakIndex = 0;
};

// Back to the state at start (all zero) without giving the arrays back, for
// a caller that runs many measurements. Update with every new field.
inline void ResetProfileState(ProfileState& state)
{
    std::fill(state.compositeProfile.begin(), state.compositeProfile.end(), 0);
    std::fill(state.exposureProfile.begin(), state.exposureProfile.end(), 0.0);
    state.profileCount = 0;
    state.sampleSpacing = 0.0;
    state.exposureCount = 0;
    state.peakIndex = 0;
}

}  // namespace radmtf
