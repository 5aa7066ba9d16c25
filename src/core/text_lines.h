// Text as lines, the way the program's memos and text files hold them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

// Lines end at CR LF, a bare CR or a bare LF; a line end at the very end
// adds no empty line.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace radmtf
