// Speed of the NNPS kernel on six 3072 x 3072 flat fields at 0.1 mm (64
// ROIs each), on every core and on one. With a folder argument it also
// writes the images (16-bit little-endian raw, flat0.raw ..) and its 1-D
// result (nnps.csv) there, for bench/nnps_numpy.py to time the same recipe
// in NumPy and compare the numbers.
//
//   build/bench/radmtf_nnps_bench [FOLDER]
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "core/numtext.h"
#include "nps/nnps.h"
#include "synth/flat_field.h"

int main(int argc, char** argv)
{
    using namespace radmtf;
    constexpr std::int32_t kSize = 3072;
    constexpr int kImages = 6;
    synth::FlatFieldDetector d;
    d.cells = 1;
    d.sigmaX = d.sigmaY = 0.0;
    d.gain = 2000.0;
    d.heel = 0.1;
    std::vector<std::vector<std::int32_t>> pixels;
    std::vector<NnpsImage> images;
    for (int i = 0; i < kImages; ++i) pixels.push_back(synth::FlatField(d, kSize, kSize, 2.5, 77 + i));
    for (int i = 0; i < kImages; ++i)
        images.push_back(
            {"flat" + IntToStr(i), kSize, kSize, d.dx, d.dy, pixels[static_cast<std::size_t>(i)].data()});
    const Conversion conversion = d.Response();

    NnpsResult result;
    NnpsSettings one;
    one.threads = 1;
    MeasureNnps(images, conversion);  // plans made
    // Wall time, and the processor time of all threads: on a loaded machine
    // the second shows what the cores would give.
    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    };
    constexpr int kRuns = 5;
    double start = cpu();
    const double all = bench::MedianMilliseconds(kRuns, [&] { result = MeasureNnps(images, conversion); });
    const double allCpu = (cpu() - start) / kRuns;
    start = cpu();
    const double single = bench::MedianMilliseconds(kRuns, [&] { MeasureNnps(images, conversion, one); });
    const double singleCpu = (cpu() - start) / kRuns;
    std::printf("NNPS of %d flat fields of %d x %d (%lld ROIs), target 500 ms:\n", kImages, kSize, kSize,
                static_cast<long long>(result.rois));
    std::printf(
        "  every core: %.0f ms wall, %.0f ms processor\n  one thread: %.0f ms wall, %.0f ms processor\n", all,
        allCpu, single, singleCpu);

    if (argc > 1) {
        const std::string folder = argv[1];
        for (int i = 0; i < kImages; ++i) {
            std::vector<std::uint16_t> raw(pixels[static_cast<std::size_t>(i)].begin(),
                                           pixels[static_cast<std::size_t>(i)].end());
            std::ofstream out(folder + "/flat" + IntToStr(i) + ".raw", std::ios::binary);
            out.write(reinterpret_cast<const char*>(raw.data()),
                      static_cast<std::streamsize>(raw.size() * 2));
        }
        std::ofstream csv(folder + "/nnps.csv");
        csv << "frequency_cy_per_mm,nnps_u,nnps_v\n";
        for (const NnpsPoint& p : result.points)
            csv << FloatToStr(p.frequency) << ',' << FloatToStr(p.nnpsU) << ',' << FloatToStr(p.nnpsV)
                << '\n';
        std::printf("images and nnps.csv written to %s (offset %g, gain %g, pixel %g mm)\n", folder.c_str(),
                    d.offset, d.gain, d.dx);
    }
    return 0;
}
