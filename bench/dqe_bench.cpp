// Speed of the whole DQE characterisation on the images of one beam
// quality: six 3072 x 3072 flat fields and two edge images (u, v) of the
// same size at 0.1 mm; the NNPS, each direction's edge MTF and the DQE
// timed apart and together. Target: within 1 s for the whole process.
// Then the accuracy against the detector's closed form (the exact NNPS
// expectation and MTF of src/synth): the DQE within 3 standard
// uncertainties + 2 % from 0.5 to 4 cycles/mm along u and v; and with the
// analytic MTF read back from a measure CSV, DQE = MTF^2 / (q NNPS) to 0.1 %.
//
//   build/bench/radmtf_dqe_bench [FOLDER]
// With FOLDER the eight images are written there as DICOM files (flat0 ..
// flat5, edge_u, edge_v), so the command's whole process can be timed:
//   time radmtf measure dqe --flat FOLDER/flat*.dcm --edge FOLDER/edge_u.dcm
//       --edge FOLDER/edge_v.dcm --kerma 2.5 --quality RQA5
//       --conversion linear:100,2000 --output /dev/null
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "core/numtext.h"
#include "dqe/dqe.h"
#include "dqe/mtf_file.h"
#include "synth/dicom_writer.h"
#include "synth/edge_field.h"
#include "synth/flat_field.h"

int main(int argc, char** argv)
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

    // Accuracy: the worst |DQE - truth| / (3 u + 2 % truth) over 0.5 .. 4 cycles/mm.
    const std::vector<NnpsPoint> exact =
        NnpsProfiles(synth::ExpectedNnps2d(d, kSize, kSize, 2.5), d.dx, d.dy);
    double worstRatio[2] = {0, 0}, worstDeviation[2] = {0, 0};
    for (std::size_t j = 0; j < exact.size() && j < result.points.size(); ++j) {
        const double f = exact[j].frequency;
        if (f < 0.5 - 1e-9 || f > 4 + 1e-9) continue;
        const DqePoint& p = result.points[j];
        for (int axis = 0; axis < 2; ++axis) {
            const double m = synth::DetectorMtf(d, f, axis == 1);
            const double truth = m * m / (result.q * (axis ? exact[j].nnpsV : exact[j].nnpsU));
            const double dqe = axis ? p.dqeV : p.dqeU, uDqe = axis ? p.uDqeV : p.uDqeU;
            worstRatio[axis] = std::max(worstRatio[axis], std::fabs(dqe - truth) / (3 * uDqe + 0.02 * truth));
            worstDeviation[axis] = std::max(worstDeviation[axis], std::fabs(dqe / truth - 1));
        }
    }
    std::printf(
        "  accuracy 0.5 .. 4 cycles/mm: largest |DQE - truth| / (3 u + 2 %%): u %.2f, v %.2f "
        "(largest deviation u %.1f %%, v %.1f %%)\n",
        worstRatio[0], worstRatio[1], 100 * worstDeviation[0], 100 * worstDeviation[1]);

    // The analytic MTF as a measure CSV every 0.03 cycles/mm (interpolated
    // at the NNPS's 0.05 steps), read back.
    const auto exactText = [](double x) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", x);
        return std::string(text);
    };
    std::string csv = "frequency_cy_per_mm,mtf,u_mtf\n";
    for (int i = 0; i <= 200; ++i)
        csv += exactText(0.03 * i) + "," + exactText(synth::DetectorMtf(d, 0.03 * i, false)) + ",\n";
    const MtfCurve file = ReadMtfText(csv, "analytic.csv");
    const DqeResult given = ComputeDqe(nnps, &file, &file, settings);
    double worstFile = 0;
    for (const DqePoint& p : given.points) {
        const double m = synth::DetectorMtf(d, p.frequency, false);
        worstFile = std::max(worstFile, std::fabs(p.dqeU / (m * m / (given.q * p.nnpsU)) - 1));
    }
    std::printf("  analytic MTF from a file: largest |DQE / (MTF^2 / (q NNPS)) - 1| %.2e (target 1e-3)\n",
                worstFile);

    if (argc > 1) {
        const std::string folder = argv[1];
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            synth::Radiograph image;
            image.columns = image.rows = kSize;
            image.pixelSpacing = d.dx;
            image.bitsStored = 16;
            image.pixels.assign(pixels[i].begin(), pixels[i].end());
            const std::string name = i < kFlats    ? "flat" + IntToStr(static_cast<long long>(i))
                                     : i == kFlats ? "edge_u"
                                                   : "edge_v";
            if (!synth::WriteDicomFile(folder + "/" + name + ".dcm", image)) return 1;
        }
        std::printf("images written to %s (linear:%g,%g)\n", folder.c_str(), d.offset, d.gain);
    }
    return 0;
}
