// The pixel table as numbers for the precise methods: every data cell,
// converted to exposure with the curve "ToExp" uses, so that the precise
// and the traditional methods see the same exposures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/pixel_table.h"
#include "analysis/profile_state.h"

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

// "ToExp"'s conversion applied to a profile in place (the detector model or
// the characteristic curve).
using ProfileConversion = std::function<void(ProfileState&)>;

// Every data cell converted by `convert`. The table's distinct values go
// through the conversion once as one profile, so each cell gets exactly the
// exposure ToExp would give its value (up to the common normalisation).
// An empty cell fails as "2Dto1D" does; a failure of the conversion (an
// hdc.txt value out of range, all exposures zero) stops it the same way.
ValueTable TableExposure(const PixelTableView& table, const ProfileConversion& convert);

}  // namespace radmtf
