// "Extract": cut the flat lead-in and lead-out off the composite profile
// and halve it until it has at most 2048 samples.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/profile_state.h"

namespace radmtf {

inline constexpr int kMaxExtractedSamples = 2048;

struct ExtractionOutput {
    std::vector<std::string> listing;  // the listing: "position TAB value"
    std::vector<ChartPoint> points;    // the profile chart, the same points
};

// The cuts alone. Lead-in: i = the first index ≥ 1 with P[i] − P[0] > 10;
// the profile is shifted down by i. Lead-out: k = the last index below
// N − 1 with P[k] − P[N − 1] > 10; N = k + 1. Both stopping points are found
// before anything changes; without one the profile stays unchanged and the
// call fails with FailureCode::kNoSignal.
void CutFlatEnds(ProfileState& state);

// Halving: while N > 2048, P[l] = (P[2l] + P[2l + 1]) / 2 truncated toward
// zero for l < N div 2, N = N div 2, SampleSpacing doubles. Sets
// sampleSpacing = spacing first.
void HalveProfile(ProfileState& state, double spacing);

// The listing of the retained samples but the last: x = l × SampleSpacing,
// y = P[l], l = 0 .. N − 2.
ExtractionOutput ExtractionListing(const ProfileState& state);

// The whole operation in the window's order: cuts, then SampleSpacing (a
// failure there leaves the cuts applied), halving, listing.
ExtractionOutput ExtractProfile(ProfileState& state, long double pixelSpacing, long double maLines);

}  // namespace radmtf
