#include "measure/report.h"

#include "mtf/mtf_summary.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iomanip>

#include "core/csv.h"
#include "core/json_text.h"
#include "core/numtext.h"
#include "core/printable.h"

namespace radmtf {

namespace {

// kTextList: texts joined by '\n', a JSON array, " | " between them in CSV.
enum class Kind { kInteger, kReal, kBool, kText, kTextList };

// `later`: written after the point columns in CSV (columns added since
// scripts relied on the order).
template <typename Settings>
struct Column {
    const char* name;
    Kind kind;
    std::function<std::string(const Settings&)> text;  // empty: not set
    bool later = false;
};
using SettingColumn = Column<MeasureSettings>;

std::string Int(const std::optional<std::int32_t>& value)
{
    return value ? IntToStr(*value) : std::string();
}

std::string Real(const std::optional<long double>& value)
{
    return value ? FloatToStr(*value) : std::string();
}

std::string Bool(bool value)
{
    return value ? "true" : "false";
}

// The edge method has no profile, M or fit: those settings stay empty.
bool Profiled(const MeasureSettings& s)
{
    return s.method != MeasureMethod::kEdge;
}

bool PreciseSlit(const MeasureSettings& s)
{
    return s.precise && s.method == MeasureMethod::kSlit;
}

bool Edge(const MeasureSettings& s)
{
    return s.method == MeasureMethod::kEdge;
}

std::string EdgeText(const MeasureSettings& s, long double value)
{
    return Edge(s) ? FloatToStr(value) : std::string();
}

// As RadioGroup2's item reads ("2.0"), any other frequency as a number.
std::string FitUpToText(const MeasureSettings& s)
{
    if (!s.fitUpTo) return {};
    const std::optional<int> item = FitItemOf(*s.fitUpTo);
    return item ? kFitFrequencyTexts[*item] : FloatToStr(*s.fitUpTo);
}

// The settings, one column each, in the order of the options.
const std::vector<SettingColumn>& SettingColumns()
{
    using S = const MeasureSettings&;
    static const std::vector<SettingColumn> columns = {
        {"mode", Kind::kText, [](S s) { return std::string(FormatName(s.format)); }},
        {"columns", Kind::kInteger, [](S s) { return Int(s.columns); }},
        {"rows", Kind::kInteger, [](S s) { return Int(s.rows); }},
        {"header", Kind::kInteger, [](S s) { return Int(s.header); }},
        {"offset", Kind::kInteger, [](S s) { return Int(s.offset); }},
        {"swap", Kind::kBool, [](S s) { return s.swap ? Bool(*s.swap) : std::string(); }},
        {"roi_x", Kind::kInteger, [](S s) { return s.roi ? IntToStr(s.roi->centreX) : std::string(); }},
        {"roi_y", Kind::kInteger, [](S s) { return s.roi ? IntToStr(s.roi->centreY) : std::string(); }},
        {"roi_width", Kind::kInteger, [](S s) { return s.roi ? IntToStr(s.roi->width) : std::string(); }},
        {"roi_height", Kind::kInteger, [](S s) { return s.roi ? IntToStr(s.roi->height) : std::string(); }},
        {"orientation", Kind::kInteger, [](S s) { return Profiled(s) ? IntToStr(s.orientation) : ""; }},
        {"ma_line", Kind::kInteger, [](S s) { return Profiled(s) ? IntToStr(s.maLines) : ""; }},
        {"smooth", Kind::kInteger, [](S s) { return Profiled(s) ? IntToStr(s.smoothing) : ""; }},
        {"extract", Kind::kBool, [](S s) { return Profiled(s) ? Bool(s.extract) : ""; }},
        {"pixel_spacing_mm", Kind::kReal, [](S s) { return Real(s.pixelSpacing); }},
        {"log_exposure_area", Kind::kReal, [](S s) { return FloatToStr(s.latitude); }},
        {"bits", Kind::kReal, [](S s) { return FloatToStr(s.bitsStored); }},
        {"hdc", Kind::kText, [](S s) { return s.curveFile.value_or(""); }},
        {"truncate_at", Kind::kInteger, [](S s) { return Int(s.truncateAt); }},
        {"fit_degree", Kind::kInteger, [](S s) { return Profiled(s) ? IntToStr(s.fitDegree) : ""; }},
        {"fit_up_to", Kind::kReal, [](S s) { return FitUpToText(s); }},
        {"precise", Kind::kBool, [](S s) { return Profiled(s) ? Bool(s.precise) : ""; }},
        {"slit_width_mm", Kind::kReal,
         [](S s) { return PreciseSlit(s) ? FloatToStr(s.slitWidth) : std::string(); }},
        {"lsf_range_mm", Kind::kReal,
         [](S s) { return PreciseSlit(s) || Edge(s) ? FloatToStr(s.lsfRange) : std::string(); }, true},
        {"edge_bin_px", Kind::kReal, [](S s) { return EdgeText(s, s.edge.binWidth); }, true},
        {"edge_taper", Kind::kReal, [](S s) { return EdgeText(s, s.edge.lsfTaper); }, true},
        {"edge_core_mm", Kind::kReal, [](S s) { return EdgeText(s, s.edge.coreHalfWidth); }, true},
        {"edge_cutoff_cy_per_mm", Kind::kReal, [](S s) { return EdgeText(s, s.edge.tailCutoff); }, true},
        {"edge_smoothing_cy_per_mm", Kind::kReal, [](S s) { return EdgeText(s, s.edge.smoothingInterval); },
         true},
        {"edge_adaptive", Kind::kReal, [](S s) { return EdgeText(s, s.edge.adaptiveWindow); }, true},
        {"edge_reach", Kind::kReal, [](S s) { return EdgeText(s, s.edge.reachFactor); }, true},
        {"conversion", Kind::kText, [](S s) { return s.conversion.value_or(s.curveFile ? "" : "model"); },
         true},
    };
    return columns;
}

using NoiseColumn = Column<NoiseSettings>;

// The noise methods' settings, in the order of their options.
const std::vector<NoiseColumn>& NoiseColumns()
{
    using S = const NoiseSettings&;
    static const std::vector<NoiseColumn> columns = {
        {"conversion", Kind::kText, [](S s) { return s.conversion; }},
        {"kerma_ugy", Kind::kReal, [](S s) { return Real(s.kerma); }},
        {"kerma_file", Kind::kText, [](S s) { return s.kermaFile.value_or(""); }},
        {"pixel_spacing_mm", Kind::kReal, [](S s) { return Real(s.pixelSpacing); }},
        {"log_exposure_area", Kind::kReal, [](S s) { return FloatToStr(s.latitude); }},
        {"bits", Kind::kReal, [](S s) { return FloatToStr(s.bitsStored); }},
    };
    return columns;
}

// Per-file results beside the points: a name and the value's text for a
// measured file, empty where there is none.
struct ResultColumn {
    const char* name;
    Kind kind;
    std::function<std::string(const FileReport&)> text;
    bool later = false;  // written last in CSV, as Column::later
};

std::string Optional(const std::optional<double>& value)
{
    return value ? ExactNumber(*value) : std::string();
}

MtfSummary Summary(const FileReport& report)
{
    if (!report.summaryCurve.empty())
        return SummarizeMtf(report.summaryCurve,
                            static_cast<double>(report.settings.pixelSpacing.value_or(0.0L)));
    std::vector<CurvePoint> curve;
    curve.reserve(report.points.size());
    for (const MtfPoint& point : report.points)
        if (!point.notFound) curve.emplace_back(point.frequency, point.value);
    return SummarizeMtf(curve, static_cast<double>(report.settings.pixelSpacing.value_or(0.0L)));
}

const std::vector<ResultColumn>& ResultColumns()
{
    using R = const FileReport&;
    static const std::vector<ResultColumn> columns = {
        {"mtf50_cy_per_mm", Kind::kReal, [](R r) { return Optional(Summary(r).mtf50); }},
        {"mtf10_cy_per_mm", Kind::kReal, [](R r) { return Optional(Summary(r).mtf10); }},
        {"mtf_nyquist", Kind::kReal, [](R r) { return Optional(Summary(r).atNyquist); }},
        {"edge_angle_deg", Kind::kReal, [](R r) { return Optional(r.edgeAngle); }},
        {"pixel_spacing_source", Kind::kText, [](R r) { return r.pixelSpacingSource; }},
        {"warnings", Kind::kTextList,
         [](R r) {
             std::string joined;
             for (const std::string& w : r.warnings) joined += (joined.empty() ? "" : "\n") + w;
             return joined;
         }},
        {"edge_direction", Kind::kText, [](R r) { return r.edgeDirection; }},
        {"edge_index", Kind::kInteger,
         [](R r) { return r.edgeIndex ? IntToStr(*r.edgeIndex) : std::string(); }},
        {"file_size", Kind::kInteger,
         [](R r) { return r.source.modified.empty() ? std::string() : std::to_string(r.source.size); }, true},
        {"file_modified", Kind::kText, [](R r) { return r.source.modified; }, true},
    };
    return columns;
}

// Columns after the settings: what marks each point.
std::string Flag(bool value)
{
    return value ? "true" : "false";
}

std::string PointStatus(const MtfPoint& point)
{
    return point.notFound ? "not found" : "ok";
}

std::string PointMarks(const MtfPoint& point)
{
    std::string marks;
    const auto add = [&](bool on, const char* mark) {
        if (on) marks += std::string(marks.empty() ? "" : ", ") + mark;
    };
    add(point.notFound, "not found");
    add(point.beyondNyquist, "beyond Nyquist");
    add(point.interpolated, "interpolated");
    add(point.lowModulation, "low modulation");
    return marks;
}

std::string JsonValue(Kind kind, const std::string& text)
{
    if (kind == Kind::kTextList) {
        std::string array = "[";
        for (std::size_t start = 0; !text.empty() && start <= text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            array += (start ? ", " : "") + JsonString(text.substr(start, end - start));
            start = end + 1;
        }
        return array + "]";
    }
    if (text.empty()) return kind == Kind::kText ? "\"\"" : "null";
    return kind == Kind::kText ? JsonString(text) : text;
}

std::string JsonNumber(double value)
{
    return std::isfinite(value) ? ExactNumber(value) : "null";
}

std::string CsvText(Kind kind, std::string text)
{
    if (kind != Kind::kTextList) return text;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 3))
        text.replace(at, 1, " | ");
    return text;
}

template <typename Settings>
std::string JsonObject(const std::vector<Column<Settings>>& columns, const Settings& settings)
{
    std::string object = "{";
    for (const Column<Settings>& column : columns)
        object += std::string(object.size() > 1 ? ", " : "") + "\"" + column.name +
                  "\": " + JsonValue(column.kind, column.text(settings));
    return object + "}";
}

template <typename Settings>
std::vector<SettingRow> Rows(const std::vector<Column<Settings>>& columns, const Settings& settings)
{
    std::vector<SettingRow> rows;
    for (const Column<Settings>& column : columns)
        if (std::string value = CsvText(column.kind, column.text(settings)); !value.empty())
            rows.emplace_back(column.name, std::move(value));
    return rows;
}

// A point's fitted value, empty where the fit does not reach.
std::string FitText(const MtfPoint& point)
{
    return point.fit ? ExactNumber(*point.fit) : std::string();
}

class CsvWriter : public ReportWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) {}
    void Begin() override
    {
        const std::vector<std::string> names = CsvColumns();
        for (std::size_t i = 0; i < names.size(); ++i) out_ << (i ? "," : "") << names[i];
        out_ << "\n";
    }
    void Write(const FileReport& report) override
    {
        // The file's summary right after the six fixed columns, its settings last.
        std::string tail, later, laterResults;
        for (const ResultColumn& column : ResultColumns())
            (column.later ? laterResults : tail) +=
                "," + CsvField(report.ok ? CsvText(column.kind, column.text(report)) : std::string());
        for (const SettingColumn& column : SettingColumns())
            (column.later ? later : tail) += "," + CsvField(column.text(report.settings));
        later += laterResults;
        const std::string head = CsvField(report.file) + "," + MethodName(report.method) + ",";
        if (!report.ok) {
            // Empty frequency and value: no number that could be taken for a result.
            out_ << head << ",," << CsvField(report.failedMark) << "," << tail << ",,,,," << later << "\n";
            return;
        }
        for (const MtfPoint& point : report.points) {
            const bool valued = !point.notFound;
            out_ << head << ExactNumber(point.frequency) << "," << (valued ? ExactNumber(point.value) : "")
                 << "," << CsvField(point.display) << ","
                 << (point.uncertainty && valued ? ExactNumber(*point.uncertainty) : "") << tail << ","
                 << PointStatus(point) << "," << Flag(point.beyondNyquist) << "," << Flag(point.interpolated)
                 << "," << Flag(point.lowModulation) << "," << FitText(point) << later << "\n";
        }
        out_.flush();
    }
    void End() override { out_.flush(); }

private:
    std::ostream& out_;
};

class JsonWriter : public ReportWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    void Begin() override { out_ << "["; }
    void Write(const FileReport& report) override
    {
        out_ << (first_ ? "\n" : ",\n");
        first_ = false;
        out_ << "  {\"file\": " << JsonString(report.file) << ", \"method\": \"" << MethodName(report.method)
             << "\", \"status\": \"" << (report.ok ? "ok" : "failed")
             << "\", \"message\": " << JsonString(report.message)
             << ",\n   \"settings\": " << SettingsJson(report.settings) << ",";
        for (const ResultColumn& column : ResultColumns())
            out_ << "\n   \"" << column.name
                 << "\": " << JsonValue(column.kind, report.ok ? column.text(report) : std::string()) << ",";
        out_ << "\n   \"points\": [";
        // Only a fitted file's points carry the fit.
        const bool fitted = report.ok && !report.fitCoefficients.empty();
        for (std::size_t i = 0; i < report.points.size() && report.ok; ++i) {
            const MtfPoint& point = report.points[i];
            out_ << (i ? ",\n" : "\n") << "     {\"frequency_cy_per_mm\": " << JsonNumber(point.frequency)
                 << ", \"mtf\": " << (point.notFound ? "null" : JsonNumber(point.value))
                 << ", \"mtf_display\": " << JsonString(point.display) << ", \"u_mtf\": "
                 << (point.uncertainty && !point.notFound ? JsonNumber(*point.uncertainty) : "null")
                 << ", \"status\": " << JsonString(PointStatus(point))
                 << ", \"beyond_nyquist\": " << Flag(point.beyondNyquist)
                 << ", \"interpolated\": " << Flag(point.interpolated)
                 << ", \"low_modulation\": " << Flag(point.lowModulation);
            if (fitted) out_ << ", \"mtf_fit\": " << (point.fit ? JsonNumber(*point.fit) : "null");
            out_ << "}";
        }
        out_ << (report.ok && !report.points.empty() ? "\n   ]" : "]");
        if (fitted) {
            out_ << ",\n   \"fit\": {\"degree\": " << report.fitCoefficients.size() - 1
                 << ", \"up_to_cy_per_mm\": " << JsonNumber(report.fitUpTo) << ", \"coefficients\": [";
            for (std::size_t i = 0; i < report.fitCoefficients.size(); ++i)
                out_ << (i ? ", " : "") << JsonNumber(report.fitCoefficients[i]);
            out_ << "]}";
        }
        out_ << "}";
        out_.flush();
    }
    void End() override { out_ << (first_ ? "]\n" : "\n]\n") << std::flush; }

private:
    std::ostream& out_;
    bool first_ = true;
};

// For reading on a terminal: the file on a line of its own, then its points
// in aligned columns.
class TableWriter : public ReportWriter {
public:
    explicit TableWriter(std::ostream& out) : out_(out) {}
    void Begin() override {}
    void Write(const FileReport& report) override
    {
        out_ << PrintableText(report.file) << "  (" << MethodName(report.method) << ")\n";
        if (!report.ok) {
            out_ << "  " << PrintableText(report.failedMark) << "\n\n" << std::flush;
            return;
        }
        const bool fitted = !report.fitCoefficients.empty();
        out_ << "  " << std::setw(14) << "cycles/mm"
             << "  " << std::setw(10) << "MTF";
        if (fitted) out_ << "  " << std::setw(10) << "fit";
        out_ << "\n";
        for (const MtfPoint& point : report.points) {
            out_ << "  " << std::setw(14) << FloatToStr(point.frequency) << "  " << std::setw(10)
                 << point.display;
            if (fitted) out_ << "  " << std::setw(10) << (point.fit ? FormatFixed(*point.fit, 3) : "-");
            if (point.uncertainty && !point.notFound) out_ << "  ±" << FormatFixed(*point.uncertainty, 3);
            if (const std::string marks = PointMarks(point); !marks.empty()) out_ << "  (" << marks << ")";
            out_ << "\n";
        }
        for (const ResultColumn& column : ResultColumns()) {
            const std::string value = CsvText(column.kind, column.text(report));
            out_ << "  " << column.name << " " << (value.empty() ? "-" : value);
        }
        out_ << "\n";
        out_ << "\n" << std::flush;
    }
    void End() override { out_.flush(); }

private:
    std::ostream& out_;
};

}  // namespace

std::string ExactNumber(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::vector<std::string> CsvColumns()
{
    std::vector<std::string> names = {"file", "method", "frequency_cy_per_mm", "mtf", "mtf_display", "u_mtf"};
    for (const ResultColumn& column : ResultColumns())
        if (!column.later) names.push_back(column.name);
    for (const SettingColumn& column : SettingColumns())
        if (!column.later) names.push_back(column.name);
    for (const char* name : {"status", "beyond_nyquist", "interpolated", "low_modulation", "mtf_fit"})
        names.push_back(name);
    for (const SettingColumn& column : SettingColumns())
        if (column.later) names.push_back(column.name);
    for (const ResultColumn& column : ResultColumns())
        if (column.later) names.push_back(column.name);
    return names;
}

std::vector<SettingRow> SettingRows(const MeasureSettings& settings)
{
    return Rows(SettingColumns(), settings);
}

std::vector<SettingRow> SettingRows(const NoiseSettings& settings)
{
    return Rows(NoiseColumns(), settings);
}

std::string SettingsJson(const MeasureSettings& settings)
{
    return JsonObject(SettingColumns(), settings);
}

std::string SettingsJson(const NoiseSettings& settings)
{
    return JsonObject(NoiseColumns(), settings);
}

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, std::ostream& out)
{
    switch (format) {
        case ReportFormat::kJson:
            return std::make_unique<JsonWriter>(out);
        case ReportFormat::kTable:
            return std::make_unique<TableWriter>(out);
        default:
            return std::make_unique<CsvWriter>(out);
    }
}

}  // namespace radmtf
