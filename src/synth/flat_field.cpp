#include "synth/flat_field.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/quantum_noise.h"

namespace radmtf::synth {

std::vector<double> CellGaussian(double sigma, double h)
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

namespace {

double Trend(const FlatFieldDetector& d, double x, double y)
{
    return 1.0 + d.heel * x + d.falloff * (x * x + y * y) + d.twist * x * y;
}

// Blurs each line of a row-major w x h grid along x with kernel g (zero
// beyond the grid, which the image's margin keeps out of its pixels).
void BlurRows(std::vector<double>& grid, std::size_t w, std::size_t h, const std::vector<double>& g)
{
    if (g.size() == 1) return;
    const std::ptrdiff_t reach = static_cast<std::ptrdiff_t>(g.size() / 2);
    std::vector<double> line(w);
    for (std::size_t y = 0; y < h; ++y) {
        double* row = grid.data() + y * w;
        for (std::ptrdiff_t x = 0; x < static_cast<std::ptrdiff_t>(w); ++x) {
            double s = 0.0;
            const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(-reach, -x);
            const std::ptrdiff_t hi = std::min<std::ptrdiff_t>(reach, static_cast<std::ptrdiff_t>(w) - 1 - x);
            for (std::ptrdiff_t j = lo; j <= hi; ++j)
                s += g[static_cast<std::size_t>(j + reach)] * row[x + j];
            line[static_cast<std::size_t>(x)] = s;
        }
        std::copy(line.begin(), line.end(), row);
    }
}

void Transpose(std::vector<double>& grid, std::size_t w, std::size_t h)
{
    std::vector<double> t(grid.size());
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x) t[x * h + y] = grid[y * w + x];
    grid.swap(t);
}

// A(j) = sum_t H(t) H(t + j) for H = Gaussian * box(s) on the cell grid.
std::vector<double> Autocorrelation(double sigma, double pitch, std::int32_t cells)
{
    const std::vector<double> g = CellGaussian(sigma, pitch / cells);
    std::vector<double> h(g.size() + static_cast<std::size_t>(cells) - 1, 0.0);
    for (std::size_t i = 0; i < g.size(); ++i)
        for (std::int32_t a = 0; a < cells; ++a) h[i + static_cast<std::size_t>(a)] += g[i];
    std::vector<double> a(h.size());
    for (std::size_t j = 0; j < h.size(); ++j) {
        long double s = 0.0L;
        for (std::size_t t = 0; t + j < h.size(); ++t) s += static_cast<long double>(h[t]) * h[t + j];
        a[j] = static_cast<double>(s);
    }
    return a;  // a[j] for lag j >= 0 cells; zero beyond
}

// F(k) = sum_{|m| < n} (n - |m|) A(s m) cos(2 pi k m / n), k = -n/2 .. n/2-1.
std::vector<double> Fejer(const std::vector<double>& a, std::int32_t cells, std::int32_t n)
{
    std::vector<double> f(static_cast<std::size_t>(n));
    for (std::int32_t k = -n / 2; k < n / 2; ++k) {
        long double s = static_cast<long double>(n) * a[0];
        for (std::int32_t m = 1; m < n && static_cast<std::size_t>(m) * cells < a.size(); ++m)
            s += 2.0L * (n - m) * a[static_cast<std::size_t>(m) * cells] *
                 std::cos(2.0L * std::numbers::pi_v<long double> * k * m / n);
        f[static_cast<std::size_t>(k + n / 2)] = static_cast<double>(s);
    }
    return f;
}

}  // namespace

Conversion FlatFieldDetector::Response() const
{
    return logResponse ? Conversion::Log(c0, c1, kref) : Conversion::Linear(offset, gain);
}

std::vector<std::int32_t> DetectorImage(
    const FlatFieldDetector& d, std::int32_t columns, std::int32_t rows, double kerma, std::uint64_t seed,
    const std::function<double(double x0, double y0, double cell)>& transmission)
{
    QuantumNoise noise(seed);
    // A margin as wide as the blur's reach, so the edge pixels get the
    // quanta their neighbours outside would send them.
    const auto margin = [](double sigma, double pitch) {
        return static_cast<std::size_t>(std::ceil(6.0 * sigma / pitch)) + 1;
    };
    const std::size_t mx = margin(d.sigmaX, d.dx), my = margin(d.sigmaY, d.dy);
    const std::size_t s = static_cast<std::size_t>(d.cells);
    const std::size_t w = (static_cast<std::size_t>(columns) + 2 * mx) * s;
    const std::size_t h = (static_cast<std::size_t>(rows) + 2 * my) * s;
    const double perCell = d.quantaPerUGy * kerma / static_cast<double>(s * s);
    const double cell = 1.0 / static_cast<double>(s);  // in pixels
    std::vector<double> grid(w * h);
    for (std::size_t y = 0; y < h; ++y) {
        const double ty = 2.0 * ((y + 0.5) / static_cast<double>(s) - static_cast<double>(my)) / rows - 1.0;
        const double y0 = static_cast<double>(y) * cell - static_cast<double>(my);
        for (std::size_t x = 0; x < w; ++x) {
            const double tx =
                2.0 * ((x + 0.5) / static_cast<double>(s) - static_cast<double>(mx)) / columns - 1.0;
            const double x0 = static_cast<double>(x) * cell - static_cast<double>(mx);
            grid[y * w + x] =
                static_cast<double>(noise.Poisson(perCell * Trend(d, tx, ty) * transmission(x0, y0, cell)));
        }
    }
    BlurRows(grid, w, h, CellGaussian(d.sigmaX, d.dx / d.cells));
    Transpose(grid, w, h);
    BlurRows(grid, h, w, CellGaussian(d.sigmaY, d.dy / d.cells));
    Transpose(grid, h, w);

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
                // Box-Muller on the seeded uniforms.
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

std::vector<std::int32_t> FlatField(const FlatFieldDetector& d, std::int32_t columns, std::int32_t rows,
                                    double kerma, std::uint64_t seed)
{
    return DetectorImage(d, columns, rows, kerma, seed, [](double, double, double) { return 1.0; });
}

std::vector<double> ExpectedNnps2d(const FlatFieldDetector& d, std::int32_t columns, std::int32_t rows,
                                   double kerma, const NnpsSettings& settings)
{
    const std::int32_t n = kNnpsRoi;
    const NnpsGrid grid = LayOutNnpsGrid(columns, rows, d.dx, d.dy, settings);
    const auto trendAt = [&](std::int32_t x, std::int32_t y) {
        return Trend(d, 2.0 * (x + 0.5) / columns - 1.0, 2.0 * (y + 0.5) / rows - 1.0);
    };
    // Tbar: the trend's mean over the ROIs; the covered mean gives Kbar.
    long double roiMean = 0.0L;
    for (std::int32_t ry = 0; ry < grid.roisY; ++ry) {
        for (std::int32_t rx = 0; rx < grid.roisX; ++rx) {
            long double s = 0.0L;
            for (std::int32_t y = 0; y < n; ++y)
                for (std::int32_t x = 0; x < n; ++x)
                    s += trendAt(grid.gridX + rx * kNnpsStep + x, grid.gridY + ry * kNnpsStep + y);
            roiMean += s / (n * n);
        }
    }
    roiMean /= static_cast<long double>(grid.roisX) * grid.roisY;
    long double covered = 0.0L;
    for (std::int32_t y = 0; y < grid.coveredHeight(); ++y)
        for (std::int32_t x = 0; x < grid.coveredWidth(); ++x)
            covered += trendAt(grid.gridX + x, grid.gridY + y);
    covered /= static_cast<long double>(grid.coveredWidth()) * grid.coveredHeight();

    const std::vector<double> fx = Fejer(Autocorrelation(d.sigmaX, d.dx, d.cells), d.cells, n);
    const std::vector<double> fy = Fejer(Autocorrelation(d.sigmaY, d.dy, d.cells), d.cells, n);
    const double c = 1.0 / d.quantaPerUGy;
    const double lambda = d.quantaPerUGy * kerma / (static_cast<double>(d.cells) * d.cells);
    const double slope = d.logResponse ? kerma * std::log(10.0) / d.c1 : 1.0 / d.gain;  // dK / dPV
    const double white = d.electronicNoise * d.electronicNoise + slope * slope / 12.0;
    const double kbar = kerma * static_cast<double>(covered);
    const double scale = d.dx * d.dy / (static_cast<double>(n) * n * kbar * kbar);
    std::vector<double> w(static_cast<std::size_t>(n) * n);
    for (std::int32_t l = 0; l < n; ++l)
        for (std::int32_t k = 0; k < n; ++k)
            w[static_cast<std::size_t>(l) * n + k] =
                scale * (c * c * lambda * static_cast<double>(roiMean) * fx[static_cast<std::size_t>(k)] *
                             fy[static_cast<std::size_t>(l)] +
                         static_cast<double>(n) * n * white);
    return w;
}

}  // namespace radmtf::synth
