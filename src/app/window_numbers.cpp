#include "app/window_numbers.h"

#include "core/numtext.h"

namespace radmtf {

Entered<long double> EnteredFloat(std::string_view text)
{
    return Entered<long double>::Of([text] { return StrToFloat(text); });
}

Entered<std::int32_t> EnteredInt(std::string_view text)
{
    return Entered<std::int32_t>::Of([text] { return StrToInt(text); });
}

Conversion ModelFromTexts(std::string_view latitude, std::string_view bits, std::string_view offset)
{
    const long double l = StrToFloat(latitude);
    const long double b = StrToFloat(bits);
    const long double o = StrToFloat(offset);
    return Conversion::DetectorModel(l, b, o);
}

}  // namespace radmtf
