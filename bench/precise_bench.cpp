// Speed of the transforms of the precise slit method and the edge method on
// seeded synthetic radiographs: the best of several runs of each kernel.
// With --values it also prints every MTF value and uncertainty to 17
// digits, so that two builds can be compared number by number.
//
//   build/bench/radmtf_precise_bench [--values]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/exposure.h"
#include "mtf/edge.h"
#include "precise/geometry.h"
#include "precise/precise_slit.h"
#include "precise/value_table.h"
#include "synth/edge_scene.h"
#include "synth/radiograph.h"

namespace radmtf {
namespace {

template <typename F>
double BestMilliseconds(int runs, F&& work)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto stop = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
    }
    return best;
}

void PrintPoints(const char* label, const std::vector<PreciseMtfPoint>& points)
{
    for (const PreciseMtfPoint& p : points)
        std::printf("%s\t%.17g\t%.17g\t%.17g\n", label, p.frequency, p.mtf, p.uncertainty);
}

struct SlitCase {
    const char* label;
    double pixel;
    double lines;  // M
    int columns;
    int rows;
};

void RunSlit(const SlitCase& c, bool values)
{
    synth::DetectorModel model;
    model.pixelPitch = c.pixel;
    model.aperture = c.pixel;
    synth::Placement at;
    at.columns = c.columns;
    at.rows = c.rows;
    at.linesPerPixel = c.lines;
    at.origin = c.columns / 2 + 0.37;
    const synth::Radiograph image =
        synth::Render(at, synth::SlitObject(model, 0.01, 0.005), model, {.quanta = 1000, .seed = 5});
    const ValueTable table =
        TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ExposureConversion{});
    const LineGeometry geometry = EstimateGeometry(table);
    PreciseSlitSettings settings;
    settings.pixelSpacing = c.pixel;
    // As the measurement sets them: the slit method's bins for M lines.
    settings.listFrequencies = SlitMethodFrequencies(c.pixel / geometry.LinesSetting());
    PreciseSlitResult result;
    const double ms = BestMilliseconds(5, [&] { result = RunPreciseSlit(table, geometry, settings); });
    std::printf("precise slit %s, %d x %d, M %d, %zu + %zu frequencies: %.2f ms\n", c.label, c.columns,
                c.rows, geometry.LinesSetting(), result.listed.size(), result.halfSteps.size(), ms);
    if (values) {
        PrintPoints(c.label, result.listed);
        PrintPoints(c.label, result.halfSteps);
    }
}

struct EdgeCase {
    const char* label;
    double pixel;
    double binWidth;
    double smoothing;
};

void RunEdge(const EdgeCase& c, bool values)
{
    synth::DetectorModel model;
    model.pixelPitch = c.pixel;
    model.aperture = c.pixel;
    const synth::Radiograph image = synth::RenderEdge(synth::EdgeScene{}, model, {.quanta = 1000, .seed = 1});
    EdgeImage edge;
    edge.columns = image.columns;
    edge.rows = image.rows;
    edge.exposure =
        TableExposure(synth::TableView(image, 0, 0, image.columns, image.rows), ExposureConversion{}).values;
    EdgeSettings settings;
    settings.pixelSpacing = c.pixel;
    settings.binWidth = c.binWidth;
    settings.smoothingInterval = c.smoothing;
    EdgeResult result;
    const double ms = BestMilliseconds(9, [&] { result = MeasureEdge(edge, settings); });
    std::printf("edge %s, %d x %d, bin %g px, smoothing %g: %.2f ms\n", c.label, edge.columns, edge.rows,
                c.binWidth, c.smoothing, ms);
    if (values) {
        for (std::size_t k = 0; k < result.fineFrequency.size(); ++k)
            std::printf("%s\t%.17g\t%.17g\t%.17g\n", c.label, result.fineFrequency[k], result.fineMtf[k],
                        result.fineUncertainty[k]);
        for (std::size_t k = 0; k < result.tableFrequency.size(); ++k)
            std::printf("%s\t%.17g\t%.17g\t%.17g\n", c.label, result.tableFrequency[k], result.tableMtf[k],
                        result.tableUncertainty[k]);
    }
}

}  // namespace
}  // namespace radmtf

int main(int argc, char** argv)
{
    using namespace radmtf;
    const bool values = argc > 1 && std::strcmp(argv[1], "--values") == 0;
    // A 64 x 64 ROI as after loading the sample slit, a long slit, and a
    // steep one (M 2: the slit method lists every bin below 10 cycles/mm).
    RunSlit({"roi", 0.1, 17, 64, 64}, values);
    RunSlit({"long", 0.1, 17.3, 240, 1000}, values);
    RunSlit({"steep", 0.1, 2.2, 300, 200}, values);
    RunSlit({"fine", 0.05, 9.6, 480, 1000}, values);
    RunEdge({"default", 0.1, 0.1, 0}, values);
    RunEdge({"odd", 0.139, 0.1, 0.2}, values);
    return 0;
}
