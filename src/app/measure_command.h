// `radmtf measure slit|chart|edge FILE|FOLDER... [options]`: the measurement
// without any window, for one file or whole folders, as CSV, JSON or a table.
#pragma once

namespace radmtf {

// argv[1] is "measure". Returns the exit code: 0 when every file was
// measured, 1 when any failed or the results could not be written, 2 for a
// usage error or an output that would destroy a file (found before any file
// is read). Makes its own application object (a GUI one, without a display,
// only for --report).
int RunMeasureCommand(int argc, char** argv);

}  // namespace radmtf
