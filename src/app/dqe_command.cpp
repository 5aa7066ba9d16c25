#include "app/dqe_command.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>

#include "app/command_files.h"
#include "app/messages.h"
#include "core/csv.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/json_text.h"
#include "core/numtext.h"
#include "core/printable.h"
#include "dqe/dqe.h"
#include "dqe/mtf_file.h"
#include "measure/noise_session.h"
#include "measure/report.h"
#include "nps/conversion.h"
#include "nps/nnps.h"
#include "report/noise_report_data.h"

namespace radmtf {

namespace {

// Unknown values (a refused direction, an MTF that does not reach) are
// empty in the CSV and the table, null in JSON.
std::string CsvNumber(double v)
{
    return std::isfinite(v) ? ExactNumber(v) : "";
}
std::string JsonNumber(double v)
{
    return std::isfinite(v) ? ExactNumber(v) : "null";
}

// Everything a run reports, filled as far as it got.
struct DqeReport {
    DqeSession s;
    std::vector<std::string> edges;  // as given
    std::string message;             // the refusal (of everything or of a direction); empty when none
    std::vector<std::string> warnings;
};

std::string FileList(const std::vector<std::string>& files)
{
    std::string joined;
    for (const std::string& f : files) joined += (joined.empty() ? "" : ";") + f;
    return joined;
}

// The settings as one line of text (CSV and table).
std::string SettingsLine(const DqeReport& r)
{
    const DqeInputs& in = r.s.inputs;
    std::string s = "conversion " + r.s.conversion + "; snr table " + in.snrTable;
    if (in.snr2) s += "; snr2 " + FloatToStr(*in.snr2);
    s += "; flat " + FileList(in.flats);
    if (r.s.edgesU.empty() && r.s.edgesV.empty() && !r.edges.empty()) s += "; edge " + FileList(r.edges);
    if (!r.s.edgesU.empty()) s += "; edge u " + FileList(r.s.edgesU);
    if (!r.s.edgesV.empty()) s += "; edge v " + FileList(r.s.edgesV);
    if (in.mtfFileU) s += "; mtf u " + *in.mtfFileU;
    if (in.mtfFileV) s += "; mtf v " + *in.mtfFileV;
    if (in.mtfCurveU) s += "; mtf u analysis window " + in.mtfCurveU->source;
    if (in.mtfCurveV) s += "; mtf v analysis window " + in.mtfCurveV->source;
    return s;
}

std::string JsonList(const std::vector<std::string>& items)
{
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + JsonString(items[i]);
    return text + "]";
}

std::string JsonOptional(const std::optional<std::string>& text)
{
    return text ? JsonString(*text) : "null";
}

void WriteDqe(std::ostream& out, const std::string& format, const DqeReport& r)
{
    const std::optional<DqeResult>& result = r.s.result;
    const DqeInputs& in = r.s.inputs;
    const bool ok = result.has_value();
    const std::string status = ok ? "ok" : "failed";
    const std::vector<DqePoint> none;
    const std::vector<DqePoint>& points = ok ? result->points : none;
    const double snr2In = ok ? result->snr2In : NAN;
    if (format == "json") {
        out << "{\"method\": \"dqe\", \"status\": " << JsonString(status)
            << ", \"message\": " << JsonString(r.message)
            << ", \"settings\": {\"conversion\": " << JsonString(r.s.conversion)
            << ", \"snr_table\": " << JsonString(in.snrTable)
            << ", \"snr2\": " << (in.snr2 ? ExactNumber(*in.snr2) : "null")
            << ", \"flat_files\": " << JsonList(in.flats) << ", \"edge_files\": " << JsonList(r.edges)
            << ", \"edge_files_u\": " << JsonList(r.s.edgesU)
            << ", \"edge_files_v\": " << JsonList(r.s.edgesV)
            << ", \"mtf_file_u\": " << JsonOptional(in.mtfFileU)
            << ", \"mtf_file_v\": " << JsonOptional(in.mtfFileV)
            << "}, \"kerma_uGy\": " << JsonNumber(r.s.kerma) << ", \"quality\": " << JsonString(in.quality)
            << ", \"snr2_in\": " << JsonNumber(snr2In) << ", \"points\": [";
        for (std::size_t i = 0; i < points.size(); ++i) {
            const DqePoint& p = points[i];
            out << (i ? ", " : "") << "{\"frequency_cy_per_mm\": " << JsonNumber(p.frequency)
                << ", \"mtf_u\": " << JsonNumber(p.mtfU) << ", \"mtf_v\": " << JsonNumber(p.mtfV)
                << ", \"nnps_u\": " << JsonNumber(p.nnpsU) << ", \"nnps_v\": " << JsonNumber(p.nnpsV)
                << ", \"dqe_u\": " << JsonNumber(p.dqeU) << ", \"dqe_v\": " << JsonNumber(p.dqeV)
                << ", \"u_dqe_u\": " << JsonNumber(p.uDqeU) << ", \"u_dqe_v\": " << JsonNumber(p.uDqeV)
                << "}";
        }
        out << "], \"warnings\": " << JsonList(r.warnings) << "}\n";
        return;
    }
    std::string joinedWarnings;
    for (const std::string& w : r.warnings) joinedWarnings += (joinedWarnings.empty() ? "" : " ") + w;
    if (format == "csv") {
        out << CsvLine({"method", "status", "message", "settings", "kerma_uGy", "quality", "snr2_in",
                        "frequency_cy_per_mm", "mtf_u", "mtf_v", "nnps_u", "nnps_v", "dqe_u", "dqe_v",
                        "u_dqe_u", "u_dqe_v", "warnings"});
        const std::vector<std::string> head = {
            "dqe", status, r.message, SettingsLine(r), CsvNumber(r.s.kerma), in.quality, CsvNumber(snr2In)};
        if (points.empty()) {
            std::vector<std::string> row = head;
            row.insert(row.end(), {"", "", "", "", "", "", "", "", "", joinedWarnings});
            out << CsvLine(row);
        }
        for (const DqePoint& p : points) {
            std::vector<std::string> row = head;
            row.insert(row.end(),
                       {CsvNumber(p.frequency), CsvNumber(p.mtfU), CsvNumber(p.mtfV), CsvNumber(p.nnpsU),
                        CsvNumber(p.nnpsV), CsvNumber(p.dqeU), CsvNumber(p.dqeV), CsvNumber(p.uDqeU),
                        CsvNumber(p.uDqeV), joinedWarnings});
            out << CsvLine(row);
        }
        return;
    }
    out << "DQE  " << in.quality << ", " << FloatToStr(r.s.kerma) << " uGy";
    if (ok) out << ", SNR2_in " << FloatToStr(snr2In) << " /(mm2 uGy)";
    out << "\n" << SettingsLine(r) << "\n";
    if (!r.message.empty()) out << r.message << "\n";
    for (const std::string& w : r.warnings) out << w << "\n";
    if (!ok) return;
    out << "  f (cy/mm)   MTF u   MTF v    NNPS u (mm2)    NNPS v (mm2)   DQE u  u(DQE u)   DQE v  u(DQE "
           "v)\n";
    const auto fixed = [](double v, int width, int digits) {
        char text[40];
        if (std::isfinite(v))
            std::snprintf(text, sizeof text, "%*.*f", width, digits, v);
        else
            std::snprintf(text, sizeof text, "%*s", width, "-");
        return std::string(text);
    };
    char line[200];
    for (const DqePoint& p : points) {
        std::snprintf(line, sizeof line, "  %9.2f %s %s  %14.6e  %14.6e %s %s %s %s\n", p.frequency,
                      fixed(p.mtfU, 7, 4).c_str(), fixed(p.mtfV, 7, 4).c_str(), p.nnpsU, p.nnpsV,
                      fixed(p.dqeU, 7, 4).c_str(), fixed(p.uDqeU, 9, 4).c_str(), fixed(p.dqeV, 7, 4).c_str(),
                      fixed(p.uDqeV, 9, 4).c_str());
        out << line;
    }
}

DqeReport ReportOf(DqeSession session)
{
    DqeReport report;
    report.s = std::move(session);
    report.edges = report.s.inputs.edges;
    report.message = RefusalText(report.s.refusals).toStdString();
    for (const QString& w : FailureTexts(report.s.warnings)) report.warnings.push_back(w.toStdString());
    return report;
}

}  // namespace

std::string DqeResultText(const DqeSession& session, const std::string& format)
{
    std::ostringstream out;
    WriteDqe(out, format, ReportOf(session));
    return out.str();
}

void CheckDqeOptions(ParsedCommand& command)
{
    AcceptOnly(command, {"--flat", "--edge", "--kerma", "--quality", "--snr-table", "--snr2", "--conversion",
                         "--mtf-u", "--mtf-v", "--pixel-spacing", "--log-exposure-area", "--bits", "--output",
                         "--format", "--report", "--institution", "--operator", "--note", "--lang"});
    NoiseSettings& noise = command.noise;
    noise.pixelSpacing = command.settings.pixelSpacing;
    noise.latitude = command.settings.latitude;
    noise.bitsStored = command.settings.bitsStored;
    // Arguments after the options are flat fields too (--flat a b c).
    DqeOptions& dqe = command.dqe;
    dqe.flats.insert(dqe.flats.end(), command.inputs.begin(), command.inputs.end());
    if (dqe.flats.empty()) Usage(UsageProblem::kNoInput);
    if (!noise.kerma) Usage(UsageProblem::kMissingValue, {"--kerma"});
    if (!dqe.quality) Usage(UsageProblem::kMissingValue, {"--quality"});
}

int RunDqeCommand(const ParsedCommand& line, WriteDqeReport writeReport)
{
    const std::optional<std::vector<std::string>> written = OutputFiles(line.output, line.report);
    if (!written) return 2;
    DqeInputs inputs;
    inputs.flats = ExpandInputs(line.dqe.flats, *written, true);
    inputs.edges = ExpandInputs(line.dqe.edges, *written, true);
    inputs.mtfFileU = line.dqe.mtfU;
    inputs.mtfFileV = line.dqe.mtfV;
    inputs.quality = *line.dqe.quality;
    inputs.snrTable = line.dqe.snrTable;
    if (line.dqe.snr2) inputs.snr2 = static_cast<double>(*line.dqe.snr2);
    std::vector<std::string> read = inputs.flats;
    read.insert(read.end(), inputs.edges.begin(), inputs.edges.end());
    for (const auto& f : {inputs.mtfFileU, inputs.mtfFileV})
        if (f) read.push_back(*f);
    if (!OutputsAllowed(*written, read)) return 2;
    const DqeReport report = ReportOf(MeasureDqeFiles(inputs, line.noise));
    // --output is gathered whole and replaces the file only when complete.
    std::ostringstream file;
    std::ostream& out = line.output ? static_cast<std::ostream&>(file) : std::cout;
    const ReportFormat format = line.format.value_or(
        !line.output && isatty(STDOUT_FILENO) ? ReportFormat::kTable : ReportFormat::kCsv);
    WriteDqe(out,
             format == ReportFormat::kJson  ? "json"
             : format == ReportFormat::kCsv ? "csv"
                                            : "table",
             report);
    for (const std::string& w : report.warnings) PrintFailure(QString::fromStdString(w));
    if (!report.message.empty()) PrintFailure(QString::fromStdString(report.message));
    const bool delivered = DeliverOutputs(line.output, file.str(), [&] {
        if (line.report)
            writeReport(QString::fromStdString(*line.report), MakeDqeReportData(report.s, line.notes));
    });
    if (!delivered) return 1;
    return report.s.result ? 0 : 1;
}

}  // namespace radmtf
