// The window's texts as the numbers the kernels take. Each reads its texts
// by the program's number rules (core/numtext.h) in the order and at the
// point the window always read them, so a wrong entry fails with the
// message and leaves the state the user knows.
#pragma once

#include <string_view>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/extraction.h"
#include "analysis/profile_state.h"
#include "conversion/conversion.h"
#include "mtf/fitting.h"
#include "mtf/mtf_state.h"
#include "mtf/swc.h"
#include "mtf/truncation.h"

namespace radmtf {

// SampleSpacing from the texts of the pixel spacing and MA-Line#, read in
// that order.
double SampleSpacingFromTexts(std::string_view pixelSpacing, std::string_view maLines);

// "Extract": the cuts, then the two texts (a failure there leaves the cuts
// applied), halving and listing.
ExtractionOutput ExtractProfileFromTexts(ProfileState& state, std::string_view pixelSpacing,
                                         std::string_view maLines);

// The detector model from the texts of L, BitsStored and the viewer's value
// offset, read in that order.
Conversion ModelFromTexts(std::string_view latitude, std::string_view bits, std::string_view offset);

// "ToExp" through the detector model typed in the window: refuses an empty
// profile (kEmptyProfile) before changing anything, sets ExposureCount, then
// reads the texts and converts (ConvertToExposure).
std::vector<ChartPoint> ExposureByModelTexts(ProfileState& state, std::string_view latitude,
                                             std::string_view bits, std::string_view offset);

// Stage 1 of the chart method: the checks and the cleared series first, then
// the texts of the pixel spacing and MA-Line#.
void SwcLocateFeaturesFromTexts(const ProfileState& profile, MtfState& mtf, std::string_view pixelSpacing,
                                std::string_view maLines, SwcFeatures& out);

// Fitting with the texts of the degree and the pixel spacing, each read
// where Fitting reads it (FittingReads).
void RunFittingFromTexts(MtfState& mtf, int fitFrequencyItem, std::string_view degree,
                         std::string_view pixelSpacing, FittingOutput& out);

enum class TruncationStatus {
    kDone,
    kNoStartPoint,  // no start picked (its text empty): the window says so; nothing changed
};

// "Trancation" with the texts of the picked start and level, each read where
// the truncation reads it (TruncationReads).
TruncationStatus RunTruncationFromTexts(ProfileState& profile, MtfState& mtf, std::string_view start,
                                        std::string_view level, TruncationOutput& out);

}  // namespace radmtf
