// The window's texts as the numbers the session takes. Each is read by the
// program's number rules (core/numtext.h); a text that is not a number
// fails where the session's step takes it, in the order and at the point the
// window always read it, so a wrong entry fails with the message and leaves
// the state the user knows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/conversion.h"
#include "measure/analysis_session.h"
#include "mtf/edge.h"

namespace radmtf {

// A text as the number a session step takes: the failure of reading it
// comes where the step takes the number.
Entered<long double> EnteredFloat(std::string_view text);
Entered<std::int32_t> EnteredInt(std::string_view text);

// The detector model from the texts of L, BitsStored and the viewer's value
// offset, read in that order.
Conversion ModelFromTexts(std::string_view latitude, std::string_view bits, std::string_view offset);

// The edge page's settings as typed: pixel spacing, bin width, LSF half width, taper,
// core half width, tail cutoff, smoothing interval.
struct EdgeSettingTexts {
    std::string pixelSpacing = "0.1";
    std::string binWidth = "0.1";
    std::string lsfHalfWidth = "2.5";
    std::string lsfTaper = "0.5";
    std::string coreHalfWidth = "1";
    std::string tailCutoff = "2";
    std::string smoothingInterval = "0";
    std::string adaptiveWindow = "0";
    std::string reachFactor = "3";
};

// Each text read as a number in the order above (the conversion failure at
// the first that is not one), then the whole checked: FailureCode::kEdgeSettings
// for a value out of its range.
EdgeSettings EdgeSettingsFromTexts(const EdgeSettingTexts& texts);

}  // namespace radmtf
