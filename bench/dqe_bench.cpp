// Speed of the whole DQE characterisation on the images of one beam
// quality: six 3072 x 3072 flat fields and two edge images (u, v) of the
// same size at 0.1 mm; the NNPS, each direction's edge MTF and the DQE
// timed apart and together. Target: within 1 s for the whole process.
//
//   build/bench/radmtf_dqe_bench
#include <cstdio>
#include <vector>

#include "bench_timing.h"
#include "core/numtext.h"
#include "dqe/dqe.h"
#include "synth/edge_field.h"

int main()
{
    using namespace radmtf;
    constexpr std::int32_t kSize = 3072;
    constexpr int kFlats = 6;
    synth::FlatFieldDetector d;
    d.cells = 1;
    d.sigmaX = d.sigmaY = 0.0;
    d.gain = 2000.0;
    d.quantaPerUGy = 0.7 * 29653 * d.dx * d.dy;  // a DQE(0) of 0.7 at RQA5
    std::vector<std::vector<std::int32_t>> pixels;
    for (int i = 0; i < kFlats; ++i) pixels.push_back(synth::FlatField(d, kSize, kSize, 2.5, 91 + i));
    synth::EdgeField vertical, horizontal;
    horizontal.vertical = false;
    pixels.push_back(synth::EdgeFieldImage(d, vertical, kSize, kSize, 2.5, 97));
    pixels.push_back(synth::EdgeFieldImage(d, horizontal, kSize, kSize, 2.5, 98));
    std::vector<NnpsImage> images;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        images.push_back(
            {"image" + IntToStr(static_cast<long long>(i)), kSize, kSize, d.dx, d.dy, pixels[i].data()});
    const std::span<const NnpsImage> flats(images.data(), kFlats);
    const DqeEdgeImage edgeU[] = {{images[kFlats]}}, edgeV[] = {{images[kFlats + 1]}};
    const Conversion conversion = d.Response();
    DqeSettings settings;
    settings.kerma = 2.5;

    MeasureNnps(flats, conversion);  // plans made
    constexpr int kRuns = 5;
    NnpsResult nnps;
    const double nnpsMs = bench::MedianMilliseconds(kRuns, [&] { nnps = MeasureNnps(flats, conversion); });
    EdgeResult u, v;
    const double uMs =
        bench::MedianMilliseconds(kRuns, [&] { u = MeasureEdgeMtf(edgeU, conversion, false); });
    const double vMs = bench::MedianMilliseconds(kRuns, [&] { v = MeasureEdgeMtf(edgeV, conversion, true); });
    const MtfCurve cu = EdgeMtfCurve(u), cv = EdgeMtfCurve(v);
    const double dqeMs = bench::MedianMilliseconds(kRuns, [&] { ComputeDqe(nnps, &cu, &cv, settings); });
    DqeResult result;
    const double allMs = bench::MedianMilliseconds(
        kRuns, [&] { result = MeasureDqe(flats, edgeU, edgeV, conversion, settings); });
    std::printf("DQE of %d flat fields and 2 edge images of %d x %d, target 1000 ms for the process:\n",
                kFlats, kSize, kSize);
    std::printf("  NNPS %.0f ms, edge MTF u %.0f ms, v %.0f ms, DQE %.2f ms; together %.0f ms\n", nnpsMs, uMs,
                vMs, dqeMs, allMs);
    std::printf("  DQE at 1, 2, 3 cycles/mm: u %.3f %.3f %.3f, v %.3f %.3f %.3f\n", result.points[19].dqeU,
                result.points[39].dqeU, result.points[59].dqeU, result.points[19].dqeV,
                result.points[39].dqeV, result.points[59].dqeV);
    return 0;
}
