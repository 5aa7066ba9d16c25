// Viewer kernels on a 3072 x 3072 16-bit image (a large flat-panel detector).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "bench_timing.h"
#include "viewer/render.h"
#include "viewer/roi_measure.h"

using radmtf::bench::MedianMilliseconds;

void RunViewerBenchmarks()
{
    using namespace radmtf;
    constexpr int kSide = 3072;
    constexpr int kHeader = 1024;
    // A smooth gradient with detector-like noise, 12-bit range.
    std::vector<std::uint8_t> buffer(kHeader + 2 * kSide * kSide);
    std::mt19937 rng(1);
    std::normal_distribution<double> noise(0.0, 20.0);
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            const int v = std::clamp(static_cast<int>(500 + (r + c) / 2 + noise(rng)), 0, 4095);
            buffer[kHeader + 2 * (r * kSide + c)] = static_cast<std::uint8_t>(v & 0xFF);
            buffer[kHeader + 2 * (r * kSide + c) + 1] = static_cast<std::uint8_t>(v >> 8);
        }
    }
    const SampleLayout layout{kHeader, kSide, kSide, false};
    const SampleReader reader{buffer, layout, 0, false};

    const ViewGeometry geometry = ShiftViewExtent(ComputeViewExtent(1.0L, kSide, kSide), 0, 0);
    std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(geometry.bitmapWidth) * geometry.bitmapHeight);
    const GrayBitmapView view{bitmap.data(), geometry.bitmapWidth, geometry.bitmapHeight,
                              geometry.bitmapWidth};
    const DisplayWindow window{2048, 4096, 0, false, false};
    const double render =
        MedianMilliseconds(15, [&] { RenderView(buffer, layout, window, geometry.view, view); });

    std::int32_t sink = 0;
    const double autoWindow = MedianMilliseconds(15, [&] { sink += FindAutoWindow(reader)->width; });
    const PixelRect roi{1280, 1280, 1791, 1791};
    const double stat =
        MedianMilliseconds(15, [&] { sink += MeasureRoi(reader, geometry.view, roi)->maximum; });

    std::printf("viewer: render 3072x3072 at MF 1      %8.2f ms (target < 10 ms)\n", render);
    std::printf("viewer: Auto on 3072x3072 (central)    %8.2f ms\n", autoWindow);
    std::printf("viewer: Stat on a 512x512 ROI          %8.2f ms\n", stat);
    std::printf("viewer: (checksum %d, pixel %d)\n", sink, bitmap[bitmap.size() / 2]);
}
