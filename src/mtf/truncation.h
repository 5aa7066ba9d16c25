// Replacement of the LSF's tails by exponentials: a straight line fitted to
// log10 of the exposure on each side, extended until it has fallen three
// decades below the peak.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/profile_state.h"
#include "mtf/mtf_state.h"

namespace radmtf {

// A click on the LSF chart.
struct PickOutput {
    std::string posN;                  // EditPosN
    std::string posX;                  // EditPosX, position in mm
    std::string posY;                  // EditPosY, exposure
    std::pair<double, double> marker;  // Series9 is cleared and receives this point
};

// Picks sample v (the clicked point's index) as the start of the left tail.
// A v that is not a sample of the current LSF (0 .. exposureCount - 1) is
// refused with FailureCode::kPickOutside.
PickOutput PickTailStart(const ProfileState& profile, int v);

enum class TruncationStatus {
    kDone,
    kNoStartPoint,  // EditPosN empty: the window tells the user so; nothing changed
};

// What "Trancation" shows, in the order it is written.
struct TruncationOutput {
    bool markersCleared = false;                     // Series9 cleared
    std::vector<std::pair<double, double>> markers;  // then these points added to Series9
    bool curveDrawn = false;                         // Series2 cleared and refilled with curve
    std::vector<std::pair<double, double>> curve;
};

// "Trancation" on exposureProfile[0 .. exposureCount - 1] with the texts of
// EditPosN and EditPosY. Each tail becomes E(i) = 10^(c0 + c1 i), fitted over
// a quarter of the distance between the start and the peak, and is extended
// until it is more than three decades below the peak (one sample beyond).
//
// The program's own refusals (Failure, nothing changed at all): a start
// outside the LSF, a start right of the peak (or too close to the end), a fit
// range longer than fitX/fitY, a tail line that does not fall outward, no
// right-hand sample down to EditPosY, an extension beyond the capacity of
// exposureProfile. The platform's failures (EditPosN/EditPosY not numbers,
// a one-point fit, log10 of a sample <= 0) stop the action where they occur
// and leave what was written before them.
TruncationStatus RunTruncation(ProfileState& profile, MtfState& mtf, std::string_view posN,
                               std::string_view posY, TruncationOutput& out);

}  // namespace radmtf
