// Square plates (the edge device: a tungsten plate, or a dark square of a
// slanted-edge chart) rotated by a small angle, anywhere in the image, also
// partly outside it.
//
// Each plate's transmission is blurred as if the detector's LSF acted along
// each of the plate's own axes (a PSF separable in the plate's frame): with
// (u, v) the pixel centre in the plate's frame (mm) and h its half side,
//   inside(u, v) = S(u) S(v),  S(u) = E(h − u) + E(h + u) − 1,
// E the model's edge response (blur and pixel aperture along the normal).
// Away from the corners every edge is the model's edge at the plate's
// angle, so its presampled MTF is DetectorModel::PresampledMtf (to within the
// aperture's slant, under 0.2 % at 8°). Plates multiply their transmissions.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "synth/radiograph.h"

namespace radmtf::synth {

struct Plate {
    double centreX = 1536;  // pixels (column)
    double centreY = 1536;  // pixels (row)
    double side = 100;      // mm
    double angle = 2.5;     // degrees, counter-clockwise on the screen (rows grow downwards)
    double transmission = 0.005;
};

struct PlateScene {
    int columns = 3072;
    int rows = 3072;
    std::vector<Plate> plates;
};

// The plate's corners (x, y) in pixels, in order around it.
std::array<std::pair<double, double>, 4> PlateCorners(const Plate& plate, double pixelPitch);

// Relative fluence (1 open) at a pixel centre.
double PlateFluence(const PlateScene& scene, const DetectorModel& model, double x, double y);

Radiograph RenderPlates(const PlateScene& scene, const DetectorModel& model, const NoiseSettings& noise,
                        const ExposureScale& scale = {});

}  // namespace radmtf::synth
