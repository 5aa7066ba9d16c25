// The square-wave chart method: locate the large square and the nine bar
// groups of a bar chart on the composite profile, then measure each group's
// first-harmonic amplitude on the exposure profile relative to the square's.
//
// The window runs it in stages, because ToExp and Fitting run in between:
//   1. SwcLocateFeatures(profile, mtf, EditPxlSpc, EditMALine, features)
//   2. ToExp (the window)
//   3. SwcMeasure(profile, mtf, features, result)
//   4. RadioGroup2, the "MTF" page and Fitting (the window)
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
    bool profileSeriesCleared = false;  // Series5, Series6, Series8 cleared
    Markers centreMarkers;              // Series5
    Markers squareMarkers;              // Series6
    Markers groupStartMarkers;          // Series8
    bool located = false;               // all of the following are valid
    double sampleDistance = 0.0;        // d = EditPxlSpc / EditMALine (mm)
    // Row 0: square centre, gap centre. Rows 1 .. 9: bar centres in the order
    // found; 0 ends a row.
    std::array<std::array<std::int32_t, 11>, 10> groupCentres{};
};

// Stage 1 on compositeProfile[0 .. profileCount - 1]. Sets mtf.barPeriod.
// Fails with the conversion or division failure of the two texts (after the
// series were cleared) or with FailureCode::kChartNotFound when the profile is too
// short or lacks the chart's features (keeping the markers found so far).
void SwcLocateFeatures(const ProfileState& profile, MtfState& mtf, std::string_view pixelSpacingText,
                       std::string_view maLineText, SwcFeatures& out);
// The same from the pixel spacing (mm) and MA-Line# as numbers.
void SwcLocateFeatures(const ProfileState& profile, MtfState& mtf, long double pixelSpacing,
                       long double maLines, SwcFeatures& out);

// Stage 3 results.
struct SwcResult {
    std::optional<int> radioItemIndex;   // RadioGroup2.ItemIndex, set before the amplitudes
    bool written = false;                // Series4 and Series7 cleared, MemoMTF2 cleared and refilled
    Markers points;                      // Series7
    std::vector<std::string> memoLines;  // MemoMTF2: "f<TAB>MTF"
};

// Stage 3 on exposureProfile (ToExp must have converted the same profile).
// Writes mtfFrequency[0 .. 9], mtfValue[0 .. mtfLastIndex], mtfLastIndex and
// measuredCount = mtfLastIndex + 1. A zero span or reference amplitude fails
// as a floating-point division, leaving what was written before.
void SwcMeasure(const ProfileState& profile, MtfState& mtf, const SwcFeatures& features, SwcResult& out);

}  // namespace radmtf
