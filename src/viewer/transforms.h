// Flips and quarter turns of the loaded image, in place in the file buffer.
//
// Samples are moved whole and as stored (no swap, no offset): 16-bit words,
// or single bytes in 8-bit mode. Nothing outside the image or outside the
// buffer is ever read or written; the header bytes never change.
#pragma once

#include <cstdint>
#include <span>

#include "viewer/sample_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

// "V": exchange rows i and H - 1 - i for i < H div 2. A pair of samples is
// exchanged only when both exist, so two flips always restore the buffer.
void FlipVertical(std::span<std::uint8_t> buffer, const SampleLayout& layout);

// "H": exchange columns j and W - 1 - j for j < W div 2, in every row, under the same rule.
void FlipHorizontal(std::span<std::uint8_t> buffer, const SampleLayout& layout);

// The square that "CW" and "CCW" turn: the view region cut to the image, then
// the largest square centred in it (the view region itself whenever it is a
// square inside the image). Empty when the square has fewer than 2 rows or
// when not all of its samples lie in the buffer.
SampleBlock TurnSquare(std::size_t bufferSize, const SampleLayout& layout, const ViewRect& view);

// "CW": the square's sample at (r, c) ends at (c, N - 1 - r), moved ring by
// ring in cycles of four.
void TurnClockwise(std::span<std::uint8_t> buffer, const SampleLayout& layout, const ViewRect& view);

// "CCW": the square's sample at (r, c) ends at (N - 1 - c, r).
void TurnCounterClockwise(std::span<std::uint8_t> buffer, const SampleLayout& layout, const ViewRect& view);

}  // namespace radmtf
