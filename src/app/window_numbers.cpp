#include "app/window_numbers.h"

#include <optional>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

double SampleSpacingFromTexts(std::string_view pixelSpacing, std::string_view maLines)
{
    const long double p = StrToFloat(pixelSpacing);
    const long double m = StrToFloat(maLines);
    return SampleSpacing(p, m);
}

ExtractionOutput ExtractProfileFromTexts(ProfileState& state, std::string_view pixelSpacing,
                                         std::string_view maLines)
{
    CutFlatEnds(state);
    HalveProfile(state, SampleSpacingFromTexts(pixelSpacing, maLines));
    return ExtractionListing(state);
}

Conversion ModelFromTexts(std::string_view latitude, std::string_view bits, std::string_view offset)
{
    const long double l = StrToFloat(latitude);
    const long double b = StrToFloat(bits);
    const long double o = StrToFloat(offset);
    return Conversion::DetectorModel(l, b, o);
}

std::vector<ChartPoint> ExposureByModelTexts(ProfileState& state, std::string_view latitude,
                                             std::string_view bits, std::string_view offset)
{
    CheckProfileState(state);
    RequireProfile(state);
    // The count is set before the texts are read: a text that is not a
    // number leaves it set and the exposures as they were.
    state.exposureCount = state.profileCount;
    return ConvertToExposure(state, ModelFromTexts(latitude, bits, offset));
}

void SwcLocateFeaturesFromTexts(const ProfileState& profile, MtfState& mtf, std::string_view pixelSpacing,
                                std::string_view maLines, SwcFeatures& out)
{
    SwcStartLocating(profile, out);
    const long double p = StrToFloat(pixelSpacing);
    const long double m = StrToFloat(maLines);
    SwcLocateFeatures(profile, mtf, p, m, out);
}

void RunFittingFromTexts(MtfState& mtf, int fitFrequencyItem, std::string_view degree,
                         std::string_view pixelSpacing, FittingOutput& out)
{
    // A degree that is not an integer is read (and fails) only where
    // Fitting reads it, so its range cannot be checked beforehand.
    std::optional<std::int32_t> known;
    try {
        known = StrToInt(degree);
    } catch (const Failure&) {
    }
    RunFitting(
        mtf, fitFrequencyItem,
        FittingReads{known, [&] { return StrToInt(degree); }, [&] { return StrToFloat(pixelSpacing); }}, out);
}

TruncationStatus RunTruncationFromTexts(ProfileState& profile, MtfState& mtf, std::string_view start,
                                        std::string_view level, TruncationOutput& out)
{
    out = TruncationOutput{};
    if (start.empty()) return TruncationStatus::kNoStartPoint;
    RunTruncation(profile, mtf,
                  TruncationReads{[&] { return StrToInt(start); }, [&] { return StrToFloat(level); }}, out);
    return TruncationStatus::kDone;
}

}  // namespace radmtf
