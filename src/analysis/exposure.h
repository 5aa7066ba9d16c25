// Conversion of the composite profile into exposure ("ToExp"): air kerma
// through the conversion function (conversion/conversion.h), then, as a
// separate step, scaled to a peak of 1000 as the window shows it (the MTF
// does not depend on the scale).
//
// The conversion works in place on the ProfileState and fails exactly where
// it stops: exposures computed before a failure stay written, everything
// after it (count, peak, normalisation) is left as it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/profile_state.h"
#include "conversion/conversion.h"

namespace radmtf {

// The exposure step: every sample converted to air kerma (absolute, uGy)
// through `conversion`, in order, each distinct value once. The model sets
// ExposureCount = ProfileCount first; the curve reads X(0) and X(1) first
// and sets ExposureCount after all samples. A failure leaves the kermas
// before it written.
void ConvertProfileToKerma(ProfileState& state, const Conversion& conversion);

// ConvertProfileToKerma, then FinishExposure. Returns the points of Series3.
std::vector<ChartPoint> ConvertToExposure(ProfileState& state, const Conversion& conversion);

// "ToExp" through the lines of the curve file (Conversion::CurveFile; a
// field that is not a number fails naming `path` and the line): refuses an
// empty profile (FailureCode::kEmptyProfile) before changing anything, then
// ConvertToExposure.
std::vector<ChartPoint> ConvertToExposureByCurve(ProfileState& state, const std::vector<std::string>& lines,
                                                 std::string_view path);

// Peak (the first largest value) and normalisation E[k] / peak × 1000, then
// the points x = (k − PeakIndex) × SampleSpacing, y = E[k]. PeakIndex is set
// before the normalisation; an all-zero profile fails there (0 / 0) with the
// values unnormalised.
std::vector<ChartPoint> FinishExposure(ProfileState& state);

// The conversion the exposure step takes; default: the model with L = 4,
// B = 12, o = 0.
using ExposureConversion = Conversion;

// The exposure of every value, converted exactly as "ToExp" converts a
// profile sample (and failing the same way), the largest scaled to 1000.
// Each distinct value is converted once; more distinct values than a
// profile holds (never for 16-bit samples) are refused with
// kTooManyValuesMessage.
std::vector<double> ConvertValuesToExposure(const std::vector<std::int32_t>& values,
                                            const ExposureConversion& conversion);

// Series3 of the LSF chart for the current exposure profile.
std::vector<ChartPoint> ExposureSeries(const ProfileState& state);

// The curve file's path: the image file name up to and including its last
// path separator ("\" or "/"), then "hdc.txt"; a name without a separator
// gives "hdc.txt".
std::string CurveFilePath(std::string_view imageFileName);

}  // namespace radmtf
