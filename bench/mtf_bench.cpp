// Timings of the MTF kernels on realistic sizes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include "bench_timing.h"
#include "mtf/edge.h"
#include "mtf/fitting.h"
#include "mtf/slit.h"
#include "synth/edge_scene.h"

namespace {

template <typename F>
double BestMilliseconds(int repeats, F&& run)
{
    double best = 1e300;
    for (int r = 0; r < repeats; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        run();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}

}  // namespace

void RunMtfBenchmarks()
{
    using namespace radmtf;
    auto profile = std::make_unique<ProfileState>();
    auto mtf = std::make_unique<MtfState>();
    profile->sampleSpacing = 0.1 / 17;
    profile->exposureCount = 2048;
    for (int j = 0; j < 2048; ++j) {
        const double x = (j - 1024.0) / 9.0;
        profile->exposureProfile[j] = 1000.0 * std::exp(-0.5 * x * x) + 3.0 * std::exp(-std::fabs(x) / 8);
    }
    SlitOutput slit;
    const double slitMs = BestMilliseconds(20, [&] { RunSlitMethod(*profile, *mtf, slit); });
    std::printf("mtf: slit CalMTF, 2048-sample LSF, %zu bins listed: %.3f ms (target 5 ms)\n",
                slit.listing.size(), slitMs);

    // Fitting on the SWC layout: ten points up to 6 cycles/mm, degree 7.
    const double f[10] = {0, 0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6};
    for (int i = 0; i < 10; ++i) {
        mtf->mtfFrequency[i] = f[i];
        mtf->mtfValue[i] = std::exp(-f[i] / 3.0);
    }
    mtf->measuredCount = 10;
    FittingOutput fit;
    const double fitMs = BestMilliseconds(50, [&] { RunFitting(*mtf, 5, 7, 0.1L, fit); });
    std::printf(
        "mtf: Fitting, K = 9, degree 7, %zu + %zu rows: %.3f ms\n", fit.listing.size(),
        static_cast<std::size_t>(std::count(fit.refitListingText.begin(), fit.refitListingText.end(), '\n')),
        fitMs);

    // The edge method on a 1000-row, 500-column ROI of a synthetic edge
    // (2.5°, 10^3 quanta): the table read, the conversion to exposure and
    // the kernel, as "CalMTF" of the edge page runs them.
    const synth::Radiograph edge =
        synth::RenderEdge(synth::EdgeScene{}, synth::DetectorModel{}, {.quanta = 1000, .seed = 1});
    PixelTableView table;
    table.dataColumns = edge.columns;
    table.dataRows = edge.rows;
    table.cell = [&edge](int column, int row) -> std::optional<std::int32_t> {
        return edge.At(row - 1, column - 1);
    };
    EdgeResult result;
    const double edgeMs = bench::MedianMilliseconds(
        15, [&] { result = MeasureEdge(EdgeImageFromTable(table, ExposureConversion{}), EdgeSettings{}); });
    std::printf("mtf: edge CalMTF, %d x %d ROI, angle %.3f deg: %.2f ms (target 20 ms)\n", edge.columns,
                edge.rows, result.angle, edgeMs);
}
