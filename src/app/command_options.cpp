#include "app/command_options.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <functional>
#include <iterator>

#include "core/failure.h"
#include "core/numtext.h"
#include "mtf/mtf_state.h"

namespace radmtf {

namespace {

// Numbers in the program's own conventions; anything else is a usage error
// naming the option and the value.
std::int32_t IntValue(const std::string& option, const std::string& value, long long low, long long high)
{
    std::int32_t number = 0;
    try {
        number = StrToInt(value);
    } catch (const Failure&) {
        Usage(UsageProblem::kBadValue, {option, value});
    }
    if (number < low || number > high) Usage(UsageProblem::kBadValue, {option, value});
    return number;
}

// A finite number within low .. high (`open`: above low, not at it).
long double RealIn(const std::string& option, const std::string& value, long double low, long double high,
                   bool open = false)
{
    long double number = 0;
    try {
        number = StrToFloat(value);
    } catch (const Failure&) {
        Usage(UsageProblem::kBadValue, {option, value});
    }
    const bool inRange = (open ? number > low : number >= low) && number <= high;
    if (!inRange || !std::isfinite(number)) Usage(UsageProblem::kBadValue, {option, value});
    return number;
}

constexpr long double kHuge = 1e300L;

// A positive number (or, with `zeroAllowed`, also 0).
long double RealValue(const std::string& option, const std::string& value, bool zeroAllowed = false)
{
    return RealIn(option, value, 0.0L, kHuge, !zeroAllowed);
}

// "a,b,c": exactly `count` integers.
std::vector<std::int32_t> IntList(const std::string& option, const std::string& value, std::size_t count)
{
    std::vector<std::int32_t> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = value.find(',', start);
        numbers.push_back(IntValue(option, value.substr(start, comma - start), INT32_MIN, INT32_MAX));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (numbers.size() != count) Usage(UsageProblem::kBadValue, {option, value});
    return numbers;
}

constexpr long long kMax = INT32_MAX;

// An option: its name, whether it is a flag (no value), and what it fills.
struct Option {
    const char* name;
    bool flag;
    std::function<void(ParsedCommand&, const std::string& option, const std::string& value)> apply;
};

using P = ParsedCommand&;
using T = const std::string&;

const std::vector<Option>& Options()
{
    static const std::vector<Option> options = {
        // The image.
        {"--mode", false,
         [](P c, T o, T v) {
             const std::optional<ImageFormat> format = ParseFormat(v);
             if (!format) Usage(UsageProblem::kBadValue, {o, v});
             c.settings.format = *format;
         }},
        {"--size", false,
         [](P c, T o, T v) {
             const std::vector<std::int32_t> size = IntList(o, v, 2);
             if (size[0] < 1 || size[1] < 1) Usage(UsageProblem::kBadValue, {o, v});
             c.settings.columns = size[0];
             c.settings.rows = size[1];
         }},
        {"--header", false, [](P c, T o, T v) { c.settings.header = IntValue(o, v, 0, kMax); }},
        {"--offset", false, [](P c, T o, T v) { c.settings.offset = IntValue(o, v, INT32_MIN, kMax); }},
        {"--swap", true, [](P c, T, T) { c.settings.swap = true; }},
        {"--roi", false,
         [](P c, T o, T v) {
             const std::vector<std::int32_t> roi = IntList(o, v, 4);
             if (roi[2] < 1 || roi[3] < 1) Usage(UsageProblem::kBadValue, {o, v});
             c.settings.roi = RoiSetting{roi[0], roi[1], roi[2], roi[3]};
         }},
        {"--search", false,
         [](P c, T o, T v) {
             const std::vector<std::int32_t> area = IntList(o, v, 4);
             if (area[2] < 1 || area[3] < 1) Usage(UsageProblem::kBadValue, {o, v});
             c.search.area = SearchArea{area[0], area[1], area[2], area[3]};
         }},
        {"--direction", false,
         [](P c, T o, T v) {
             if (v == "vertical")
                 c.search.directions = EdgeDirections::kVertical;
             else if (v == "horizontal")
                 c.search.directions = EdgeDirections::kHorizontal;
             else if (v != "both")
                 Usage(UsageProblem::kBadValue, {o, v});
         }},
        // The profile.
        {"--orientation", false,
         [](P c, T o, T v) {
             c.settings.autoOrientation = v == "auto";
             if (!c.settings.autoOrientation) c.settings.orientation = IntValue(o, v, 1, 4);
         }},
        {"--ma-line", false,
         [](P c, T o, T v) {
             c.settings.autoMaLines = v == "auto";
             if (!c.settings.autoMaLines) c.settings.maLines = IntValue(o, v, 1, kMax);
         }},
        {"--no-check", true, [](P c, T, T) { c.settings.checkObject = false; }},
        {"--smooth", false, [](P c, T o, T v) { c.settings.smoothing = IntValue(o, v, 1, kMax); }},
        {"--extract", true, [](P c, T, T) { c.settings.extract = true; }},
        // The conversion to exposure (or kerma).
        {"--pixel-spacing", false,
         [](P c, T o, T v) {
             c.settings.pixelSpacing = RealValue(o, v);
             try {
                 CheckPixelSpacing(*c.settings.pixelSpacing);
             } catch (const Failure& failure) {
                 throw UsageError{FailureText(failure)};
             }
         }},
        {"--log-exposure-area", false, [](P c, T o, T v) { c.settings.latitude = RealValue(o, v); }},
        {"--bits", false,
         [](P c, T o, T v) {
             c.settings.bitsStored = IntValue(o, v, 1, 32);
             c.settings.bitsFromFile = false;
         }},
        {"--hdc", false, [](P c, T, T v) { c.settings.curveFile = v; }},
        {"--conversion", false,
         [](P c, T, T v) {
             c.noise.conversion = v;
             c.settings.conversion = v;
         }},
        {"--kerma", false, [](P c, T o, T v) { c.noise.kerma = RealValue(o, v); }},
        {"--kerma-file", false, [](P c, T, T v) { c.noise.kermaFile = v; }},
        // The DQE.
        {"--flat", false, [](P c, T, T v) { c.dqe.flats.push_back(v); }},
        {"--edge", false, [](P c, T, T v) { c.dqe.edges.push_back(v); }},
        {"--quality", false,
         [](P c, T o, T v) {
             std::string q = v;
             for (char& ch : q) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
             if (q != "RQA3" && q != "RQA5" && q != "RQA7" && q != "RQA9")
                 Usage(UsageProblem::kBadValue, {o, v});
             c.dqe.quality = q;
         }},
        {"--snr-table", false,
         [](P c, T o, T v) {
             if (v != "2015" && v != "2003") Usage(UsageProblem::kBadValue, {o, v});
             c.dqe.snrTable = v;
         }},
        {"--snr2", false, [](P c, T o, T v) { c.dqe.snr2 = RealValue(o, v); }},
        {"--mtf-u", false, [](P c, T, T v) { c.dqe.mtfU = v; }},
        {"--mtf-v", false, [](P c, T, T v) { c.dqe.mtfV = v; }},
        // The MTF.
        {"--truncate-at", false, [](P c, T o, T v) { c.settings.truncateAt = IntValue(o, v, 0, kMax); }},
        {"--precise", true, [](P c, T, T) { c.settings.precise = true; }},
        {"--slit-width", false, [](P c, T o, T v) { c.settings.slitWidth = RealValue(o, v, true); }},
        {"--lsf-range", false, [](P c, T o, T v) { c.settings.lsfRange = RealValue(o, v, true); }},
        // The edge page's ranges (EdgeSettings).
        {"--edge-bin", false, [](P c, T o, T v) { c.settings.edge.binWidth = RealIn(o, v, 0.01L, 1.0L); }},
        {"--edge-taper", false, [](P c, T o, T v) { c.settings.edge.lsfTaper = RealIn(o, v, 0.0L, 1.0L); }},
        {"--edge-core", false, [](P c, T o, T v) { c.settings.edge.coreHalfWidth = RealValue(o, v, true); }},
        {"--edge-cutoff", false, [](P c, T o, T v) { c.settings.edge.tailCutoff = RealValue(o, v, true); }},
        {"--edge-smoothing", false,
         [](P c, T o, T v) { c.settings.edge.smoothingInterval = RealValue(o, v, true); }},
        {"--edge-adaptive", false,
         [](P c, T o, T v) { c.settings.edge.adaptiveWindow = RealValue(o, v, true); }},
        {"--edge-reach", false, [](P c, T o, T v) { c.settings.edge.reachFactor = RealValue(o, v, true); }},
        {"--fit-degree", false,
         [](P c, T o, T v) { c.settings.fitDegree = IntValue(o, v, 1, kMaxFitDegree); }},
        {"--fit-up-to", false,
         [](P c, T o, T v) {
             const long double f = RealValue(o, v);
             if (!FitItemOf(f)) Usage(UsageProblem::kBadValue, {o, v});
             c.settings.fitUpTo = f;
         }},
        // The outputs and the run.
        {"--format", false,
         [](P c, T o, T v) {
             if (v == "csv")
                 c.format = ReportFormat::kCsv;
             else if (v == "json")
                 c.format = ReportFormat::kJson;
             else if (v == "table")
                 c.format = ReportFormat::kTable;
             else
                 Usage(UsageProblem::kBadValue, {o, v});
         }},
        {"--output", false, [](P c, T, T v) { c.output = v; }},
        {"--report", false, [](P c, T, T v) { c.report = v; }},
        {"--nnps-image", false, [](P c, T, T v) { c.nnpsImage = v; }},
        {"--institution", false, [](P c, T, T v) { c.notes.institution = v; }},
        {"--operator", false, [](P c, T, T v) { c.notes.operatorName = v; }},
        {"--note", false, [](P c, T, T v) { c.notes.note = v; }},
        // Installed before the parse, so that its own failures speak the language.
        {"--lang", false, [](P, T, T) {}},
        {"--max-decoded-mb", false,
         [](P c, T o, T v) { c.maxDecodedBytes = std::uint64_t(IntValue(o, v, 1, 1 << 30)) << 20; }},
        {"--jobs", false, [](P c, T o, T v) { c.jobs = static_cast<std::size_t>(IntValue(o, v, 1, 256)); }},
    };
    return options;
}

}  // namespace

void Usage(UsageProblem problem, const std::vector<std::string>& args)
{
    throw UsageError{UsageText(problem, args)};
}

bool IsGlobalOption(const std::string& option)
{
    return option == "--lang";
}

ParsedCommand ParseCommandOptions(const std::vector<std::string>& args,
                                  const std::function<bool(const std::string&)>& isSubcommand)
{
    ParsedCommand command;
    MeasureSettings& s = command.settings;
    s.bitsFromFile = true;  // a DICOM file's BitsStored unless --bits says otherwise
    bool named = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        if (option.rfind("--", 0) != 0) {
            // The subcommand first, then the files and folders.
            if (named)
                command.inputs.push_back(option);
            else if (isSubcommand(option))
                command.subcommand = option;
            else
                Usage(UsageProblem::kNoMethod);
            named = true;
            continue;
        }
        std::optional<std::string> attached;
        if (const std::size_t equals = option.find('='); equals != std::string::npos) {
            attached = option.substr(equals + 1);
            option.resize(equals);
        }
        // Only global options come before the subcommand.
        if (!named && !IsGlobalOption(option)) Usage(UsageProblem::kNoMethod);
        const auto known = std::find_if(Options().begin(), Options().end(),
                                        [&](const Option& o) { return option == o.name; });
        if (known == Options().end()) Usage(UsageProblem::kUnknownOption, {option});
        command.given.push_back(option);
        std::string value;
        if (known->flag) {
            if (attached) Usage(UsageProblem::kBadValue, {option, *attached});
        } else if (attached) {
            value = *attached;
        } else {
            if (i + 1 >= args.size()) Usage(UsageProblem::kMissingValue, {option});
            value = args[++i];
        }
        known->apply(command, option, value);
    }
    if (!named) Usage(UsageProblem::kNoMethod);
    return command;
}

void RefuseOptions(const ParsedCommand& command, const std::vector<std::string>& refused)
{
    for (const std::string& option : command.given)
        if (std::find(refused.begin(), refused.end(), option) != refused.end())
            Usage(UsageProblem::kNotForMethod, {option});
}

void AcceptOnly(const ParsedCommand& command, const std::vector<std::string>& accepted)
{
    for (const std::string& option : command.given)
        if (std::find(accepted.begin(), accepted.end(), option) == accepted.end())
            Usage(UsageProblem::kNotForMethod, {option});
}

}  // namespace radmtf
