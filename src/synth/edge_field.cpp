#include "synth/edge_field.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace radmtf::synth {

namespace {

// The integral of clamp(t, 0, 1).
double RampIntegral(double t)
{
    if (t <= 0.0) return 0.0;
    if (t <= 1.0) return 0.5 * t * t;
    return t - 0.5;
}

// The mean of clamp(a + b s, 0, 1) over s in [0, 1].
double MeanRamp(double a, double b)
{
    if (std::fabs(b) < 1e-12) return std::clamp(a + 0.5 * b, 0.0, 1.0);
    return (RampIntegral(a + b) - RampIntegral(a)) / b;
}

}  // namespace

std::vector<std::int32_t> EdgeFieldImage(const FlatFieldDetector& d, const EdgeField& e, std::int32_t columns,
                                         std::int32_t rows, double kerma, std::uint64_t seed)
{
    const double slope = std::tan(e.tilt * std::numbers::pi / 180.0);
    const double cx = columns / 2.0 + (e.vertical ? e.offset : 0),
                 cy = rows / 2.0 + (e.vertical ? 0 : e.offset);
    return DetectorImage(d, columns, rows, kerma, seed, [&](double x0, double y0, double cell) {
        // The open fraction: across the cell, the distance past the edge in
        // cell widths runs linearly along the edge.
        const double past = e.vertical ? (x0 + cell - (cx + (y0 - cy) * slope)) / cell
                                       : (y0 + cell - (cy + (x0 - cx) * slope)) / cell;
        return e.dark + (1.0 - e.dark) * MeanRamp(past, -slope);
    });
}

double DetectorMtf(const FlatFieldDetector& d, double f, bool alongY)
{
    const double pitch = alongY ? d.dy : d.dx;
    const double h = pitch / d.cells;
    const std::vector<double> g = CellGaussian(alongY ? d.sigmaY : d.sigmaX, h);
    const int reach = static_cast<int>(g.size() / 2);
    long double gd = 0.0L;
    for (int j = -reach; j <= reach; ++j)
        gd += g[static_cast<std::size_t>(j + reach)] *
              std::cos(2.0L * std::numbers::pi_v<long double> * f * j * h);
    const double x = std::numbers::pi * f * pitch;
    const double sinc = x == 0.0 ? 1.0 : std::sin(x) / x;
    return std::fabs(static_cast<double>(gd)) * std::fabs(sinc);
}

}  // namespace radmtf::synth
