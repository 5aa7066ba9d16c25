// The normalised noise power spectrum of IEC 62220-1-1 from flat fields.
//
// Every image is linearised with the conversion function (K per pixel), its
// central 125 mm x 125 mm analysed (the whole image when smaller), a
// second-order polynomial in x and y fitted over that area subtracted, and
// the area tiled with 256 x 256 ROIs stepping 128 pixels, the grid centred.
//   W(u, v) = dx dy / (M 256^2) sum_ROIs |DFT(ROI)|^2,  u = n / (256 dx)
//   NNPS = W / Kbar^2, Kbar the mean K of the pixels the ROIs cover.
// The 1-D NNPS along u averages the 14 rows v = +-1 .. +-7 (the axis row
// excluded) at their radial frequency sqrt(u^2 + v^2) over
// |f - f0| <= 0.01 / dx; along v the same with columns.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/failure.h"
#include "nps/conversion.h"

namespace radmtf {

struct NnpsImage {
    std::string name;  // named in refusals and warnings
    std::int32_t columns = 0, rows = 0;
    double dx = 0.0, dy = 0.0;             // pixel spacing (mm) along columns (x) and rows (y)
    const std::int32_t* values = nullptr;  // rows x columns pixel values, row-major
    std::int64_t saturation = INT64_MAX;   // the largest value the detector gives
};

// The ROI of the standard: 256 x 256 pixels, stepping 128.
inline constexpr std::int32_t kNnpsRoi = 256;
inline constexpr std::int32_t kNnpsStep = 128;

struct NnpsSettings {
    double areaMm = 125.0;
    std::int32_t axisLines = 7;        // rows (columns) each side of the axis
    double binHalfWidthPixels = 0.01;  // x 1/dx: the averaging half-width
    double frequencyStep = 0.05;       // cycles/mm
    unsigned threads = 0;              // 0: every core
};

struct NnpsPoint {
    double frequency = 0.0;             // cycles/mm
    double nnpsU = 0.0, nnpsV = 0.0;    // mm^2
    double uNnpsU = 0.0, uNnpsV = 0.0;  // standard uncertainty, mm^2
};

struct NnpsResult {
    NnpsSettings settings;
    double dx = 0.0, dy = 0.0;
    double meanSignal = 0.0;  // Kbar (uGy)
    std::int64_t rois = 0;    // M
    std::int64_t pixels = 0;  // independent pixels: the covered area of every image
    std::int32_t groups = 0;  // images, or ROI rows of a single image, behind the uncertainty
    std::vector<NnpsPoint> points;
    // kNnpsRoi^2 values (mm^2), row v, column u, zero frequency at [n/2][n/2], n = kNnpsRoi:
    // nnps2d[(l + n/2) * n + (k + n/2)] = NNPS(k / (n dx), l / (n dy)).
    std::vector<double> nnps2d;
    std::vector<Failure> warnings;  // kNnpsSmallArea, kNnpsSaturated, kNnpsFewPixels
};

// Refuses no images or an area smaller than a ROI (kNnpsNoRoi), an image
// whose size or spacing differs from the first or a spacing <= 0
// (kNnpsMixedImages naming it), pixels whose kerma is not positive
// (kNnpsNonPositiveKerma: count and image).
NnpsResult MeasureNnps(std::span<const NnpsImage> images, const Conversion& conversion,
                       const NnpsSettings& settings = {});

// The 1-D spectra of a 2-D spectrum laid out as NnpsResult::nnps2d:
// frequency, along u, along v (uncertainties 0).
std::vector<NnpsPoint> NnpsProfiles(const std::vector<double>& nnps2d, double dx, double dy,
                                    const NnpsSettings& settings = {});

// The analysed area and the ROI grid of an image, as MeasureNnps lays them out.
struct NnpsGrid {
    std::int32_t areaX = 0, areaY = 0, areaWidth = 0, areaHeight = 0;  // in image pixels
    std::int32_t roisX = 0, roisY = 0;
    std::int32_t gridX = 0, gridY = 0;  // first ROI's corner, in image pixels
    std::int32_t coveredWidth() const;
    std::int32_t coveredHeight() const;
};
NnpsGrid LayOutNnpsGrid(std::int32_t columns, std::int32_t rows, double dx, double dy,
                        const NnpsSettings& settings = {});

}  // namespace radmtf
