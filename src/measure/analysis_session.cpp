#include "measure/analysis_session.h"

#include <algorithm>
#include <limits>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "core/text_lines.h"
#include "measure/precise_steps.h"
#include "precise/mtf_points.h"

namespace radmtf {

namespace {

// The text after the TAB of a memo line "frequency<TAB>value".
std::string ValueText(const std::string& line)
{
    const std::size_t tab = line.find('\t');
    return tab == std::string::npos ? std::string() : line.substr(tab + 1);
}

std::vector<MtfPoint> ListedPoints(const std::vector<std::pair<double, double>>& points,
                                   const std::vector<std::string>& listing)
{
    std::vector<MtfPoint> result;
    result.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        result.push_back({points[i].first, points[i].second, i < listing.size() ? ValueText(listing[i]) : "",
                          std::nullopt});
    return result;
}

std::vector<CurvePoint> CurveOf(const std::vector<MtfPoint>& points)
{
    std::vector<CurvePoint> curve;
    curve.reserve(points.size());
    for (const MtfPoint& p : points) curve.emplace_back(p.frequency, p.value);
    return curve;
}

std::vector<CurvePoint> CurveOf(const std::vector<PreciseMtfPoint>& points)
{
    std::vector<CurvePoint> curve;
    curve.reserve(points.size());
    for (const PreciseMtfPoint& p : points) curve.emplace_back(p.frequency, p.mtf);
    return curve;
}

constexpr double kChartGroupFrequencies[] = {0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6};

// Every bar group listed, those not found without a value, each marked when
// its bars lie beyond the Nyquist frequency (they alias) or its modulation
// is too low to measure.
void MarkChartPoints(std::vector<MtfPoint>& points, long double pixelSpacing)
{
    for (const double f : kChartGroupFrequencies)
        if (std::none_of(points.begin(), points.end(), [&](const MtfPoint& p) { return p.frequency == f; })) {
            MtfPoint missing{f, std::numeric_limits<double>::quiet_NaN(), "", std::nullopt};
            missing.notFound = true;
            points.push_back(std::move(missing));
        }
    std::stable_sort(points.begin(), points.end(),
                     [](const MtfPoint& a, const MtfPoint& b) { return a.frequency < b.frequency; });
    for (MtfPoint& point : points) {
        const ChartGroupMarks marks = MarkChartGroup(point.frequency, point.value, pixelSpacing);
        point.beyondNyquist = marks.beyondNyquist;
        point.lowModulation = !point.notFound && marks.lowModulation;
    }
}

// The summary's pixel spacing: an entry that is no number gives none (no
// Nyquist figures) rather than a second failure.
double SummarySpacing(const Entered<long double>& pixelSpacing)
{
    return static_cast<double>(pixelSpacing.valueOr(0.0L));
}

// A table that is not read (an 8-bit image's) keeps the values of the table
// before it where the two overlap, as the window's grid always kept them.
void KeepCells(const PixelTable& before, PixelTable& table)
{
    const std::size_t n = std::size_t(table.columns) * std::size_t(table.rows);
    table.values.assign(n, 0);
    table.kept.assign(n, 0);
    const PixelTableView old = before.View();
    for (std::int64_t r = 0; r < std::min(table.rows, before.rows); ++r)
        for (std::int64_t c = 0; c < std::min(table.columns, before.columns); ++c)
            if (const std::optional<std::int32_t> value = old.cell(int(c) + 1, int(r) + 1)) {
                const std::size_t i = std::size_t(r) * std::size_t(table.columns) + std::size_t(c);
                table.values[i] = *value;
                table.kept[i] = 1;
            }
}

}  // namespace

CurveFile ReadCurveFile(const std::string& path)
{
    CurveFile curve;
    curve.path = path;
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(path, bytes)) ThrowCannotOpen(path);
    curve.lines = SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return curve;
}

void AnalysisSession::Reset()
{
    table_ = PixelTable{};
    ResetProfileState(profile_);
    mtf_ = MtfState{};
}

void AnalysisSession::TakeTable(PixelTable table, std::int32_t left, std::int32_t top,
                                MeasurementRecord source)
{
    if (!table.filled) KeepCells(table_, table);
    table_ = std::move(table);
    left_ = left;
    top_ = top;
    source_ = std::move(source);
    steps_ = source_.settings;
    estimate_.reset();
    lastRecord_.reset();
}

// ------------------------------------------------------------ profile

std::optional<LineGeometry> AnalysisSession::GeometryWarning(ProfileOrientation orientation,
                                                             std::int32_t maLines) const
{
    if (estimate_ && GeometryDisagrees(*estimate_, orientation, maLines)) return estimate_;
    return std::nullopt;
}

void AnalysisSession::BuildProfile(ProfileOrientation orientation, std::int32_t maLines)
{
    BuildCompositeProfile(profile_, orientation, maLines, table_.View());
    steps_.orientation = static_cast<int>(orientation);
    steps_.maLines = maLines;
    steps_.extract = false;
}

void AnalysisSession::SetSampleSpacing(const Entered<long double>& pixelSpacing,
                                       const Entered<long double>& maLines)
{
    const long double p = pixelSpacing.get();
    const long double m = maLines.get();
    profile_.sampleSpacing = SampleSpacing(p, m);
    sampleSpacingFrom_ = p;
}

std::vector<ChartPoint> AnalysisSession::Smooth(std::int32_t width)
{
    SmoothProfile(profile_, width);
    steps_.pixelSpacing = sampleSpacingFrom_;
    steps_.smoothing = width;
    return ProfileSeries(profile_);
}

ExtractionOutput AnalysisSession::Extract(const Entered<long double>& pixelSpacing,
                                          const Entered<long double>& maLines)
{
    // A spacing that cannot be read leaves the cuts made.
    CutFlatEnds(profile_);
    const long double p = pixelSpacing.get();
    const long double m = maLines.get();
    HalveProfile(profile_, SampleSpacing(p, m));
    steps_.extract = true;
    return ExtractionListing(profile_);
}

std::vector<ChartPoint> AnalysisSession::ToExposure(const ExposureEntry& entry)
{
    if (entry.curve) {
        const CurveFile& curve = entry.curve->get();
        std::vector<ChartPoint> points = ConvertToExposureByCurve(profile_, curve.lines, curve.path);
        RecordExposure(entry, steps_);
        return points;
    }
    CheckProfileState(profile_);
    RequireProfile(profile_);
    // The count is set before the conversion's numbers are taken: one that cannot
    // be read leaves it set and the exposures as they were.
    profile_.exposureCount = profile_.profileCount;
    std::vector<ChartPoint> points = ConvertToExposure(profile_, entry.conversion.get());
    RecordExposure(entry, steps_);
    return points;
}

void AnalysisSession::ClearProfile()
{
    ClearProfileData(profile_);
}

// ------------------------------------------------------------ LSF tails

PickOutput AnalysisSession::PickTail(int index) const
{
    return PickTailStart(profile_, index);
}

void AnalysisSession::Truncate(const Entered<std::int32_t>& start, const Entered<long double>& level,
                               TruncationOutput& out)
{
    RunTruncation(profile_, mtf_, TruncationReads{[&] { return start.get(); }, [&] { return level.get(); }},
                  out);
}

// ------------------------------------------------------------ traditional methods

SlitMtfOutput AnalysisSession::SlitMtf(const Entered<long double>& pixelSpacing)
{
    SlitMtfOutput out;
    RunSlitMethod(profile_, mtf_, out.slit);
    if (!out.slit.written) return out;
    out.points = ListedPoints(out.slit.points, out.slit.listing);
    // The MTF at Nyquist measured there, not read between bins.
    if (const auto nyquist = SlitNyquistPoint(profile_, pixelSpacing.valueOr(0.0L))) {
        const auto at = std::lower_bound(out.points.begin(), out.points.end(), nyquist->first,
                                         [](const MtfPoint& p, double f) { return p.frequency < f; });
        if (at == out.points.end() || at->frequency != nyquist->first)
            out.points.insert(at, MtfPoint{nyquist->first, nyquist->second,
                                           FloatToStr(static_cast<double>(Round(
                                                          static_cast<long double>(nyquist->second) * 1000)) /
                                                      1000.0),
                                           std::nullopt});
    }
    out.summaryPoints = CurveOf(out.points);
    out.summary = SummarizeMtf(out.summaryPoints, SummarySpacing(pixelSpacing));
    MeasureSettings used = steps_;
    used.method = MeasureMethod::kSlit;
    Record(used, out);
    return out;
}

void AnalysisSession::LocateChart(const Entered<long double>& pixelSpacing,
                                  const Entered<long double>& maLines, SwcFeatures& out)
{
    SwcStartLocating(profile_, out);
    const long double p = pixelSpacing.get();
    const long double m = maLines.get();
    SwcLocateFeatures(profile_, mtf_, p, m, out);
    chartSpacing_ = p;
}

void AnalysisSession::ChartMtf(const SwcFeatures& features, const Entered<std::int32_t>& maLines,
                               ChartMtfOutput& out)
{
    SwcMeasure(profile_, mtf_, features, out.chart);
    if (!out.chart.written) return;
    // The groups were found with the spacing and MA-Line# read before.
    MeasureSettings used = steps_;
    used.method = MeasureMethod::kChart;
    used.pixelSpacing = chartSpacing_;
    used.maLines = maLines.get();
    out.points = ListedPoints(out.chart.points, out.chart.listing);
    MarkChartPoints(out.points, chartSpacing_);
    out.summaryPoints = out.chart.points;
    out.summary = SummarizeMtf(out.summaryPoints, static_cast<double>(chartSpacing_));
    Record(used, out);
}

void AnalysisSession::Fit(int item, const Entered<std::int32_t>& degree,
                          const Entered<long double>& pixelSpacing, FittingOutput& out)
{
    // A degree that cannot be read fails only where Fitting reads it, so its
    // range cannot be checked beforehand.
    const std::optional<std::int32_t> known = degree.ok() ? std::optional(degree.get()) : std::nullopt;
    RunFitting(mtf_, item,
               FittingReads{known, [&] { return degree.get(); }, [&] { return pixelSpacing.get(); }}, out);
}

// ------------------------------------------------------------ geometry, precise modes

ValueTable AnalysisSession::TableExposure(const ExposureEntry& entry) const
{
    const int columns = static_cast<int>(table_.columns);
    const int rows = static_cast<int>(table_.rows);
    if (entry.curve) {
        const CurveFile& curve = entry.curve->get();
        return TableExposureStep(table_.View(), CurveConversion(curve.lines, curve.path));
    }
    // Every cell is read first (an empty one fails), the conversion's
    // numbers only when there is a cell to convert.
    std::vector<std::int32_t> read;
    if (!table_.filled) read = TableCellValues(table_.View());
    const std::vector<std::int32_t>& cells = table_.filled ? table_.values : read;
    return TableExposureStep(columns, rows, cells, cells.empty() ? Conversion() : entry.conversion.get());
}

void AnalysisSession::RecordExposure(const ExposureEntry& entry, MeasureSettings& used)
{
    used.conversion.reset();
    if (entry.curve) {
        used.curveFile = entry.curve->get().path;
    } else if (entry.chosen) {
        used.curveFile.reset();
        used.conversion = entry.conversion.get().Describe();
    } else {
        used.curveFile.reset();
        used.latitude = entry.latitude.get();
        used.bitsStored = entry.bitsStored.get();
    }
}

LineGeometry AnalysisSession::AutoGeometry(const ExposureEntry& entry)
{
    estimate_.reset();
    return Estimate(entry, FeatureKind::kAny);
}

LineGeometry AnalysisSession::Estimate(const ExposureEntry& entry, FeatureKind kind)
{
    return GeometryStep(estimate_, TableExposure(entry), kind);
}

std::optional<LineGeometry> AnalysisSession::CheckGeometry(const ExposureEntry& entry,
                                                           ProfileOrientation orientation,
                                                           const Entered<std::int32_t>& maLines)
{
    try {
        const LineGeometry g = Estimate(entry, FeatureKind::kAny);
        if (GeometryDisagrees(g, orientation, maLines.get())) return estimate_;
    } catch (const Failure&) {
    }
    return std::nullopt;
}

void AnalysisSession::PreciseSlit(const ExposureEntry& entry, const PreciseSlitEntry& numbers,
                                  PreciseSlitOutput& out)
{
    const ValueTable exposure = TableExposure(entry);
    out.geometry = GeometryStep(estimate_, exposure, FeatureKind::kPeak);
    PreciseSlitInputs inputs;
    inputs.pixelSpacing = numbers.pixelSpacing.get();
    inputs.slitWidth = numbers.slitWidth.get();
    inputs.lsfHalfWidth = numbers.lsfRange.get();
    inputs.maLines = numbers.maLines.get();
    out.slit = PreciseSlitStep(exposure, *out.geometry, inputs);
    // Stored as the traditional method stores it, so a fit works on it as there.
    StoreMeasuredMtf(out.slit.listed, mtf_);
    out.points = MergedPoints(out.slit.listed, out.slit.halfSteps);
    out.summaryCurve = CurveOf(SummaryPoints(out.slit, static_cast<double>(inputs.pixelSpacing)));
    out.summaryPoints = out.summaryCurve;
    out.summary = SummarizeMtf(out.summaryPoints, static_cast<double>(inputs.pixelSpacing));
    MeasureSettings used;
    used.method = MeasureMethod::kSlit;
    used.precise = true;
    used.pixelSpacing = inputs.pixelSpacing;
    used.maLines = static_cast<std::int32_t>(inputs.maLines);
    used.slitWidth = inputs.slitWidth;
    used.lsfRange = inputs.lsfHalfWidth;
    RecordExposure(entry, used);
    Record(used, out, GeometryText(*out.geometry));
}

void AnalysisSession::PreciseChart(const ExposureEntry& entry, const SwcFeatures& features,
                                   const Entered<long double>& pixelSpacing, ProfileOrientation orientation,
                                   const Entered<std::int32_t>& maLines, PreciseChartOutput& out)
{
    const ValueTable exposure = TableExposure(entry);
    out.geometry = GeometryStep(estimate_, exposure, FeatureKind::kStep);
    const long double spacing = pixelSpacing.get();
    const std::int32_t lines = maLines.get();
    out.chart = PreciseChartStep(exposure, *out.geometry, spacing, features, orientation, lines);
    StoreMeasuredMtf(out.chart.points, mtf_);
    out.points = MtfPointsOf(out.chart.points);
    MarkChartPoints(out.points, spacing);
    out.summaryPoints = CurveOf(out.chart.points);
    out.summary = SummarizeMtf(out.summaryPoints, static_cast<double>(spacing));
    // The groups were found on the profile (its orientation and smoothing).
    MeasureSettings used = steps_;
    used.method = MeasureMethod::kChart;
    used.precise = true;
    used.orientation = static_cast<int>(orientation);
    used.pixelSpacing = spacing;
    used.maLines = lines;
    RecordExposure(entry, used);
    Record(used, out, GeometryText(*out.geometry));
}

// ------------------------------------------------------------ edge method

EdgeMtfOutput AnalysisSession::EdgeMtf(const EdgeSettings& settings, const ExposureEntry& entry)
{
    EdgeMtfOutput out;
    out.edge = EdgeStep(TableExposure(entry), settings);
    out.fine = StoreEdgeMtf(out.edge, mtf_);
    out.points = EdgePoints(out.edge);
    for (const ChartPoint& p : out.fine) out.summaryCurve.emplace_back(p.x, p.y);
    out.summaryPoints = out.summaryCurve;
    out.summary = SummarizeMtf(out.summaryPoints, settings.pixelSpacing);
    MeasureSettings used;
    used.method = MeasureMethod::kEdge;
    used.pixelSpacing = settings.pixelSpacing;
    used.lsfRange = settings.lsfHalfWidth;
    used.edge.binWidth = settings.binWidth;
    used.edge.lsfTaper = settings.lsfTaper;
    used.edge.coreHalfWidth = settings.coreHalfWidth;
    used.edge.tailCutoff = settings.tailCutoff;
    used.edge.smoothingInterval = settings.smoothingInterval;
    used.edge.adaptiveWindow = settings.adaptiveWindow;
    RecordExposure(entry, used);
    Record(used, out);
    lastRecord_->edgeAngle = out.edge.angle;
    lastRecord_->edgeDirection = out.edge.vertical ? "vertical" : "horizontal";
    return out;
}

void AnalysisSession::Record(MeasureSettings used, SessionCurve& curve, std::string geometry)
{
    MeasurementRecord record = source_;
    // The table's own: its file's format and the ROI that filled it.
    used.format = source_.settings.format;
    used.roi = source_.settings.roi;
    if (used.pixelSpacing != source_.settings.pixelSpacing) record.pixelSpacingSource = "typed";
    record.settings = std::move(used);
    record.points = curve.points;
    record.summaryCurve = curve.summaryCurve;
    record.geometry = std::move(geometry);
    lastRecord_ = std::move(record);
    curve.recorded = true;
}

}  // namespace radmtf
