// The windows and the script driver live in a library of their own, which
// the program loads only when it shows a window or runs a script: the
// measure command, --help and --version start without the graphics
// libraries (whose loading alone takes longer than a measurement).
#pragma once

#include "app/command_line.h"

namespace radmtf {

// The library's entry: shows the windows (or runs the script) for the parsed
// command line and returns the process exit code. `argc`/`argv` are the
// program's, which the application object keeps.
using WindowEntry = int (*)(int& argc, char** argv, const CommandLine& command);
inline constexpr char kWindowEntryName[] = "RadmtfRunWindows";

}  // namespace radmtf

extern "C" int RadmtfRunWindows(int& argc, char** argv, const radmtf::CommandLine& command);
