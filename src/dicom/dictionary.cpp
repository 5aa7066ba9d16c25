#include "dicom/dictionary.h"

#include <cstdio>

namespace radmtf {

std::string LookupElementName(std::string_view dictionaryText, std::uint16_t group, std::uint16_t element)
{
    char key[16];
    std::snprintf(key, sizeof key, "%04X\t%04X", group, element);
    const std::size_t found = dictionaryText.find(key);
    // A missing key starts the window at the TAB before the first entry's
    // name, which yields an empty name by the same rule.
    const std::size_t start = (found == std::string_view::npos) ? 9 : found + 10;
    if (start >= dictionaryText.size()) return {};
    const std::string_view window = dictionaryText.substr(start, 256);
    const std::size_t tab = window.find('\t');
    if (tab == std::string_view::npos) return {};
    return std::string(window.substr(0, tab));
}

}  // namespace radmtf
