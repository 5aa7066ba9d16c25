#include "mtf/slit.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

#include "analysis/composite_profile.h"
#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

constexpr int kN = kSlitTransformLength;
// The program's "2 pi"; every bin uses it, not the exact constant.
constexpr long double kTwoPiAsUsed = 6.2831852L;
// Bins at or above this frequency are neither listed nor drawn.
constexpr double kListLimit = 10.0;
// The recurrence below restarts from exact sines and cosines this often.
constexpr int kResyncInterval = 256;

// Magnitude of one bin the direct way: phase ((k * c) / N) * j in extended
// precision, sums in double. The cosine and sine of the phase come from a
// rotation recurrence in extended precision that restarts from cosl/sinl
// of the exact phase every kResyncInterval samples; its drift stays near
// 1e-17, under the rounding of the double sums.
double DirectBin(const double* e, int k)
{
    const long double theta = static_cast<long double>(k) * kTwoPiAsUsed / kN;
    const long double stepCos = std::cos(theta);
    const long double stepSin = std::sin(theta);
    double re = 0.0;
    double im = 0.0;
    long double c = 1.0L;
    long double s = 0.0L;
    for (int j = 0; j < kN; ++j) {
        if (j % kResyncInterval == 0) {
            const long double phase = theta * j;
            c = std::cos(phase);
            s = std::sin(phase);
        }
        re = static_cast<double>(re + c * e[j]);
        im = static_cast<double>(im + s * e[j]);
        const long double nextCos = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin;
        c = nextCos;
    }
    return static_cast<double>(
        std::sqrt(static_cast<long double>(re) * re + static_cast<long double>(im) * im));
}

// In-place radix-2 transform of length N, sum_j x[j] exp(+2 pi i k j / N).
void Fft(std::vector<std::complex<double>>& x, const std::vector<std::complex<double>>& roots)
{
    const int n = static_cast<int>(x.size());
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (int len = 2; len <= n; len <<= 1) {
        const int stride = n / len;
        for (int i = 0; i < n; i += len) {
            for (int k = 0; k < len / 2; ++k) {
                const std::complex<double> u = x[i + k];
                const std::complex<double> v = x[i + k + len / 2] * roots[k * stride];
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
            }
        }
    }
}

// Magnitudes of all N bins through the fast transform. The program's
// constant is 2 pi - delta, so exp(i k c j / N) = exp(2 pi i k j / N) *
// exp(-i delta k u) with u = j / N; the second factor is expanded to the
// fourth order (|delta k u| < 1.5e-4, remainder below 1e-17 of the sum).
std::vector<double> FastMagnitudes(const double* e)
{
    constexpr int kOrders = 4;
    const long double delta = 2.0L * std::numbers::pi_v<long double> - kTwoPiAsUsed;
    std::vector<std::vector<std::complex<double>>> g(kOrders, std::vector<std::complex<double>>(kN));
    for (int j = 0; j < kN; ++j) {
        const double u = static_cast<double>(j) / kN;
        double weight = e[j];
        for (int order = 0; order < kOrders; ++order) {
            g[order][j] = weight;
            weight *= u;
        }
    }
    static const std::vector<std::complex<double>> roots = [] {
        std::vector<std::complex<double>> r(kN / 2);
        for (int k = 0; k < kN / 2; ++k) {
            const long double angle = 2.0L * std::numbers::pi_v<long double> * k / kN;
            r[k] = {static_cast<double>(std::cos(angle)), static_cast<double>(std::sin(angle))};
        }
        return r;
    }();
    for (auto& series : g) Fft(series, roots);
    std::vector<double> magnitudes(kN);
    for (int k = 0; k < kN; ++k) {
        const std::complex<long double> factor(0.0L, -delta * k);
        std::complex<long double> term = 1.0L;
        std::complex<long double> sum = 0.0L;
        for (int order = 0; order < kOrders; ++order) {
            if (order > 0) term = term * factor / static_cast<long double>(order);
            sum += term * std::complex<long double>(g[order][k].real(), g[order][k].imag());
        }
        magnitudes[k] = static_cast<double>(std::abs(sum));
    }
    return magnitudes;
}

}  // namespace

void RunSlitMethod(ProfileState& profile, MtfState& mtf, SlitOutput& out)
{
    if (profile.exposureCount < 0 || profile.exposureCount > kProfileCapacity ||
        static_cast<int>(profile.exposureProfile.size()) != kProfileCapacity)
        throw std::invalid_argument("RunSlitMethod: exposure profile out of shape");
    RequireLsf(profile);
    out = SlitOutput{};

    // The arrays are about to be overwritten; until the run completes
    // nothing in them is a measurement.
    mtf.measuredCount = 0;

    // Always pad with zeros, so that a shorter LSF never picks up the samples
    // a longer one left behind.
    mtf.mtfPointCount = kN;
    if (profile.exposureCount <= kN) {
        for (int j = profile.exposureCount; j <= kN; ++j) profile.exposureProfile[j] = 0.0;
    }
    const double* e = profile.exposureProfile.data();

    // Frequency scale f(k) = k / (N s); only the bins below 10 cycles/mm
    // are listed, so only those need the direct sums.
    const long double span = static_cast<long double>(kN) * profile.sampleSpacing;
    int listed = kN;
    if (span != 0.0L && !std::isnan(span)) {
        for (int k = 1; k < kN; ++k) {
            if (static_cast<double>(k / span) >= kListLimit) {
                listed = k;
                break;
            }
        }
    }

    const std::vector<double> fast = FastMagnitudes(e);
    for (int k = 0; k < kN; ++k) mtf.mtfValue[k] = k < listed ? DirectBin(e, k) : fast[k];

    // Normalisation: f(k) first, then m(k) / m(0), bin by bin.
    for (int k = 1; k < kN; ++k) {
        mtf.mtfFrequency[k] = static_cast<double>(CheckedDivide(static_cast<long double>(k), span));
        mtf.mtfValue[k] = CheckedDivide(mtf.mtfValue[k], mtf.mtfValue[0]);
    }
    mtf.mtfFrequency[0] = 0.0;
    mtf.mtfValue[0] = 1.0;

    int count = 0;
    while (count < kN && mtf.mtfFrequency[count] < kListLimit) ++count;
    mtf.mtfPointCount = count;

    out.listing.reserve(count);
    out.points.reserve(count);
    for (int k = 0; k < count; ++k) {
        const double f =
            static_cast<double>(Round(static_cast<long double>(mtf.mtfFrequency[k]) * 1000)) / 1000.0;
        const double m =
            static_cast<double>(Round(static_cast<long double>(mtf.mtfValue[k]) * 1000)) / 1000.0;
        out.listing.push_back(FloatToStr(f) + "\t" + FloatToStr(m));
        out.points.emplace_back(mtf.mtfFrequency[k], mtf.mtfValue[k]);
    }
    out.written = true;
    mtf.measuredCount = kN;
}

std::optional<std::pair<double, double>> SlitNyquistPoint(const ProfileState& profile,
                                                          long double pixelSpacing)
{
    if (!(pixelSpacing > 0) || static_cast<int>(profile.exposureProfile.size()) <= kN) return std::nullopt;
    const long double s = profile.sampleSpacing;
    if (!(s > 0) || !std::isfinite(s)) return std::nullopt;
    const double f = static_cast<double>(1.0L / (2.0L * pixelSpacing));
    if (!(f < kListLimit)) return std::nullopt;
    const long double theta = kTwoPiAsUsed * static_cast<long double>(f) * s;
    long double re = 0.0L, im = 0.0L, sum = 0.0L;
    for (int j = 0; j < kN; ++j) {
        const long double e = profile.exposureProfile[static_cast<std::size_t>(j)];
        re += e * std::cos(theta * j);
        im += e * std::sin(theta * j);
        sum += e;
    }
    const double mtf = static_cast<double>(std::sqrt(re * re + im * im) / std::abs(sum));
    if (!std::isfinite(mtf)) return std::nullopt;
    return std::pair{f, mtf};
}

}  // namespace radmtf
