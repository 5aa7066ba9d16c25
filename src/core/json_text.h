// Text as a JSON string, for the results files the command writes.
#pragma once

#include <string>
#include <string_view>

namespace radmtf {

// `text` quoted, with quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);

}  // namespace radmtf
