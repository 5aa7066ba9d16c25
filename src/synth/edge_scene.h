// A tilted edge as the edge method expects it: the edge crosses the middle
// of the image, runs along the columns (vertical) or the rows, and is
// tilted by a signed angle (positive: it moves to larger x, or y, line by
// line). Dark-to-bright (rising) means the open side lies at larger x (y).
#pragma once

#include "synth/radiograph.h"

namespace radmtf::synth {

struct EdgeScene {
    int across = 500;  // pixels across the edge
    int along = 1000;  // pixels along it
    bool vertical = true;
    bool rising = true;
    double tilt = 2.5;        // degrees
    double pedestal = 0.005;  // dark side, as a fraction of the open side
};

Placement EdgePlacement(const EdgeScene& scene);

Radiograph RenderEdge(const EdgeScene& scene, const DetectorModel& model, const NoiseSettings& noise,
                      const ExposureScale& scale = {});

}  // namespace radmtf::synth
