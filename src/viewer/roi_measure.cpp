#include "viewer/roi_measure.h"

#include <algorithm>

#include "core/failure.h"

namespace radmtf {
std::optional<RoiStatistics> MeasureBlock(const SampleReader& reader, const SampleBlock& block)
{
    const SampleBlock clipped = ClipToExistingSamples(reader.buffer.size(), reader.layout, block);
    if (clipped.Empty()) return std::nullopt;

    RoiStatistics stats;
    stats.block = clipped;

    // First pass: sum (double), extremes from the first sample on.
    double sum = 0.0;
    bool first = true;
    ForEachSample(reader, clipped, [&](std::int32_t v) {
        sum += v;
        if (first) {
            stats.maximum = stats.minimum = v;
            first = false;
        } else {
            stats.maximum = std::max(stats.maximum, v);
            stats.minimum = std::min(stats.minimum, v);
        }
    });
    const auto w = static_cast<long double>(clipped.cols);
    const auto h = static_cast<long double>(clipped.rows);
    // mean = sum / w / h, in that order.
    stats.mean = static_cast<double>(static_cast<long double>(sum) / w / h);

    // Second pass: sum of (v - mean)^2, each square in extended precision.
    double squares = 0.0;
    ForEachSample(reader, clipped, [&](std::int32_t v) {
        const long double deviation = static_cast<long double>(v) - stats.mean;
        squares = static_cast<double>(squares + deviation * deviation);
    });
    // SD = sqrt(squares / w / h): population standard deviation.
    stats.sd = static_cast<double>(CheckedSqrt(static_cast<long double>(squares) / w / h));
    return stats;
}

std::optional<RoiStatistics> MeasureRoi(const SampleReader& reader, const ViewRect& view,
                                        const PixelRect& roiBitmapRect)
{
    return MeasureBlock(reader, RoiBlock(view, roiBitmapRect));
}

std::optional<AutoWindow> FindAutoWindow(const SampleReader& reader)
{
    const std::int64_t qx = reader.layout.width / 4;
    const std::int64_t qy = reader.layout.height / 4;
    // Rows qy .. 3qy - 1 and columns qx .. 3qx - 1: 2qy rows, 2qx columns.
    const SampleBlock central =
        ClipToExistingSamples(reader.buffer.size(), reader.layout, {qy, qx, 2 * qy, 2 * qx});
    if (central.Empty()) return std::nullopt;

    AutoWindow result;
    bool first = true;
    ForEachSample(reader, central, [&](std::int32_t v) {
        if (first) {
            result.maximum = result.minimum = v;
            first = false;
        } else {
            result.maximum = std::max(result.maximum, v);
            result.minimum = std::min(result.minimum, v);
        }
    });
    result.width = result.maximum - result.minimum - 1;
    result.level = (result.maximum + result.minimum) / 2;
    return result;
}

}  // namespace radmtf
