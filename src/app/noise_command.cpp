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
#include "measure/report.h"
#include "nps/conversion.h"
#include "nps/nnps.h"
#include "viewer/sample_reader.h"

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

// Pixels the program cannot read as stored, decoded in the decoder process.
DicomLoad DecodeInDecoderProcess(const std::string& path, std::span<const std::uint8_t> file)
{
    DecodeOptions options;
    options.fileName = path;
    return PrepareDicomLoad(file.data(), file.size(), DicomDictionaryText(), "", options);
}

}  // namespace

LoadedNoiseImage LoadNoiseImage(const std::string& path, const NoiseSettings& line)
{
    MeasureSettings settings;
    const SourceImage source = ReadSourceImage(path, settings, [&](std::span<const std::uint8_t> file) {
        return DecodeInDecoderProcess(path, file);
    });
    LoadedNoiseImage loaded;
    loaded.qa = source.facts.qa;
    double spacing = 0.0;
    if (line.pixelSpacing) {
        spacing = static_cast<double>(*line.pixelSpacing);
    } else {
        if (!source.pixelSpacingText) ThrowFailure(FailureCode::kNoPixelSpacing);
        spacing = static_cast<double>(StrToFloat(*source.pixelSpacingText));
        if (!(spacing > 0.0)) ThrowFailure(FailureCode::kNoPixelSpacing);
    }
    const SampleReader reader{source.bytes, source.layout, source.offset, source.swap};
    const std::int32_t columns = std::max(source.layout.width, 0), rows = std::max(source.layout.height, 0);
    loaded.values.resize(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    // Row by row: the bounds are checked once per row, not per sample.
    for (std::int32_t r = 0; r < rows; ++r) {
        const ColumnRange inside = ExistingColumns(source.bytes.size(), source.layout, r);
        if (inside.first != 0 || inside.end != columns)
            ThrowFailure(FailureCode::kNoImageSize);  // a file shorter than its image
        const std::int32_t step = source.layout.BytesPerSample();
        const std::uint8_t* p = source.bytes.data() + SampleOffset(source.layout, r, 0);
        std::int32_t* row = loaded.values.data() + static_cast<std::size_t>(r) * columns;
        for (std::int32_t c = 0; c < columns; ++c, p += step) row[c] = DecodeMeasuredSample(reader, p);
    }
    CheckPixelSpacing(spacing);
    // The largest value the detector can store saturates: 2^BitsStored - 1
    // for unsigned samples, else the top of the 16-bit reading.
    std::int32_t top = source.layout.unsignedWords ? 65535 : 32767;
    if (source.layout.unsignedWords && source.facts.bitsStored && *source.facts.bitsStored >= 1 &&
        *source.facts.bitsStored <= 16)
        top = (std::int32_t{1} << *source.facts.bitsStored) - 1;
    loaded.image = {path, columns, rows, spacing, spacing, loaded.values.data(), top + source.offset};
    return loaded;
}

namespace {

std::string Text(const Failure& failure)
{
    return FailureText(failure).toStdString();
}

struct NnpsReport {
    std::vector<std::string> files;
    std::string settings;  // as the CSV and the table write them
    NoiseSettings used;    // the conversion as described, for JSON
    std::optional<NnpsResult> result;
    std::string message;  // the refusal; empty when measured
};

void WriteNnps(std::ostream& out, const std::string& format, const NnpsReport& r)
{
    const bool ok = r.result.has_value();
    std::vector<std::string> warnings;
    if (ok)
        for (const Failure& w : r.result->warnings) warnings.push_back(Text(w));
    std::string files, joinedWarnings;
    for (const std::string& f : r.files) files += (files.empty() ? "" : ";") + f;
    for (const std::string& w : warnings) joinedWarnings += (joinedWarnings.empty() ? "" : " ") + w;
    const auto number = [](double v) { return ExactNumber(v); };
    if (format == "json") {
        out << "{\"method\": \"nnps\", \"status\": " << JsonString(ok ? "ok" : "error")
            << ", \"message\": " << JsonString(r.message) << ", \"files\": [";
        for (std::size_t i = 0; i < r.files.size(); ++i) out << (i ? ", " : "") << JsonString(r.files[i]);
        out << "], \"settings\": " << SettingsJson(r.used);
        if (ok) {
            out << ", \"mean_signal\": " << number(r.result->meanSignal) << ", \"rois\": " << r.result->rois
                << ", \"pixels\": " << r.result->pixels << ", \"points\": [";
            for (std::size_t i = 0; i < r.result->points.size(); ++i) {
                const NnpsPoint& p = r.result->points[i];
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
        for (const NnpsPoint& p : r.result->points) {
            std::vector<std::string> row = head;
            row.insert(row.end(), {number(r.result->meanSignal), IntToStr(r.result->rois),
                                   IntToStr(r.result->pixels), number(p.frequency), number(p.nnpsU),
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
               .arg(r.result->meanSignal, 0, 'g', 6)
               .arg(static_cast<qlonglong>(r.result->rois))
               .arg(static_cast<qlonglong>(r.result->pixels))
               .toStdString()
        << "\n";
    char text[200];
    for (const std::string& w : warnings) out << w << "\n";
    out << "  f (cy/mm)     NNPS u (mm2)     u(NNPS u)     NNPS v (mm2)     u(NNPS v)\n";
    for (const NnpsPoint& p : r.result->points) {
        std::snprintf(text, sizeof text, "  %9.2f  %15.6e  %12.3e  %15.6e  %12.3e\n", p.frequency, p.nnpsU,
                      p.uNnpsU, p.nnpsV, p.uNnpsV);
        out << text;
    }
}

int RunNnps(const NoiseSettings& line, const std::vector<std::string>& files, std::ostream& out,
            const std::string& format)
{
    NnpsReport report;
    report.files = files;
    report.used = line;
    // The kerma as the settings always wrote it (a double's digits).
    const auto kerma = [&] { return "; kerma " + FloatToStr(static_cast<double>(*line.kerma)) + " uGy"; };
    report.settings = "conversion " + line.conversion;
    if (line.kerma) report.settings += kerma();
    try {
        const Conversion conversion = ParseConversion(line.conversion, static_cast<double>(line.latitude),
                                                      static_cast<double>(line.bitsStored));
        report.used.conversion = conversion.Describe();
        report.settings = "conversion " + conversion.Describe();
        if (line.kerma) report.settings += kerma();
        std::vector<LoadedNoiseImage> loaded;
        for (const std::string& file : report.files) {
            try {
                loaded.push_back(LoadNoiseImage(file, line));
            } catch (const Failure& failure) {
                report.message = file + ": " + Text(failure);  // the file a load failure came from
                throw;
            }
        }
        std::vector<NnpsImage> images;
        for (const LoadedNoiseImage& l : loaded) images.push_back(l.image);
        report.result = MeasureNnps(images, conversion);
    } catch (const Failure& failure) {
        if (report.message.empty()) report.message = Text(failure);
    } catch (const std::bad_alloc&) {
        report.message = FailureText(FailureCode::kOutOfMemory).toStdString();
    }
    WriteNnps(out, format, report);
    if (!report.message.empty()) PrintFailure(QString::fromStdString(report.message));
    return report.result ? 0 : 1;
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

int RunConversion(const NoiseSettings& line, const std::vector<std::string>& files, std::ostream& out)
{
    try {
        const std::map<std::string, double> kermas = ReadKermas(*line.kermaFile);
        std::vector<ConversionSample> samples;
        for (const std::string& file : files) {
            auto found = kermas.find(file);
            if (found == kermas.end()) found = kermas.find(std::filesystem::path(file).filename().string());
            if (found == kermas.end()) ThrowFailure(FailureCode::kConversionNoKerma, {file, *line.kermaFile});
            const LoadedNoiseImage l = LoadNoiseImage(file, line);
            samples.push_back(
                {found->second,
                 CentralMeanValue(l.values.data(), l.image.columns, l.image.rows, l.image.dx, l.image.dy),
                 file});
        }
        out << ConversionFileText(FitConversion(samples));
        return 0;
    } catch (const Failure& failure) {
        PrintFailure(QString::fromStdString(Text(failure)));
        return 1;
    }
}

// nnps and conversion: their files read together into one result.
int RunNoise(const ParsedCommand& line, bool conversionMeasurement)
{
    const std::vector<std::string> written = *OutputFiles(line.output, std::nullopt);
    const std::vector<std::string> files = ExpandInputs(line.inputs, written, true);
    if (!OutputsAllowed(written, files)) return 2;
    // --output is gathered whole and replaces the file only when complete.
    std::ostringstream file;
    std::ostream& out = line.output ? static_cast<std::ostream&>(file) : std::cout;
    const ReportFormat format = line.format.value_or(
        !line.output && isatty(STDOUT_FILENO) ? ReportFormat::kTable : ReportFormat::kCsv);
    const std::string formatName = format == ReportFormat::kJson  ? "json"
                                   : format == ReportFormat::kCsv ? "csv"
                                                                  : "table";
    const int exitCode = conversionMeasurement ? RunConversion(line.noise, files, out)
                                               : RunNnps(line.noise, files, out, formatName);
    return DeliverOutputs(line.output, file.str()) ? exitCode : 1;
}

}  // namespace

void CheckNnpsOptions(ParsedCommand& command)
{
    CheckNoiseOptions(command, {"--conversion", "--kerma"});
}

void CheckConversionOptions(ParsedCommand& command)
{
    CheckNoiseOptions(command, {"--kerma-file"});
    if (!command.noise.kermaFile) Usage(UsageProblem::kMissingValue, {"--kerma-file"});
}

int RunNnpsCommand(const ParsedCommand& command)
{
    return RunNoise(command, false);
}

int RunConversionCommand(const ParsedCommand& command)
{
    return RunNoise(command, true);
}

}  // namespace radmtf
