// Synthetic radiographs of a tilted edge with a known presampled MTF:
// Gaussian plus exponential LSF, pixel aperture, Poisson noise on a
// pedestal, written through the inverse of the logarithmic exposure model
// (L = 4, 12 bits, no offset) so that "ToExp" recovers the exposure.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace radmtf::testing {

struct EdgeScene {
    int across = 500;   // pixels across the edge
    int along = 1000;   // pixels along the edge
    bool vertical = true;
    bool rising = true;  // dark to bright along increasing x (y)
    double tilt = 2.5;   // degrees
    double pixel = 0.1;  // mm
    double quanta = 1000;   // per pixel, bright side
    double pedestal = 0.005;  // dark side, fraction of the bright side
    double sigma = 0.05;      // mm, Gaussian part of the LSF
    double tailWeight = 0.25;
    double tailScale = 0.15;  // mm, exponential part
    std::uint32_t seed = 1;
};

inline double SceneTrueMtf(const EdgeScene& s, double f)
{
    const double pi = std::numbers::pi;
    const double lsf = (1 - s.tailWeight) * std::exp(-2 * pi * pi * s.sigma * s.sigma * f * f) +
                       s.tailWeight / (1 + std::pow(2 * pi * s.tailScale * f, 2));
    const double x = pi * f * s.pixel;
    return lsf * (x == 0 ? 1.0 : std::sin(x) / x);
}

// Integral of the LSF's cumulative distribution up to t (mm).
inline double SceneEsfIntegral(const EdgeScene& s, double t)
{
    const double z = t / s.sigma;
    const double phi = 0.5 * std::erfc(-z / std::sqrt(2.0));
    const double density = std::exp(-0.5 * z * z) / std::sqrt(2 * std::numbers::pi);
    const double gauss = t * phi + s.sigma * density;
    const double b = s.tailScale;
    const double tail = t < 0 ? 0.5 * b * std::exp(t / b) : t + 0.5 * b * std::exp(-t / b);
    return (1 - s.tailWeight) * gauss + s.tailWeight * tail;
}

// Pixel values, row-major; columns × rows is across × along for a vertical
// edge and along × across for a horizontal one.
inline std::vector<std::int32_t> MakeEdgeImage(const EdgeScene& s, int* columns, int* rows)
{
    *columns = s.vertical ? s.across : s.along;
    *rows = s.vertical ? s.along : s.across;
    const double slope = std::tan(s.tilt * std::numbers::pi / 180);
    const double cosine = std::cos(s.tilt * std::numbers::pi / 180);
    const double levels = 4096;
    const double latitude = 4;
    const double reference = s.quanta * std::pow(10.0, -latitude * 3500 / levels);
    std::mt19937 random(s.seed);
    std::vector<std::int32_t> values(static_cast<std::size_t>(*columns) * *rows);
    for (int r = 0; r < *rows; ++r) {
        for (int c = 0; c < *columns; ++c) {
            const int line = s.vertical ? r : c;
            const int i = s.vertical ? c : r;
            const double edge = (s.across - 1) / 2.0 + slope * (line - (s.along - 1) / 2.0);
            double u = (i - edge) * cosine;  // pixels along the normal
            if (!s.rising) u = -u;
            const double esf =
                (SceneEsfIntegral(s, (u + 0.5) * s.pixel) - SceneEsfIntegral(s, (u - 0.5) * s.pixel)) / s.pixel;
            const double mean = s.quanta * (s.pedestal + (1 - s.pedestal) * esf);
            double count;
            if (mean < 50) {
                count = std::poisson_distribution<int>(mean)(random);
            } else {
                count = std::round(mean + std::sqrt(mean) * std::normal_distribution<double>()(random));
            }
            double value = count > 0 ? std::round(levels / latitude * std::log10(count / reference)) : 0;
            value = std::clamp(value, 0.0, levels - 1);
            values[static_cast<std::size_t>(r) * *columns + c] = static_cast<std::int32_t>(value);
        }
    }
    return values;
}

}  // namespace radmtf::testing
