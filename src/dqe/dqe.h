// The detective quantum efficiency of IEC 62220-1-1:
//   DQE(f) = MTF(f)^2 / (q NNPS(f)),  q = K SNR^2_in,
// along u (the image's x) with the MTF measured across a vertical edge and
// along v with the MTF across a horizontal one, at the NNPS's frequencies.
// The MTF is interpolated linearly there; nothing is clipped. First-order
// uncertainty: (u_DQE / DQE)^2 = (2 u_MTF / MTF)^2 + (u_NNPS / NNPS)^2
// + (u_K / K)^2.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/failure.h"
#include "mtf/edge.h"
#include "nps/conversion.h"
#include "nps/nnps.h"

namespace radmtf {

enum class DqeEdition { k2015, k2003 };
enum class BeamQuality { kRqa3, kRqa5, kRqa7, kRqa9, kOther };

// SNR^2_in per air kerma (1 / (mm^2 uGy)) of the standard beam qualities;
// for kOther, `userValue`, refused (kDqeSettings) unless finite and > 0.
double SnrSquaredIn(DqeEdition edition, BeamQuality quality, double userValue = 0.0);

// An MTF curve: frequency (cycles/mm, rising), MTF and its standard
// uncertainty (NaN where unknown).
struct MtfCurve {
    std::vector<double> frequency, mtf, uncertainty;
};

struct DqeSettings {
    DqeEdition edition = DqeEdition::k2015;
    BeamQuality quality = BeamQuality::kRqa5;
    double userSnr2 = 0.0;         // SNR^2_in for BeamQuality::kOther
    double kerma = 0.0;            // K at the detector surface (uGy)
    double uKerma = 0.0;           // its standard uncertainty (uGy); 0: not counted
    double kermaTolerance = 0.05;  // relative: warn when the flat fields' mean differs more
};

struct DqePoint {
    double frequency = 0.0;  // cycles/mm
    // NaN where a direction is refused or its MTF does not reach.
    double mtfU = NAN, mtfV = NAN;
    double nnpsU = 0.0, nnpsV = 0.0;  // mm^2
    double dqeU = NAN, dqeV = NAN;
    double uDqeU = NAN, uDqeV = NAN;  // standard uncertainty; NaN where u_MTF is unknown
};

struct DqeResult {
    DqeSettings settings;
    double kerma = 0.0;  // uGy
    BeamQuality quality = BeamQuality::kRqa5;
    double snr2In = 0.0;  // 1 / (mm^2 uGy)
    double q = 0.0;       // 1 / mm^2
    std::vector<DqePoint> points;
    // kDqeNoMtf for a direction without an MTF (its DQE left NaN).
    std::optional<Failure> refusedU, refusedV;
    std::vector<Failure> warnings;  // kDqeKermaMismatch, kDqeImagesDiffer, kDqeMtfShort, the NNPS's
};

// The DQE at the NNPS's frequencies from its 1-D spectra and the MTF of
// each direction (nullptr: none). Refuses a kerma that is not finite and
// > 0 (kDqeSettings), SNR^2_in as SnrSquaredIn does, and both MTFs missing
// (kDqeNoMtf "u").
DqeResult ComputeDqe(const NnpsResult& nnps, const MtfCurve* mtfU, const MtfCurve* mtfV,
                     const DqeSettings& settings);

// The MTF curve of an edge result: its fine grid.
MtfCurve EdgeMtfCurve(const EdgeResult& edge);

// A radiograph of an edge and the ROI of it that the edge method reads.
// A ROI of width or height 0 takes, centred in the image, 50 mm across the
// edge and 100 mm along it (the whole image where it is smaller).
struct DqeEdgeImage {
    NnpsImage image;
    std::int32_t roiX = 0, roiY = 0, roiWidth = 0, roiHeight = 0;
};

// Whether the edge in the image's central half runs along the columns
// (vertical: its MTF is along u): the pixel differences across the columns
// outweigh those across the rows (noise adds alike to both). nullopt for
// an image smaller than 4 x 4 pixels or one without any difference.
std::optional<bool> EdgeRunsAlongColumns(const NnpsImage& image);

// The MTF along u (vertical edges, `alongV` false) or along v (horizontal
// edges, read transposed) from one or more edge images, linearised with
// the conversion; several are combined as MeasureEdges combines them. The
// pixel spacing is the images' dx (u) or dy (v). Refuses an image without
// pixels or whose spacing differs from the first's (kNnpsMixedImages naming
// it), a ROI outside its image (kRoiOutsideImage), an edge in the other direction
// (kEdgeDirectionsDiffer naming the image, from 1) and what the edge
// method refuses.
EdgeResult MeasureEdgeMtf(std::span<const DqeEdgeImage> edges, const Conversion& conversion, bool alongV,
                          const EdgeSettings& settings = {});

// The whole characterisation: the NNPS of the flat fields, the MTF of each
// direction's edge images (none: that direction refused), the DQE, and the
// warnings (flat fields' mean kerma off the given one, edge images whose
// size or spacing differs from the flat fields').
DqeResult MeasureDqe(std::span<const NnpsImage> flats, std::span<const DqeEdgeImage> edgesU,
                     std::span<const DqeEdgeImage> edgesV, const Conversion& conversion,
                     const DqeSettings& settings, const NnpsSettings& nnpsSettings = {},
                     const EdgeSettings& edgeSettings = {});

}  // namespace radmtf
