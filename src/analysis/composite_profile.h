// The composite profile: M table lines interleaved into one finely sampled
// profile, its centred moving average, and the small operations on it.
//
// All operations work in place on a ProfileState whose arrays have the
// full capacity; a count of zero or less means an empty profile.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/pixel_table.h"
#include "analysis/profile_state.h"

namespace radmtf {

// Refusals of a method run on an empty profile or LSF (nothing changes):
// FailureCode::kEmptyProfile, FailureCode::kEmptyLsf.
void RequireProfile(const ProfileState& state);
void RequireLsf(const ProfileState& state);

// The profile's orientation; the values are the numbers the window and
// the command give them.
enum class ProfileOrientation {
    kNone = 0,
    kRowsLastToFirst = 1,     // along x, rows M .. 1 per column
    kRowsFirstToLast = 2,     // along x, rows 1 .. M per column
    kColumnsLastToFirst = 3,  // along y, columns M .. 1 per row
    kColumnsFirstToLast = 4,  // along y, columns 1 .. M per row
};

// "2Dto1D". Interleaves M table lines into the composite profile:
//   orientations 1, 2: P[c × M + k] = cell(c + 1, M − k) resp. cell(c + 1, k + 1),
//                      rows 1 .. M outer, columns inner;
//   orientations 3, 4: P[r × M + k] = cell(M − k, r + 1) resp. cell(k + 1, r + 1),
//                      columns 1 .. M outer, rows inner.
// A profile longer than the capacity is refused with FailureCode::kProfileTooLong
// before anything changes. Otherwise profileCount starts at 0 and counts
// every stored sample; an empty or missing cell (M beyond the table) fails
// with the not-an-integer message for '' and leaves the samples stored so far
// counted. M < 1 or no orientation gives an empty profile. sampleSpacing is
// not touched.
void BuildCompositeProfile(ProfileState& state, ProfileOrientation orientation, std::int32_t maLines,
                           const PixelTableView& table);

// SampleSpacing = pixel spacing / MA-Line#, as a double. Fails with the
// zero-divide message for x / 0, the invalid-operation message for 0 / 0 and
// an overflow beyond the range of a double.
double SampleSpacing(long double pixelSpacing, long double maLines);

// "Smooth", the averaging step. b = n div 2; for b ≥ 1 every centre k from b
// to count − 1 − b gets the mean of P[k − b .. k + b] (rounded, ties to even)
// stored at k − b, then the count drops by 2b, never below 0 (a profile
// shorter than the window keeps its values and becomes empty). b < 1
// changes nothing.
void SmoothProfile(ProfileState& state, std::int32_t n);

// Series1 of the profile chart: x = i × SampleSpacing, y = P[i].
std::vector<ChartPoint> ProfileSeries(const ProfileState& state);

// Another orientation chosen: zero the valid prefixes of both profiles;
// the counts stay.
void ClearProfileData(ProfileState& state);

// Profile clipboard text: a TAB before each sample, no line end.
std::string ProfileClipboardText(const ProfileState& state);

// The sample count as the window shows it.
std::string ProfileCountText(const ProfileState& state);

// The number of valid entries of an array of the given size for a count
// (counts of zero or less are empty). Throws std::logic_error for a state
// whose arrays are not at full capacity.
std::size_t ValidCount(std::int32_t count, std::size_t size);
void CheckProfileState(const ProfileState& state);

}  // namespace radmtf
