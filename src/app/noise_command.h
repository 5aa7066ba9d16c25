// `radmtf measure nnps FILES|FOLDER...` and `radmtf measure conversion FILES
// --kerma-file CSV`: the noise half of a detector's characterisation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "dicom/dicom_reader.h"
#include "nps/nnps.h"

namespace radmtf {

// The options each takes (others: a usage error), completed into
// ParsedCommand::noise; conversion needs --kerma-file.
void CheckNnpsOptions(ParsedCommand& command);
void CheckConversionOptions(ParsedCommand& command);

// The measure command has made the application object and set the language.
// Returns the exit code: 0 measured, 1 refused or failed, 2 an output that
// would destroy a file.
int RunNnpsCommand(const ParsedCommand& command);
int RunConversionCommand(const ParsedCommand& command);

// A file's measurement values (as the slit and chart methods read them), its
// pixel spacing (the option's, else the file's) and its QA fields; `image`
// points into `values`.
struct LoadedNoiseImage {
    std::vector<std::int32_t> values;
    NnpsImage image;
    DicomQaFields qa;
};
LoadedNoiseImage LoadNoiseImage(const std::string& path, const NoiseSettings& line);

}  // namespace radmtf
