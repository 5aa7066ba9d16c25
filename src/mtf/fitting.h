// MTF fitting: a polynomial through the measured MTF points, tabulated for
// the MTF chart and its listing, and refitted at the step of a 64-point
// transform of the pixel grid for the refit listing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mtf/mtf_state.h"

namespace radmtf {

// What Fitting shows, filled in the order the action writes it. The window
// applies every part whose flag is set, also when the action failed.
struct FittingOutput {
    bool fitPointsCleared = false;                 // the fit points' series cleared
    bool tableWritten = false;                     // the curve and the listing cleared and refilled
    std::vector<std::pair<double, double>> curve;  // the fitted curve
    std::vector<std::string> listing;              // the listing: "f<TAB>poly(f)"
    bool refitListingCleared = false;
    bool refitListingAdded = false;
    std::string refitListingText;  // the refit listing, added in one piece, rows end with CR LF
    // The polynomial through the measured points (c0 .. cn, the fitted
    // curve and the listing's) and the highest frequency it was fitted to.
    std::vector<double> coefficients;
    double upTo = 0.0;
};

// The degree and the pixel spacing (mm) where Fitting reads them: `degree`
// once the fit points are built and again for the refit, `pixelSpacing` at
// every row of the second table, so that an entry that cannot be read fails
// at that point. `knownDegree` is the degree when it is known beforehand
// (its range is then checked before any change).
struct FittingReads {
    std::optional<std::int32_t> knownDegree;
    std::function<std::int32_t()> degree;
    std::function<long double()> pixelSpacing;
};

// Runs Fitting with the fit frequency item (-1 .. 5): K = item + 4.
//
// Refused before anything changes (Failure with the program's own message):
// an integer degree outside 1 .. 16; K beyond the points the last method
// measured; a first table that would not fit in fitX/fitY. A second table
// whose step is negative or that would exceed 100000 rows is refused after
// the refit listing was cleared. The failures of the reads and the
// platform's floating-point failures come at their places.
void RunFitting(MtfState& mtf, int fitFrequencyItem, const FittingReads& reads, FittingOutput& out);
// The same with the degree and the pixel spacing as numbers.
void RunFitting(MtfState& mtf, int fitFrequencyItem, std::int32_t degree, long double pixelSpacing,
                FittingOutput& out);

}  // namespace radmtf
