#include "synth/radiograph.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/quantum_noise.h"

namespace radmtf::synth {

double ProfilePosition(const Placement& placement, int row, int column)
{
    const double m = placement.linesPerPixel;
    switch (placement.orientation) {
        case ProfileOrientation::kRowsLastToFirst:
            return column - (placement.origin + row / m);
        case ProfileOrientation::kRowsFirstToLast:
            return column - (placement.origin - row / m);
        case ProfileOrientation::kColumnsLastToFirst:
            return row - (placement.origin + column / m);
        case ProfileOrientation::kColumnsFirstToLast:
        default:
            return row - (placement.origin - column / m);
    }
}

double LinesPerPixelFromAngle(double degrees)
{
    return 1 / std::tan(degrees * std::numbers::pi / 180);
}

std::vector<double> ExpectedQuanta(const Placement& placement, const ObjectProfile& object, double pixelPitch,
                                   double quanta)
{
    std::vector<double> mean(static_cast<std::size_t>(std::max(placement.rows, 0)) *
                             static_cast<std::size_t>(std::max(placement.columns, 0)));
    std::size_t i = 0;
    for (int r = 0; r < placement.rows; ++r)
        for (int c = 0; c < placement.columns; ++c)
            mean[i++] = quanta * object(ProfilePosition(placement, r, c) * pixelPitch);
    return mean;
}

Radiograph Render(const Placement& placement, const ObjectProfile& object, const DetectorModel& model,
                  const NoiseSettings& noise, const ExposureScale& scale)
{
    const std::vector<double> mean = ExpectedQuanta(placement, object, model.pixelPitch, noise.quanta);
    return RenderQuanta(placement.columns, placement.rows, mean, model.pixelPitch, noise, scale);
}

Radiograph RenderQuanta(int columns, int rows, const std::vector<double>& mean, double pixelSpacing,
                        const NoiseSettings& noise, const ExposureScale& scale)
{
    Radiograph image;
    image.columns = columns;
    image.rows = rows;
    image.pixelSpacing = pixelSpacing;
    image.bitsStored = scale.bitsStored;
    const double gain = (std::pow(10.0, scale.OpenLevelDecades()) - 1) / noise.quanta;
    const double full = std::ldexp(1.0, scale.bitsStored);
    const double perDecade = full / scale.latitude;
    QuantumNoise random(noise.seed);
    image.pixels.resize(mean.size());
    for (std::size_t i = 0; i < mean.size(); ++i) {
        const double count = noise.poisson ? static_cast<double>(random.Poisson(mean[i])) : mean[i];
        const double value = scale.linearGain > 0
                                 ? std::nearbyint(scale.linearOffset + scale.linearGain * count)
                                 : std::nearbyint(perDecade * std::log10(1 + gain * count));
        image.pixels[i] = static_cast<std::uint16_t>(std::clamp(value, 0.0, full - 1));
    }
    return image;
}

PixelTableView TableView(const Radiograph& image, int firstColumn, int firstRow, int columns, int rows)
{
    PixelTableView view;
    view.dataColumns = columns;
    view.dataRows = rows;
    view.cell = [&image, firstColumn, firstRow](int column, int row) -> std::optional<std::int32_t> {
        const int c = firstColumn + column - 1;
        const int r = firstRow + row - 1;
        if (c < 0 || r < 0 || c >= image.columns || r >= image.rows) return std::nullopt;
        return image.At(r, c);
    };
    return view;
}

double ExposureOfPixelValue(double pixelValue, const ExposureScale& scale)
{
    if (scale.linearGain > 0) return (pixelValue - scale.linearOffset) / scale.linearGain;
    return std::pow(10.0, scale.latitude * pixelValue / std::ldexp(1.0, scale.bitsStored));
}

}  // namespace radmtf::synth
