// Paths as the program's users write them.
#pragma once

#include <string_view>

namespace radmtf {

// The folder part of a path: everything up to and including its last
// separator ("\" as the users write it, or "/"); empty without one.
inline std::string_view FolderPart(std::string_view path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator + 1);
}

}  // namespace radmtf
