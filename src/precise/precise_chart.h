// The precise square-wave chart method. The chart's features are found as
// the chart method finds them (the large square and the bar centres on the
// composite profile); then every line of the table is used with each
// sample's exact position from the estimated tilt, and each bar group's
// first harmonic is measured by a lock-in at the group's nominal period over
// an exact whole number of periods inside the group (no end sample), fitting
// both phases, so that where exactly the centres were found does not bias the
// amplitude. The large square is measured the same way over its 20 mm
// period (gap and square); MTF = group amplitude / square amplitude.
//
// A group counts when its bar spacing is within 10 % of nominal by the
// centres found, or, failing that, when the lock-in's amplitude peaks within
// 10 % of the nominal period; groups are judged each on its own, so a group
// whose centres the search missed is not lost, and a group printed off pitch
// does not end the list.
#pragma once

#include <vector>

#include "analysis/composite_profile.h"
#include "mtf/swc.h"
#include "precise/geometry.h"
#include "precise/mtf_points.h"
#include "precise/value_table.h"

namespace radmtf {

struct PreciseChartResult {
    std::vector<PreciseMtfPoint> points;  // 0 cycles/mm (1 ± 0) and every group that counts
};

// `features` from SwcLocateFeatures on the composite profile built with
// `orientation` and `maLines` lines from the same table.
PreciseChartResult RunPreciseChart(const ValueTable& exposure, const LineGeometry& geometry,
                                   double pixelSpacing, const SwcFeatures& features,
                                   ProfileOrientation orientation, int maLines);

}  // namespace radmtf
