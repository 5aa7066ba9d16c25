// MTF of a line spread function by a 2048-point discrete Fourier transform
// (the slit method).
#pragma once

#include <optional>
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
    bool written = false;                           // the MTF listing and curve cleared and refilled
    std::vector<std::string> listing;               // the MTF listing: "f<TAB>m", three decimals
    std::vector<std::pair<double, double>> points;  // the MTF curve
};

// The slit method on profile.exposureProfile[0 .. exposureCount - 1]:
//   E[exposureCount .. 2048] = 0 (the LSF is always padded with zeros),
//   X(k) = sum_j E[j] exp(i ((k * 6.2831852) / N) * j),  N = 2048,
//   mtfValue[k] = |X(k)| / |X(0)|,  mtfFrequency[k] = k / (N * sampleSpacing).
// mtfPointCount becomes the number of bins below 10 cycles/mm and all N
// entries count as measured. An LSF summing to 0 or a zero sample spacing
// fails with the platform's floating-point failure.
void RunSlitMethod(ProfileState& profile, MtfState& mtf, SlitOutput& out);

// The MTF at the Nyquist frequency 1 / (2 pixelSpacing) of the LSF a
// completed RunSlitMethod transformed, by the same sum at that frequency:
//   |sum_j E[j] exp(i c f s j)| / |sum_j E[j]|,  j < N, c = 6.2831852,
// which at f = k / (N s) is bin k. Empty where the method lists nothing
// (at or above 10 cycles/mm), for a spacing that is not positive, or when
// the transform has no finite result.
std::optional<std::pair<double, double>> SlitNyquistPoint(const ProfileState& profile,
                                                          long double pixelSpacing);

}  // namespace radmtf
