#include "mtf/swc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "analysis/composite_profile.h"
#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

// The chart: periods (mm) of the square (row 0) and the nine bar groups.
constexpr std::array<double, 10> kPeriods = {20.0, 2.0,       1.0,  2.0 / 3.0, 0.5,
                                             0.4,  1.0 / 3.0, 0.25, 0.2,       1.0 / 6.0};
constexpr std::array<double, 10> kFrequencies = {0.0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0};
// The constants of the cosine weights, truncated as the method defines them
// (not the exact pi), so measurements stay comparable with earlier ones.
constexpr long double kPiAsUsed = 3.1415926L;
constexpr long double kTwoPiAsUsed = 6.2831852L;
constexpr int kLevelHalfWidth = 10;  // levels average 21 samples

[[noreturn]] void ChartNotFound()
{
    ThrowFailure(FailureCode::kChartNotFound);
}

long long AbsDiff(std::int32_t x, std::int32_t y)
{
    return std::llabs(static_cast<long long>(x) - static_cast<long long>(y));
}

// P[num] / P[den] as a floating-point quotient.
long double Quotient(std::span<const std::int32_t> p, long long num, long long den)
{
    return CheckedDivide(static_cast<long double>(p[num]), static_cast<long double>(p[den]));
}

// Asymmetry about c: sum_{j=1..w} |P[c-j] - P[c+j]|, summed as a double.
double Asymmetry(std::span<const std::int32_t> p, long long c, long long w)
{
    double sum = 0.0;
    for (long long j = 1; j <= w; ++j) sum = sum + static_cast<double>(AbsDiff(p[c - j], p[c + j]));
    return sum;
}

std::pair<double, double> MarkerAt(std::span<const std::int32_t> p, long long index, double scale)
{
    return {static_cast<double>(static_cast<long double>(index) * scale), static_cast<double>(p[index])};
}

// Walks down from g while P[g] is below the edge level.
long long WalkToEdge(std::span<const std::int32_t> p, long long g, long long edgeLevel)
{
    const long long n = static_cast<long long>(p.size());
    if (g < 0 || g > n - 1) ChartNotFound();
    while (p[g] < edgeLevel) {
        --g;
        if (g < 0) ChartNotFound();
    }
    return g;
}

// First-harmonic sum: sum_{i=b..a} cos(phase(i - b)) * E[i], weights in
// extended precision, running total in double.
template <typename Phase>
double CosineSum(const double* e, long long b, long long a, Phase phase)
{
    double sum = 0.0;
    for (long long i = b; i <= a; ++i) sum = static_cast<double>(sum + std::cos(phase(i - b)) * e[i]);
    return sum;
}

}  // namespace

int FindBarCentre(std::span<const std::int32_t> p, double sampleSpacing, long long w, long long start,
                  Markers& centreMarkers)
{
    const long long n = static_cast<long long>(p.size());
    if (w < 1) w = 1;
    auto found = [&](long long c) {
        centreMarkers.push_back(MarkerAt(p, c, sampleSpacing));
        return static_cast<int>(c);
    };

    if (w == 1) {
        // Local-maximum mode.
        if (start < 1 || start > n - 2) ChartNotFound();
        for (long long c = start; c > 1; --c) {
            if (p[c] >= p[c - 1] && p[c] >= p[c + 1]) return found(c);
        }
        return 1;
    }

    // Symmetry mode: stop where the asymmetry has risen twice in a row.
    if (start - w < 0 || start + w > n - 1) ChartNotFound();
    double previous = Asymmetry(p, start, w);
    long long c = start - 1;
    int rises = 0;
    while (rises < 2) {
        if (c - w < 0) ChartNotFound();
        const double s = Asymmetry(p, c, w);
        rises = s > previous ? rises + 1 : 0;
        if (rises < 2) --c;
        previous = s;
    }

    // Balance the two edges w samples away.
    if (Quotient(p, c + w, c - w) > 1.0L) {
        while (Quotient(p, c + w, c - w) > 1.0L) {
            ++c;
            if (c + w > n - 1) ChartNotFound();
        }
        if (c - w - 1 < 0) ChartNotFound();
        if (AbsDiff(p[c + w], p[c - w]) > AbsDiff(p[c + w - 1], p[c - w - 1])) --c;
    } else if (Quotient(p, c - w, c + w) > 1.0L) {
        while (Quotient(p, c - w, c + w) > 1.0L) {
            --c;
            if (c - w < 0) ChartNotFound();
        }
        if (c + w + 1 > n - 1) ChartNotFound();
        if (AbsDiff(p[c + w], p[c - w]) > AbsDiff(p[c + w + 1], p[c - w + 1])) ++c;
    }
    return found(c);
}

void SwcStartLocating(const ProfileState& profile, SwcFeatures& out)
{
    if (profile.profileCount < 0 || profile.profileCount > kProfileCapacity ||
        static_cast<int>(profile.compositeProfile.size()) != kProfileCapacity)
        throw std::invalid_argument("SwcLocateFeatures: composite profile out of shape");
    RequireProfile(profile);
    out = SwcFeatures{};
    out.profileSeriesCleared = true;
}

void SwcLocateFeatures(const ProfileState& profile, MtfState& mtf, long double pixelSpacing,
                       long double subSamples, SwcFeatures& out)
{
    SwcStartLocating(profile, out);
    const double d = static_cast<double>(CheckedDivide(pixelSpacing, subSamples));
    if (d < 0.0) ChartNotFound();

    const std::span<const std::int32_t> p(profile.compositeProfile.data(), profile.profileCount);
    const long long n = profile.profileCount;
    const double scale = profile.sampleSpacing;
    auto& centres = out.groupCentres;

    // The large square and the gap beside it.
    mtf.barPeriod = kPeriods[0];
    const long long w0 = std::max(
        1LL, Round(CheckedDivide(static_cast<long double>(kPeriods[0]), static_cast<long double>(d)) / 4));
    if (w0 > n) ChartNotFound();
    const long long pk = FindBarCentre(p, scale, w0, n - w0 - 2, out.centreMarkers);
    centres[0][0] = static_cast<std::int32_t>(pk);
    out.squareMarkers.push_back(MarkerAt(p, pk, d));
    const long long vl = pk - 2 * w0;
    if (vl < 0) ChartNotFound();
    centres[0][1] = static_cast<std::int32_t>(vl);
    out.squareMarkers.push_back(MarkerAt(p, vl, d));

    // Levels: 21-sample means of the square and of the gap; a group begins
    // where the profile reaches 20 % of the way from gap to square.
    if (vl - kLevelHalfWidth < 0 || pk + kLevelHalfWidth > n - 1) ChartNotFound();
    long long squareSum = 0;
    long long gapSum = 0;
    for (int j = -kLevelHalfWidth; j <= kLevelHalfWidth; ++j) {
        squareSum += p[pk + j];
        gapSum += p[vl + j];
    }
    const double squareLevel = static_cast<double>(Round(static_cast<long double>(squareSum) / 21));
    const double gapLevel = static_cast<double>(Round(static_cast<long double>(gapSum) / 21));
    const long long edgeLevel = Round(gapLevel + static_cast<long double>(squareLevel - gapLevel) * 0.2L);

    long long groupStart = WalkToEdge(p, vl - w0, edgeLevel);
    for (int r = 1; r <= kSwcGroups; ++r) {
        const double period = kPeriods[r];
        mtf.barPeriod = period;
        const long double quarter = static_cast<long double>(period) / d / 4;
        const long long w = std::max(1LL, Round(r >= 7 ? quarter * 0.7L : quarter));
        const long long step = Round(quarter * 3);
        const long long advance =
            Round(static_cast<long double>(period) / d * (r == 1 ? 4.5L : 9.5L) + 2.0L / d);
        const long long limit = groupStart - advance;
        const bool stopsAtGroupEnd = r == 4 || r >= 6;
        const bool keepsOnlyAboveEdge = r >= 8;
        const int searched = r == 1 ? 5 : 10;

        long long pos = groupStart;
        for (int i = 0; i < searched; ++i) {
            if (stopsAtGroupEnd && pos <= limit) break;
            const long long c = FindBarCentre(p, scale, w, pos, out.centreMarkers);
            if (!keepsOnlyAboveEdge || p[c] > edgeLevel) {
                centres[r][i] = static_cast<std::int32_t>(c);
                centres[r][i + 1] = 0;
            }
            pos = c - step;
        }
        if (r < kSwcGroups) {
            groupStart = WalkToEdge(p, groupStart - advance, edgeLevel);
            out.groupStartMarkers.push_back(MarkerAt(p, groupStart, d));
        }
    }
    out.sampleDistance = d;
    out.located = true;
}

void SwcMeasure(const ProfileState& profile, MtfState& mtf, const SwcFeatures& features, SwcResult& out)
{
    if (!features.located) throw std::invalid_argument("SwcMeasure: features not located");
    const auto& centres = features.groupCentres;
    for (const auto& row : centres)
        for (const std::int32_t index : row)
            if (index < 0 || index >= profile.exposureCount || index >= kProfileCapacity)
                throw std::invalid_argument("SwcMeasure: exposure profile does not cover the chart");
    out = SwcResult{};
    const double* e = profile.exposureProfile.data();
    const double d = features.sampleDistance;
    mtf.measuredCount = 0;

    // The square: half a period from the gap centre to the square centre,
    // weighted by cos(pi x / L0 + pi).
    const long long pk = centres[0][0];
    const long long vl = centres[0][1];
    const long long l0 = pk - vl;
    const double squareSum = CosineSum(
        e, vl, pk, [&](long long x) { return static_cast<long double>(x) * kPiAsUsed / l0 + kPiAsUsed; });
    const double reference = static_cast<double>(CheckedDivide(static_cast<long double>(squareSum), l0));
    mtf.mtfValue[0] = reference;

    // Group 1: two periods between its second and fourth bar centres.
    {
        const long long a = centres[1][1];
        const long long b = centres[1][3];
        const long long span = a - b;
        const double sum = CosineSum(e, b, a, [&](long long x) {
            return CheckedDivide(2 * kTwoPiAsUsed * static_cast<long double>(x),
                                 static_cast<long double>(span));
        });
        mtf.mtfValue[1] = static_cast<double>(CheckedDivide(static_cast<long double>(sum), span));
    }

    for (int g = 0; g <= kSwcGroups; ++g) mtf.mtfFrequency[g] = kFrequencies[g];

    // A group counts only if its measured spacing is within 10 % of nominal;
    // the first group that fails ends the list. A group without a first
    // centre cannot be spanned and fails as well.
    mtf.mtfLastIndex = 0;
    for (int g = 2; g <= kSwcGroups && mtf.mtfLastIndex == 0; ++g) {
        const long long nominal = Trunc(1.0L / mtf.mtfFrequency[g] / d);
        const long double ratio = CheckedDivide(
            static_cast<long double>(std::llabs(static_cast<long long>(centres[g][2]) - centres[g][0])) /
                2.0L,
            static_cast<long double>(nominal));
        if (ratio <= 0.9L || ratio >= 1.1L || centres[g][0] == 0) mtf.mtfLastIndex = g - 1;
    }
    if (mtf.mtfLastIndex == 0) mtf.mtfLastIndex = kSwcGroups;
    out.fitFrequencyItem = std::clamp(mtf.mtfLastIndex - 4, -1, 5);

    // Groups 2 .. last: whole periods from the second bar centre down to the
    // last (a full group stops at its ninth centre).
    for (int g = 2; g <= mtf.mtfLastIndex; ++g) {
        int found = 0;
        while (found < 11 && centres[g][found] > 0) ++found;
        const int m = found >= 10 ? 8 : found - 1;
        const long long a = centres[g][1];
        const long long b = centres[g][m];
        const long long span = a - b;
        const double sum = CosineSum(e, b, a, [&](long long x) {
            return CheckedDivide(static_cast<long double>(m - 1) * kTwoPiAsUsed * static_cast<long double>(x),
                                 static_cast<long double>(span));
        });
        mtf.mtfValue[g] = static_cast<double>(CheckedDivide(static_cast<long double>(sum), span));
    }

    for (int i = 1; i <= mtf.mtfLastIndex; ++i) mtf.mtfValue[i] = CheckedDivide(mtf.mtfValue[i], reference);
    mtf.mtfValue[0] = 1.0;

    for (int i = 0; i <= mtf.mtfLastIndex; ++i) {
        out.points.emplace_back(mtf.mtfFrequency[i], mtf.mtfValue[i]);
        out.listing.push_back(FloatToStr(mtf.mtfFrequency[i]) + "\t" + FloatToStr(mtf.mtfValue[i]));
    }
    out.written = true;
    mtf.measuredCount = mtf.mtfLastIndex + 1;
}

}  // namespace radmtf
