// `radmtf measure nnps FILES|FOLDER...` and `radmtf measure conversion FILES
// --kerma-file CSV`: the noise half of a detector's characterisation.
#pragma once

namespace radmtf {

// argv[1] is "measure", argv[2] "nnps" or "conversion"; the measure command
// has made the application object and set the language. Returns the exit
// code: 0 measured, 1 refused or failed, 2 a usage error.
int RunNoiseCommand(int argc, char** argv);

}  // namespace radmtf
