// Synthetic radiographs: an object laid across the image at a small tilt,
// quantum noise with a fixed seed, and pixel values through the inverse of
// the program's logarithmic exposure model, so that "ToExp" with the same
// L and BitsStored gives back the exposure.
//
// Geometry. The object is sheared, not rotated: every line (row for the
// orientations 1 and 2, column for 3 and 4) holds the same profile, moved by
// 1/M pixel per line in the direction the orientation button describes:
//   1: u = c − (origin + r / M)   lines nearly vertical, moving right downward
//   2: u = c − (origin − r / M)   moving left downward
//   3: u = r − (origin + c / M)   lines nearly horizontal, moving down to the right
//   4: u = r − (origin − c / M)   moving up to the right
// with u the pixel centre's position along the profile in pixels, r and c the
// image row and column. Blur and aperture act along the profile, so the
// M-line composite profile samples the presampled response exactly and the
// true presampled MTF is DetectorModel::PresampledMtf. M need not be an
// integer. (For the tilts of interest, 1/M ≤ 0.1, a rotated object differs
// from a sheared one by less than 0.5 % in scale.)
//
// Quanta. `quanta` is the mean count of a pixel at the object's open level
// (ObjectProfile = 1: the slit's peak, the chart's bars, the open side of an
// edge, the flat field); every pixel draws a Poisson count N of mean
// quanta × profile. Pixel value P = nearest(2^B / L × log10(1 + g N)), ties
// to even, clamped to 0 .. 2^B − 1, with g = (10^D − 1) / quanta: the open
// level sits D = L − headroom decades up, and ToExp returns E = 1 + g N (to
// within the 10^(L/2^B) quantisation step). The 1 is the exposure of pixel
// value 0; it adds a pedestal of 10^−D of the open level to every object.
//
// Example: a 20 µm slit at M = 13.6, 10^3 quanta, 1 % pedestal, as a file:
//   DetectorModel model;                       // p = 0.1 mm, true MTF: model.PresampledMtf(f)
//   Placement at{.columns = 256, .rows = 100, .linesPerPixel = 13.6, .origin = 120.3};
//   Radiograph image = Render(at, SlitObject(model, 0.02, 0.01), model, {.quanta = 1000, .seed = 7});
//   WriteDicomFile("slit.dcm", image);
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/composite_profile.h"
#include "analysis/pixel_table.h"
#include "synth/detector_model.h"
#include "synth/objects.h"

namespace radmtf::synth {

struct Placement {
    int columns = 256;
    int rows = 256;
    ProfileOrientation orientation = ProfileOrientation::kRowsLastToFirst;
    double linesPerPixel = 17;  // M: lines over which the object moves by one pixel
    double origin = 128;        // object position (pixels along the profile) on line 0
};

// u of pixel (row, column) as above, in pixels.
double ProfilePosition(const Placement& placement, int row, int column);

// M for a tilt of the given angle (degrees) against the lines: 1 / tan(angle).
double LinesPerPixelFromAngle(double degrees);

struct ExposureScale {
    double latitude = 4;    // L: decades over the pixel range
    int bitsStored = 12;    // B
    double headroom = 0.4;  // decades left above the open level
    // A linear response instead (a raw "for processing" image) when the gain
    // is positive: P = nearest(offset + gain N), clamped to 0 .. 2^B − 1,
    // so the noise grows with the level (σ = gain √N).
    double linearOffset = 100;
    double linearGain = 0;
    double OpenLevelDecades() const { return latitude - headroom; }
};

struct NoiseSettings {
    double quanta = 1000;  // mean quanta per pixel at the open level
    std::uint64_t seed = 1;
    bool poisson = true;  // false: every pixel gets its mean count (no noise)
};

struct Radiograph {
    int columns = 0;
    int rows = 0;
    double pixelSpacing = 0.1;  // mm
    int bitsStored = 12;
    std::vector<std::uint16_t> pixels;  // rows × columns, row by row
    std::uint16_t At(int row, int column) const
    {
        return pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(column)];
    }
};

// The mean count of every pixel (rows × columns, row by row).
std::vector<double> ExpectedQuanta(const Placement& placement, const ObjectProfile& object, double pixelPitch,
                                   double quanta);

// The radiograph. Pixels are drawn row by row, left to right, so a seed
// gives the same image everywhere.
Radiograph Render(const Placement& placement, const ObjectProfile& object, const DetectorModel& model,
                  const NoiseSettings& noise, const ExposureScale& scale = {});

// The same from the mean count of every pixel (rows × columns, row by row).
Radiograph RenderQuanta(int columns, int rows, const std::vector<double>& mean, double pixelSpacing,
                        const NoiseSettings& noise, const ExposureScale& scale = {});

// A block of the radiograph as the analysis window's pixel table holds it
// (data cells (1, 1) .. (columns, rows) = image pixels from firstColumn,
// firstRow); the view refers to `image`, which must outlive it. Cells
// outside the image read as empty.
PixelTableView TableView(const Radiograph& image, int firstColumn, int firstRow, int columns, int rows);

// The exposure ToExp would give for a pixel value (10^(L × P / 2^B)); for
// a linear response the quanta (P − offset) / gain.
double ExposureOfPixelValue(double pixelValue, const ExposureScale& scale);

}  // namespace radmtf::synth
