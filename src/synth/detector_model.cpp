#include "synth/detector_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace radmtf::synth {
namespace {

constexpr double kPi = std::numbers::pi;

double GaussCdf(double z)
{
    return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

double GaussPdf(double z)
{
    return std::exp(-0.5 * z * z) / std::sqrt(2 * kPi);
}

}  // namespace

double AbsSinc(double x)
{
    if (x == 0) return 1.0;
    return std::abs(std::sin(kPi * x) / (kPi * x));
}

double DetectorModel::Lsf(double u) const
{
    const double gauss = GaussPdf(u / sigma) / sigma;
    const double laplace = std::exp(-std::abs(u) / expScale) / (2 * expScale);
    return (1 - expWeight) * gauss + expWeight * laplace;
}

double DetectorModel::EdgeSpread(double u) const
{
    const double gauss = GaussCdf(u / sigma);
    const double e = 0.5 * std::exp(-std::abs(u) / expScale);
    const double laplace = u < 0 ? e : 1 - e;
    return (1 - expWeight) * gauss + expWeight * laplace;
}

double DetectorModel::EdgeSpreadIntegral(double u) const
{
    // Gaussian: u Phi(u/sigma) + sigma phi(u/sigma); exponential: b/2 e^{u/b}
    // left of 0, u + b/2 e^{-u/b} right of it. Both are 0 far left and u far right.
    const double z = u / sigma;
    const double gauss = u * GaussCdf(z) + sigma * GaussPdf(z);
    const double e = 0.5 * expScale * std::exp(-std::abs(u) / expScale);
    const double laplace = u < 0 ? e : u + e;
    return (1 - expWeight) * gauss + expWeight * laplace;
}

double DetectorModel::LsfMtf(double f) const
{
    const double gauss = std::exp(-2 * kPi * kPi * sigma * sigma * f * f);
    const double t = 2 * kPi * expScale * f;
    return (1 - expWeight) * gauss + expWeight / (1 + t * t);
}

double DetectorModel::ApertureMtf(double f) const
{
    return AbsSinc(aperture * f);
}

double DetectorModel::PresampledMtf(double f) const
{
    return LsfMtf(f) * ApertureMtf(f);
}

double DetectorModel::SlitResponse(double u, double slitWidth) const
{
    // (1/a) ∫∫ LSF(u - v - t) over v in [-s/2, s/2], t in [-a/2, a/2].
    const double h = aperture / 2;
    const double s = slitWidth / 2;
    const double sum = EdgeSpreadIntegral(u + h + s) - EdgeSpreadIntegral(u + h - s) -
                       EdgeSpreadIntegral(u - h + s) + EdgeSpreadIntegral(u - h - s);
    return sum / aperture;
}

double DetectorModel::EdgeResponse(double u) const
{
    const double h = aperture / 2;
    return (EdgeSpreadIntegral(u + h) - EdgeSpreadIntegral(u - h)) / aperture;
}

double DetectorModel::BarResponse(double u, double lo, double hi) const
{
    return EdgeResponse(u - lo) - EdgeResponse(u - hi);
}

double DetectorModel::Reach() const
{
    // Gaussian tail below 1e-16 beyond 8.3 sigma; exponential below 1e-15 beyond 35 b.
    return aperture / 2 + std::max(9 * sigma, expWeight > 0 ? 35 * expScale : 0.0);
}

}  // namespace radmtf::synth
