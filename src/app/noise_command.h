// `radmtf measure nnps FILES|FOLDER... [--report PDF] [--nnps-image PNG]`
// and `radmtf measure conversion FILES --kerma-file CSV [--report PDF]`: the noise half of
// a detector's characterisation.
#pragma once

#include <string>

#include "app/command_options.h"
#include "app/report_library.h"
#include "measure/noise_session.h"

namespace radmtf {

// The options each takes (others: a usage error), completed into
// ParsedCommand::noise; conversion needs --kerma-file.
void CheckNnpsOptions(ParsedCommand& command);
void CheckConversionOptions(ParsedCommand& command);

// The measure command has made the application object and set the language.
// Returns the exit code: 0 measured, 1 refused or failed, 2 an output that
// would destroy a file. nnps draws --report and --nnps-image, conversion --report, with the
// report library's entries (loaded only for them).
int RunNnpsCommand(const ParsedCommand& command, WriteNnpsFile writeReport, WriteNnpsFile writeImage);
int RunConversionCommand(const ParsedCommand& command, WriteConversionReport writeReport);

// A session's result as nnps writes it: "csv", "json" or "table".
std::string NnpsResultText(const NnpsSession& session, const NoiseSettings& settings,
                           const std::string& format);

}  // namespace radmtf
