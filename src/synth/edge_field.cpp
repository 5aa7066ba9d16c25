#include "synth/edge_field.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/quantum_noise.h"

namespace radmtf::synth {

namespace {

// As flat_field.cpp: the Gaussian on the cell grid (pitch h), summing to 1.
std::vector<double> Gaussian(double sigma, double h)
{
    if (sigma <= 0.0) return {1.0};
    const int reach = static_cast<int>(std::ceil(6.0 * sigma / h));
    std::vector<double> g(static_cast<std::size_t>(2 * reach + 1));
    double sum = 0.0;
    for (int j = -reach; j <= reach; ++j) {
        const double t = j * h / sigma;
        sum += g[static_cast<std::size_t>(j + reach)] = std::exp(-0.5 * t * t);
    }
    for (double& v : g) v /= sum;
    return g;
}

// Convolves every line of a row-major w x h grid with g along the line
// (zero beyond the grid), then transposes it.
void BlurAndTranspose(std::vector<double>& grid, std::size_t w, std::size_t h, const std::vector<double>& g)
{
    const std::ptrdiff_t reach = static_cast<std::ptrdiff_t>(g.size() / 2);
    std::vector<double> t(grid.size());
    for (std::size_t y = 0; y < h; ++y) {
        const double* row = grid.data() + y * w;
        for (std::ptrdiff_t x = 0; x < static_cast<std::ptrdiff_t>(w); ++x) {
            double s = 0.0;
            const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(-reach, -x);
            const std::ptrdiff_t hi = std::min<std::ptrdiff_t>(reach, static_cast<std::ptrdiff_t>(w) - 1 - x);
            for (std::ptrdiff_t j = lo; j <= hi; ++j)
                s += g[static_cast<std::size_t>(j + reach)] * row[x + j];
            t[static_cast<std::size_t>(x) * h + y] = s;
        }
    }
    grid.swap(t);
}

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
    QuantumNoise noise(seed);
    const auto margin = [](double sigma, double pitch) {
        return static_cast<std::size_t>(std::ceil(6.0 * sigma / pitch)) + 1;
    };
    const std::size_t mx = margin(d.sigmaX, d.dx), my = margin(d.sigmaY, d.dy);
    const std::size_t s = static_cast<std::size_t>(d.cells);
    const std::size_t w = (static_cast<std::size_t>(columns) + 2 * mx) * s;
    const std::size_t h = (static_cast<std::size_t>(rows) + 2 * my) * s;
    const double perCell = d.quantaPerUGy * kerma / static_cast<double>(s * s);
    const double slope = std::tan(e.tilt * std::numbers::pi / 180.0);
    const double cx = columns / 2.0 + (e.vertical ? e.offset : 0),
                 cy = rows / 2.0 + (e.vertical ? 0 : e.offset);
    const double cell = 1.0 / static_cast<double>(s);  // in pixels
    std::vector<double> grid(w * h);
    for (std::size_t y = 0; y < h; ++y) {
        const double y0 = static_cast<double>(y) * cell - static_cast<double>(my);  // pixels
        const double ty = 2.0 * (y0 + 0.5 * cell) / rows - 1.0;
        for (std::size_t x = 0; x < w; ++x) {
            const double x0 = static_cast<double>(x) * cell - static_cast<double>(mx);
            const double tx = 2.0 * (x0 + 0.5 * cell) / columns - 1.0;
            // The open fraction: across the cell, the distance past the edge
            // in cell widths runs linearly along the edge.
            double open;
            if (e.vertical) {
                const double past = (x0 + cell - (cx + (y0 - cy) * slope)) / cell;
                open = MeanRamp(past, -slope);
            } else {
                const double past = (y0 + cell - (cy + (x0 - cx) * slope)) / cell;
                open = MeanRamp(past, -slope);
            }
            const double transmission = e.dark + (1.0 - e.dark) * open;
            const double trend = 1.0 + d.heel * tx + d.falloff * (tx * tx + ty * ty) + d.twist * tx * ty;
            grid[y * w + x] = static_cast<double>(noise.Poisson(perCell * trend * transmission));
        }
    }
    BlurAndTranspose(grid, w, h, Gaussian(d.sigmaX, d.dx / d.cells));
    BlurAndTranspose(grid, h, w, Gaussian(d.sigmaY, d.dy / d.cells));

    const Conversion response = d.Response();
    const double top = std::ldexp(1.0, d.bits) - 1.0;
    std::vector<std::int32_t> image(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (std::size_t py = 0; py < static_cast<std::size_t>(rows); ++py) {
        for (std::size_t px = 0; px < static_cast<std::size_t>(columns); ++px) {
            double quanta = 0.0;
            for (std::size_t a = 0; a < s; ++a)
                for (std::size_t b = 0; b < s; ++b)
                    quanta += grid[((py + my) * s + a) * w + (px + mx) * s + b];
            double k = quanta / d.quantaPerUGy;
            if (d.electronicNoise > 0.0) {
                const double u1 = 1.0 - noise.Uniform(), u2 = noise.Uniform();
                k += d.electronicNoise * std::sqrt(-2.0 * std::log(u1)) *
                     std::cos(2.0 * std::numbers::pi * u2);
            }
            const double pv = k > 0.0 || !d.logResponse ? std::round(response.PixelValue(k)) : 0.0;
            image[py * static_cast<std::size_t>(columns) + px] =
                static_cast<std::int32_t>(std::clamp(pv, 0.0, top));
        }
    }
    return image;
}

double DetectorMtf(const FlatFieldDetector& d, double f, bool alongY)
{
    const double pitch = alongY ? d.dy : d.dx;
    const double h = pitch / d.cells;
    const std::vector<double> g = Gaussian(alongY ? d.sigmaY : d.sigmaX, h);
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
