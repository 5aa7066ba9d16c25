// The parts of the program that need the graphics libraries (the windows,
// the PDF report) are libraries beside the program file, loaded only when
// used: `radmtf measure`, --help and --version start with Qt Core alone.
#pragma once

#include <string>

namespace radmtf {

// Loads the library `fileName` from the program's own folder (never from
// elsewhere, so a build runs its own copy) and returns its symbol `entry`.
// Prints why to standard error and returns nullptr when it cannot.
void* LoadProgramLibraryEntry(const std::string& fileName, const char* entry);

}  // namespace radmtf
