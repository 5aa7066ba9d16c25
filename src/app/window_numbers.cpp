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

EdgeSettings EdgeSettingsFromTexts(const EdgeSettingTexts& texts)
{
    const auto number = [](const std::string& text) { return static_cast<double>(StrToFloat(text)); };
    EdgeSettings settings;
    settings.pixelSpacing = number(texts.pixelSpacing);
    settings.binWidth = number(texts.binWidth);
    settings.lsfHalfWidth = number(texts.lsfHalfWidth);
    settings.lsfTaper = number(texts.lsfTaper);
    settings.coreHalfWidth = number(texts.coreHalfWidth);
    settings.tailCutoff = number(texts.tailCutoff);
    settings.smoothingInterval = number(texts.smoothingInterval);
    settings.adaptiveWindow = number(texts.adaptiveWindow);
    settings.reachFactor = number(texts.reachFactor);
    CheckEdgeSettings(settings);
    return settings;
}

}  // namespace radmtf
