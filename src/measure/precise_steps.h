// The steps of the automatic geometry, the precise slit and chart modes and
// the edge method, shared by the analysis window and the command line, so
// that both give the same numbers digit for digit:
//
//   TableExposureStep → GeometryStep → PreciseSlitStep
//                                    → (the session's LocateChart on the profile) → PreciseChartStep
//   TableExposureStep → EdgeStep
//
// The window keeps the geometry estimate between its buttons; the command
// keeps it in the same way (see GeometryStep).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "analysis/pixel_table.h"
#include "mtf/edge.h"
#include "mtf/swc.h"
#include "precise/geometry.h"
#include "precise/precise_chart.h"
#include "precise/precise_slit.h"
#include "precise/value_table.h"

namespace radmtf {

// "ToExp"'s conversion: the detector model (L, BitsStored, the value
// offset), or the curve file's lines.
Conversion ModelConversion(long double latitude, long double bitsStored, std::int32_t offset);
Conversion CurveConversion(std::vector<std::string> curveLines, std::string curvePath);

// The pixel table in exposure, every cell converted as "ToExp" converts:
// from the table the window holds, or from its cells listed row by row,
// left to right (as TableCellValues lists them; the same numbers).
ValueTable TableExposureStep(const PixelTableView& table, const ExposureConversion& conversion);
ValueTable TableExposureStep(int columns, int rows, const std::vector<std::int32_t>& cells,
                             const ExposureConversion& conversion);

// The geometry estimate of the object of `kind` in the table. An estimate
// kept from an earlier step (`kept`) is used again when it is of that kind
// (or any kind is asked for); otherwise the table is estimated anew and the
// result kept. "Auto" empties `kept` first and asks for any kind.
LineGeometry GeometryStep(std::optional<LineGeometry>& kept, const ValueTable& exposure, FeatureKind kind);

// The precise slit mode, listing at the slit method's frequencies for the
// given pixel spacing and MA-Line# and at 0.5 cycles/mm steps. Refuses a
// pixel spacing outside 0.001 .. 10 mm (kPixelSpacingRange), and
// (kSlitWidth) a negative slit width, or one whose aperture correction has
// its zero at or below the highest frequency listed.
struct PreciseSlitInputs {
    long double pixelSpacing = 0.1L;  // mm
    long double maLines = 17.0L;      // MA-Line#, as the counter holds it
    long double slitWidth = 0.01L;    // mm; 0 turns the aperture correction off
    long double lsfHalfWidth = 2.5L;  // mm
};
PreciseSlitResult PreciseSlitStep(const ValueTable& exposure, const LineGeometry& geometry,
                                  const PreciseSlitInputs& inputs);

// The precise chart mode on the features LocateChart (analysis_session.h) found on the
// composite profile built with `orientation` and `maLines`; the pixel
// spacing within 0.001 .. 10 mm (kPixelSpacingRange otherwise).
PreciseChartResult PreciseChartStep(const ValueTable& exposure, const LineGeometry& geometry,
                                    long double pixelSpacing, const SwcFeatures& features,
                                    ProfileOrientation orientation, std::int32_t maLines);

// The edge method on the table in exposure.
EdgeResult EdgeStep(ValueTable exposure, const EdgeSettings& settings);

}  // namespace radmtf
