#include "synth/plate_scene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace radmtf::synth {

namespace {

struct Frame {
    double cx, cy, cosA, sinA, half;
};

Frame FrameOf(const Plate& plate)
{
    const double a = plate.angle * std::numbers::pi / 180;
    return {plate.centreX, plate.centreY, std::cos(a), std::sin(a), plate.side / 2};
}

// Plate frame (mm) of pixel (x, y); counter-clockwise on screen is a
// negative angle in row-down coordinates.
std::pair<double, double> ToPlate(const Frame& f, double x, double y, double pitch)
{
    const double dx = (x - f.cx) * pitch;
    const double dy = (y - f.cy) * pitch;
    return {dx * f.cosA - dy * f.sinA, dx * f.sinA + dy * f.cosA};
}

}  // namespace

std::array<std::pair<double, double>, 4> PlateCorners(const Plate& plate, double pixelPitch)
{
    const Frame f = FrameOf(plate);
    const double h = f.half / pixelPitch;
    std::array<std::pair<double, double>, 4> out;
    const double su[4] = {-h, h, h, -h};
    const double sv[4] = {-h, -h, h, h};
    // Inverse of ToPlate: x = cx + u cos + v sin, y = cy − u sin + v cos.
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(i)] = {f.cx + su[i] * f.cosA + sv[i] * f.sinA,
                                            f.cy - su[i] * f.sinA + sv[i] * f.cosA};
    return out;
}

double PlateFluence(const PlateScene& scene, const DetectorModel& model, double x, double y)
{
    const double reach = model.Reach();
    double fluence = 1;
    for (const Plate& plate : scene.plates) {
        const Frame f = FrameOf(plate);
        const auto [u, v] = ToPlate(f, x, y, model.pixelPitch);
        const double au = std::fabs(u), av = std::fabs(v);
        if (au >= f.half + reach || av >= f.half + reach) continue;
        auto slab = [&](double w, double aw) {
            if (aw <= f.half - reach) return 1.0;
            return model.EdgeResponse(f.half - w) + model.EdgeResponse(f.half + w) - 1;
        };
        fluence *= 1 - (1 - plate.transmission) * slab(u, au) * slab(v, av);
    }
    return fluence;
}

Radiograph RenderPlates(const PlateScene& scene, const DetectorModel& model, const NoiseSettings& noise,
                        const ExposureScale& scale)
{
    std::vector<double> mean(static_cast<std::size_t>(std::max(scene.rows, 0)) *
                             static_cast<std::size_t>(std::max(scene.columns, 0)));
    std::size_t i = 0;
    for (int r = 0; r < scene.rows; ++r)
        for (int c = 0; c < scene.columns; ++c) mean[i++] = noise.quanta * PlateFluence(scene, model, c, r);
    return RenderQuanta(scene.columns, scene.rows, mean, model.pixelPitch, noise, scale);
}

}  // namespace radmtf::synth
