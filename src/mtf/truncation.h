// Replacement of the LSF's tails by exponentials: a straight line fitted to
// log10 of the exposure on each side, extended until it has fallen three
// decades below the peak.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/profile_state.h"
#include "mtf/mtf_state.h"

namespace radmtf {

// A click on the LSF chart, as the window shows it.
struct PickOutput {
    std::string posN;                  // the sample's index
    std::string posX;                  // its position in mm
    std::string posY;                  // its exposure (15 digits)
    std::pair<double, double> marker;  // the marker series is cleared and receives this point
};

// Picks sample v (the clicked point's index) as the start of the left tail.
// A v that is not a sample of the current LSF (0 .. exposureCount - 1) is
// refused with FailureCode::kPickOutside.
PickOutput PickTailStart(const ProfileState& profile, int v);

// What "Trancation" shows, in the order it is written.
struct TruncationOutput {
    bool markersCleared = false;                     // the marker series cleared
    std::vector<std::pair<double, double>> markers;  // then these points added to it
    bool curveDrawn = false;                         // the LSF curve cleared and refilled with curve
    std::vector<std::pair<double, double>> curve;
};

// The start sample and the exposure level where "Trancation" reads them:
// the start once the peak has been searched again, the level after the left
// tail is drawn, so that an entry that cannot be read fails at that point.
struct TruncationReads {
    std::function<std::int32_t()> start;
    std::function<long double()> level;
};

// "Trancation" on exposureProfile[0 .. exposureCount - 1] from the picked
// start sample, down to the picked exposure level on the right. Each tail becomes E(i) = 10^(c0 + c1 i),
// fitted over a quarter of the distance between the start and the peak, and is extended until it is more than
// three decades below the peak (one sample beyond).
//
// The program's own refusals (Failure, nothing changed at all): a start
// outside the LSF, a start right of the peak (or too close to the end), a fit
// range longer than fitX/fitY, a tail line that does not fall outward, no
// right-hand sample down to the level, an extension beyond the capacity of
// exposureProfile. The failures of the reads and the platform's (a
// one-point fit, log10 of a sample <= 0) stop the action where they occur
// and leave what was written before them.
void RunTruncation(ProfileState& profile, MtfState& mtf, const TruncationReads& reads, TruncationOutput& out);
// The same with the start and the level as numbers.
void RunTruncation(ProfileState& profile, MtfState& mtf, std::int32_t start, long double level,
                   TruncationOutput& out);

}  // namespace radmtf
