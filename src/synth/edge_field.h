// Seeded radiographs of a tilted edge on the detector of the flat fields
// (flat_field.h): the same quanta on the same cell grid, the same blur,
// aperture, electronic noise and response, with the fluence of each cell
// scaled by the open fraction of its area. With no edge (a dark side that
// transmits everything) the image is FlatField's, draw for draw.
//
// Its presampled MTF is exact: a cell counts the fluence over its area
// (sinc(f h), h = d / s), the discrete Gaussian G_d acts on the cell grid and
// a pixel sums s cells (sin(pi f d) / (s sin(pi f h))), so
//   MTF(f) = |G_d(f)| |sinc(f d)|,  G_d(f) = sum_j g_j cos(2 pi f j h).
#pragma once

#include <cstdint>
#include <vector>

#include "synth/flat_field.h"

namespace radmtf::synth {

struct EdgeField {
    bool vertical = true;     // the edge runs along the columns; its profile along x
    double tilt = 3.0;        // degrees; positive: the edge moves to larger x (y) line by line
    double dark = 0.1;        // transmission of the covered side (the open side: 1)
    std::int32_t offset = 0;  // the edge's shift from the image centre (pixels)
};

// Row-major columns x rows pixel values, the open side at the given kerma.
std::vector<std::int32_t> EdgeFieldImage(const FlatFieldDetector& detector, const EdgeField& edge,
                                         std::int32_t columns, std::int32_t rows, double kerma,
                                         std::uint64_t seed);

// The presampled MTF of the detector at f (cycles/mm) along x (or y).
double DetectorMtf(const FlatFieldDetector& detector, double f, bool alongY);

}  // namespace radmtf::synth
