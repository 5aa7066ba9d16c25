#include "viewer/trimming.h"

#include <algorithm>
#include <cstring>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

std::vector<std::uint8_t> BuildTrimmedImage(std::span<const std::uint8_t> buffer, const SampleLayout& layout,
                                            const ViewRect& view, const PixelRect& roiBitmapRect)
{
    const SampleBlock block = RoiBlock(view, roiBitmapRect);
    if (block.Empty()) ThrowMessage(kTrimEmptyMessage);
    if (block.cols > kMaxTrimSamples / block.rows) ThrowMessage(kTrimTooLargeMessage);

    std::vector<std::uint8_t> out(static_cast<std::size_t>(block.cols * block.rows * 2), 0);
    for (std::int64_t y = 0; y < block.rows; ++y) {
        const std::int64_t row = block.row0 + y;
        const ColumnRange columns = ExistingColumns(buffer.size(), layout, row);
        const std::int64_t first = std::max(columns.first, block.col0);
        const std::int64_t end = std::min(columns.end, block.col0 + block.cols);
        if (end <= first) continue;  // the row stays 0
        std::uint8_t* dst = out.data() + 2 * (y * block.cols + (first - block.col0));
        const std::uint8_t* src = buffer.data() + SampleOffset(layout, row, first);
        if (layout.eightBit) {
            for (std::int64_t c = first; c < end; ++c, dst += 2) dst[0] = *src++;  // high byte stays 0
        } else {
            std::memcpy(dst, src, static_cast<std::size_t>(2 * (end - first)));
        }
    }
    return out;
}

std::string TrimmedFileName(std::string_view path, const ViewRect& view, const PixelRect& roiBitmapRect)
{
    const SampleBlock block = RoiBlock(view, roiBitmapRect);
    return std::string(path) + " " + IntToStr(block.cols) + " " + IntToStr(block.rows) + ".bin";
}

}  // namespace radmtf
