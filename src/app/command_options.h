// The options of `radmtf measure SUBCOMMAND ...`: one parser for every
// subcommand, filling one value. Which options a subcommand takes is its own
// check (see measure_command.cpp's table); the parser only reads them.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "dicom/pixel_decoder.h"
#include "measure/object_search.h"
#include "measure/report.h"
#include "measure/settings.h"

namespace radmtf {

// `measure dqe`'s own inputs.
struct DqeOptions {
    std::vector<std::string> flats, edges;  // --flat, --edge (files or folders), in order
    std::optional<std::string> quality;     // --quality: RQA3, RQA5, RQA7 or RQA9
    std::string snrTable = "2015";          // --snr-table: the edition of the SNR^2_in table
    std::optional<long double> snr2;        // --snr2: SNR^2_in given (1 / (mm^2 uGy)), not the table's
    std::optional<std::string> mtfU, mtfV;  // --mtf-u, --mtf-v: a measure CSV or JSON
};

struct ParsedCommand {
    std::string subcommand;
    MeasureSettings settings;  // the MTF methods'
    NoiseSettings noise;       // nnps, conversion and dqe
    DqeOptions dqe;
    ReportNotes notes;  // --institution, --operator, --note
    std::optional<ReportFormat> format;
    std::optional<std::string> output;
    std::optional<std::string> report;     // --report: the PDF to write, a page per file
    std::optional<std::string> nnpsImage;  // --nnps-image: the 2-D NNPS as a PNG
    std::vector<std::string> inputs;
    std::optional<std::size_t> jobs;
    ObjectSearch search;  // without --roi: where and what to find
    std::uint64_t maxDecodedBytes = kDefaultMaxDecodedBytes;
    std::vector<std::string> given;  // the options given (without their values), in order
};

// A usage failure, already in the interface language.
struct UsageError {
    QString text;
};
[[noreturn]] void Usage(UsageProblem problem, const std::vector<std::string>& args = {});

// Options that stand anywhere, also before the subcommand.
bool IsGlobalOption(const std::string& option);

// Reads the arguments after "measure": the subcommand (the first argument
// that is not a global option or its value) and every option, each checked
// in its own range. Throws UsageError for no subcommand or one that is not
// `isSubcommand`, an unknown option, a missing or bad value.
ParsedCommand ParseCommandOptions(const std::vector<std::string>& args,
                                  const std::function<bool(const std::string&)>& isSubcommand);

// Throws kNotForMethod for the first option given that is among `refused`.
void RefuseOptions(const ParsedCommand& command, const std::vector<std::string>& refused);
// Throws kNotForMethod for the first option given that is not among `accepted`.
void AcceptOnly(const ParsedCommand& command, const std::vector<std::string>& accepted);

}  // namespace radmtf
