// `radmtf measure dqe --flat FILES|FOLDER --edge FILE... --kerma K --quality Q`:
// the detective quantum efficiency of IEC 62220-1-1 from flat fields and edge
// images (or MTF files) of one beam quality.
#pragma once

#include <string>

#include "app/command_options.h"
#include "app/report_library.h"
#include "measure/noise_session.h"

namespace radmtf {

// The options it takes (others: a usage error), completed into
// ParsedCommand::noise; --kerma and --quality are needed, and flat fields.
void CheckDqeOptions(ParsedCommand& command);

// Returns the exit code: 0 measured (a direction may be refused), 1 refused
// or failed, 2 an output that would destroy a file. `writeReport` is loaded
// only for --report.
int RunDqeCommand(const ParsedCommand& command, WriteDqeReport writeReport);

// A session's result as dqe writes it: "csv", "json" or "table".
std::string DqeResultText(const DqeSession& session, const std::string& format);

}  // namespace radmtf
