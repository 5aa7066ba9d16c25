// Reading a whole file for the viewer and the analysis window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace radmtf {

// Reads the regular file at `nativePath` (the file system's encoding) into
// `bytes`. Returns false, with `bytes` empty, when it is not a regular file
// (a pipe, device, socket or folder; a dangling link), cannot be opened or
// is not read completely. It never waits: the type is checked before the
// file is opened, and it is opened without blocking, so a pipe that appears
// under the name in between cannot hang the program.
bool ReadRegularFile(const std::string& nativePath, std::vector<std::uint8_t>& bytes);

}  // namespace radmtf
