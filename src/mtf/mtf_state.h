// The MTF-side data shared by the two methods, the polynomial fit and the
// MTF fitting. Lives for the whole run; starts at zero.
#pragma once

#include <array>
#include <cstdint>

namespace radmtf {

inline constexpr int kMtfCapacity = 2301;  // indices 0 .. 2300
inline constexpr int kMaxFitDegree = 16;

struct MtfState {
    std::array<double, kMtfCapacity> mtfFrequency{};
    std::array<double, kMtfCapacity> mtfValue{};
    std::int32_t mtfLastIndex = 0;
    std::int32_t mtfPointCount = 0;
    // Entries 0 .. measuredCount - 1 of mtfFrequency/mtfValue were written by
    // the method that ran last; Fitting must not use anything beyond them.
    std::int32_t measuredCount = 0;
    double barPeriod = 0.0;

    std::array<double, kMtfCapacity> fitX{};
    std::array<double, kMtfCapacity> fitY{};
    std::array<double, 2 * kMaxFitDegree + 1> fitCoefficients{};
};

}  // namespace radmtf
