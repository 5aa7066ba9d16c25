// The window's texts as the numbers the session takes. Each is read by the
// program's number rules (core/numtext.h); a text that is not a number
// fails where the session's step takes it, in the order and at the point the
// window always read it, so a wrong entry fails with the message and leaves
// the state the user knows.
#pragma once

#include <cstdint>
#include <string_view>

#include "conversion/conversion.h"
#include "measure/analysis_session.h"

namespace radmtf {

// A text as the number a session step takes: the failure of reading it
// comes where the step takes the number.
Entered<long double> EnteredFloat(std::string_view text);
Entered<std::int32_t> EnteredInt(std::string_view text);

// The detector model from the texts of L, BitsStored and the viewer's value
// offset, read in that order.
Conversion ModelFromTexts(std::string_view latitude, std::string_view bits, std::string_view offset);

}  // namespace radmtf
