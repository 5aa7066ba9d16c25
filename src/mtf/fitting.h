// MTF fitting: a polynomial through the measured MTF points, tabulated for
// the MTF chart and MemoMTF, and refitted at the step of a 64-point
// transform of the pixel grid for MemoMTF3.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mtf/mtf_state.h"

namespace radmtf {

// What Fitting shows, filled in the order the action writes it. The window
// applies every part whose flag is set, also when the action failed.
struct FittingOutput {
    bool series10Cleared = false;
    bool tableWritten = false;                     // Series4 and MemoMTF cleared and refilled
    std::vector<std::pair<double, double>> curve;  // Series4
    std::vector<std::string> memoMtf;              // MemoMTF lines "f<TAB>poly(f)"
    bool memoMtf3Cleared = false;
    bool memoMtf3Added = false;
    std::string memoMtf3Text;  // added to MemoMTF3 in one piece, rows end with CR LF
    // The polynomial through the measured points (c0 .. cn, the curve of
    // Series4 and MemoMTF) and the highest frequency it was fitted to.
    std::vector<double> coefficients;
    double upTo = 0.0;
};

// Runs Fitting. radioItemIndex is RadioGroup2's item index (-1 .. 5), so
// K = radioItemIndex + 4; degreeText is Editn; pixelSpacingText returns the
// current text of EditPxlSpc and is called once per row of the second table.
//
// Refused before anything changes (Failure with the program's own message):
// an integer degree outside 1 .. 16; K beyond the points the last method
// measured; a first table that would not fit in fitX/fitY. A second table
// whose step is negative or that would exceed 100000 rows is refused after
// MemoMTF3 was cleared. A degree that is not an integer fails with the
// conversion message once the fit points are built, as do the platform's
// conversion and floating-point failures at their places.
void RunFitting(MtfState& mtf, int radioItemIndex, std::string_view degreeText,
                const std::function<std::string()>& pixelSpacingText, FittingOutput& out);
// The same with the degree and the pixel spacing (mm) as numbers.
void RunFitting(MtfState& mtf, int radioItemIndex, std::int32_t degree, long double pixelSpacing,
                FittingOutput& out);

}  // namespace radmtf
