#include "measure/precise_steps.h"

#include <algorithm>
#include <utility>

#include "core/failure.h"
#include "core/numtext.h"
#include "measure/settings.h"
#include "precise/mtf_points.h"

namespace radmtf {

Conversion ModelConversion(long double latitude, long double bitsStored, std::int32_t offset)
{
    return Conversion::DetectorModel(latitude, bitsStored, offset);
}

Conversion CurveConversion(std::vector<std::string> curveLines, std::string curvePath)
{
    return Conversion::CurveFile(std::move(curveLines), std::move(curvePath));
}

ValueTable TableExposureStep(const PixelTableView& table, const ExposureConversion& conversion)
{
    return TableExposure(table, conversion);
}

ValueTable TableExposureStep(int columns, int rows, const std::vector<std::int32_t>& cells,
                             const ExposureConversion& conversion)
{
    ValueTable out;
    out.columns = std::max(columns, 0);
    out.rows = std::max(rows, 0);
    out.values = ConvertValuesToExposure(cells, conversion);
    return out;
}

LineGeometry GeometryStep(std::optional<LineGeometry>& kept, const ValueTable& exposure, FeatureKind kind)
{
    if (kept && (kind == FeatureKind::kAny || kept->kind == kind)) return *kept;
    kept = EstimateGeometry(exposure, kind);
    return *kept;
}

PreciseSlitResult PreciseSlitStep(const ValueTable& exposure, const LineGeometry& geometry,
                                  const PreciseSlitInputs& inputs)
{
    CheckPixelSpacing(inputs.pixelSpacing);
    PreciseSlitSettings settings;
    settings.pixelSpacing = static_cast<double>(inputs.pixelSpacing);
    settings.slitWidth = static_cast<double>(inputs.slitWidth);
    settings.lsfHalfWidth = static_cast<double>(inputs.lsfHalfWidth);
    settings.listFrequencies = SlitMethodFrequencies(SampleSpacing(inputs.pixelSpacing, inputs.maLines));
    // The aperture's first zero, at 1 / width, must lie beyond every listed
    // frequency: at and past it the correction divides by (nearly) nothing.
    // A width typed in micrometres (20 for 0.02) is caught here.
    double highest = 0;
    for (double f : settings.listFrequencies) highest = std::max(highest, f);
    for (double f : HalfStepFrequencies(settings.pixelSpacing)) highest = std::max(highest, f);
    if (!(inputs.slitWidth >= 0) || (highest > 0 && inputs.slitWidth * highest >= 1))
        ThrowFailure(FailureCode::kSlitWidth,
                     {FloatToStr(inputs.slitWidth), FormatFixed(highest > 0 ? 1 / highest : 0, 3),
                      FormatFixed(highest, 3)});
    return RunPreciseSlit(exposure, geometry, settings);
}

PreciseChartResult PreciseChartStep(const ValueTable& exposure, const LineGeometry& geometry,
                                    long double pixelSpacing, const SwcFeatures& features,
                                    ProfileOrientation orientation, std::int32_t maLines)
{
    CheckPixelSpacing(pixelSpacing);
    return RunPreciseChart(exposure, geometry, static_cast<double>(pixelSpacing), features, orientation,
                           maLines);
}

EdgeResult EdgeStep(ValueTable exposure, const EdgeSettings& settings)
{
    EdgeImage image;
    image.columns = exposure.columns;
    image.rows = exposure.rows;
    image.exposure = std::move(exposure.values);
    return MeasureEdge(image, settings);
}

}  // namespace radmtf
