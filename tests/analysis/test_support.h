// Small helpers shared by the analysis tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/pixel_table.h"
#include "analysis/profile_state.h"
#include "core/failure.h"
#include "failure_text.h"

namespace radmtf::testing {

// A table given row by row (data rows, data columns); std::nullopt marks an
// empty cell.
struct Table {
    std::vector<std::vector<std::optional<std::int32_t>>> rows;

    PixelTableView View() const
    {
        PixelTableView view;
        view.dataRows = static_cast<int>(rows.size());
        view.dataColumns = rows.empty() ? 0 : static_cast<int>(rows[0].size());
        view.cell = [this](int column, int row) { return rows.at(row - 1).at(column - 1); };
        return view;
    }
};

inline void SetProfile(ProfileState& state, const std::vector<std::int32_t>& values)
{
    std::copy(values.begin(), values.end(), state.compositeProfile.begin());
    state.profileCount = static_cast<std::int32_t>(values.size());
}

inline std::vector<std::int32_t> Profile(const ProfileState& state)
{
    if (state.profileCount <= 0) return {};
    return {state.compositeProfile.begin(), state.compositeProfile.begin() + state.profileCount};
}

}  // namespace radmtf::testing
