// The built-in data dictionary that names the elements of the element table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace radmtf {

// The whole dictionary text as the viewer shows it: lines of
// group TAB element TAB name TAB "N", joined by CR LF.
std::string_view DicomDictionaryText();

// Name of (group, element) in `dictionaryText`, or empty. The key is the
// group and element as uppercase hex joined by a TAB; the name is what
// follows the key's TAB up to the next TAB, looked at within 256 characters.
// The built-in text is looked up through an index built on first use.
std::string LookupElementName(std::string_view dictionaryText, std::uint16_t group, std::uint16_t element);

}  // namespace radmtf
