#include "analysis/exposure.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/composite_profile.h"
#include "core/failure.h"
#include "core/numtext.h"
#include "core/paths.h"

namespace radmtf {

namespace {

// A result that has left the extended range is an overflow, not a silent
// infinity.
long double Finite(long double x)
{
    if (std::isnan(x)) ThrowInvalidOperation();
    if (std::isinf(x)) ThrowOverflow();
    return x;
}

// The first 4096 characters of a line (UTF-8: continuation bytes do not
// start a character).
std::string_view LeadingCharacters(std::string_view line)
{
    constexpr std::size_t kMaxCharacters = 4096;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) == 0x80) continue;
        if (characters == kMaxCharacters) return line.substr(0, i);
        ++characters;
    }
    return line;
}

// A field of the curve file as a number. An empty field fails with the
// platform's message, as the user knows it; any other text that is not a
// number names the file and the line, so the user can find it.
long double CurveNumber(std::string_view field, std::string_view path, std::size_t line)
{
    if (field.empty()) return StrToFloat(field);
    try {
        return StrToFloat(field);
    } catch (const Failure& failure) {
        ThrowMessage("ファイル " + std::string(path) + " の " + IntToStr(static_cast<long long>(line) + 1) +
                     " 行目が読めません: " + failure.what());
    }
}

// The curve file as the conversion reads it. A line past the last one reads
// as empty; a line without TAB has two empty fields.
class CurveLines {
public:
    CurveLines(const std::vector<std::string>& lines, std::string_view path)
        : lines_(lines), path_(path), first_(lines.size())
    {
    }

    std::string_view Path() const { return path_; }

    std::string_view Line(std::size_t j) const
    {
        return j < lines_.size() ? LeadingCharacters(lines_[j]) : std::string_view();
    }

    // Text before the first TAB.
    std::string_view FirstField(std::size_t j) const
    {
        const std::string_view line = Line(j);
        const std::size_t tab = line.find('\t');
        return tab == std::string_view::npos ? std::string_view() : line.substr(0, tab);
    }

    // All text after the first TAB.
    std::string_view SecondField(std::size_t j) const
    {
        const std::string_view line = Line(j);
        const std::size_t tab = line.find('\t');
        return tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    }

    long double FirstValue(std::size_t j)
    {
        if (j >= first_.size()) return CurveNumber(FirstField(j), path_, j);
        if (!first_[j]) first_[j] = CurveNumber(FirstField(j), path_, j);
        return *first_[j];
    }

private:
    const std::vector<std::string>& lines_;
    std::string_view path_;
    std::vector<std::optional<long double>> first_;
};

// The search "first line j ≥ 1 with V(j) ≥ P" for many samples. The pixel
// values of lines 1, 2, … are read up to the first one that is not a number
// (at the latest the empty line past the end); a search that reaches that
// line fails there. V(j) ≥ P first holds where the running maximum of V
// first reaches P, so a binary search on the running maximum finds the same
// line as the linear search.
class CurveSearch {
public:
    explicit CurveSearch(const CurveLines& curve) : path_(curve.Path())
    {
        values_.push_back(0.0L);  // line 0 is never searched
        runningMax_.push_back(-INFINITY);
        for (std::size_t j = 1;; ++j) {
            const std::string_view field = curve.SecondField(j);
            try {
                const long double v = StrToFloat(field);
                values_.push_back(v);
                runningMax_.push_back(std::max(runningMax_.back(), v));
            } catch (const Failure&) {
                stopField_ = std::string(field);
                stopLine_ = j;
                break;
            }
        }
    }

    std::size_t FirstLineNotBelow(std::int32_t p) const
    {
        const auto found =
            std::lower_bound(runningMax_.begin() + 1, runningMax_.end(), static_cast<long double>(p));
        if (found == runningMax_.end()) CurveNumber(stopField_, path_, stopLine_);
        return static_cast<std::size_t>(found - runningMax_.begin());
    }

    long double Value(std::size_t j) const { return values_[j]; }

private:
    std::vector<long double> values_;
    std::vector<long double> runningMax_;
    std::string_view path_;
    std::string stopField_;
    std::size_t stopLine_ = 0;
};

// The exposure of a sample depends on its value alone, and a profile holds
// few distinct values (16-bit data), so each is converted once. Only
// successful conversions are remembered: a failure still happens at the
// first sample with the failing value.
class ExposureMemo {
public:
    ExposureMemo(const std::int32_t* profile, std::size_t count)
    {
        if (count == 0) return;
        const auto [low, high] = std::minmax_element(profile, profile + count);
        const std::int64_t range = std::int64_t{*high} - *low + 1;
        if (range > kMaxRange) return;
        base_ = *low;
        values_.resize(static_cast<std::size_t>(range));
        known_.resize(static_cast<std::size_t>(range), 0);
    }

    template <typename Convert>
    double Get(std::int32_t p, Convert&& convert)
    {
        if (values_.empty()) return convert(p);
        const std::size_t at = static_cast<std::size_t>(std::int64_t{p} - base_);
        if (!known_[at]) {
            values_[at] = convert(p);
            known_[at] = 1;
        }
        return values_[at];
    }

private:
    static constexpr std::int64_t kMaxRange = std::int64_t{1} << 17;
    std::int64_t base_ = 0;
    std::vector<double> values_;
    std::vector<unsigned char> known_;
};

}  // namespace

std::vector<ChartPoint> ConvertToExposureByModel(ProfileState& state, std::string_view latitudeText,
                                                 std::string_view bitsText, std::string_view offsetText)
{
    CheckProfileState(state);
    RequireProfile(state);
    state.exposureCount = state.profileCount;
    const long double latitude = StrToFloat(latitudeText);
    const long double bits = StrToFloat(bitsText);
    const std::size_t count = ValidCount(state.exposureCount, kProfileCapacity);
    if (count > 0) {
        // The offset text is read for every sample; it cannot change in
        // between, so reading it at the first sample fails at the same point.
        const long double offset = StrToFloat(offsetText);
        const long double levels = Finite(std::pow(2.0L, bits));
        // E = 10^(L × (P + o) / 2^B): 0 .. 2^B spans L decades.
        const auto convert = [&](std::int32_t p) {
            const long double scaled = Finite(latitude * (p + offset));
            const long double logExposure = CheckedDivide(scaled, levels);
            return ToDoubleChecked(Finite(std::pow(10.0L, logExposure)));
        };
        ExposureMemo memo(state.compositeProfile.data(), count);
        for (std::size_t i = 0; i < count; ++i)
            state.exposureProfile[i] = memo.Get(state.compositeProfile[i], convert);
    }
    return FinishExposure(state);
}

std::vector<ChartPoint> ConvertToExposureByCurve(ProfileState& state, const std::vector<std::string>& lines,
                                                 std::string_view path)
{
    CheckProfileState(state);
    RequireProfile(state);
    CurveLines curve(lines, path);
    // The log exposures are taken as evenly spaced with the step of the
    // first two lines.
    const long double x0 = curve.FirstValue(0);
    const long double x1 = curve.FirstValue(1);
    const long double step = x1 - x0;

    const std::size_t count = ValidCount(state.profileCount, kProfileCapacity);
    if (count > 0) {
        const CurveSearch search(curve);
        const auto convert = [&](std::int32_t p) {
            const std::size_t j = search.FirstLineNotBelow(p);
            if (j == 1) return 0.0;  // at or below the curve's first pixel value
            // Linear interpolation of the log exposure between lines j − 1
            // and j: X(j−1) + (P − V(j−1)) × step / (V(j) − V(j−1)).
            const long double xBelow = curve.FirstValue(j - 1);
            curve.FirstValue(j);  // read as a number although only the step is used
            const long double vBelow = search.Value(j - 1);
            const long double vAbove = search.Value(j);
            const long double logExposure = Finite(xBelow + (p - vBelow) * step / (vAbove - vBelow));
            return ToDoubleChecked(Finite(std::pow(10.0L, logExposure)));
        };
        ExposureMemo memo(state.compositeProfile.data(), count);
        for (std::size_t i = 0; i < count; ++i)
            state.exposureProfile[i] = memo.Get(state.compositeProfile[i], convert);
    }
    state.exposureCount = state.profileCount;
    return FinishExposure(state);
}

std::vector<ChartPoint> FinishExposure(ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t count = ValidCount(state.exposureCount, kProfileCapacity);
    // Ties keep the earlier index.
    std::int32_t peakIndex = 0;
    double peak = state.exposureProfile[0];
    for (std::size_t k = 0; k < count; ++k) {
        if (state.exposureProfile[k] > peak) {
            peak = state.exposureProfile[k];
            peakIndex = static_cast<std::int32_t>(k);
        }
    }
    state.peakIndex = peakIndex;
    // E[k] / peak × 1000; an all-zero profile fails at its first entry (0 / 0).
    for (std::size_t k = 0; k < count; ++k) {
        const long double ratio =
            CheckedDivide(static_cast<long double>(state.exposureProfile[k]), static_cast<long double>(peak));
        state.exposureProfile[k] = static_cast<double>(ratio * 1000.0L);
    }
    return ExposureSeries(state);
}

std::vector<ChartPoint> ExposureSeries(const ProfileState& state)
{
    CheckProfileState(state);
    const std::size_t count = ValidCount(state.exposureCount, kProfileCapacity);
    std::vector<ChartPoint> points(count);
    const long double spacing = state.sampleSpacing;
    for (std::size_t k = 0; k < count; ++k) {
        const long double offset = static_cast<long double>(static_cast<std::int64_t>(k) - state.peakIndex);
        points[k] = {static_cast<double>(offset * spacing), state.exposureProfile[k]};
    }
    return points;
}

std::string CurveFilePath(std::string_view imageFileName)
{
    return std::string(FolderPart(imageFileName)) + "hdc.txt";
}

}  // namespace radmtf
