// Timings of the analysis kernels on the sizes the window meets: the table
// transfer of a large ROI, the profile build with smoothing, the exposure
// conversion and the extraction.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "analysis/extraction.h"
#include "analysis/pixel_table.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Call>
double BestMilliseconds(int repeats, Call&& call)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        call();
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        if (elapsed.count() < best) best = elapsed.count();
    }
    return best;
}

}  // namespace

void RunAnalysisBenchmarks()
{
    using namespace radmtf;

    // toMTF on a 2048 × 2048 ROI of a 2304 × 2304 16-bit image.
    constexpr int kImage = 2304, kHeader = 1024;
    std::vector<std::uint8_t> buffer(kHeader + 2 * kImage * kImage);
    std::uint32_t seed = 12345;
    for (auto& byte : buffer) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    const SampleBlock block = RoiBlock({100, 100 + 2047, 100, 100 + 2047}, {20, 20, 20 + 2047, 20 + 2047});
    const SampleReader reader{buffer, {kHeader, kImage, kImage, false}, 16, true};
    std::vector<std::int32_t> values;
    const double fillMs = BestMilliseconds(5, [&] { ReadBlockValues(reader, block, values); });
    std::printf("analysis: fill 2048x2048 pixel table values      %8.2f ms\n", fillMs);

    // 2Dto1D + Smooth: 5000 data columns × M = 20 = 10^5 samples, width 401.
    constexpr int kColumns = 5000, kRows = 40, kM = 20;
    std::vector<std::int32_t> table(kColumns * kRows);
    for (int i = 0; i < kColumns * kRows; ++i) table[i] = (i * 7919) % 4096;
    PixelTableView view;
    view.dataColumns = kColumns;
    view.dataRows = kRows;
    view.cell = [&](int column, int row) -> std::optional<std::int32_t> {
        return table[(row - 1) * kColumns + (column - 1)];
    };
    auto state = std::make_unique<ProfileState>();
    std::vector<ChartPoint> series;
    const double buildMs = BestMilliseconds(
        5, [&] { BuildCompositeProfile(*state, ProfileOrientation::kRowsLastToFirst, kM, view); });
    const double smoothMs = BestMilliseconds(5, [&] {
        BuildCompositeProfile(*state, ProfileOrientation::kRowsLastToFirst, kM, view);
        state->sampleSpacing = SampleSpacing(0.1L, 20);
        SmoothProfile(*state, 401);
        series = ProfileSeries(*state);
    });
    std::printf("analysis: 2Dto1D of 10^5 samples                 %8.2f ms\n", buildMs);
    std::printf("analysis: 2Dto1D + Smooth(401) + series points   %8.2f ms (%zu points)\n", smoothMs,
                series.size());

    // ToExp of the whole profile, with the model and with a 4096-line curve.
    std::vector<std::string> curve;
    for (int j = 0; j <= 4096; ++j) curve.push_back(std::to_string(j / 1024.0) + "\t" + std::to_string(j));
    const double modelMs = BestMilliseconds(3, [&] {
        BuildCompositeProfile(*state, ProfileOrientation::kRowsLastToFirst, kM, view);
        series = ConvertToExposure(*state, Conversion());
    });
    const double curveMs = BestMilliseconds(3, [&] {
        BuildCompositeProfile(*state, ProfileOrientation::kRowsLastToFirst, kM, view);
        series = ConvertToExposureByCurve(*state, curve, "hdc.txt");
    });
    std::printf("analysis: ToExp model, 10^5 samples              %8.2f ms\n", modelMs);
    std::printf("analysis: ToExp hdc.txt (4097 lines), 10^5       %8.2f ms\n", curveMs);

    // Extract: a slit-like profile of 10^5 samples, halved to at most 2048.
    const double extractMs = BestMilliseconds(3, [&] {
        for (int i = 0; i < 100000; ++i)
            state->compositeProfile[i] = (i > 10 && i < 99990) ? 1000 + i % 7 : 0;
        state->profileCount = 100000;
        ExtractProfile(*state, 0.1L, 20);
    });
    std::printf("analysis: Extract of 10^5 samples                %8.2f ms (%d left)\n", extractMs,
                state->profileCount);

    // Clipboard text of the full pixel table.
    PixelTableView big;
    big.dataColumns = 2048;
    big.dataRows = 2048;
    big.cell = [&](int column, int row) -> std::optional<std::int32_t> {
        return values[static_cast<std::size_t>(row - 1) * 2048 + (column - 1)];
    };
    std::size_t textSize = 0;
    const double clipMs = BestMilliseconds(2, [&] { textSize = PixelTableClipboardText(big, false).size(); });
    std::printf("analysis: clipboard text of 2048x2048 table      %8.2f ms (%zu bytes)\n", clipMs, textSize);
}
