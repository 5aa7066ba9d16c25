// The square-wave chart method: locate the large square and the nine bar
// groups of a bar chart on the composite profile, then measure each group's
// first-harmonic amplitude on the exposure profile relative to the square's.
//
// The window runs it in stages, because ToExp and Fitting run in between:
//   1. SwcLocateFeatures(profile, mtf, pixel spacing, MA-Line#, features)
//   2. ToExp (the window)
//   3. SwcMeasure(profile, mtf, features, result)
//   4. the fit frequency item, the "MTF" page and Fitting (the window)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/profile_state.h"
#include "mtf/mtf_state.h"

namespace radmtf {

inline constexpr int kSwcGroups = 9;

using Markers = std::vector<std::pair<double, double>>;

// The bar centre at or below start on profile p (searching toward index 0).
// w == 1: the first local maximum (P[c] >= both neighbours) for c > 1; when
// there is none, returns 1 without a marker. w > 1: the point of least
// asymmetry A(c) = sum_{j=1..w} |P[c-j] - P[c+j]|, where A rises twice in a
// row, balanced so that P[c+w] and P[c-w] match. A found centre adds the
// marker (c * sampleSpacing, P[c]). A w below 1 counts as 1. A search or
// read that would leave p fails with FailureCode::kChartNotFound; a zero profile
// value in a balancing quotient fails as a floating-point division.
int FindBarCentre(std::span<const std::int32_t> p, double sampleSpacing, long long w, long long start,
                  Markers& centreMarkers);

// Stage 1 results; the markers are valid also after a failure.
struct SwcFeatures {
    bool profileSeriesCleared = false;  // the three marker series cleared
    Markers centreMarkers;
    Markers squareMarkers;
    Markers groupStartMarkers;
    bool located = false;         // all of the following are valid
    double sampleDistance = 0.0;  // d = pixel spacing / MA-Line# (mm)
    // Row 0: square centre, gap centre. Rows 1 .. 9: bar centres in the order
    // found; 0 ends a row.
    std::array<std::array<std::int32_t, 11>, 10> groupCentres{};
};

// What stage 1 checks and resets before anything else: an empty profile
// is refused (kEmptyProfile), then `out` is emptied with the series cleared.
void SwcStartLocating(const ProfileState& profile, SwcFeatures& out);

// Stage 1 on compositeProfile[0 .. profileCount - 1] with the pixel spacing
// (mm) and MA-Line#: SwcStartLocating, then the search. Sets mtf.barPeriod.
// Fails with the division failure of the two numbers (after the series were
// cleared) or with FailureCode::kChartNotFound when the profile is too short
// or lacks the chart's features (keeping the markers found so far).
void SwcLocateFeatures(const ProfileState& profile, MtfState& mtf, long double pixelSpacing,
                       long double maLines, SwcFeatures& out);

// Stage 3 results.
struct SwcResult {
    std::optional<int> fitFrequencyItem;  // the fit frequency item (-1 .. 5), set before the amplitudes
    bool written = false;                 // the MTF curve and points cleared, the listing refilled
    Markers points;
    std::vector<std::string> listing;  // the chart listing: "f<TAB>MTF"
};

// Stage 3 on exposureProfile (ToExp must have converted the same profile).
// Writes mtfFrequency[0 .. 9], mtfValue[0 .. mtfLastIndex], mtfLastIndex and
// measuredCount = mtfLastIndex + 1. A zero span or reference amplitude fails
// as a floating-point division, leaving what was written before.
void SwcMeasure(const ProfileState& profile, MtfState& mtf, const SwcFeatures& features, SwcResult& out);

}  // namespace radmtf
