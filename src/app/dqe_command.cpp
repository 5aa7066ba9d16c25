#include "app/dqe_command.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "app/command_files.h"
#include "app/messages.h"
#include "app/noise_command.h"
#include "core/csv.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/json_text.h"
#include "core/numtext.h"
#include "core/printable.h"
#include "dqe/dqe.h"
#include "dqe/mtf_file.h"
#include "measure/report.h"
#include "nps/conversion.h"
#include "nps/nnps.h"
#include "report/report_page.h"

namespace radmtf {

namespace {

std::string Text(const Failure& failure)
{
    return FailureText(failure).toStdString();
}

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

BeamQuality QualityOf(const std::string& name)
{
    return name == "RQA3"   ? BeamQuality::kRqa3
           : name == "RQA7" ? BeamQuality::kRqa7
           : name == "RQA9" ? BeamQuality::kRqa9
                            : BeamQuality::kRqa5;
}

// Everything a run reports, filled as far as it got.
struct DqeReport {
    std::vector<std::string> flats, edges;    // as given
    std::vector<std::string> edgesU, edgesV;  // the edges used, by direction
    std::optional<std::string> mtfFileU, mtfFileV;
    std::string conversion;  // as used (Describe), else as typed
    double kerma = 0.0;
    std::string quality, snrTable;
    std::optional<double> snr2;  // --snr2
    std::optional<DqeResult> result;
    std::string message;  // the refusal (of everything or of a direction); empty when none
    std::vector<std::string> warnings;
    DicomQaFields qa;  // the first flat field's
    std::optional<Conversion> usedConversion;
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
    std::string s = "conversion " + r.conversion + "; snr table " + r.snrTable;
    if (r.snr2) s += "; snr2 " + FloatToStr(*r.snr2);
    s += "; flat " + FileList(r.flats);
    if (r.edgesU.empty() && r.edgesV.empty() && !r.edges.empty()) s += "; edge " + FileList(r.edges);
    if (!r.edgesU.empty()) s += "; edge u " + FileList(r.edgesU);
    if (!r.edgesV.empty()) s += "; edge v " + FileList(r.edgesV);
    if (r.mtfFileU) s += "; mtf u " + *r.mtfFileU;
    if (r.mtfFileV) s += "; mtf v " + *r.mtfFileV;
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
    const bool ok = r.result.has_value();
    const std::string status = ok ? "ok" : "failed";
    const std::vector<DqePoint> none;
    const std::vector<DqePoint>& points = ok ? r.result->points : none;
    const double snr2In = ok ? r.result->snr2In : NAN;
    if (format == "json") {
        out << "{\"method\": \"dqe\", \"status\": " << JsonString(status)
            << ", \"message\": " << JsonString(r.message)
            << ", \"settings\": {\"conversion\": " << JsonString(r.conversion)
            << ", \"snr_table\": " << JsonString(r.snrTable)
            << ", \"snr2\": " << (r.snr2 ? ExactNumber(*r.snr2) : "null")
            << ", \"flat_files\": " << JsonList(r.flats) << ", \"edge_files\": " << JsonList(r.edges)
            << ", \"edge_files_u\": " << JsonList(r.edgesU) << ", \"edge_files_v\": " << JsonList(r.edgesV)
            << ", \"mtf_file_u\": " << JsonOptional(r.mtfFileU)
            << ", \"mtf_file_v\": " << JsonOptional(r.mtfFileV) << "}, \"kerma_uGy\": " << JsonNumber(r.kerma)
            << ", \"quality\": " << JsonString(r.quality) << ", \"snr2_in\": " << JsonNumber(snr2In)
            << ", \"points\": [";
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
            "dqe", status, r.message, SettingsLine(r), CsvNumber(r.kerma), r.quality, CsvNumber(snr2In)};
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
    out << "DQE  " << r.quality << ", " << FloatToStr(r.kerma) << " uGy";
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

// The conversion function over the pixel values the flat fields hold (a
// decade below to a decade above their mean kerma), for the report's plot.
void SampleConversion(const Conversion& conversion, double kerma, std::vector<double>& pv,
                      std::vector<double>& k)
{
    constexpr int kSamples = 81;
    for (int i = 0; i < kSamples; ++i) {
        const double kermaAt = kerma * std::pow(10.0, -1.0 + 2.0 * i / (kSamples - 1));
        const double value = conversion.PixelValue(kermaAt);
        if (conversion.kind() == Conversion::Kind::kCurve || !std::isfinite(value)) continue;
        pv.push_back(value);
        k.push_back(kermaAt);
    }
}

QString Tr(const char* text)
{
    return QCoreApplication::translate("radmtf::Report", text);
}

DqeReportData ReportData(const DqeReport& r, const ReportNotes& notes)
{
    DqeReportData d;
    d.date = QDateTime::currentDateTime();
    d.version = QStringLiteral("radmtf " RADMTF_VERSION);
    d.qa = QaRows(r.qa, notes);
    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    for (const std::string& f : r.flats)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "平坦画像")), q(f)});
    for (const std::string& f : r.edgesU)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジ画像 u")), q(f)});
    for (const std::string& f : r.edgesV)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジ画像 v")), q(f)});
    if (r.mtfFileU)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "MTF ファイル u")), q(*r.mtfFileU)});
    if (r.mtfFileV)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "MTF ファイル v")), q(*r.mtfFileV)});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "変換関数")), q(r.conversion)});
    d.settings.append(
        {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "空気カーマ K (µGy)")), q(FloatToStr(r.kerma))});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "線質")), q(r.quality)});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "SNR²_in の表の版")), q(r.snrTable)});
    if (r.snr2) d.settings.append({QStringLiteral("--snr2"), q(FloatToStr(*r.snr2))});
    if (r.result) {
        d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "SNR²_in (1/(mm² µGy))")),
                           q(FloatToStr(r.result->snr2In))});
        d.settings.append(
            {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "q = K SNR²_in (1/mm²)")), q(FloatToStr(r.result->q))});
        if (r.usedConversion) SampleConversion(*r.usedConversion, r.kerma, d.conversionPv, d.conversionKerma);
        for (const DqePoint& p : r.result->points) {
            d.frequency.push_back(p.frequency);
            d.mtfU.push_back(p.mtfU);
            d.mtfV.push_back(p.mtfV);
            d.nnpsU.push_back(p.nnpsU);
            d.nnpsV.push_back(p.nnpsV);
            d.dqeU.push_back(p.dqeU);
            d.dqeV.push_back(p.dqeV);
            d.uDqeU.push_back(p.uDqeU);
            d.uDqeV.push_back(p.uDqeV);
        }
    } else {
        d.failure = q(r.message);
    }
    if (r.result && !r.message.empty()) d.messages.append(q(r.message));
    for (const std::string& w : r.warnings) d.messages.append(q(w));
    return d;
}

// The run as far as it goes: a Failure leaves `report.message` saying why.
void Characterise(const ParsedCommand& line, DqeReport& report)
{
    const NoiseSettings& noise = line.noise;
    const Conversion conversion = ParseConversion(noise.conversion, static_cast<double>(noise.latitude),
                                                  static_cast<double>(noise.bitsStored));
    report.usedConversion = conversion;
    report.conversion = conversion.Describe();
    const auto load = [&](const std::string& file) {
        try {
            return LoadNoiseImage(file, noise);
        } catch (const Failure& failure) {
            report.message = file + ": " + Text(failure);  // the file a load failure came from
            throw;
        }
    };
    std::vector<LoadedNoiseImage> flats;
    for (const std::string& file : report.flats) flats.push_back(load(file));
    if (!flats.empty()) report.qa = flats.front().qa;
    std::vector<NnpsImage> flatImages;
    for (const LoadedNoiseImage& l : flats) flatImages.push_back(l.image);
    const NnpsResult nnps = MeasureNnps(flatImages, conversion);

    // Each edge image's direction decides which MTF it gives.
    std::vector<LoadedNoiseImage> edgeImages;
    std::vector<DqeEdgeImage> edgesU, edgesV;
    for (const std::string& file : report.edges) {
        edgeImages.push_back(load(file));
        const std::optional<bool> vertical = EdgeRunsAlongColumns(edgeImages.back().image);
        if (!vertical) {
            report.message = file + ": " + Text(Failure(FailureCode::kEdgeNotFound));
            ThrowFailure(FailureCode::kEdgeNotFound);
        }
        const std::optional<std::string>& mtfFile = *vertical ? report.mtfFileU : report.mtfFileV;
        if (mtfFile) {
            report.warnings.push_back(
                FailureText(FailureCode::kDqeEdgeUnused, {*vertical ? "u" : "v", *mtfFile, file})
                    .toStdString());
            continue;
        }
        (*vertical ? report.edgesU : report.edgesV).push_back(file);
        (*vertical ? edgesU : edgesV).push_back({edgeImages.back().image});
    }
    std::optional<MtfCurve> u, v;
    if (report.mtfFileU) u = ReadMtfFile(*report.mtfFileU);
    if (report.mtfFileV) v = ReadMtfFile(*report.mtfFileV);
    if (!edgesU.empty()) u = EdgeMtfCurve(MeasureEdgeMtf(edgesU, conversion, false));
    if (!edgesV.empty()) v = EdgeMtfCurve(MeasureEdgeMtf(edgesV, conversion, true));
    if (!u && !v) {
        for (const Failure& w : nnps.warnings) report.warnings.push_back(Text(w));
        report.message =
            Text(Failure(FailureCode::kDqeNoMtf, {"u"})) + " " + Text(Failure(FailureCode::kDqeNoMtf, {"v"}));
        return;
    }

    DqeSettings settings;
    settings.edition = report.snrTable == "2003" ? DqeEdition::k2003 : DqeEdition::k2015;
    settings.quality = QualityOf(report.quality);
    if (report.snr2) {
        settings.quality = BeamQuality::kOther;
        settings.userSnr2 = *report.snr2;
    }
    settings.kerma = report.kerma;
    DqeResult result = ComputeDqe(nnps, u ? &*u : nullptr, v ? &*v : nullptr, settings);
    const NnpsImage& flat = flatImages.front();
    for (const auto* set : {&edgesU, &edgesV})
        for (const DqeEdgeImage& e : *set)
            if (e.image.columns != flat.columns || e.image.rows != flat.rows || e.image.dx != flat.dx ||
                e.image.dy != flat.dy)
                result.warnings.emplace_back(FailureCode::kDqeImagesDiffer,
                                             std::vector<std::string>{e.image.name});
    for (const std::optional<Failure>& refused : {result.refusedU, result.refusedV})
        if (refused) report.message += (report.message.empty() ? "" : " ") + Text(*refused);
    for (const Failure& w : result.warnings) report.warnings.push_back(Text(w));
    report.result = std::move(result);
}

}  // namespace

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
    DqeReport report;
    report.flats = ExpandInputs(line.dqe.flats, *written, true);
    report.edges = ExpandInputs(line.dqe.edges, *written, true);
    report.mtfFileU = line.dqe.mtfU;
    report.mtfFileV = line.dqe.mtfV;
    report.conversion = line.noise.conversion;
    report.kerma = static_cast<double>(*line.noise.kerma);
    report.quality = *line.dqe.quality;
    report.snrTable = line.dqe.snrTable;
    if (line.dqe.snr2) report.snr2 = static_cast<double>(*line.dqe.snr2);
    std::vector<std::string> read = report.flats;
    read.insert(read.end(), report.edges.begin(), report.edges.end());
    for (const auto& f : {report.mtfFileU, report.mtfFileV})
        if (f) read.push_back(*f);
    if (!OutputsAllowed(*written, read)) return 2;
    try {
        Characterise(line, report);
    } catch (const Failure& failure) {
        if (report.message.empty()) report.message = Text(failure);
        report.result.reset();
    } catch (const std::bad_alloc&) {
        report.message = FailureText(FailureCode::kOutOfMemory).toStdString();
        report.result.reset();
    }
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
        if (line.report) writeReport(QString::fromStdString(*line.report), ReportData(report, line.notes));
    });
    if (!delivered) return 1;
    return report.result ? 0 : 1;
}

}  // namespace radmtf
