// The command line's output: one report per measured file, written as CSV,
// JSON or an aligned table, in a schema that scripts can rely on.
//
// The columns are tables of name and value, so a new setting or a new
// per-file result is one line in report.cpp, in every format at once.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "measure/measurement.h"
#include "measure/settings.h"

namespace radmtf {

struct FileReport {
    std::string file;
    FileStamp source;  // the version of the file measured; empty when failed
    MeasureMethod method = MeasureMethod::kSlit;
    bool ok = false;
    std::string message;       // the failure's text; empty when ok
    std::string failedMark;    // a failed file's mtf_display ("failed: MESSAGE")
    MeasureSettings settings;  // as used when ok, as asked when failed
    std::vector<MtfPoint> points;
    std::optional<double> edgeAngle;  // the edge method's angle (degrees)
    // The curve the summary reads (MeasureResult::summaryCurve); empty: the points.
    std::vector<std::pair<double, double>> summaryCurve;
    std::string pixelSpacingSource;     // "imager", "pixel" or "option"; empty when failed
    std::vector<std::string> warnings;  // the texts of the measurement's warnings
    // An edge found in the image (no ROI typed): "vertical" or "horizontal",
    // and its number among the file's edges from 1.
    std::string edgeDirection;
    std::optional<std::int32_t> edgeIndex;
    // The fitted polynomial (MeasureResult::fit): c0 .. cn through the
    // measured points up to `fitUpTo` cycles/mm. Empty coefficients: no fit.
    std::vector<double> fitCoefficients;
    double fitUpTo = 0.0;
};

enum class ReportFormat { kCsv, kJson, kTable };

class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual void Begin() = 0;
    virtual void Write(const FileReport& report) = 0;
    virtual void End() = 0;
};

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, std::ostream& out);

// The column names of the CSV header line, in order.
std::vector<std::string> CsvColumns();

// A double with the fewest digits that read back as the same value.
std::string ExactNumber(double value);

// The settings a measurement used, as every output writes them: one
// (name, value) row each, named as the CSV column, the value as written
// there. The rows a report prints leave out the settings not set or not
// used by the method (empty values).
using SettingRow = std::pair<std::string, std::string>;
std::vector<SettingRow> SettingRows(const MeasureSettings& settings);
std::vector<SettingRow> SettingRows(const NoiseSettings& settings);
// The settings as one JSON object, every setting in it (null where not set).
std::string SettingsJson(const MeasureSettings& settings);
std::string SettingsJson(const NoiseSettings& settings);

}  // namespace radmtf
