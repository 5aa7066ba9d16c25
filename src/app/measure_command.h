// `radmtf measure slit|chart FILE|FOLDER... [options]`: the measurement
// without any window, for one file or whole folders, as CSV, JSON or a table.
#pragma once

namespace radmtf {

// argv[1] is "measure". Returns the exit code: 0 when every file was
// measured, 1 when any failed, 2 for a usage error (found before any file
// is read). Makes its own application object (a GUI one, without a display,
// only for --report).
int RunMeasureCommand(int argc, char** argv);

}  // namespace radmtf
