// MTF of a line spread function by a 2048-point discrete Fourier transform
// (the slit method).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "analysis/profile_state.h"
#include "mtf/mtf_state.h"

namespace radmtf {

inline constexpr int kSlitTransformLength = 2048;

// What the slit method shows. Everything is written only when the method
// completes, so a failure leaves the memo and the chart as they were.
struct SlitOutput {
    bool written = false;                           // MemoMTF and Series4 cleared and refilled
    std::vector<std::string> memoLines;             // MemoMTF: "f<TAB>m", three decimals
    std::vector<std::pair<double, double>> points;  // Series4
};

// The slit method on profile.exposureProfile[0 .. exposureCount - 1]:
//   E[exposureCount .. 2048] = 0 (the LSF is always padded with zeros),
//   X(k) = sum_j E[j] exp(i ((k * 6.2831852) / N) * j),  N = 2048,
//   mtfValue[k] = |X(k)| / |X(0)|,  mtfFrequency[k] = k / (N * sampleSpacing).
// mtfPointCount becomes the number of bins below 10 cycles/mm and all N
// entries count as measured. An LSF summing to 0 or a zero sample spacing
// fails with the platform's floating-point failure.
void RunSlitMethod(ProfileState& profile, MtfState& mtf, SlitOutput& out);

}  // namespace radmtf
