#include "app/noise_command.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "app/command_files.h"
#include "app/command_options.h"
#include "app/messages.h"
#include "app/program_library.h"
#include "core/csv.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/json_text.h"
#include "core/numtext.h"
#include "core/text_lines.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "measure/measurement.h"
#include "measure/noise_session.h"
#include "measure/report.h"
#include "nps/conversion.h"
#include "nps/nnps.h"
#include "report/noise_report_data.h"

namespace radmtf {

namespace {

// The options nnps and conversion share (--output, --format and --lang besides).
const std::vector<std::string> kNoiseOptions = {
    "--pixel-spacing", "--log-exposure-area", "--bits", "--output", "--format", "--lang"};

void CheckNoiseOptions(ParsedCommand& command, const std::vector<std::string>& own)
{
    std::vector<std::string> accepted = kNoiseOptions;
    accepted.insert(accepted.end(), own.begin(), own.end());
    AcceptOnly(command, accepted);
    NoiseSettings& noise = command.noise;
    noise.pixelSpacing = command.settings.pixelSpacing;
    noise.latitude = command.settings.latitude;
    noise.bitsStored = command.settings.bitsStored;
    if (command.inputs.empty()) Usage(UsageProblem::kNoInput);
}

std::string Text(const Failure& failure)
{
    return FailureText(failure).toStdString();
}

struct NnpsReport {
    NnpsSession session;
    std::string settings;  // as the CSV and the table write them
    NoiseSettings used;    // the conversion as described, for JSON
    std::string message;   // the refusal; empty when measured
};

void WriteNnps(std::ostream& out, const std::string& format, const NnpsReport& r)
{
    const bool ok = r.session.result.has_value();
    const std::optional<NnpsResult>& result = r.session.result;
    const std::vector<std::string>& fileList = r.session.files;
    std::vector<std::string> warnings;
    if (ok)
        for (const Failure& w : result->warnings) warnings.push_back(Text(w));
    std::string files, joinedWarnings;
    for (const std::string& f : fileList) files += (files.empty() ? "" : ";") + f;
    for (const std::string& w : warnings) joinedWarnings += (joinedWarnings.empty() ? "" : " ") + w;
    const auto number = [](double v) { return ExactNumber(v); };
    if (format == "json") {
        out << "{\"method\": \"nnps\", \"status\": " << JsonString(ok ? "ok" : "error")
            << ", \"message\": " << JsonString(r.message) << ", \"files\": [";
        for (std::size_t i = 0; i < fileList.size(); ++i) out << (i ? ", " : "") << JsonString(fileList[i]);
        out << "], \"settings\": " << SettingsJson(r.used);
        if (ok) {
            out << ", \"mean_signal\": " << number(result->meanSignal) << ", \"rois\": " << result->rois
                << ", \"pixels\": " << result->pixels << ", \"points\": [";
            for (std::size_t i = 0; i < result->points.size(); ++i) {
                const NnpsPoint& p = result->points[i];
                out << (i ? ", " : "") << "{\"frequency_cy_per_mm\": " << number(p.frequency)
                    << ", \"nnps_u\": " << number(p.nnpsU) << ", \"nnps_v\": " << number(p.nnpsV)
                    << ", \"u_nnps_u\": " << number(p.uNnpsU) << ", \"u_nnps_v\": " << number(p.uNnpsV)
                    << "}";
            }
            out << "]";
        } else {
            out << ", \"mean_signal\": null, \"rois\": 0, \"pixels\": 0, \"points\": []";
        }
        out << ", \"warnings\": [";
        for (std::size_t i = 0; i < warnings.size(); ++i) out << (i ? ", " : "") << JsonString(warnings[i]);
        out << "]}\n";
        return;
    }
    if (format == "csv") {
        out << CsvLine({"method", "status", "message", "files", "settings", "mean_signal", "rois", "pixels",
                        "frequency_cy_per_mm", "nnps_u", "nnps_v", "u_nnps_u", "u_nnps_v", "warnings"});
        const std::vector<std::string> head = {"nnps", ok ? "ok" : "error", r.message, files, r.settings};
        if (!ok) {
            std::vector<std::string> row = head;
            row.insert(row.end(), {"", "0", "0", "", "", "", "", "", ""});
            out << CsvLine(row);
            return;
        }
        for (const NnpsPoint& p : result->points) {
            std::vector<std::string> row = head;
            row.insert(row.end(), {number(result->meanSignal), IntToStr(result->rois),
                                   IntToStr(result->pixels), number(p.frequency), number(p.nnpsU),
                                   number(p.nnpsV), number(p.uNnpsU), number(p.uNnpsV), joinedWarnings});
            out << CsvLine(row);
        }
        return;
    }
    out << "NNPS  " << files << "\n" << r.settings << "\n";
    if (!ok) {
        out << r.message << "\n";
        return;
    }
    out << QCoreApplication::translate("radmtf::Messages", "平均信号 %1 µGy、ROI %2 個、独立な画素 %3 個")
               .arg(result->meanSignal, 0, 'g', 6)
               .arg(static_cast<qlonglong>(result->rois))
               .arg(static_cast<qlonglong>(result->pixels))
               .toStdString()
        << "\n";
    char text[200];
    for (const std::string& w : warnings) out << w << "\n";
    out << "  f (cy/mm)     NNPS u (mm2)     u(NNPS u)     NNPS v (mm2)     u(NNPS v)\n";
    for (const NnpsPoint& p : result->points) {
        std::snprintf(text, sizeof text, "  %9.2f  %15.6e  %12.3e  %15.6e  %12.3e\n", p.frequency, p.nnpsU,
                      p.uNnpsU, p.nnpsV, p.uNnpsV);
        out << text;
    }
}

NnpsReport ReportOf(const NnpsSession& session, const NoiseSettings& line)
{
    NnpsReport report;
    report.session = session;
    report.used = line;
    report.used.conversion = session.conversion;
    report.settings = "conversion " + session.conversion;
    // The kerma as the settings always wrote it (a double's digits).
    if (line.kerma) report.settings += "; kerma " + FloatToStr(static_cast<double>(*line.kerma)) + " uGy";
    if (session.refusal) report.message = RefusalText({*session.refusal}).toStdString();
    return report;
}

// Measures and writes the result; `report` keeps it for the drawn files.
int RunNnps(const NoiseSettings& line, const std::vector<std::string>& files, std::ostream& out,
            const std::string& format, NnpsReport& report)
{
    report = ReportOf(MeasureNnpsFiles(files, line), line);
    WriteNnps(out, format, report);
    if (!report.message.empty()) PrintFailure(QString::fromStdString(report.message));
    return report.session.result ? 0 : 1;
}

// The kerma of each file from a CSV of "file,kerma" lines (a header line
// and lines whose kerma is no number are skipped); a file is found by its
// path as given or by its name alone.
std::map<std::string, double> ReadKermas(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(path, bytes)) ThrowCannotOpen(path);
    std::map<std::string, double> kermas;
    for (const std::string& l : SplitTextLines(std::string(bytes.begin(), bytes.end()))) {
        const std::size_t comma = l.rfind(',');
        if (comma == std::string::npos) continue;
        std::string name = l.substr(0, comma);
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        try {
            kermas[name] = static_cast<double>(StrToFloat(l.substr(comma + 1)));
        } catch (const Failure&) {
        }
    }
    return kermas;
}

// Measures and writes the text file; `fit` and `qa` (the first file's) keep
// what the report draws, `fit` empty when refused.
int RunConversion(const NoiseSettings& line, const std::vector<std::string>& files, std::ostream& out,
                  std::optional<ConversionFit>& fit, DicomQaFields& qa)
{
    try {
        const std::map<std::string, double> kermas = ReadKermas(*line.kermaFile);
        std::vector<ConversionSample> samples;
        for (const std::string& file : files) {
            auto found = kermas.find(file);
            if (found == kermas.end()) found = kermas.find(std::filesystem::path(file).filename().string());
            if (found == kermas.end()) ThrowFailure(FailureCode::kConversionNoKerma, {file, *line.kermaFile});
            const LoadedNoiseImage l = LoadNoiseImage(file, line);
            if (samples.empty()) qa = l.qa;
            samples.push_back(
                {found->second,
                 CentralMeanValue(l.values.data(), l.image.columns, l.image.rows, l.image.dx, l.image.dy),
                 file});
        }
        fit = FitConversion(samples);
        out << ConversionFileText(*fit);
        return 0;
    } catch (const Failure& failure) {
        PrintFailure(QString::fromStdString(Text(failure)));
        return 1;
    }
}

// nnps and conversion: their files read together into one result; nnps
// also draws --report and --nnps-image, conversion --report.
int RunNoise(const ParsedCommand& line, bool conversionMeasurement, WriteNnpsFile writeReport = nullptr,
             WriteNnpsFile writeImage = nullptr, WriteConversionReport writeConversionReport = nullptr)
{
    std::optional<std::vector<std::string>> written = OutputFiles(line.output, line.report);
    if (!written) return 2;
    if (line.nnpsImage) {
        for (const std::string& other : *written)
            if (SameFile(other, *line.nnpsImage)) {
                PrintUsageError(UsageText(UsageProblem::kBadValue, {"--nnps-image", *line.nnpsImage}));
                return 2;
            }
        written->push_back(*line.nnpsImage);
    }
    const std::vector<std::string> files = ExpandInputs(line.inputs, *written, true);
    if (!OutputsAllowed(*written, files)) return 2;
    // --output is gathered whole and replaces the file only when complete.
    std::ostringstream file;
    std::ostream& out = line.output ? static_cast<std::ostream&>(file) : std::cout;
    const ReportFormat format = line.format.value_or(
        !line.output && isatty(STDOUT_FILENO) ? ReportFormat::kTable : ReportFormat::kCsv);
    const std::string formatName = format == ReportFormat::kJson  ? "json"
                                   : format == ReportFormat::kCsv ? "csv"
                                                                  : "table";
    NnpsReport report;
    std::optional<ConversionFit> fit;
    DicomQaFields qa;
    const int exitCode = conversionMeasurement ? RunConversion(line.noise, files, out, fit, qa)
                                               : RunNnps(line.noise, files, out, formatName, report);
    const bool delivered = DeliverOutputs(line.output, file.str(), [&] {
        if (conversionMeasurement) {
            // A refusal has been said and leaves no page.
            if (line.report && fit)
                writeConversionReport(QString::fromStdString(*line.report),
                                      MakeConversionReportData(*fit, qa, line.notes));
            return;
        }
        if (!line.report && !line.nnpsImage) return;
        const NnpsReportData data = MakeNnpsReportData(report.session, line.noise, line.notes);
        if (line.report) writeReport(QString::fromStdString(*line.report), data);
        // Without a spectrum there is no image; the refusal has been said.
        if (line.nnpsImage && report.session.result)
            writeImage(QString::fromStdString(*line.nnpsImage), data);
    });
    return delivered ? exitCode : 1;
}

}  // namespace

std::string NnpsResultText(const NnpsSession& session, const NoiseSettings& settings,
                           const std::string& format)
{
    std::ostringstream out;
    WriteNnps(out, format, ReportOf(session, settings));
    return out.str();
}

void CheckNnpsOptions(ParsedCommand& command)
{
    CheckNoiseOptions(command, {"--conversion", "--kerma", "--report", "--nnps-image", "--institution",
                                "--operator", "--note"});
}

void CheckConversionOptions(ParsedCommand& command)
{
    CheckNoiseOptions(command, {"--kerma-file", "--report", "--institution", "--operator", "--note"});
    if (!command.noise.kermaFile) Usage(UsageProblem::kMissingValue, {"--kerma-file"});
}

int RunNnpsCommand(const ParsedCommand& command, WriteNnpsFile writeReport, WriteNnpsFile writeImage)
{
    return RunNoise(command, false, writeReport, writeImage);
}

int RunConversionCommand(const ParsedCommand& command, WriteConversionReport writeReport)
{
    return RunNoise(command, true, nullptr, nullptr, writeReport);
}

}  // namespace radmtf
