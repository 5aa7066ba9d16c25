// The arithmetic of a load that has to ask for the image size: the square
// size proposed from the file length, and the answer's two numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace radmtf {

// The side of the square image a file of `fileBytes` bytes may hold: the
// side itself when the length is an exact square of samples, else the
// smallest power of two from 64 up that exceeds the rounded side.
long long ProposedSquareSide(std::size_t fileBytes, bool eightBit);

// The parts of the size prompt's answer, "W H" (split at the first blank)
// or a single "N" for a square, as the texts of the column and row counts.
std::string_view ColumnsPart(std::string_view answer);
std::string_view RowsPart(std::string_view answer);

}  // namespace radmtf
