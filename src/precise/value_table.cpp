#include "precise/value_table.h"

#include <algorithm>
#include <memory>

#include "core/failure.h"

namespace radmtf {

ValueTable TableExposure(const PixelTableView& table, const ProfileConversion& convert)
{
    ValueTable out;
    out.columns = std::max(table.dataColumns, 0);
    out.rows = std::max(table.dataRows, 0);
    std::vector<std::int32_t> cells;
    cells.reserve(static_cast<std::size_t>(out.columns) * static_cast<std::size_t>(out.rows));
    for (int r = 1; r <= out.rows; ++r) {
        for (int c = 1; c <= out.columns; ++c) {
            const std::optional<std::int32_t> value = table.cell(c, r);
            if (!value) ThrowNotInteger("");
            cells.push_back(*value);
        }
    }
    std::vector<std::int32_t> distinct = cells;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    // 32-bit cells from 16-bit images hold at most 65536 distinct values.
    if (distinct.size() >= static_cast<std::size_t>(kProfileCapacity)) ThrowInvalidOperation();
    auto profile = std::make_unique<ProfileState>();
    std::copy(distinct.begin(), distinct.end(), profile->compositeProfile.begin());
    profile->profileCount = static_cast<std::int32_t>(distinct.size());
    if (!distinct.empty()) convert(*profile);
    out.values.resize(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto at = std::lower_bound(distinct.begin(), distinct.end(), cells[i]) - distinct.begin();
        out.values[i] = profile->exposureProfile[static_cast<std::size_t>(at)];
    }
    return out;
}

}  // namespace radmtf
