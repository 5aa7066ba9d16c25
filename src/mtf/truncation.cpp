#include "mtf/truncation.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "core/failure.h"
#include "core/numtext.h"
#include "mtf/polyfit.h"

namespace radmtf {

namespace {

constexpr double kDecades = 3.0;

void CheckShape(const ProfileState& profile)
{
    if (profile.exposureCount < 0 || profile.exposureCount > kProfileCapacity ||
        static_cast<int>(profile.exposureProfile.size()) != kProfileCapacity)
        throw std::invalid_argument("exposure profile out of shape");
}

std::pair<double, double> ChartPoint(long long index, long long peak, double spacing, double value)
{
    return {static_cast<double>(static_cast<long double>(index - peak) * spacing), value};
}

// Everything "Trancation" may change, to undo it when the action refuses.
struct Snapshot {
    std::vector<double> exposure;
    std::int32_t count;
    std::int32_t peak;
    std::array<double, kMtfCapacity> fitX;
    std::array<double, kMtfCapacity> fitY;
    std::array<double, 2 * kMaxFitDegree + 1> coefficients;

    Snapshot(const ProfileState& p, const MtfState& m)
        : exposure(p.exposureProfile),
          count(p.exposureCount),
          peak(p.peakIndex),
          fitX(m.fitX),
          fitY(m.fitY),
          coefficients(m.fitCoefficients)
    {
    }

    void Restore(ProfileState& p, MtfState& m)
    {
        p.exposureProfile.swap(exposure);
        p.exposureCount = count;
        p.peakIndex = peak;
        m.fitX = fitX;
        m.fitY = fitY;
        m.fitCoefficients = coefficients;
    }
};

void DrawCurve(const ProfileState& profile, TruncationOutput& out)
{
    out.curve.clear();
    out.curve.reserve(profile.exposureCount);
    for (int i = 0; i < profile.exposureCount; ++i)
        out.curve.push_back(
            ChartPoint(i, profile.peakIndex, profile.sampleSpacing, profile.exposureProfile[i]));
    out.curveDrawn = true;
}

}  // namespace

PickOutput PickTailStart(const ProfileState& profile, int v)
{
    CheckShape(profile);
    if (v < 0 || v >= profile.exposureCount) ThrowFailure(FailureCode::kPickOutside);
    const double value = profile.exposureProfile[v];
    PickOutput out;
    out.posN = IntToStr(v);
    out.posX = FloatToStr(static_cast<long double>(v - profile.peakIndex) * profile.sampleSpacing);
    out.posY = FloatToStr(value);
    out.marker = ChartPoint(v, profile.peakIndex, profile.sampleSpacing, value);
    return out;
}

void RunTruncation(ProfileState& profile, MtfState& mtf, std::int32_t start, long double level,
                   TruncationOutput& out)
{
    RunTruncation(profile, mtf, TruncationReads{[&] { return start; }, [&] { return level; }}, out);
}

void RunTruncation(ProfileState& profile, MtfState& mtf, const TruncationReads& reads, TruncationOutput& out)
{
    CheckShape(profile);
    if (!reads.start || !reads.level) throw std::invalid_argument("RunTruncation: reads");
    out = TruncationOutput{};

    Snapshot before(profile, mtf);
    auto refuse = [&](FailureCode code) {
        before.Restore(profile, mtf);
        out = TruncationOutput{};
        ThrowFailure(code);
    };

    std::vector<double>& e = profile.exposureProfile;
    const double s = profile.sampleSpacing;
    out.markersCleared = true;

    // Peak, skipping the first quarter of the samples.
    {
        const int nc = profile.exposureCount;
        double best = e[0];
        for (int i = 0; i < nc; ++i) {
            if (e[i] > best && i > nc / 4) {
                profile.peakIndex = i;
                best = e[i];
            }
        }
    }

    long long a = reads.start();
    if (a < 2) a = 2;
    long long nc = profile.exposureCount;
    long long pk = profile.peakIndex;
    if (a > nc - 1 || pk < 0 || pk > nc - 1) refuse(FailureCode::kStartOutside);

    // Left fit over a .. a + q, a quarter of the way to the peak. A start at
    // or right of the peak has no left tail to fit (up to three samples right
    // of it q is still 0, so the sign of q alone does not tell).
    const long long q = Trunc(static_cast<long double>(pk - a) / 4.0L);
    const long long e1 = a + q + 1;
    if (a >= pk || e1 > nc - 1) refuse(FailureCode::kStartNotLeftOfPeak);
    if (q + 1 > kMtfCapacity) refuse(FailureCode::kFitRangeTooLong);
    for (long long i = a, j = 0; i <= a + q; ++i, ++j) {
        mtf.fitY[j] = static_cast<double>(CheckedLog10(e[i]));
        mtf.fitX[j] = static_cast<double>(i);
    }
    out.markers.push_back(ChartPoint(a, pk, s, e[a]));
    out.markers.push_back(ChartPoint(e1, pk, s, e[e1]));
    FitPolynomial(1, static_cast<int>(q + 1), mtf);
    double c0 = mtf.fitCoefficients[0];
    double c1 = mtf.fitCoefficients[1];
    if (!(c1 > 0.0)) refuse(FailureCode::kLeftTailNotFalling);

    // Left reach: walk outward until the line is more than three decades
    // below the peak; t is one sample beyond the first such point. The new
    // length nc - t must fit in the array.
    const double top = static_cast<double>(CheckedLog10(e[pk]));
    long long x = a - 1;
    double y = top;
    while (static_cast<long double>(top) - y <= kDecades) {
        if (nc - x > kProfileCapacity) refuse(FailureCode::kExtensionTooLong);
        y = static_cast<double>(c0 + static_cast<long double>(c1) * x);
        x = x - 1;
    }
    const long long t = x;
    if (nc - t > kProfileCapacity) refuse(FailureCode::kExtensionTooLong);

    // Make room so that sample i >= a moves to i - t, then write the line
    // over t .. a - 1.
    if (t > 0) {
        for (long long i = t; i < nc; ++i) e[i - t] = e[i];
        nc -= t;
    } else if (t < 0) {
        for (long long i = nc - 1; i >= a; --i) e[i - t] = e[i];
        nc -= t;
    }
    profile.exposureCount = static_cast<std::int32_t>(nc);
    for (long long i = t; i <= a - 1; ++i)
        e[i - t] = static_cast<double>(std::pow(10.0L, c0 + static_cast<long double>(c1) * i));

    // Peak over the new array.
    {
        double best = e[0];
        for (long long i = 0; i < nc; ++i) {
            if (e[i] > best) {
                profile.peakIndex = static_cast<std::int32_t>(i);
                best = e[i];
            }
        }
    }
    pk = profile.peakIndex;
    DrawCurve(profile, out);

    // Right start: the first sample from the peak on that is not above the
    // picked exposure.
    const double level = static_cast<double>(reads.level());
    long long r = pk;
    while (r < nc && e[r] > level) ++r;
    if (r >= nc) refuse(FailureCode::kRightStartNotFound);

    // Right fit over r - u - 1 .. r.
    const long long u = std::llabs(Trunc(static_cast<long double>(r - pk) / 4.0L));
    const long long b = r - u - 1;
    if (b < 0) refuse(FailureCode::kRightStartNotFound);
    if (u + 2 > kMtfCapacity) refuse(FailureCode::kFitRangeTooLong);
    for (long long i = b, j = 0; i <= r; ++i, ++j) {
        mtf.fitY[j] = static_cast<double>(CheckedLog10(e[i]));
        mtf.fitX[j] = static_cast<double>(i);
    }
    out.markers.push_back(ChartPoint(r, pk, s, e[r]));
    out.markers.push_back(ChartPoint(b, pk, s, e[b]));
    FitPolynomial(1, static_cast<int>(u + 2), mtf);
    c0 = mtf.fitCoefficients[0];
    c1 = mtf.fitCoefficients[1];
    if (!(c1 < 0.0)) refuse(FailureCode::kRightTailNotFalling);

    // Right extension from r (replaced too) until three decades are passed.
    long long i = r;
    y = static_cast<double>(CheckedLog10(e[pk]));
    while (static_cast<long double>(static_cast<double>(CheckedLog10(e[pk]))) - y <= kDecades) {
        if (i >= kProfileCapacity) refuse(FailureCode::kExtensionTooLong);
        y = static_cast<double>(c0 + static_cast<long double>(c1) * i);
        e[i] = static_cast<double>(std::pow(10.0L, static_cast<long double>(y)));
        ++i;
    }
    profile.exposureCount = static_cast<std::int32_t>(i);
    DrawCurve(profile, out);
}

}  // namespace radmtf
