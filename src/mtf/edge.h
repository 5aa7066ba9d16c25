// The presampled MTF from the radiograph of a slightly tilted edge: the
// edge's direction and angle are found in the image, every pixel is
// projected onto the edge normal into an edge spread function (ESF)
// oversampled at a fraction of a pixel, which is differentiated into the
// line spread function (LSF) and transformed.
//
// The kernel works on exposures (the pixel values already converted the
// way "ToExp" converts them); a scale factor does not matter.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_point.h"
#include "analysis/exposure.h"
#include "analysis/pixel_table.h"
#include "mtf/mtf_state.h"

namespace radmtf {

// Refusals: FailureCode::kEdgeNotFound, kEdgeTwoEdges, kEdgeAngle, kEdgeSettings.
struct EdgeSettings {
    double pixelSpacing = 0.1;  // mm
    double binWidth = 0.1;      // ESF bin width, in pixels (0.01 .. 1)
    // The LSF is kept within ± this distance (mm) of the edge; 0 keeps the
    // whole ESF the ROI holds.
    double lsfHalfWidth = 2.5;
    // The outer fraction of that half width over which the LSF fades out
    // (a cosine taper); 0 cuts it off sharply.
    double lsfTaper = 0.5;
    // Within ± this distance (mm) the LSF counts in full at every frequency;
    // beyond it with the weight 1 / (1 + (f / tailCutoff)²). 0 turns the
    // split off (the whole window counts in full).
    double coreHalfWidth = 1.0;
    double tailCutoff = 2.0;  // cycles/mm
    // The MTF is averaged over a frequency interval this wide (cycles/mm)
    // centred on each frequency; 0 turns the averaging off.
    double smoothingInterval = 0.0;
    // When above 0, the LSF window at frequency f narrows to ± this / f mm
    // (within the LSF half width, same taper) in place of the core and tail
    // weighting: less noise at high frequencies, but a broad LSF's tails are
    // cut there too. 0 keeps the fixed window.
    double adaptiveWindow = 0.0;  // mm × cycles/mm
    // When above 0, the LSF window narrows to this multiple of the LSF's
    // reach (the distance from the edge beyond which the ESF stays on its
    // plateaus within the noise), two pixels at least: a narrow LSF is not
    // transformed with the noise of a window sized for a broad one.
    double reachFactor = 3.0;
    // Independent groups of lines for the uncertainty (at most).
    int subsets = 8;
    double minAngle = 0.5;   // degrees
    double maxAngle = 10.0;  // degrees
};

// The check alone: kEdgeSettings for a value out of its range.
void CheckEdgeSettings(const EdgeSettings& settings);

// Exposures of the ROI, row-major: row 0 first, left to right.
struct EdgeImage {
    int columns = 0;
    int rows = 0;
    std::vector<double> exposure;
};

struct EdgeResult {
    bool vertical = true;         // the edge runs along the columns (profile along x)
    bool rising = true;           // dark to bright along increasing x (or y)
    double angle = 0.0;           // degrees; positive when the edge moves to larger x (y) line by line
    double edgeOffset = 0.0;      // edge position on line 0, in pixels
    int subsetsUsed = 0;          // 0 when the ROI is too short for an uncertainty
    std::vector<ChartPoint> esf;  // x mm from the edge, ESF scaled to 1000 at its bright end
    std::vector<ChartPoint> lsf;  // x mm, LSF scaled to a peak of 1
    // MTF at 0 and every 0.5 cycles/mm up to the Nyquist frequency, and at
    // the Nyquist frequency itself, with its standard uncertainty (empty
    // when there is none).
    std::vector<double> tableFrequency;
    std::vector<double> tableMtf;
    std::vector<double> tableUncertainty;
    // The MTF on a fine grid (0.05 cycles/mm) up to and at the Nyquist frequency.
    std::vector<double> fineFrequency;
    std::vector<double> fineMtf;
    std::vector<double> fineUncertainty;  // NaN where there is none
};

// The table's data cells converted to exposure as "ToExp" converts. An empty
// cell fails with the not-an-integer message for '', as "2Dto1D" does.
EdgeImage EdgeImageFromTable(const PixelTableView& table, const ExposureConversion& conversion);

// Throws Failure with one of the messages above when the ROI holds no clear
// edge, more than one edge, or an edge outside the angle range.
EdgeResult MeasureEdge(const EdgeImage& image, const EdgeSettings& settings);

// One MTF from several radiographs of edges in the same direction: each
// edge is found and projected as MeasureEdge does, their ESFs are averaged
// bin by bin (bins counted from each one's edge) over the distances all
// cover, and the averaged ESF is transformed. The uncertainty is the spread
// of the single edges' MTFs over √n. One image gives MeasureEdge's result.
// Refuses edges in different directions (kEdgeDirectionsDiffer naming the
// first such image, counted from 1) and what MeasureEdge refuses.
EdgeResult MeasureEdges(std::span<const EdgeImage> images, const EdgeSettings& settings);

// Memo lines "f<TAB>m<TAB>±u", three decimals; the last field is empty
// without an uncertainty.
std::vector<std::string> EdgeMemoLines(const EdgeResult& result);

// The angle as shown: degrees to three decimals.
std::string EdgeAngleText(const EdgeResult& result);

// Leaves the fine MTF in the shared arrays the way the slit method leaves
// its bins (entry 0 is frequency 0 with value 1), so Fitting and the
// listings work on it. Returns the chart points of Series4.
std::vector<ChartPoint> StoreEdgeMtf(const EdgeResult& result, MtfState& mtf);

}  // namespace radmtf
