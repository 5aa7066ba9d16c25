// Seeded flat fields of a detector whose noise power spectrum is known
// exactly, and that spectrum as the NNPS estimator expects to see it.
//
// Quanta arrive as Poisson counts on a grid of s x s cells per pixel, with
// a mean that follows a trend (heel, fall-off, twist: a quadratic in x and
// y); a separable Gaussian blur (sigma_x, sigma_y) acts on that grid; each
// pixel sums its s x s cells (the aperture). Kerma is the pixel's quanta
// divided by the quanta per pixel per uGy; electronic noise (white, in uGy)
// is added, then the response gives the pixel value, rounded, clamped to
// 0 .. 2^bits - 1.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "nps/nnps.h"

namespace radmtf::synth {

struct FlatFieldDetector {
    double dx = 0.1, dy = 0.1;            // pixel spacing (mm)
    std::int32_t cells = 3;               // s: cells per pixel along each axis
    double sigmaX = 0.08, sigmaY = 0.08;  // Gaussian blur (mm); 0: none
    double quantaPerUGy = 1000.0;         // mean quanta per pixel per uGy
    double electronicNoise = 0.0;         // SD in uGy
    // Relative trend 1 + heel x + falloff (x^2 + y^2) + twist x y, with x, y
    // running from -1 to 1 across the image.
    double heel = 0.0, falloff = 0.0, twist = 0.0;
    bool logResponse = false;
    double offset = 100.0, gain = 100.0;          // linear: PV = offset + gain K
    double c0 = 2000.0, c1 = 4000.0, kref = 1.0;  // log: PV = c0 + c1 log10(K / kref)
    std::int32_t bits = 16;

    Conversion Response() const;  // the conversion that inverts the response exactly
};

// The detector's image of a fluence that `transmission(x0, y0, cell)` scales
// on each cell (its top-left corner at pixel coordinates x0, y0, `cell`
// pixels wide): row-major columns x rows pixel values, the open fluence at
// the given mean kerma (uGy). Every image of the detector is drawn here, so
// the same seed gives the same quanta whatever the fluence.
std::vector<std::int32_t> DetectorImage(
    const FlatFieldDetector& detector, std::int32_t columns, std::int32_t rows, double kerma,
    std::uint64_t seed, const std::function<double(double x0, double y0, double cell)>& transmission);

// The blur's Gaussian on the cell grid (pitch h, mm), summing to 1.
std::vector<double> CellGaussian(double sigma, double h);

// Row-major columns x rows pixel values at the given mean kerma (uGy).
std::vector<std::int32_t> FlatField(const FlatFieldDetector& detector, std::int32_t columns,
                                    std::int32_t rows, double kerma, std::uint64_t seed);

// The expectation of MeasureNnps's 2-D NNPS (laid out as NnpsResult::nnps2d)
// for flat fields of that size and kerma, linearised with Response().
//
// Counts on the cell grid filtered by H = Gaussian * box(s) give pixels
// with covariance lambda A(s m) per axis, A the autocorrelation of H (the
// aperture and the aliasing of the cell grid are in A). The expected
// periodogram of an n x n ROI is then exactly separable:
//   E|DFT|^2(k, l) = c^2 lambda Tbar F_x(k) F_y(l) + n^2 (sigma_e^2 + sigma_q^2),
//   F(k) = sum_{|m| < n} (n - |m|) A(s m) cos(2 pi k m / n),
// Tbar the trend's mean over the ROIs, c = 1 / quantaPerUGy, sigma_q^2 the
// rounding of the pixel values in kerma units. Neglected: the subtracted
// polynomial's share of a ROI's spectrum (about 12 n^2 / (4 pi^2 k^2 A^4)
// relative at bin k over an area of A^2 pixels, below 1e-6 from 0.5
// cycles/mm) and the trend's curvature within the blur's reach.
std::vector<double> ExpectedNnps2d(const FlatFieldDetector& detector, std::int32_t columns, std::int32_t rows,
                                   double kerma, const NnpsSettings& settings = {});

}  // namespace radmtf::synth
