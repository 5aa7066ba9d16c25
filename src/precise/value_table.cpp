#include "precise/value_table.h"

#include <algorithm>

namespace radmtf {

ValueTable TableExposure(const PixelTableView& table, const ExposureConversion& conversion)
{
    ValueTable out;
    out.columns = std::max(table.dataColumns, 0);
    out.rows = std::max(table.dataRows, 0);
    out.values = ConvertValuesToExposure(TableCellValues(table), conversion);
    return out;
}

}  // namespace radmtf
