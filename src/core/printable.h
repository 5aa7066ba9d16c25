// Names from the file system as a terminal may safely show them.
#pragma once

#include <string>
#include <string_view>

namespace radmtf {

// `text` with every control character (C0, DEL, C1) and every byte that is
// not part of valid UTF-8 written as \xNN, so a file name cannot move the
// cursor, retitle the terminal or hide the line it is printed in.
std::string PrintableText(std::string_view text);

}  // namespace radmtf
