// One point of a chart series, as the analysis operations hand them to the
// window for a bulk update.
#pragma once

namespace radmtf {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
};

}  // namespace radmtf
