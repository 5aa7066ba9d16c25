#include "analysis/composite_profile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

std::size_t ValidCount(std::int32_t count, std::size_t size)
{
    if (count <= 0) return 0;
    if (static_cast<std::size_t>(count) > size) throw std::logic_error("profile count beyond capacity");
    return static_cast<std::size_t>(count);
}

void RequireProfile(const ProfileState& state)
{
    if (state.profileCount < 1) ThrowFailure(FailureCode::kEmptyProfile);
}

void RequireLsf(const ProfileState& state)
{
    if (state.exposureCount < 1) ThrowFailure(FailureCode::kEmptyLsf);
}

void CheckProfileState(const ProfileState& state)
{
    if (state.compositeProfile.size() != kProfileCapacity || state.exposureProfile.size() != kProfileCapacity)
        throw std::logic_error("profile arrays not at capacity");
    ValidCount(state.profileCount, state.compositeProfile.size());
    ValidCount(state.exposureCount, state.exposureProfile.size());
}

void BuildCompositeProfile(ProfileState& state, ProfileOrientation orientation, std::int32_t maLines,
                           const PixelTableView& table)
{
    CheckProfileState(state);
    if (!table.cell) throw std::invalid_argument("BuildCompositeProfile: no cell reader");
    const std::int64_t columns = std::max(table.dataColumns, 0);
    const std::int64_t rows = std::max(table.dataRows, 0);
    const std::int64_t m = maLines;
    const bool alongX = orientation == ProfileOrientation::kRowsLastToFirst ||
                        orientation == ProfileOrientation::kRowsFirstToLast;
    const bool reversed = orientation == ProfileOrientation::kRowsLastToFirst ||
                          orientation == ProfileOrientation::kColumnsLastToFirst;
    // Along x every data column contributes M samples, along y every data row.
    const std::int64_t positions = alongX ? columns : rows;
    if (orientation != ProfileOrientation::kNone && m >= 1 && positions * m > kProfileCapacity)
        ThrowFailure(FailureCode::kProfileTooLong);

    state.profileCount = 0;
    if (orientation == ProfileOrientation::kNone || m < 1 || positions == 0) return;

    // Cells beyond the table (M larger than its rows or columns) read as
    // empty, like cells that were never filled.
    const auto cellValue = [&](std::int64_t column, std::int64_t row) {
        std::optional<std::int32_t> value;
        if (column >= 1 && column <= columns && row >= 1 && row <= rows)
            value = table.cell(static_cast<int>(column), static_cast<int>(row));
        if (!value) ThrowNotInteger("");
        return *value;
    };

    // Visit the table the way it is laid out (line by line), storing each
    // value at its interleaved place: index = position × M + k.
    std::int32_t* profile = state.compositeProfile.data();
    for (std::int64_t line = 1; line <= m; ++line) {
        const std::int64_t k = reversed ? m - line : line - 1;
        for (std::int64_t position = 0; position < positions; ++position) {
            const std::int32_t value = alongX ? cellValue(position + 1, line) : cellValue(line, position + 1);
            profile[position * m + k] = value;
            ++state.profileCount;
        }
    }
}

double SampleSpacing(long double pixelSpacing, long double maLines)
{
    return ToDoubleChecked(CheckedDivide(pixelSpacing, maLines));
}

void SmoothProfile(ProfileState& state, std::int32_t n)
{
    CheckProfileState(state);
    const std::int64_t b = n / 2;  // div: toward zero
    if (b < 1) return;
    const std::int64_t window = 2 * b + 1;
    const std::int64_t count = static_cast<std::int64_t>(ValidCount(state.profileCount, kProfileCapacity));

    if (count >= window) {
        // Running sum over P[k − b .. k + b]. The int64 sum is exact and exactly
        // representable in a double (|P| < 2^31, window ≤ 100001 samples), so
        // the mean equals the one of a sum formed in doubles.
        std::int32_t* p = state.compositeProfile.data();
        std::int64_t sum = 0;
        for (std::int64_t i = 0; i < window; ++i) sum += p[i];
        for (std::int64_t k = b; k <= count - 1 - b; ++k) {
            if (k > b) sum += p[k + b];
            // The store goes to k − b, which no later window reads; keep the
            // original to take it out of the sum at the next centre.
            const std::int32_t leaving = p[k - b];
            p[k - b] = static_cast<std::int32_t>(Round(static_cast<long double>(sum) / window));
            sum -= leaving;
        }
    }
    // The count drops by 2b; a profile shorter than the window becomes empty.
    state.profileCount = static_cast<std::int32_t>(std::max<std::int64_t>(count - 2 * b, 0));
}

std::vector<ChartPoint> ProfileSeries(const ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t count = ValidCount(state.profileCount, kProfileCapacity);
    std::vector<ChartPoint> points(count);
    // x = i × SampleSpacing, formed in extended precision.
    const long double spacing = state.sampleSpacing;
    for (std::size_t i = 0; i < count; ++i)
        points[i] = {static_cast<double>(static_cast<long double>(i) * spacing),
                     static_cast<double>(state.compositeProfile[i])};
    return points;
}

void ClearProfileData(ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t profileCount = ValidCount(state.profileCount, kProfileCapacity);
    const std::size_t exposureCount = ValidCount(state.exposureCount, kProfileCapacity);
    std::fill_n(state.compositeProfile.begin(), profileCount, 0);
    std::fill_n(state.exposureProfile.begin(), exposureCount, 0.0);
}

std::string ProfileClipboardText(const ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t count = ValidCount(state.profileCount, kProfileCapacity);
    std::string text;
    text.reserve(count * 7);
    char digits[16];
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back('\t');
        const auto result = std::to_chars(digits, digits + sizeof digits, state.compositeProfile[i]);
        text.append(digits, result.ptr);
    }
    return text;
}

std::string ProfileCountText(const ProfileState& state)
{
    return IntToStr(state.profileCount);
}

}  // namespace radmtf
