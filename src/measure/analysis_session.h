// One analysis of a pixel table, the state the analysis window and the
// command both work on: the table, the composite profile, the MTF, the
// settings each step used, the geometry estimate and the record of the last
// measurement. One member function per button of the analysis window; the
// command calls the same functions in the same order, so both give the same
// numbers by construction.
//
// The functions take numbers already read (Entered: a value, or the failure
// its text gave, raised where the step reads it, so a wrong entry stops the
// step at the point it always did). Steps whose partial results the window
// shows when they fail fill an output argument as they go.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/extraction.h"
#include "analysis/pixel_table.h"
#include "analysis/profile_state.h"
#include "conversion/conversion.h"
#include "core/failure.h"
#include "measure/measurement.h"
#include "measure/settings.h"
#include "mtf/edge.h"
#include "mtf/fitting.h"
#include "mtf/mtf_state.h"
#include "mtf/mtf_summary.h"
#include "mtf/slit.h"
#include "mtf/swc.h"
#include "mtf/truncation.h"
#include "precise/geometry.h"
#include "precise/precise_chart.h"
#include "precise/precise_slit.h"
#include "precise/value_table.h"

namespace radmtf {

// A value as the user entered it: the value, or the Failure reading its text
// gave, raised only when a step takes the value.
template <typename T>
class Entered {
public:
    Entered(T value) : value_(std::move(value)) {}  // a number known as it is (the command's)
    // Runs `read`; keeps its value, or the Failure it threw.
    template <typename Read>
    static Entered Of(Read&& read)
    {
        try {
            return Entered(read());
        } catch (const Failure&) {
            Entered failed;
            failed.failure_ = std::current_exception();
            return failed;
        }
    }
    bool ok() const { return value_.has_value(); }
    const T& get() const
    {
        if (!value_) std::rethrow_exception(failure_);
        return *value_;
    }
    T valueOr(T fallback) const { return value_ ? *value_ : fallback; }

private:
    Entered() = default;
    std::optional<T> value_;
    std::exception_ptr failure_;
};

// The characteristic-curve file: its path and lines.
struct CurveFile {
    std::string path;
    std::vector<std::string> lines;
};
// Fails with kCannotOpen.
CurveFile ReadCurveFile(const std::string& path);

// The conversion to exposure ("ToExp"): through the curve file when one is
// given, else `conversion`: the detector model of L, BitsStored and the value
// offset (the record lists L and BitsStored), or a conversion function chosen
// in its place (`chosen`; the record states it).
struct ExposureEntry {
    std::optional<Entered<CurveFile>> curve;
    Entered<Conversion> conversion = Conversion();
    bool chosen = false;
    Entered<long double> latitude = 4.0L;
    Entered<long double> bitsStored = 12.0L;
};

// A measured curve as the window's summary and the report read it.
struct SessionCurve {
    std::vector<MtfPoint> points;           // as the command lists them
    std::vector<CurvePoint> summaryCurve;   // the record's curve where it is not `points`
    std::vector<CurvePoint> summaryPoints;  // what the summary reads
    MtfSummary summary;                     // MTF50, MTF10, at Nyquist
    bool recorded = false;                  // the measurement succeeded and is the last record
};

struct SlitMtfOutput : SessionCurve {
    SlitOutput slit;
};
struct ChartMtfOutput : SessionCurve {
    SwcResult chart;
};
struct PreciseSlitOutput : SessionCurve {
    std::optional<LineGeometry> geometry;  // set once estimated, also when the step fails later
    PreciseSlitResult slit;
};
struct PreciseChartOutput : SessionCurve {
    std::optional<LineGeometry> geometry;
    PreciseChartResult chart;
};
struct EdgeMtfOutput : SessionCurve {
    EdgeResult edge;
    std::vector<ChartPoint> fine;  // the MTF on its fine grid
};

// The precise slit mode's entries, read in this order after the estimate.
struct PreciseSlitEntry {
    Entered<long double> pixelSpacing = 0.1L;
    Entered<long double> slitWidth = 0.01L;
    Entered<long double> lsfRange = 2.5L;
    Entered<long double> maLines = 17.0L;
};

class AnalysisSession {
public:
    // The state of a fresh window: no table, no profile, no MTF.
    void Reset();
    // A new table: the estimate is dropped and the record goes (the profile
    // and the MTF stay until rebuilt, as in the window). `source` tells what
    // the table came from (file, format, ROI, acquisition, QA fields,
    // warnings); the header cells count from `left` and `top`.
    void TakeTable(PixelTable table, std::int32_t left, std::int32_t top, MeasurementRecord source);
    const PixelTable& table() const { return table_; }
    PixelTableView tableView() const { return table_.View(); }
    std::int32_t tableLeft() const { return left_; }
    std::int32_t tableTop() const { return top_; }

    ProfileState& profile() { return profile_; }
    const ProfileState& profile() const { return profile_; }
    MtfState& mtf() { return mtf_; }
    const MtfState& mtf() const { return mtf_; }
    // What produced the curve shown; empty until a measurement succeeds on the table.
    const std::optional<MeasurementRecord>& lastRecord() const { return lastRecord_; }

    // ---- the profile
    // The estimate `orientation` and `maLines` disagree with, if any (checked
    // before "2Dto1D", which the window warns about).
    std::optional<LineGeometry> GeometryWarning(ProfileOrientation orientation, std::int32_t maLines) const;
    // "2Dto1D".
    void BuildProfile(ProfileOrientation orientation, std::int32_t maLines);
    // "Smooth": the sample spacing from the pixel spacing and MA-Line#, then
    // (separately, as the window reads the width in between) the average.
    void SetSampleSpacing(const Entered<long double>& pixelSpacing, const Entered<long double>& maLines);
    std::vector<ChartPoint> Smooth(std::int32_t width);
    // "Extract": the cuts, then the spacing texts, halving and listing.
    ExtractionOutput Extract(const Entered<long double>& pixelSpacing, const Entered<long double>& maLines);
    // "ToExp"; returns Series3's points.
    std::vector<ChartPoint> ToExposure(const ExposureEntry& entry);
    // "RadioGroup1": the profile's data cleared.
    void ClearProfile();

    // ---- LSF tails
    PickOutput PickTail(int index) const;
    void Truncate(const Entered<std::int32_t>& start, const Entered<long double>& level,
                  TruncationOutput& out);

    // ---- the traditional methods
    // The slit's "CalMTF"; no record when nothing was written.
    SlitMtfOutput SlitMtf(const Entered<long double>& pixelSpacing);
    // The chart's "CalMTF" before its ToExp: the bar groups.
    void LocateChart(const Entered<long double>& pixelSpacing, const Entered<long double>& maLines,
                     SwcFeatures& out);
    // After its ToExp: the MTF of the groups. `maLines` is the record's.
    void ChartMtf(const SwcFeatures& features, const Entered<std::int32_t>& maLines, ChartMtfOutput& out);
    // "Fitting" with the fit frequency item (-1: none chosen).
    void Fit(int item, const Entered<std::int32_t>& degree, const Entered<long double>& pixelSpacing,
             FittingOutput& out);

    // ---- the geometry and the precise modes
    // "Auto": the estimate made anew, of any kind.
    LineGeometry AutoGeometry(const ExposureEntry& entry);
    // The estimate of `kind`, kept from before where it is of that kind.
    LineGeometry Estimate(const ExposureEntry& entry, FeatureKind kind);
    // After a traditional CalMTF: the estimate the orientation and MA-Line#
    // used disagree with; nothing when the table gives no estimate.
    std::optional<LineGeometry> CheckGeometry(const ExposureEntry& entry, ProfileOrientation orientation,
                                              const Entered<std::int32_t>& maLines);
    void PreciseSlit(const ExposureEntry& entry, const PreciseSlitEntry& numbers, PreciseSlitOutput& out);
    void PreciseChart(const ExposureEntry& entry, const SwcFeatures& features,
                      const Entered<long double>& pixelSpacing, ProfileOrientation orientation,
                      const Entered<std::int32_t>& maLines, PreciseChartOutput& out);

    // ---- the edge method
    EdgeMtfOutput EdgeMtf(const EdgeSettings& settings, const ExposureEntry& entry);

private:
    ValueTable TableExposure(const ExposureEntry& entry) const;
    // The settings of the conversion `entry` stands for, into `used`.
    static void RecordExposure(const ExposureEntry& entry, MeasureSettings& used);
    // Keeps the record of a measurement that succeeded with `used`.
    void Record(MeasureSettings used, SessionCurve& curve, std::string geometry = {});

    PixelTable table_;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    ProfileState profile_;
    MtfState mtf_;
    MeasurementRecord source_;
    // The traditional profile's settings as its steps ran, which the CalMTF after them measures with.
    MeasureSettings steps_;
    // The pixel spacing of the sample spacing set last, and of the chart groups located last.
    long double sampleSpacingFrom_ = 0.0L;
    long double chartSpacing_ = 0.0L;
    std::optional<LineGeometry> estimate_;
    std::optional<MeasurementRecord> lastRecord_;
};

}  // namespace radmtf
