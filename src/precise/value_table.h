// The pixel table as numbers for the precise methods: every data cell,
// converted to exposure with the curve "ToExp" uses, so that the precise
// and the traditional methods see the same exposures.
#pragma once

#include <cstddef>
#include <vector>

#include "analysis/exposure.h"
#include "analysis/pixel_table.h"

namespace radmtf {

struct ValueTable {
    int columns = 0;
    int rows = 0;
    std::vector<double> values;  // rows × columns, table row 1 first
    double At(int row, int column) const
    {
        return values[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(column)];
    }
};

// Every data cell converted as "ToExp" converts its value (see
// ConvertValuesToExposure). An empty cell fails as "2Dto1D" does; a failure
// of the conversion (an hdc.txt value out of range, all exposures zero)
// stops it the same way.
ValueTable TableExposure(const PixelTableView& table, const ExposureConversion& conversion);

}  // namespace radmtf
