#include "viewer/transforms.h"

#include <algorithm>
#include <cstring>

namespace radmtf {
namespace {

std::uint8_t* SamplePointer(std::span<std::uint8_t> buffer, const SampleLayout& layout, std::int64_t row,
                            std::int64_t col)
{
    return buffer.data() + SampleOffset(layout, row, col);
}

void SwapSamples(std::uint8_t* a, std::uint8_t* b, int bytes)
{
    std::swap_ranges(a, a + bytes, b);
}

// One sample, whatever its size, held while a cycle moves it.
struct Held {
    std::uint8_t bytes[2];
};

enum class Turn { Clockwise, CounterClockwise };

void TurnSquareInPlace(std::span<std::uint8_t> buffer, const SampleLayout& layout, const ViewRect& view,
                       Turn turn)
{
    const SampleBlock square = TurnSquare(buffer.size(), layout, view);
    if (square.Empty()) return;
    const int bytes = layout.BytesPerSample();
    const std::int64_t n = square.cols;
    const std::int64_t m = square.rows;  // equal to n; kept apart so the cycles read as usual
    auto at = [&](std::int64_t r, std::int64_t c) {
        return SamplePointer(buffer, layout, square.row0 + r, square.col0 + c);
    };
    auto take = [&](std::uint8_t* p) {
        Held held{};
        std::memcpy(held.bytes, p, bytes);
        return held;
    };
    auto put = [&](std::uint8_t* p, const Held& held) { std::memcpy(p, held.bytes, bytes); };

    // Ring i, positions j = i .. N - 2 - i: four samples move in one cycle.
    for (std::int64_t i = 0; i <= m / 2; ++i) {
        for (std::int64_t j = i; j <= n - 2 - i; ++j) {
            std::uint8_t* p1 = at(i, j);
            std::uint8_t* p2 = at(j, n - 1 - i);
            std::uint8_t* p3 = at(m - 1 - i, n - 1 - j);
            std::uint8_t* p4 = at(m - 1 - j, i);
            if (turn == Turn::CounterClockwise) std::swap(p2, p4);
            // t1 -> p2 -> p3 -> p4 -> p1
            const Held t1 = take(p1);
            const Held t2 = take(p2);
            put(p2, t1);
            const Held t3 = take(p3);
            put(p3, t2);
            const Held t4 = take(p4);
            put(p4, t3);
            put(p1, t4);
        }
    }
}

}  // namespace

void FlipVertical(std::span<std::uint8_t> buffer, const SampleLayout& layout)
{
    // Only rows that can hold samples are visited: row i and its mirror
    // H - 1 - i must both lie in [rows.first, rows.end).
    const RowRange rows = RowsWithSamples(buffer.size(), layout);
    const std::int64_t h = layout.height;
    const std::int64_t firstPair = std::max(rows.first, h - rows.end);
    const std::int64_t endPair = std::min({h / 2, rows.end, h - rows.first});
    for (std::int64_t i = firstPair; i < endPair; ++i) {
        const std::int64_t mirror = h - 1 - i;
        const ColumnRange a = ExistingColumns(buffer.size(), layout, i);
        const ColumnRange b = ExistingColumns(buffer.size(), layout, mirror);
        const std::int64_t first = std::max(a.first, b.first);
        const std::int64_t end = std::min(a.end, b.end);
        if (end <= first) continue;
        std::swap_ranges(SamplePointer(buffer, layout, i, first), SamplePointer(buffer, layout, i, end),
                         SamplePointer(buffer, layout, mirror, first));
    }
}

void FlipHorizontal(std::span<std::uint8_t> buffer, const SampleLayout& layout)
{
    const int bytes = layout.BytesPerSample();
    const std::int64_t w = layout.width;
    const RowRange rows = RowsWithSamples(buffer.size(), layout);
    for (std::int64_t i = rows.first; i < rows.end; ++i) {
        // Column j pairs with W - 1 - j; both must lie in the row's existing
        // columns, so j runs from max(first, W - end) to W div 2.
        const ColumnRange columns = ExistingColumns(buffer.size(), layout, i);
        for (std::int64_t j = std::max(columns.first, w - columns.end); j < w / 2; ++j)
            SwapSamples(SamplePointer(buffer, layout, i, j), SamplePointer(buffer, layout, i, w - 1 - j), bytes);
    }
}

SampleBlock TurnSquare(std::size_t bufferSize, const SampleLayout& layout, const ViewRect& view)
{
    const std::int64_t left = std::max<std::int64_t>(view.left, 0);
    const std::int64_t right = std::min<std::int64_t>(view.right, std::int64_t{layout.width} - 1);
    const std::int64_t top = std::max<std::int64_t>(view.top, 0);
    const std::int64_t bottom = std::min<std::int64_t>(view.bottom, std::int64_t{layout.height} - 1);
    const std::int64_t cols = right - left + 1;
    const std::int64_t rows = bottom - top + 1;
    const std::int64_t n = std::min(cols, rows);
    if (n < 2) return {};
    SampleBlock square{top + (rows - n) / 2, left + (cols - n) / 2, n, n};
    // The samples inside the buffer are one run of consecutive samples, so the
    // square is whole when its first and last samples are there.
    if (!SampleBytePosition(bufferSize, layout, square.row0, square.col0) ||
        !SampleBytePosition(bufferSize, layout, square.row0 + n - 1, square.col0 + n - 1)) {
        return {};
    }
    return square;
}

void TurnClockwise(std::span<std::uint8_t> buffer, const SampleLayout& layout, const ViewRect& view)
{
    TurnSquareInPlace(buffer, layout, view, Turn::Clockwise);
}

void TurnCounterClockwise(std::span<std::uint8_t> buffer, const SampleLayout& layout, const ViewRect& view)
{
    TurnSquareInPlace(buffer, layout, view, Turn::CounterClockwise);
}

}  // namespace radmtf
