#include "mtf/fitting.h"

#include <optional>
#include <stdexcept>

#include "core/failure.h"
#include "core/numtext.h"
#include "mtf/polyfit.h"

namespace radmtf {

namespace {

constexpr double kTableStep = 0.05;
constexpr int kMaxSecondTableRows = 100000;

// Rows of the first table: f = 0, 0.05, ... while f <= fmax, f accumulating
// in double.
int FirstTableRows(double fmax, int cap)
{
    int rows = 0;
    for (double f = 0.0; f <= fmax; f = f + kTableStep) {
        if (++rows > cap) break;
    }
    return rows;
}

}  // namespace

void RunFitting(MtfState& mtf, int fitFrequencyItem, const FittingReads& reads, FittingOutput& out)
{
    if (fitFrequencyItem < -1 || fitFrequencyItem > 5) throw std::invalid_argument("RunFitting: item index");
    if (!reads.degree || !reads.pixelSpacing) throw std::invalid_argument("RunFitting: reads");
    const std::optional<std::int32_t> knownDegree = reads.knownDegree;
    const std::function<std::int32_t()>& degree = reads.degree;
    const std::function<long double()>& pixelSpacing = reads.pixelSpacing;
    out = FittingOutput{};
    const int k = fitFrequencyItem + 4;

    // Refusals of our own come before any change.
    if (knownDegree && (*knownDegree < 1 || *knownDegree > kMaxFitDegree))
        ThrowFailure(FailureCode::kDegreeOutOfRange);
    if (k > mtf.measuredCount - 1) ThrowFailure(FailureCode::kNotMeasured);
    if (FirstTableRows(mtf.mtfFrequency[k], kMtfCapacity) > kMtfCapacity)
        ThrowFailure(FailureCode::kFrequencyRangeTooWide);

    out.fitPointsCleared = true;
    mtf.mtfLastIndex = k;

    // Fit points: the measured points 0 .. K with two points inserted among
    // the last three, the middle ones pulled down by 2.5 % and 5 %.
    auto& x = mtf.fitX;
    auto& y = mtf.fitY;
    for (int i = 0; i <= k; ++i) {
        x[i] = mtf.mtfFrequency[i];
        y[i] = mtf.mtfValue[i];
    }
    x[k + 2] = x[k];
    y[k + 2] = y[k];
    x[k] = x[k - 1];
    y[k] = y[k - 1];
    x[k - 1] = static_cast<double>((static_cast<long double>(x[k - 2]) + x[k]) / 2);
    y[k - 1] = static_cast<double>((static_cast<long double>(y[k - 2]) + y[k]) / 2 * 0.975L);
    x[k + 1] = static_cast<double>((static_cast<long double>(x[k]) + x[k + 2]) / 2);
    y[k + 1] = static_cast<double>((static_cast<long double>(y[k]) + y[k + 2]) / 2 * 0.95L);

    int n = degree();
    FitPolynomial(n, k + 3, mtf);
    out.coefficients.assign(mtf.fitCoefficients.begin(), mtf.fitCoefficients.begin() + n + 1);
    out.upTo = mtf.mtfFrequency[k];

    // First table at 0.05 cycles/mm up to F[K].
    const double fmax = mtf.mtfFrequency[k];
    int rows = 0;
    for (double f = 0.0; f <= fmax; f = f + kTableStep) {
        y[rows] = EvaluatePolynomial(mtf, n, f);
        x[rows] = f;
        ++rows;
    }
    out.curve.reserve(rows);
    out.listing.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        out.curve.emplace_back(x[i], y[i]);
        out.listing.push_back(FloatToStr(x[i]) + "\t" + FloatToStr(y[i]));
    }
    out.tableWritten = true;
    out.refitListingCleared = true;

    // Second table: refit the first one, step 1 / (64 p).
    n = degree();
    FitPolynomial(n, rows, mtf);
    std::string text;
    int rows3 = 0;
    for (double f = 0.0; f <= mtf.mtfFrequency[k];) {
        if (++rows3 > kMaxSecondTableRows) ThrowFailure(FailureCode::kBadPixelSpacing);
        text += FloatToStr(f) + "\t" + FloatToStr(EvaluatePolynomial(mtf, n, f)) + "\r\n";
        const long double p = pixelSpacing();
        const long double step = CheckedDivide(1.0L, p * 64);
        if (!(step > 0.0L)) ThrowFailure(FailureCode::kBadPixelSpacing);
        f = static_cast<double>(f + step);
    }
    out.refitListingText = std::move(text);
    out.refitListingAdded = true;
}

void RunFitting(MtfState& mtf, int fitFrequencyItem, std::int32_t degree, long double pixelSpacing,
                FittingOutput& out)
{
    RunFitting(mtf, fitFrequencyItem,
               FittingReads{degree, [&] { return degree; }, [&] { return pixelSpacing; }}, out);
}

}  // namespace radmtf
