#include "app/measure_command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QDateTime>

#include "app/command_files.h"
#include "app/language.h"
#include "app/messages.h"
#include "app/noise_command.h"
#include "app/program_library.h"
#include "app/report_library.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "core/printable.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "measure/measurement.h"
#include "measure/object_search.h"
#include "measure/report.h"
#include "mtf/edge.h"
#include "report/report_page.h"

namespace radmtf {

namespace {

struct UsageError {
    QString text;
};

[[noreturn]] void Usage(UsageProblem problem, const std::vector<std::string>& args = {})
{
    throw UsageError{UsageText(problem, args)};
}

struct CommandLine {
    MeasureSettings settings;
    std::optional<ReportFormat> format;
    std::optional<std::string> output;
    std::vector<std::string> inputs;
    std::optional<std::size_t> jobs;
    std::optional<std::string> report;  // --report: the PDF to write, a page per file
    ObjectSearch search;                // without --roi: where and what to find
    std::uint64_t maxDecodedBytes = kDefaultMaxDecodedBytes;
    bool help = false;
};

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

// A positive number (or, with `zeroAllowed`, also 0).
long double RealValue(const std::string& option, const std::string& value, bool zeroAllowed = false)
{
    long double number = 0;
    try {
        number = StrToFloat(value);
    } catch (const Failure&) {
        Usage(UsageProblem::kBadValue, {option, value});
    }
    const bool inRange = number > 0.0L || (zeroAllowed && number == 0.0L);
    if (!inRange || !std::isfinite(number)) Usage(UsageProblem::kBadValue, {option, value});
    return number;
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

// Refuses the options the chosen method (or mode) would not use, so none is
// silently ignored.
void CheckOptionsForMethod(const MeasureSettings& s, const std::vector<std::string>& given)
{
    std::vector<std::string> unused;
    if (s.method == MeasureMethod::kEdge)
        unused = {"--orientation", "--ma-line",   "--smooth",  "--extract",    "--truncate-at",
                  "--fit-degree",  "--fit-up-to", "--precise", "--slit-width", "--no-check"};
    else if (s.method == MeasureMethod::kChart && s.precise)
        unused = {"--truncate-at", "--slit-width", "--no-check"};
    else if (s.method == MeasureMethod::kChart)
        unused = {"--truncate-at", "--slit-width"};
    else if (s.precise)
        unused = {"--smooth", "--extract", "--truncate-at", "--no-check"};
    else
        unused = {"--slit-width"};
    // Only a search without a ROI looks for objects; only edges have a direction.
    if (s.method != MeasureMethod::kEdge) unused.push_back("--direction");
    if (s.roi) unused.insert(unused.end(), {"--search", "--direction"});
    for (const std::string& option : given)
        if (std::find(unused.begin(), unused.end(), option) != unused.end())
            Usage(UsageProblem::kNotForMethod, {option});
}

CommandLine ParseCommandLine(int argc, char** argv)
{
    CommandLine line;
    std::vector<std::string> args(argv + 2, argv + argc);
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        line.help = true;
        return line;
    }
    if (args.empty()) Usage(UsageProblem::kNoMethod);
    const std::optional<MeasureMethod> method = ParseMethod(args[0]);
    if (!method) Usage(UsageProblem::kNoMethod);
    MeasureSettings& s = line.settings;
    s.method = *method;
    s.bitsFromFile = true;  // a DICOM file's BitsStored unless --bits says otherwise
    std::vector<std::string> given;

    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string option = args[i];
        if (option.rfind("--", 0) != 0) {
            line.inputs.push_back(option);
            continue;
        }
        std::optional<std::string> attached;
        if (const std::size_t equals = option.find('='); equals != std::string::npos) {
            attached = option.substr(equals + 1);
            option.resize(equals);
        }
        given.push_back(option);
        auto flag = [&] {
            if (attached) Usage(UsageProblem::kBadValue, {option, *attached});
        };
        auto value = [&]() -> std::string {
            if (attached) return *attached;
            if (i + 1 >= args.size()) Usage(UsageProblem::kMissingValue, {option});
            return args[++i];
        };
        if (option == "--mode") {
            const std::string v = value();
            const std::optional<ImageFormat> format = ParseFormat(v);
            if (!format) Usage(UsageProblem::kBadValue, {option, v});
            s.format = *format;
        } else if (option == "--size") {
            const std::string v = value();
            const std::vector<std::int32_t> size = IntList(option, v, 2);
            if (size[0] < 1 || size[1] < 1) Usage(UsageProblem::kBadValue, {option, v});
            s.columns = size[0];
            s.rows = size[1];
        } else if (option == "--header") {
            s.header = IntValue(option, value(), 0, kMax);
        } else if (option == "--offset") {
            s.offset = IntValue(option, value(), INT32_MIN, kMax);
        } else if (option == "--swap") {
            flag();
            s.swap = true;
        } else if (option == "--roi") {
            const std::string v = value();
            const std::vector<std::int32_t> roi = IntList(option, v, 4);
            if (roi[2] < 1 || roi[3] < 1) Usage(UsageProblem::kBadValue, {option, v});
            s.roi = RoiSetting{roi[0], roi[1], roi[2], roi[3]};
        } else if (option == "--search") {
            const std::string v = value();
            const std::vector<std::int32_t> area = IntList(option, v, 4);
            if (area[2] < 1 || area[3] < 1) Usage(UsageProblem::kBadValue, {option, v});
            line.search.area = SearchArea{area[0], area[1], area[2], area[3]};
        } else if (option == "--direction") {
            const std::string v = value();
            if (v == "vertical")
                line.search.directions = EdgeDirections::kVertical;
            else if (v == "horizontal")
                line.search.directions = EdgeDirections::kHorizontal;
            else if (v != "both")
                Usage(UsageProblem::kBadValue, {option, v});
        } else if (option == "--orientation") {
            const std::string v = value();
            s.autoOrientation = v == "auto";
            if (!s.autoOrientation) s.orientation = IntValue(option, v, 1, 4);
        } else if (option == "--ma-line") {
            const std::string v = value();
            s.autoMaLines = v == "auto";
            if (!s.autoMaLines) s.maLines = IntValue(option, v, 1, kMax);
        } else if (option == "--no-check") {
            flag();
            s.checkObject = false;
        } else if (option == "--smooth") {
            s.smoothing = IntValue(option, value(), 1, kMax);
        } else if (option == "--extract") {
            flag();
            s.extract = true;
        } else if (option == "--pixel-spacing") {
            s.pixelSpacing = RealValue(option, value());
            try {
                CheckPixelSpacing(*s.pixelSpacing);
            } catch (const Failure& failure) {
                throw UsageError{FailureText(failure)};
            }
        } else if (option == "--log-exposure-area") {
            s.latitude = RealValue(option, value());
        } else if (option == "--bits") {
            s.bitsStored = IntValue(option, value(), 1, 32);
            s.bitsFromFile = false;
        } else if (option == "--hdc") {
            s.curveFile = value();
        } else if (option == "--truncate-at") {
            s.truncateAt = IntValue(option, value(), 0, kMax);
        } else if (option == "--precise") {
            flag();
            s.precise = true;
        } else if (option == "--slit-width") {
            s.slitWidth = RealValue(option, value(), true);
        } else if (option == "--fit-degree") {
            s.fitDegree = IntValue(option, value(), 1, kMaxFitDegree);
        } else if (option == "--fit-up-to") {
            const std::string v = value();
            const long double f = RealValue(option, v);
            const auto* found = std::find_if(std::begin(kFitFrequencyTexts), std::end(kFitFrequencyTexts),
                                             [&](const char* text) { return StrToFloat(text) == f; });
            if (found == std::end(kFitFrequencyTexts)) Usage(UsageProblem::kBadValue, {option, v});
            s.fitItem = static_cast<int>(found - std::begin(kFitFrequencyTexts));
        } else if (option == "--format") {
            const std::string v = value();
            if (v == "csv")
                line.format = ReportFormat::kCsv;
            else if (v == "json")
                line.format = ReportFormat::kJson;
            else if (v == "table")
                line.format = ReportFormat::kTable;
            else
                Usage(UsageProblem::kBadValue, {option, v});
        } else if (option == "--output") {
            line.output = value();
        } else if (option == "--report") {
            line.report = value();
        } else if (option == "--lang") {
            value();  // installed before the parse, so its own failures speak the language
        } else if (option == "--max-decoded-mb") {
            line.maxDecodedBytes = std::uint64_t(IntValue(option, value(), 1, 1 << 30)) << 20;
        } else if (option == "--jobs") {
            line.jobs = static_cast<std::size_t>(IntValue(option, value(), 1, 256));
        } else {
            Usage(UsageProblem::kUnknownOption, {option});
        }
    }
    CheckOptionsForMethod(s, given);
    if (line.inputs.empty()) Usage(UsageProblem::kNoInput);
    return line;
}

// One measurement's outcome, handed from a worker to the writer.
struct Outcome {
    std::optional<MeasureResult> result;
    std::optional<Failure> failure;
    std::string otherFailure;          // a fault that is no Failure (reported, never hidden)
    std::optional<FoundObject> found;  // the object found in the image (no ROI typed)
    std::int32_t index = 0;            // its number among the file's, from 1
};

// A file's outcomes: one, or one per object found in it.
struct FileOutcomes {
    std::vector<Outcome> parts;
    std::string libraryMessages;  // what the decoder's libraries wrote
    bool done = false;
};

template <typename F>
void Attempt(Outcome& outcome, F&& work)
{
    try {
        work();
    } catch (const Failure& failure) {
        outcome.failure = failure;
    } catch (const std::bad_alloc&) {
        outcome.failure = Failure(FailureCode::kOutOfMemory);
    } catch (const std::exception& fault) {
        outcome.otherFailure = fault.what();
    }
}

// The record a file's report page is made from: the file's report and, when
// it was measured, its result.
MeasurementRecord PageRecord(const FileReport& report, const MeasureResult* result)
{
    MeasurementRecord record;
    record.file = report.file;
    record.settings = report.settings;
    record.pixelSpacingSource = report.pixelSpacingSource;
    record.points = report.points;
    record.summaryCurve = report.summaryCurve;
    record.edgeAngle = report.edgeAngle;
    record.edgeDirection = report.edgeDirection;
    if (record.settings.pixelSpacing) record.edge.pixelSpacing = FloatToStr(*record.settings.pixelSpacing);
    record.warnings = report.warnings;
    if (result) {
        record.geometry = result->geometry;
        record.acquisition = result->acquisition;
        record.qa = result->qa;
        if (record.edgeDirection.empty() && result->edgeVertical)
            record.edgeDirection = *result->edgeVertical ? "vertical" : "horizontal";
    }
    if (!report.ok) record.failure = report.message;
    return record;
}

FileReport MakeReport(const std::string& file, const MeasureSettings& asked, const Outcome& outcome)
{
    FileReport report;
    report.file = file;
    report.method = asked.method;
    if (outcome.found && outcome.found->edgeVertical) {
        report.edgeDirection = *outcome.found->edgeVertical ? "vertical" : "horizontal";
        report.edgeIndex = outcome.index;
    }
    if (outcome.result) {
        report.ok = true;
        report.settings = outcome.result->settings;
        report.points = outcome.result->points;
        report.edgeAngle = outcome.result->edgeAngle;
        report.summaryCurve = outcome.result->summaryCurve;
        report.pixelSpacingSource = outcome.result->pixelSpacingSource;
        for (const Failure& warning : outcome.result->warnings)
            report.warnings.push_back(FailureText(warning).toStdString());
        return report;
    }
    report.settings = asked;
    if (outcome.found) report.settings.roi = outcome.found->roi;
    report.message = outcome.failure ? FailureText(*outcome.failure).toStdString() : outcome.otherFailure;
    // Only the command can raise the budget: it says how.
    if (outcome.failure && outcome.failure->code() == FailureCode::kDecodeBudgetExceeded)
        report.message += " " + NoticeText(Notice::kRaiseDecodeBudget).toStdString();
    if (outcome.failure && outcome.failure->code() == FailureCode::kObjectNotFound)
        report.message += NoticeText(Notice::kTypeRoi).toStdString();
    report.failedMark = FailedMark(QString::fromStdString(report.message)).toStdString();
    return report;
}

class ProgressBar {
public:
    explicit ProgressBar(std::size_t total) : total_(total), shown_(total > 1 && isatty(STDERR_FILENO)) {}
    void Show(std::size_t done)
    {
        if (!shown_) return;
        constexpr std::size_t kWidth = 30;
        const std::size_t filled = total_ ? done * kWidth / total_ : kWidth;
        std::fprintf(stderr, "\r[%s%s] %zu/%zu", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), done, total_);
        std::fflush(stderr);
    }
    void Clear()
    {
        if (shown_) std::fprintf(stderr, "\r\033[K");
    }

private:
    std::size_t total_;
    bool shown_;
};

int Measure(const CommandLine& line, WriteReport writeReport)
{
    std::vector<std::string> written;
    for (const auto& target : {line.output, line.report})
        if (target) written.push_back(*target);
    if (line.output && line.report && SameFile(*line.output, *line.report)) {
        PrintUsageError(UsageText(UsageProblem::kBadValue, {"--report", *line.report}));
        return 2;
    }
    const std::vector<std::string> files = ExpandInputs(line.inputs, written);
    for (const std::string& target : written)
        if (const std::optional<Failure> refusal = OutputRefusal(target, files)) {
            PrintFailure(FailureText(*refusal));
            return 2;
        }
    // --output is gathered whole and replaces the file only when complete.
    std::ostringstream file;
    std::ostream& out = line.output ? static_cast<std::ostream&>(file) : std::cout;
    const ReportFormat format = line.format.value_or(
        !line.output && isatty(STDOUT_FILENO) ? ReportFormat::kTable : ReportFormat::kCsv);
    const auto delivered = [&] { return line.output || StandardOutputWritten(); };

    std::vector<FileOutcomes> outcomes(files.size());
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            FileOutcomes measured;
            DecodeOptions options;
            options.fileName = files[i];
            options.maxDecodedBytes = line.maxDecodedBytes;
            options.libraryMessages = &measured.libraryMessages;
            const auto decode = [&](std::span<const std::uint8_t> bytes) {
                return PrepareDicomLoad(bytes.data(), bytes.size(), DicomDictionaryText(), "", options);
            };
            Outcome first;
            if (line.settings.roi) {
                Attempt(first, [&] { first.result = MeasureFile(files[i], line.settings, decode); });
                measured.parts.push_back(std::move(first));
            } else {
                // No ROI: each object found in the image is measured in its own.
                std::optional<SourceImage> image;
                std::vector<FoundObject> found;
                Attempt(first, [&] {
                    image = ReadSourceImage(files[i], line.settings, decode);
                    found = FindObjectsStep(*image, line.settings, line.search);
                });
                if (found.empty()) measured.parts.push_back(std::move(first));
                for (std::size_t k = 0; k < found.size(); ++k) {
                    Outcome part;
                    part.found = found[k];
                    part.index = static_cast<std::int32_t>(k + 1);
                    MeasureSettings settings = line.settings;
                    settings.roi = found[k].roi;
                    Attempt(part, [&] { part.result = MeasureImage(*image, settings); });
                    measured.parts.push_back(std::move(part));
                }
            }
            measured.done = true;
            const std::lock_guard lock(mutex);
            outcomes[i] = std::move(measured);
            finished.notify_one();
        }
    };
    // Files in parallel on every core; results still leave in input order.
    const std::size_t workers = std::min<std::size_t>(
        line.jobs.value_or(std::max(1u, std::thread::hardware_concurrency())), files.size());
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers; ++w) threads.emplace_back(work);

    const std::unique_ptr<ReportWriter> writer = MakeReportWriter(format, out);
    ProgressBar progress(files.size());
    bool anyFailed = false;
    bool outputFailed = false;
    std::vector<ReportPage> pages;
    writer->Begin();
    progress.Show(0);
    for (std::size_t i = 0; i < files.size() && !outputFailed; ++i) {
        FileOutcomes measured;
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return outcomes[i].done; });
            measured = std::move(outcomes[i]);
        }
        for (const Outcome& outcome : measured.parts) {
            const FileReport report = MakeReport(files[i], line.settings, outcome);
            if (outcome.result)
                for (const Failure& warning : outcome.result->warnings) {
                    progress.Clear();
                    std::fprintf(stderr, "%s: %s\n", PrintableText(report.file).c_str(),
                                 PrintableText(FailureText(warning).toUtf8().toStdString()).c_str());
                }
            if (!report.ok) {
                anyFailed = true;
                progress.Clear();
                std::fprintf(stderr, "%s: %s\n", PrintableText(report.file).c_str(),
                             PrintableText(report.message).c_str());
            }
            writer->Write(report);
            outputFailed = outputFailed || !delivered();
            if (line.report)
                pages.push_back(
                    MakeReportPage(PageRecord(report, outcome.result ? &*outcome.result : nullptr), {}));
        }
        if (!measured.libraryMessages.empty()) {
            progress.Clear();
            std::fputs(PrefixedLines(files[i], measured.libraryMessages).c_str(), stderr);
        }
        progress.Show(i + 1);
    }
    if (!outputFailed) {
        writer->End();
        outputFailed = !delivered();
    }
    progress.Clear();
    if (outputFailed) next = files.size();  // the workers take no further file
    for (std::thread& thread : threads) thread.join();
    if (outputFailed) {
        PrintFailure(FailureText(FailureCode::kStandardOutput));
        return 1;
    }
    try {
        if (line.output) ReplaceFile(*line.output, file.str());
        if (line.report) writeReport(QString::fromStdString(*line.report), pages);
    } catch (const Failure& failure) {
        PrintFailure(FailureText(failure));
        return 1;
    }
    return anyFailed ? 1 : 0;
}

}  // namespace

int RunMeasureCommand(int argc, char** argv)
{
    // The language is found before the parse, so that its usage failures and
    // the help speak it. A report is drawn with fonts, which need a GUI
    // application object (without any display); everything else a plain one.
    // Whatever the parse accepts as --report this scan has found.
    std::optional<std::string> language, report;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        for (auto [name, value] : {std::pair{"--lang", &language}, std::pair{"--report", &report}}) {
            const std::string option = name;
            if (arg == option && i + 1 < argc) *value = argv[i + 1];
            if (arg.rfind(option + "=", 0) == 0) *value = arg.substr(option.size() + 1);
        }
    }
    int appArgc = 3;
    char programName[] = "radmtf", platformOption[] = "-platform", platform[] = "offscreen";
    char* appArgv[] = {programName, platformOption, platform, nullptr};
    MakeReportApplication makeReportApplication = nullptr;
    WriteReport writeReport = nullptr;
    if (report) {
        makeReportApplication = reinterpret_cast<MakeReportApplication>(
            LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kMakeReportApplicationName));
        writeReport =
            reinterpret_cast<WriteReport>(LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kWriteReportName));
        if (!makeReportApplication || !writeReport) return 1;
    }
    const std::unique_ptr<QCoreApplication> app(report ? makeReportApplication(appArgc, appArgv)
                                                       : new QCoreApplication(appArgc, appArgv));
    const QString code = RequestedLanguage(language ? QString::fromStdString(*language) : QString());
    if (!UseLanguage(code)) {
        UseLanguage("ja");
        PrintUsageError(UsageText(UsageProblem::kBadValue, {"--lang", code.toStdString()}));
        return 2;
    }
    if (argc > 2 && (std::string(argv[2]) == "nnps" || std::string(argv[2]) == "conversion"))
        return RunNoiseCommand(argc, argv);
    CommandLine line;
    try {
        line = ParseCommandLine(argc, argv);
    } catch (const UsageError& error) {
        PrintUsageError(error.text);
        return 2;
    }
    if (line.help) {
        std::fputs(MeasureHelpText().toUtf8().constData(), stdout);
        if (StandardOutputWritten()) return 0;
        PrintFailure(FailureText(FailureCode::kStandardOutput));
        return 1;
    }
    return Measure(line, writeReport);
}

}  // namespace radmtf
