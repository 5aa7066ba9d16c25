// Accuracy of the NNPS on seeded flat fields whose expected NNPS is known
// exactly. Not a test: over a number of sets (first argument, default 8) of
// four images each, it prints the relative bias +- SD of the 1-D NNPS
// against the exact expectation along u and v at 0.5 cycles/mm steps, with
// the mean standard uncertainty the result states (to compare with the SD),
// as a Markdown table, and checks every frequency from 0.5 cycles/mm to Nyquist
// against |bias| <= 3 standard errors + 1 %.
//
//   build/bench/radmtf_nnps_accuracy_bench [sets]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/numtext.h"
#include "nps/nnps.h"
#include "synth/flat_field.h"

namespace radmtf {
namespace {

struct Config {
    std::string label;
    synth::FlatFieldDetector detector;
    std::int32_t size;
    double kerma;
};

std::vector<Config> Configs()
{
    std::vector<Config> configs;
    synth::FlatFieldDetector a;
    a.cells = 2;
    a.sigmaX = 0.06;
    a.sigmaY = 0.12;
    a.gain = 2000.0;
    a.electronicNoise = 0.01;
    a.heel = 0.1;
    a.falloff = -0.05;
    a.twist = 0.03;
    configs.push_back({"0.1 mm, linear, sigma 0.06 / 0.12 mm, trend", a, 1024, 2.5});
    synth::FlatFieldDetector b = a;
    b.dx = b.dy = 0.139;
    b.sigmaX = 0.1;
    b.sigmaY = 0.07;
    b.logResponse = true;
    b.c0 = 20000.0;
    b.c1 = 8192.0;
    configs.push_back({"0.139 mm, log, sigma 0.10 / 0.07 mm, trend", b, 900, 4.0});
    return configs;
}

int Run(int sets)
{
    constexpr int kImages = 4;
    bool allWithin = true;
    for (const Config& c : Configs()) {
        const synth::FlatFieldDetector& d = c.detector;
        const std::vector<NnpsPoint> exact =
            NnpsProfiles(synth::ExpectedNnps2d(d, c.size, c.size, c.kerma), d.dx, d.dy);
        const std::size_t count = exact.size();
        std::vector<double> sumU(count), sumV(count), sqU(count), sqV(count), reportedU(count),
            reportedV(count);
        for (int s = 0; s < sets; ++s) {
            std::vector<std::vector<std::int32_t>> pixels;
            std::vector<NnpsImage> images;
            for (int i = 0; i < kImages; ++i)
                pixels.push_back(synth::FlatField(d, c.size, c.size, c.kerma, 1000u * s + i + 1));
            for (int i = 0; i < kImages; ++i)
                images.push_back(
                    {"flat", c.size, c.size, d.dx, d.dy, pixels[static_cast<std::size_t>(i)].data()});
            const NnpsResult r = MeasureNnps(images, d.Response());
            for (std::size_t j = 0; j < count; ++j) {
                const double eu = r.points[j].nnpsU / exact[j].nnpsU - 1.0;
                const double ev = r.points[j].nnpsV / exact[j].nnpsV - 1.0;
                reportedU[j] += r.points[j].uNnpsU / exact[j].nnpsU / sets;
                reportedV[j] += r.points[j].uNnpsV / exact[j].nnpsV / sets;
                sumU[j] += eu;
                sqU[j] += eu * eu;
                sumV[j] += ev;
                sqV[j] += ev * ev;
            }
        }
        std::printf("\n%s, %d sets of %d images of %d x %d, %.1f uGy\n\n", c.label.c_str(), sets, kImages,
                    c.size, c.size, c.kerma);
        std::printf(
            "| f (cycles/mm) | exact NNPS u (mm^2) | u: bias +- SD (%%) | u: stated u (%%) | exact NNPS v "
            "(mm^2) "
            "| v: bias +- SD (%%) | v: stated u (%%) |\n");
        std::printf("|---|---|---|---|---|---|---|\n");
        int outside = 0;
        double worst = 0.0;
        for (std::size_t j = 0; j < count; ++j) {
            const auto stats = [&](double sum, double sq) {
                const double mean = sum / sets;
                const double sd =
                    sets > 1 ? std::sqrt(std::max(0.0, (sq - sets * mean * mean) / (sets - 1))) : 0.0;
                return std::pair{mean, sd};
            };
            const auto [mu, su] = stats(sumU[j], sqU[j]);
            const auto [mv, sv] = stats(sumV[j], sqV[j]);
            if (exact[j].frequency >= 0.5 - 1e-9) {
                for (auto [m, s] : {std::pair{mu, su}, std::pair{mv, sv}}) {
                    const double limit = 3.0 * s / std::sqrt(static_cast<double>(sets)) + 0.01;
                    worst = std::max(worst, std::abs(m) / limit);
                    if (std::abs(m) > limit) ++outside;
                }
            }
            const double f = exact[j].frequency;
            if (std::abs(f / 0.5 - std::round(f / 0.5)) < 1e-9 || j + 1 == count)
                std::printf("| %.2f | %.4g | %+.2f +- %.2f | %.2f | %.4g | %+.2f +- %.2f | %.2f |\n", f,
                            exact[j].nnpsU, 100 * mu, 100 * su, 100 * reportedU[j], exact[j].nnpsV, 100 * mv,
                            100 * sv, 100 * reportedV[j]);
        }
        std::printf("\nfrequencies 0.5 .. Nyquist outside 3 SE + 1 %%: %d (largest |bias| / limit %.2f)\n",
                    outside, worst);
        allWithin = allWithin && outside == 0;
    }
    return allWithin ? 0 : 1;
}

}  // namespace
}  // namespace radmtf

int main(int argc, char** argv)
{
    const int sets = argc > 1 ? std::max(2, std::atoi(argv[1])) : 8;
    return radmtf::Run(sets);
}
