// Accuracy of the slit and chart methods, traditional and precise, and of
// the edge method, on
// seeded synthetic radiographs whose presampled MTF is known. Not a test:
// it prints bias ± standard deviation against the truth over a number of
// noise realisations (first argument, default 10) at 0.5, 1, 2, 3, 4 and
// 5 cycles/mm, as a Markdown table.
//
//   build/bench/radmtf_accuracy_bench [realisations]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "analysis/extraction.h"
#include "core/failure.h"
#include "core/numtext.h"
#include "measure/measurement.h"
#include "measure/object_search.h"
#include "mtf/edge.h"
#include "mtf/slit.h"
#include "mtf/swc.h"
#include "precise/geometry.h"
#include "precise/precise_chart.h"
#include "precise/precise_slit.h"
#include "synth/dicom_writer.h"
#include "synth/edge_scene.h"
#include "synth/plate_scene.h"
#include "synth/radiograph.h"

namespace radmtf {
namespace {

constexpr double kFrequencies[] = {0.5, 1, 2, 3, 4, 5};
constexpr int kCount = 6;
constexpr double kMissing = NAN;

using Values = std::array<double, kCount>;

struct Config {
    std::string label;
    double pixel = 0.1;
    double slit = 0.02;  // mm
    double pedestal = 0.005;
    double lines = 17.3;  // M
    double quanta = 1000;
    int rows = 100;
    double sigma = 0.04;  // mm, the LSF's Gaussian part
};

// The detector model's curve, L = 4 over 12 bits, no offset.
ExposureConversion ModelConversion()
{
    return ExposureConversion{};
}

synth::DetectorModel Model(const Config& c)
{
    synth::DetectorModel m;
    m.pixelPitch = c.pixel;
    m.aperture = c.pixel;
    m.sigma = c.sigma;
    return m;
}

double Interpolate(const MtfState& mtf, int count, double f)
{
    for (int k = 1; k < count; ++k)
        if (mtf.mtfFrequency[k] >= f) {
            const double f0 = mtf.mtfFrequency[k - 1], f1 = mtf.mtfFrequency[k];
            return mtf.mtfValue[k - 1] + (mtf.mtfValue[k] - mtf.mtfValue[k - 1]) * (f - f0) / (f1 - f0);
        }
    return kMissing;
}

synth::Radiograph SlitImage(const Config& c, std::uint64_t seed, int columns)
{
    const synth::DetectorModel model = Model(c);
    synth::Placement at;
    at.columns = columns;
    at.rows = c.rows;
    at.linesPerPixel = c.lines;
    at.origin = columns / 2 - 3.3;
    return synth::Render(at, synth::SlitObject(model, c.slit, c.pedestal), model, {c.quanta, seed});
}

Values TraditionalSlit(const Config& c, const synth::Radiograph& image)
{
    const int m = static_cast<int>(std::lround(c.lines));
    auto profile = std::make_unique<ProfileState>();
    auto mtf = std::make_unique<MtfState>();
    BuildCompositeProfile(*profile, ProfileOrientation::kRowsLastToFirst, m,
                          synth::TableView(image, 0, 0, image.columns, m));
    ExtractProfile(*profile, StrToFloat(FloatToStr(c.pixel)), m);
    ConvertToExposure(*profile, Conversion());
    SlitOutput out;
    RunSlitMethod(*profile, *mtf, out);
    Values v;
    for (int i = 0; i < kCount; ++i) v[i] = Interpolate(*mtf, mtf->mtfPointCount, kFrequencies[i]);
    return v;
}

std::vector<PreciseMtfPoint> PreciseSlitPoints(const Config& c, const synth::Radiograph& image)
{
    const ValueTable table =
        TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ModelConversion());
    PreciseSlitSettings settings;
    settings.pixelSpacing = c.pixel;
    settings.slitWidth = c.slit;
    settings.listFrequencies.assign(std::begin(kFrequencies), std::end(kFrequencies));
    return RunPreciseSlit(table, EstimateGeometry(table, FeatureKind::kPeak), settings).listed;
}

Values PreciseSlit(const Config& c, const synth::Radiograph& image)
{
    const ValueTable table =
        TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ModelConversion());
    const LineGeometry geometry = EstimateGeometry(table, FeatureKind::kPeak);
    PreciseSlitSettings settings;
    settings.pixelSpacing = c.pixel;
    settings.slitWidth = c.slit;
    settings.listFrequencies.assign(std::begin(kFrequencies), std::end(kFrequencies));
    const PreciseSlitResult r = RunPreciseSlit(table, geometry, settings);
    Values v;
    for (int i = 0; i < kCount; ++i) v[i] = r.listed[i].mtf;
    return v;
}

synth::Radiograph ChartImage(const Config& c, std::uint64_t seed, int& columns)
{
    const synth::DetectorModel model = Model(c);
    const synth::BarChartLayout layout;
    synth::Placement at;
    columns = static_cast<int>(std::ceil(layout.length / c.pixel)) + 12;
    at.columns = columns;
    at.rows = c.rows;
    at.linesPerPixel = c.lines;
    at.origin = 4.2;
    return synth::Render(at, synth::BarChartObject(model, layout, 0.1), model, {c.quanta, seed});
}

Values ChartValues(const std::vector<PreciseMtfPoint>& points)
{
    Values v;
    v.fill(kMissing);
    for (const PreciseMtfPoint& p : points)
        for (int i = 0; i < kCount; ++i)
            if (std::abs(p.frequency - kFrequencies[i]) < 1e-9) v[i] = p.mtf;
    return v;
}

// The chart search of "CalMTF" on the first M lines, as both chart modes start.
struct LocatedChart {
    std::unique_ptr<ProfileState> profile = std::make_unique<ProfileState>();
    std::unique_ptr<MtfState> mtf = std::make_unique<MtfState>();
    SwcFeatures features;
    int lines = 0;
};

LocatedChart LocateChart(const Config& c, const synth::Radiograph& image)
{
    LocatedChart chart;
    chart.lines = static_cast<int>(std::lround(c.lines));
    BuildCompositeProfile(*chart.profile, ProfileOrientation::kRowsLastToFirst, chart.lines,
                          synth::TableView(image, 0, 0, image.columns, chart.lines));
    chart.profile->sampleSpacing = c.pixel / chart.lines;
    SwcLocateFeatures(*chart.profile, *chart.mtf, StrToFloat(FloatToStr(c.pixel)), chart.lines,
                      chart.features);
    return chart;
}

Values TraditionalChart(const Config& c, const synth::Radiograph& image)
{
    LocatedChart chart = LocateChart(c, image);
    ConvertToExposure(*chart.profile, Conversion());
    SwcResult result;
    SwcMeasure(*chart.profile, *chart.mtf, chart.features, result);
    std::vector<PreciseMtfPoint> points;
    for (int g = 0; g <= chart.mtf->mtfLastIndex; ++g)
        points.push_back({chart.mtf->mtfFrequency[g], chart.mtf->mtfValue[g], 0});
    return ChartValues(points);
}

std::vector<PreciseMtfPoint> PreciseChartPoints(const Config& c, const synth::Radiograph& image);

Values PreciseChart(const Config& c, const synth::Radiograph& image)
{
    return ChartValues(PreciseChartPoints(c, image));
}

std::vector<PreciseMtfPoint> PreciseChartPoints(const Config& c, const synth::Radiograph& image)
{
    const LocatedChart chart = LocateChart(c, image);
    const ValueTable table =
        TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ModelConversion());
    const LineGeometry geometry = EstimateGeometry(table, FeatureKind::kStep);
    return RunPreciseChart(table, geometry, c.pixel, chart.features, ProfileOrientation::kRowsLastToFirst,
                           chart.lines)
        .points;
}

enum class Object { kSlit, kChart, kEdge, kPlate };

// A slit 20 mm wide, the chart, an edge of 500 x 1000 pixels tilted by 2.5°
// with the pedestal as its dark side, or a 60 mm plate so tilted in the
// middle of 1024 x 1024 pixels.
synth::Radiograph MakeImage(Object object, const Config& c, std::uint64_t seed)
{
    int columns = 0;
    switch (object) {
        case Object::kChart:
            return ChartImage(c, seed, columns);
        case Object::kEdge: {
            synth::EdgeScene scene;
            scene.pedestal = c.pedestal;
            return synth::RenderEdge(scene, Model(c), {.quanta = c.quanta, .seed = seed});
        }
        case Object::kPlate: {
            synth::Plate plate{
                .centreX = 512, .centreY = 512, .side = 60, .angle = 2.5, .transmission = c.pedestal};
            return synth::RenderPlates({1024, 1024, {plate}}, Model(c), {.quanta = c.quanta, .seed = seed});
        }
        case Object::kSlit:
            break;
    }
    return SlitImage(c, seed, static_cast<int>(20 / c.pixel));
}

Values Edge(const Config&, const synth::Radiograph& image)
{
    EdgeImage exposure;
    exposure.columns = image.columns;
    exposure.rows = image.rows;
    exposure.exposure = ConvertValuesToExposure(
        std::vector<std::int32_t>(image.pixels.begin(), image.pixels.end()), ModelConversion());
    const EdgeResult result = MeasureEdge(exposure, EdgeSettings{});
    Values v;
    for (int i = 0; i < kCount; ++i) {
        const auto j = static_cast<std::size_t>(std::lround(kFrequencies[i] * 2));  // the table's 0.5 steps
        v[i] = j < result.tableMtf.size() ? result.tableMtf[j] : kMissing;
    }
    return v;
}

// The edge method on the plate's first vertical edge, found and measured as
// `radmtf measure edge` without a ROI does.
Values EdgeFoundInPlate(const Config&, const synth::Radiograph& image)
{
    const auto bytes = std::make_shared<const std::vector<std::uint8_t>>(synth::DicomBytes(image));
    MeasureSettings settings;
    settings.method = MeasureMethod::kEdge;
    const SourceImage source = SourceImageFromBytes(bytes, *bytes, settings);
    settings.roi = FindObjectsStep(source, settings, {}).front().roi;
    const MeasureResult result = MeasureImage(source, settings);
    Values v;
    for (int i = 0; i < kCount; ++i) {
        v[i] = kMissing;
        for (const MtfPoint& p : result.points)
            if (std::abs(p.frequency - kFrequencies[i]) < 1e-9) v[i] = p.value;
    }
    return v;
}

template <typename Measure>
void Row(const char* method, const Config& c, int realisations, Object object, Measure measure)
{
    const synth::DetectorModel model = Model(c);
    std::array<std::vector<double>, kCount> errors;
    int failures = 0;
    for (int r = 0; r < realisations; ++r) {
        const synth::Radiograph image = MakeImage(object, c, 1000 + r);
        try {
            const Values v = measure(c, image);
            for (int i = 0; i < kCount; ++i)
                if (!std::isnan(v[i])) errors[i].push_back(v[i] - model.PresampledMtf(kFrequencies[i]));
        } catch (const Failure&) {
            ++failures;
        }
    }
    std::printf("| %s | %s |", method, c.label.c_str());
    for (int i = 0; i < kCount; ++i) {
        const auto& e = errors[i];
        if (e.size() < 2) {
            std::printf(" – |");
            continue;
        }
        double mean = 0, sq = 0;
        for (double x : e) mean += x;
        mean /= e.size();
        for (double x : e) sq += (x - mean) * (x - mean);
        const double sd = std::sqrt(sq / (e.size() - 1));
        const std::string bias = FormatFixed(mean, 3);
        std::printf(" %s%s ± %s%s |", bias[0] == '-' ? "" : "+", bias.c_str(), FormatFixed(sd, 3).c_str(),
                    e.size() < std::size_t(realisations) ? "*" : "");
    }
    if (failures) std::printf(" (%d failed)", failures);
    std::printf("\n");
    std::fflush(stdout);
}

// Stated uncertainty (root mean square over the realisations: the errors'
// expected spread when each point has its own u) against the observed
// standard deviation, at the table's frequencies.
template <typename Measure>
void HonestyRow(const char* method, const Config& c, int realisations, Object object, Measure measure)
{
    std::array<std::vector<double>, kCount> values, stated;
    for (int r = 0; r < realisations; ++r) {
        const synth::Radiograph image = MakeImage(object, c, 1000 + r);
        try {
            for (const PreciseMtfPoint& p : measure(c, image))
                for (int i = 0; i < kCount; ++i)
                    if (std::abs(p.frequency - kFrequencies[i]) < 1e-9) {
                        values[i].push_back(p.mtf);
                        stated[i].push_back(p.uncertainty);
                    }
        } catch (const Failure&) {
        }
    }
    std::printf("| %s | %s |", method, c.label.c_str());
    for (int i = 0; i < kCount; ++i) {
        if (values[i].size() < 2) {
            std::printf(" – |");
            continue;
        }
        double mean = 0, sq = 0, u = 0;
        for (double x : values[i]) mean += x;
        mean /= values[i].size();
        for (double x : values[i]) sq += (x - mean) * (x - mean);
        for (double x : stated[i]) u += x * x;
        u = std::sqrt(u / stated[i].size());
        std::printf(" %s / %s |", FormatFixed(u, 4).c_str(),
                    FormatFixed(std::sqrt(sq / (values[i].size() - 1)), 4).c_str());
    }
    std::printf("\n");
    std::fflush(stdout);
}

// Relative error of the estimated M over the realisations, and how often the
// nearest integer or the orientation came out wrong.
void GeometryRow(const Config& c, int realisations)
{
    std::vector<double> errors;
    int wrong = 0;
    for (int r = 0; r < realisations; ++r) {
        const synth::Radiograph image = SlitImage(c, 2000 + r, static_cast<int>(20 / c.pixel));
        const ValueTable table =
            TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ModelConversion());
        const LineGeometry g = EstimateGeometry(table);
        errors.push_back(g.LinesPerPixel() / c.lines - 1);
        wrong += g.LinesSetting() != std::lround(c.lines) ||
                 g.Orientation() != ProfileOrientation::kRowsLastToFirst;
    }
    double mean = 0, sq = 0;
    for (double e : errors) mean += e;
    mean /= errors.size();
    for (double e : errors) sq += (e - mean) * (e - mean);
    std::printf("| %s | %s %% | %s %% | %d |\n", c.label.c_str(), FormatFixed(100 * mean, 2).c_str(),
                FormatFixed(100 * std::sqrt(sq / (errors.size() - 1)), 2).c_str(), wrong);
}

}  // namespace
}  // namespace radmtf

int main(int argc, char** argv)
{
    using namespace radmtf;
    const int realisations = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    std::printf(
        "Bias ± standard deviation against the true presampled MTF over %d realisations\n"
        "(* a group was missing in some realisations).\n\n",
        realisations);
    std::printf(
        "| method | image | 0.5 | 1 | 2 | 3 | 4 | 5 cycles/mm |\n|---|---|---|---|---|---|---|---|\n");

    std::vector<Config> slits;
    const auto slit = [&](std::string label, double p, double s, double ped, double m, double q) {
        slits.push_back({std::move(label), p, s, ped, m, q, 100});
    };
    slit("p 0.1, 20 µm, ped 0, M 17, 10^3", 0.1, 0.02, 0, 17, 1e3);
    slit("p 0.1, 20 µm, ped 0.5 %, M 17.3, 10^2", 0.1, 0.02, 0.005, 17.3, 1e2);
    slit("p 0.1, 20 µm, ped 0.5 %, M 17.3, 10^3", 0.1, 0.02, 0.005, 17.3, 1e3);
    slit("p 0.1, 20 µm, ped 0.5 %, M 17.3, 10^4", 0.1, 0.02, 0.005, 17.3, 1e4);
    slit("p 0.1, 20 µm, ped 2 %, M 17.3, 10^3", 0.1, 0.02, 0.02, 17.3, 1e3);
    slit("p 0.1, 10 µm, ped 0.5 %, M 10, 10^3", 0.1, 0.01, 0.005, 10, 1e3);
    slit("p 0.1, 50 µm, ped 0.5 %, M 20, 10^3", 0.1, 0.05, 0.005, 20, 1e3);
    slit("p 0.1, 20 µm, ped 0.5 %, M 23.7, 10^3", 0.1, 0.02, 0.005, 23.7, 1e3);
    slit("p 0.1, 20 µm, ped 0.5 %, M 30, 10^3", 0.1, 0.02, 0.005, 30, 1e3);
    slit("p 0.15, 20 µm, ped 0.5 %, M 13.6, 10^3", 0.15, 0.02, 0.005, 13.6, 1e3);
    slit("p 0.15, 50 µm, ped 0.5 %, M 13.6, 10^4", 0.15, 0.05, 0.005, 13.6, 1e4);
    for (const Config& c : slits) {
        Row("slit", c, realisations, Object::kSlit, TraditionalSlit);
        Row("slit precise", c, realisations, Object::kSlit, PreciseSlit);
    }
    std::vector<Config> charts = {
        {"p 0.1, M 17, 10^2", 0.1, 0, 0, 17, 1e2, 60},   {"p 0.1, M 17, 10^3", 0.1, 0, 0, 17, 1e3, 60},
        {"p 0.1, M 17, 10^4", 0.1, 0, 0, 17, 1e4, 60},   {"p 0.1, M 13.6, 10^3", 0.1, 0, 0, 13.6, 1e3, 60},
        {"p 0.15, M 20, 10^3", 0.15, 0, 0, 20, 1e3, 60},
    };
    for (const Config& c : charts) {
        Row("chart", c, realisations, Object::kChart, TraditionalChart);
        Row("chart precise", c, realisations, Object::kChart, PreciseChart);
    }

    for (double q : {1e3, 1e4})
        Row("edge",
            {q > 5e3 ? "p 0.1, 2.5°, ped 0.5 %, 10^4" : "p 0.1, 2.5°, ped 0.5 %, 10^3", 0.1, 0, 0.005, 0, q,
             1000},
            realisations, Object::kEdge, Edge);
    for (double q : {1e3, 1e4})
        Row("edge, found",
            {q > 5e3 ? "plate p 0.1, 2.5°, ped 0.5 %, 10^4" : "plate p 0.1, 2.5°, ped 0.5 %, 10^3", 0.1, 0,
             0.005, 0, q, 1000},
            realisations, Object::kPlate, EdgeFoundInPlate);

    std::printf(
        "\nStated uncertainty (RMS) / observed standard deviation over %d realisations.\n\n"
        "| method | image | 0.5 | 1 | 2 | 3 | 4 | 5 cycles/mm |\n|---|---|---|---|---|---|---|---|\n",
        realisations);
    HonestyRow("slit precise", slits[2], realisations, Object::kSlit, PreciseSlitPoints);
    HonestyRow("slit precise", slits[4], realisations, Object::kSlit, PreciseSlitPoints);
    HonestyRow("chart precise", charts[0], realisations, Object::kChart, PreciseChartPoints);
    HonestyRow("chart precise", charts[1], realisations, Object::kChart, PreciseChartPoints);
    // A blurred detector: MTF 0.22, 0.07 and 0.02 at 3, 4 and 5 cycles/mm.
    for (double q : {1e3, 1e4}) {
        Config blurred{q > 5e3 ? "p 0.1, σ 0.085 mm, M 17, 10^4" : "p 0.1, σ 0.085 mm, M 17, 10^3",
                       0.1,
                       0,
                       0,
                       17,
                       q,
                       60};
        blurred.sigma = 0.085;
        HonestyRow("chart precise", blurred, realisations, Object::kChart, PreciseChartPoints);
    }

    std::printf(
        "\nAuto on slits of 100 rows: M's relative error (mean, standard deviation) and the number\n"
        "of realisations whose nearest integer or orientation was wrong.\n\n"
        "| image | bias | SD | wrong |\n|---|---|---|---|\n");
    for (double m : {10.0, 13.6, 17.3, 23.7, 29.2})
        for (double q : {1e3, 1e4})
            GeometryRow({"p 0.1, 20 µm, ped 0.5 %, M " + FloatToStr(m) + ", " + (q > 5e3 ? "10^4" : "10^3"),
                         0.1, 0.02, 0.005, m, q, 100},
                        realisations);
    return 0;
}
