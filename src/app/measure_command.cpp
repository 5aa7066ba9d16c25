#include "app/measure_command.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QDateTime>

#include "app/batch.h"
#include "app/command_files.h"
#include "app/command_options.h"
#include "app/dqe_command.h"
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
#include "nps/conversion.h"
#include "report/report_page.h"

namespace radmtf {

namespace {

// --conversion of an MTF method: "model" is today's default, "hdc:FILE" the
// curve file of --hdc; any other is checked here, once for every file, and
// leaves the model's --bits and --log-exposure-area unused. With --hdc it
// would be two conversions at once.
void ChooseConversion(MeasureSettings& s, std::vector<std::string>& unused)
{
    if (!s.conversion) return;
    const std::string text = *s.conversion;
    s.conversion.reset();
    if (text == "model") return;
    const bool curve = text.starts_with("hdc:");
    if (s.curveFile) Usage(UsageProblem::kBadValue, {"--conversion", text});
    if (curve && text.size() > 4) {
        s.curveFile = text.substr(4);
        return;
    }
    try {
        ParseConversion(text);
    } catch (const Failure& failure) {
        throw UsageError{FailureText(failure)};
    }
    s.conversion = text;
    unused.insert(unused.end(), {"--bits", "--log-exposure-area"});
}

// Refuses the options the chosen method (or mode) would not use, so none is
// silently ignored.
void CheckOptionsForMethod(ParsedCommand& command)
{
    MeasureSettings& s = command.settings;
    s.method = *ParseMethod(command.subcommand);
    const std::vector<std::string> edgeOnly = {"--edge-bin",    "--edge-taper",     "--edge-core",
                                               "--edge-cutoff", "--edge-smoothing", "--edge-adaptive",
                                               "--edge-reach"};
    std::vector<std::string> unused;
    if (s.method == MeasureMethod::kEdge)
        unused = {"--orientation", "--ma-line",   "--smooth",  "--extract",    "--truncate-at",
                  "--fit-degree",  "--fit-up-to", "--precise", "--slit-width", "--no-check"};
    else if (s.method == MeasureMethod::kChart && s.precise)
        unused = {"--truncate-at", "--slit-width", "--no-check", "--lsf-range"};
    else if (s.method == MeasureMethod::kChart)
        unused = {"--truncate-at", "--slit-width", "--lsf-range"};
    else if (s.precise)
        unused = {"--smooth", "--extract", "--truncate-at", "--no-check"};
    else
        unused = {"--slit-width", "--lsf-range"};
    if (s.method != MeasureMethod::kEdge) unused.insert(unused.end(), edgeOnly.begin(), edgeOnly.end());
    unused.insert(unused.end(), {"--kerma", "--kerma-file", "--nnps-image"});
    ChooseConversion(s, unused);
    // Only a search without a ROI looks for objects; only edges have a direction.
    if (s.method != MeasureMethod::kEdge) unused.push_back("--direction");
    if (s.roi) unused.insert(unused.end(), {"--search", "--direction"});
    RefuseOptions(command, unused);
    // The precise slit keeps the LSF within its range: none is nothing.
    if (s.method == MeasureMethod::kSlit && s.precise && !(s.lsfRange > 0))
        Usage(UsageProblem::kBadValue, {"--lsf-range", FloatToStr(s.lsfRange)});
    if (command.inputs.empty()) Usage(UsageProblem::kNoInput);
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
    record.source = report.source;
    record.settings = report.settings;
    record.pixelSpacingSource = report.pixelSpacingSource;
    record.points = report.points;
    record.summaryCurve = report.summaryCurve;
    record.edgeAngle = report.edgeAngle;
    record.edgeDirection = report.edgeDirection;
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
        report.source = outcome.result->source;
        if (outcome.result->fit) {
            report.fitCoefficients = outcome.result->fit->coefficients;
            report.fitUpTo = outcome.result->fit->upTo;
        }
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

// One file measured: as one object in the ROI given, else each object found.
FileOutcomes MeasureOneFile(const ParsedCommand& line, const std::string& path)
{
    FileOutcomes measured;
    DecodeOptions options;
    options.fileName = path;
    options.maxDecodedBytes = line.maxDecodedBytes;
    options.libraryMessages = &measured.libraryMessages;
    const auto decode = [&](std::span<const std::uint8_t> bytes) {
        return PrepareDicomLoad(bytes.data(), bytes.size(), DicomDictionaryText(), "", options);
    };
    Outcome first;
    if (line.settings.roi) {
        Attempt(first, [&] { first.result = MeasureFile(path, line.settings, decode); });
        measured.parts.push_back(std::move(first));
    } else {
        // No ROI: each object found in the image is measured in its own.
        std::optional<SourceImage> image;
        std::vector<FoundObject> found;
        Attempt(first, [&] {
            image = ReadSourceImage(path, line.settings, decode);
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
    return measured;
}

// What a subcommand's run gets besides its options.
struct CommandContext {
    WriteReport writeReport = nullptr;  // loaded only for --report
    WriteDqeReport writeDqeReport = nullptr;
    WriteNnpsFile writeNnpsReport = nullptr, writeNnpsImage = nullptr;
    WriteConversionReport writeConversionReport = nullptr;
};

int Measure(const ParsedCommand& line, const CommandContext& context)
{
    const std::optional<std::vector<std::string>> written = OutputFiles(line.output, line.report);
    if (!written) return 2;
    const std::vector<std::string> files = ExpandInputs(line.inputs, *written);
    if (!OutputsAllowed(*written, files)) return 2;
    // --output is gathered whole and replaces the file only when complete.
    std::ostringstream file;
    std::ostream& out = line.output ? static_cast<std::ostream&>(file) : std::cout;
    const ReportFormat format = line.format.value_or(
        !line.output && isatty(STDOUT_FILENO) ? ReportFormat::kTable : ReportFormat::kCsv);
    const auto delivered = [&] { return line.output || StandardOutputWritten(); };

    const std::unique_ptr<ReportWriter> writer = MakeReportWriter(format, out);
    ProgressBar progress(files.size());
    bool anyFailed = false;
    bool outputFailed = false;
    std::vector<ReportPage> pages;
    writer->Begin();
    progress.Show(0);
    const auto deliver = [&](std::size_t i, FileOutcomes& measured) {
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
                pages.push_back(MakeReportPage(
                    PageRecord(report, outcome.result ? &*outcome.result : nullptr), line.notes));
        }
        if (!measured.libraryMessages.empty()) {
            progress.Clear();
            std::fputs(PrefixedLines(files[i], measured.libraryMessages).c_str(), stderr);
        }
        progress.Show(i + 1);
        return !outputFailed;
    };
    // Files in parallel on every core; results still leave in input order.
    RunBatch<FileOutcomes>(
        files.size(), line.jobs.value_or(std::max(1u, std::thread::hardware_concurrency())),
        [&](std::size_t i) { return MeasureOneFile(line, files[i]); }, deliver);
    if (!outputFailed) {
        writer->End();
        outputFailed = !delivered();
    }
    progress.Clear();
    if (outputFailed) {
        PrintFailure(FailureText(FailureCode::kStandardOutput));
        return 1;
    }
    try {
        if (line.output) ReplaceFile(*line.output, file.str());
        if (line.report) context.writeReport(QString::fromStdString(*line.report), pages);
    } catch (const Failure& failure) {
        PrintFailure(FailureText(failure));
        return 1;
    }
    return anyFailed ? 1 : 0;
}

// The subcommands: each checks the options it takes (and completes what
// they give), runs, and has its usage text. A new method is one line here.
struct Subcommand {
    const char* name;
    void (*check)(ParsedCommand& command);
    int (*run)(const ParsedCommand& command, const CommandContext& context);
    QString (*usage)();
};

const Subcommand kSubcommands[] = {
    {"slit", CheckOptionsForMethod, Measure, MeasureHelpText},
    {"chart", CheckOptionsForMethod, Measure, MeasureHelpText},
    {"edge", CheckOptionsForMethod, Measure, MeasureHelpText},
    {"nnps", CheckNnpsOptions,
     [](const ParsedCommand& c, const CommandContext& context) {
         return RunNnpsCommand(c, context.writeNnpsReport, context.writeNnpsImage);
     },
     MeasureHelpText},
    {"conversion", CheckConversionOptions,
     [](const ParsedCommand& c, const CommandContext& context) {
         return RunConversionCommand(c, context.writeConversionReport);
     },
     MeasureHelpText},
    {"dqe", CheckDqeOptions,
     [](const ParsedCommand& c, const CommandContext& context) {
         return RunDqeCommand(c, context.writeDqeReport);
     },
     MeasureHelpText},
};

const Subcommand* FindSubcommand(const std::string& name)
{
    for (const Subcommand& subcommand : kSubcommands)
        if (name == subcommand.name) return &subcommand;
    return nullptr;
}

// The help of the subcommand named (the first word that is no option or a
// global option's value), else of them all.
QString HelpText(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (IsGlobalOption(args[i])) {
            ++i;
            continue;
        }
        if (args[i].rfind("-", 0) == 0) continue;
        const Subcommand* subcommand = FindSubcommand(args[i]);
        return subcommand ? subcommand->usage() : MeasureHelpText();
    }
    return MeasureHelpText();
}

}  // namespace

int RunMeasureCommand(int argc, char** argv)
{
    // The language is found before the parse, so that its usage failures and
    // the help speak it. A report is drawn with fonts, which need a GUI
    // application object (without any display); everything else a plain one.
    // Whatever the parse accepts as --report (or --nnps-image, also drawn)
    // this scan has found.
    std::optional<std::string> language, report, image;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        for (auto [name, value] : {std::pair{"--lang", &language}, std::pair{"--report", &report},
                                   std::pair{"--nnps-image", &image}}) {
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
    WriteDqeReport writeDqeReport = nullptr;
    WriteNnpsFile writeNnpsReport = nullptr, writeNnpsImage = nullptr;
    WriteConversionReport writeConversionReport = nullptr;
    const bool drawn = report || image;
    if (drawn) {
        makeReportApplication = reinterpret_cast<MakeReportApplication>(
            LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kMakeReportApplicationName));
        writeReport =
            reinterpret_cast<WriteReport>(LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kWriteReportName));
        writeDqeReport = reinterpret_cast<WriteDqeReport>(
            LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kWriteDqeReportName));
        writeNnpsReport = reinterpret_cast<WriteNnpsFile>(
            LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kWriteNnpsReportName));
        writeNnpsImage = reinterpret_cast<WriteNnpsFile>(
            LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kWriteNnpsImageName));
        writeConversionReport = reinterpret_cast<WriteConversionReport>(
            LoadProgramLibraryEntry(RADMTF_REPORT_LIBRARY, kWriteConversionReportName));
        if (!makeReportApplication || !writeReport || !writeDqeReport || !writeNnpsReport ||
            !writeNnpsImage || !writeConversionReport)
            return 1;
    }
    const std::unique_ptr<QCoreApplication> app(drawn ? makeReportApplication(appArgc, appArgv)
                                                      : new QCoreApplication(appArgc, appArgv));
    const QString code = RequestedLanguage(language ? QString::fromStdString(*language) : QString());
    if (!UseLanguage(code)) {
        UseLanguage("ja");
        PrintUsageError(UsageText(UsageProblem::kBadValue, {"--lang", code.toStdString()}));
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        std::fputs(HelpText(args).toUtf8().constData(), stdout);
        if (StandardOutputWritten()) return 0;
        PrintFailure(FailureText(FailureCode::kStandardOutput));
        return 1;
    }
    ParsedCommand command;
    const Subcommand* subcommand = nullptr;
    try {
        command = ParseCommandOptions(
            args, [](const std::string& name) { return FindSubcommand(name) != nullptr; });
        subcommand = FindSubcommand(command.subcommand);
        subcommand->check(command);
    } catch (const UsageError& error) {
        PrintUsageError(error.text);
        return 2;
    }
    CommandContext context;
    context.writeReport = writeReport;
    context.writeDqeReport = writeDqeReport;
    context.writeNnpsReport = writeNnpsReport;
    context.writeNnpsImage = writeNnpsImage;
    context.writeConversionReport = writeConversionReport;
    return subcommand->run(command, context);
}

}  // namespace radmtf
