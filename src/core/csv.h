// Comma-separated values as spreadsheets read them (RFC 4180): fields that
// hold a comma, a quote or a line break are quoted, quotes doubled, lines
// ended by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

std::string CsvField(std::string_view text);
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace radmtf
