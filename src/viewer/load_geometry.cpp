#include "viewer/load_geometry.h"

#include <cmath>

#include "core/numtext.h"

namespace radmtf {

long long ProposedSquareSide(std::size_t fileBytes, bool eightBit)
{
    const long double bytesPerSample = eightBit ? 1.0L : 2.0L;
    const long double side = std::sqrt(static_cast<long double>(fileBytes) / bytesPerSample);
    const long long rounded = Round(side);
    if (side - static_cast<long double>(rounded) == 0.0L) return rounded;
    long long proposal = 64;
    while (proposal <= rounded) proposal *= 2;
    return proposal;
}

std::string_view ColumnsPart(std::string_view answer)
{
    return answer.substr(0, answer.find(' '));
}

std::string_view RowsPart(std::string_view answer)
{
    const std::size_t blank = answer.find(' ');
    return blank == std::string_view::npos ? answer : answer.substr(blank + 1);
}

}  // namespace radmtf
