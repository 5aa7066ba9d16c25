#include "synth/edge_scene.h"

#include <cmath>

namespace radmtf::synth {

Placement EdgePlacement(const EdgeScene& scene)
{
    Placement at;
    at.columns = scene.vertical ? scene.across : scene.along;
    at.rows = scene.vertical ? scene.along : scene.across;
    const bool forward = scene.tilt > 0;
    if (scene.vertical)
        at.orientation =
            forward ? ProfileOrientation::kRowsLastToFirst : ProfileOrientation::kRowsFirstToLast;
    else
        at.orientation =
            forward ? ProfileOrientation::kColumnsLastToFirst : ProfileOrientation::kColumnsFirstToLast;
    at.linesPerPixel = LinesPerPixelFromAngle(std::fabs(scene.tilt));
    // Centred: half-way along, the edge is half-way across.
    const double drift = std::isfinite(at.linesPerPixel) ? (scene.along / 2.0) / at.linesPerPixel : 0.0;
    at.origin = scene.across / 2.0 - (forward ? drift : -drift);
    return at;
}

Radiograph RenderEdge(const EdgeScene& scene, const DetectorModel& model, const NoiseSettings& noise,
                      const ExposureScale& scale)
{
    return Render(EdgePlacement(scene), EdgeObject(model, scene.pedestal, scene.rising), model, noise, scale);
}

}  // namespace radmtf::synth
