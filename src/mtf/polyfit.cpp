#include "mtf/polyfit.h"

#include <array>
#include <stdexcept>

#include "core/failure.h"

namespace radmtf {

namespace {

// A double running sum that takes one extended-precision term.
inline double Accumulate(double sum, long double term)
{
    return static_cast<double>(sum + term);
}

}  // namespace

double IntPower(double x, int q)
{
    if (q <= 0) return 1.0;
    if (x == 0.0) return 0.0;
    double product = x;
    for (int i = 1; i < q; ++i) product = product * x;
    return product;
}

void FitPolynomial(int n, int m, MtfState& state)
{
    if (n < 1 || n > kMaxFitDegree) throw std::invalid_argument("FitPolynomial: degree out of 1 .. 16");
    if (m < 0 || m > kMtfCapacity) throw std::invalid_argument("FitPolynomial: point count out of range");

    constexpr int kSize = kMaxFitDegree + 1;
    std::array<double, 2 * kMaxFitDegree + 1> sums{};
    std::array<double, kSize> b{};
    std::array<std::array<double, kSize>, kSize> a{};

    for (int q = 0; q <= 2 * n; ++q) {
        double s = 0.0;
        for (int p = 0; p < m; ++p) s = Accumulate(s, IntPower(state.fitX[p], q));
        sums[q] = s;
    }
    for (int i = 0; i <= n; ++i) {
        double s = 0.0;
        for (int p = 0; p < m; ++p)
            s = Accumulate(s, static_cast<long double>(IntPower(state.fitX[p], i)) * state.fitY[p]);
        b[i] = s;
    }
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) a[i][j] = sums[i + j];

    // Forward elimination: unit diagonal, zeros below it.
    for (int k = 0; k < n; ++k) {
        const double pivot = a[k][k];
        for (int j = k; j <= n; ++j) a[k][j] = CheckedDivide(a[k][j], pivot);
        b[k] = CheckedDivide(b[k], pivot);
        for (int i = k + 1; i <= n; ++i) {
            const double f = a[i][k];
            for (int j = k; j <= n; ++j)
                a[i][j] = static_cast<double>(a[i][j] - static_cast<long double>(f) * a[k][j]);
            b[i] = static_cast<double>(b[i] - static_cast<long double>(b[k]) * f);
        }
    }
    // Backward elimination: zeros above the diagonal.
    for (int k = n; k >= 1; --k) {
        const double pivot = a[k][k];
        for (int j = k; j >= 0; --j) a[k][j] = CheckedDivide(a[k][j], pivot);
        b[k] = CheckedDivide(b[k], pivot);
        for (int i = k - 1; i >= 0; --i) {
            const double f = a[i][k];
            for (int j = k; j >= 0; --j)
                a[i][j] = static_cast<double>(a[i][j] - static_cast<long double>(f) * a[k][j]);
            b[i] = static_cast<double>(b[i] - static_cast<long double>(b[k]) * f);
        }
    }
    for (int j = 0; j <= n; ++j) state.fitCoefficients[j] = b[j];
}

double EvaluatePolynomial(const MtfState& state, int n, double x)
{
    double sum = 0.0;
    for (int k = 0; k <= n; ++k)
        sum = Accumulate(sum, static_cast<long double>(state.fitCoefficients[k]) * IntPower(x, k));
    return sum;
}

double EvaluatePolynomial(std::span<const double> coefficients, double x)
{
    double sum = 0.0;
    for (std::size_t k = 0; k < coefficients.size(); ++k)
        sum = Accumulate(sum, static_cast<long double>(coefficients[k]) * IntPower(x, static_cast<int>(k)));
    return sum;
}

}  // namespace radmtf
