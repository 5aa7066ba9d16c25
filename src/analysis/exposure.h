// Conversion of the composite profile into relative exposure ("ToExp"),
// either through the logarithmic detector model or through a measured
// characteristic curve, normalised to a peak of 1000.
//
// Both conversions work in place on the ProfileState and fail exactly where
// the conversion stops: exposures computed before a failure stay written,
// everything after it (count, peak, normalisation) is left as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/profile_state.h"
#include "core/text_lines.h"

namespace radmtf {

// Both refuse an empty profile (kEmptyProfileMessage) before changing anything.

// Detector model: ExposureCount = ProfileCount first, then L and B are read
// (StrToFloat, in that order), then for every sample
//   E[i] = 10^(L × (P[i] + o) / 2^B), o = StrToFloat(offset text),
// formed in extended precision, stored as double. Then peak and
// normalisation (FinishExposure). Returns the points of Series3.
std::vector<ChartPoint> ConvertToExposureByModel(ProfileState& state, std::string_view latitudeText,
                                                 std::string_view bitsText, std::string_view offsetText);

// Characteristic curve, given as the lines of the curve file ("log exposure
// TAB pixel value" per line; at most 4096 characters of a line are read, a
// line past the last one reads as empty). step = X(1) − X(0); for every
// sample the first line j ≥ 1 with V(j) ≥ P decides:
//   j = 1: E = 0;  j ≥ 2: E = 10^(X(j−1) + (P − V(j−1)) × step / (V(j) − V(j−1))).
// ExposureCount = ProfileCount after all samples; then FinishExposure.
// Returns the points of Series3. A field that is not a number fails with a
// message naming `path` and the line; an empty one with the platform's
// message for the empty text.
std::vector<ChartPoint> ConvertToExposureByCurve(ProfileState& state, const std::vector<std::string>& lines,
                                                 std::string_view path);

// Peak (the first largest value) and normalisation E[k] / peak × 1000, then
// the points x = (k − PeakIndex) × SampleSpacing, y = E[k]. PeakIndex is set
// before the normalisation; an all-zero profile fails there (0 / 0) with the
// values unnormalised.
std::vector<ChartPoint> FinishExposure(ProfileState& state);

// Series3 of the LSF chart for the current exposure profile.
std::vector<ChartPoint> ExposureSeries(const ProfileState& state);

// The curve file's path: the image file name up to and including its last
// path separator ("\" or "/"), then "hdc.txt"; a name without a separator
// gives "hdc.txt".
std::string CurveFilePath(std::string_view imageFileName);

}  // namespace radmtf
