// MTF values with their standard uncertainty, and the texts and chart
// points the window and the command line show for them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "mtf/mtf_state.h"

namespace radmtf {

struct PreciseMtfPoint {
    double frequency = 0;  // cycles/mm
    double mtf = 0;
    double uncertainty = 0;  // standard uncertainty from the image's noise
};

// "f<TAB>MTF<TAB>±u", frequency and MTF to three decimals as the slit
// method lists them, the uncertainty in fixed notation with three decimals.
std::string PreciseMtfLine(const PreciseMtfPoint& point);
std::vector<std::string> PreciseMtfLines(const std::vector<PreciseMtfPoint>& points);

// Error bars for the MTF chart: for each point the segment from MTF − u to
// MTF + u at its frequency, as pairs of end points.
std::vector<std::pair<std::pair<double, double>, std::pair<double, double>>> ErrorBars(
    const std::vector<PreciseMtfPoint>& points);

// The frequencies 0, 0.5, 1, … up to the Nyquist frequency 1 / (2 p), and
// that frequency itself when it falls between steps; no more than 1001 of
// them (500 cycles/mm, the finest spacing measured).
std::vector<double> HalfStepFrequencies(double pixelSpacing);

// Stores points as the measured MTF (frequencies, values, counts), so that
// whatever reads the arrays after a method reads these.
void StoreMeasuredMtf(const std::vector<PreciseMtfPoint>& points, MtfState& mtf);

}  // namespace radmtf
