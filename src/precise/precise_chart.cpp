#include "precise/precise_chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

#include "core/failure.h"
#include "precise/line_samples.h"

namespace radmtf {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::array<double, 10> kPeriods = {20, 2, 1, 2.0 / 3, 0.5, 0.4, 1.0 / 3, 0.25, 0.2, 1.0 / 6};
constexpr std::array<double, 10> kFrequencies = {0, 0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 6};

struct Harmonic {
    double amplitude = 0;
    double variance = 0;
};

// Weighted least squares of E = a + b cos(2 pi x / T) + c sin(2 pi x / T)
// over the samples in [lo, hi); amplitude sqrt(b² + c²) and its variance.
std::optional<Harmonic> LockIn(const LineSamples& s, const std::vector<double>& w, const NoiseModel& noise,
                               double lo, double hi, double period)
{
    double m[3][3] = {};
    double v[3] = {};
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < s.position.size(); ++i) {
        const double x = s.position[i];
        if (x < lo || x >= hi) continue;
        inside.push_back(i);
        const double phase = kTwoPi * x / period;
        const double basis[3] = {1, std::cos(phase), std::sin(phase)};
        for (int r = 0; r < 3; ++r) {
            v[r] += w[i] * basis[r] * s.value[i];
            for (int c = 0; c < 3; ++c) m[r][c] += w[i] * basis[r] * basis[c];
        }
    }
    if (inside.size() < 12) return std::nullopt;
    // Inverse of the 3 × 3 normal matrix.
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!(std::abs(det) > 0)) return std::nullopt;
    double inv[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inv[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    double beta[3] = {};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) beta[r] += inv[r][c] * v[c];
    Harmonic h;
    h.amplitude = std::hypot(beta[1], beta[2]);
    if (!(h.amplitude > 0)) return h;
    // The amplitude is linear in the samples to first order:
    // dA/dE_i = w_i (g · inv · basis_i) with g = (0, b/A, c/A).
    double gi[3] = {};
    for (int c = 0; c < 3; ++c) gi[c] = (beta[1] * inv[1][c] + beta[2] * inv[2][c]) / h.amplitude;
    for (std::size_t i : inside) {
        const double phase = kTwoPi * s.position[i] / period;
        const double d = w[i] * (gi[0] + gi[1] * std::cos(phase) + gi[2] * std::sin(phase));
        h.variance += d * d * noise.Variance(s.value[i]);
    }
    return h;
}

// Composite-profile index i → (line, sample) of the table it came from.
std::pair<int, int> TableSampleOf(int i, ProfileOrientation orientation, int maLines)
{
    const int outer = i / maLines;
    const int k = i % maLines;
    switch (orientation) {
        case ProfileOrientation::kRowsLastToFirst:
        case ProfileOrientation::kColumnsLastToFirst:
            return {maLines - k - 1, outer};
        default:
            return {k, outer};
    }
}

}  // namespace

PreciseChartResult RunPreciseChart(const ValueTable& exposure, const LineGeometry& geometry,
                                   double pixelSpacing, const SwcFeatures& features,
                                   ProfileOrientation orientation, int maLines)
{
    if (!features.located || maLines < 1) ThrowFailure(FailureCode::kChartNotFound);
    // The profile's lines must be the lines the geometry describes.
    const bool profileAlongRows = orientation == ProfileOrientation::kRowsLastToFirst ||
                                  orientation == ProfileOrientation::kRowsFirstToLast;
    if (profileAlongRows != geometry.alongRows)
        ThrowFailure(FailureCode::kGeometryMismatch, {GeometryText(geometry)});
    const double p = pixelSpacing;
    const LineSamples s = CollectSamples(exposure, geometry, p);
    const std::vector<double>& w = s.weight;
    const NoiseModel noise = EstimateNoise(s.position, s.value, p / 10);
    const auto positionOf = [&](int index) {
        const auto [line, sample] = TableSampleOf(index, orientation, maLines);
        return geometry.Position(line, sample) * p;
    };
    const auto& centres = features.groupCentres;

    // The square: one 20 mm period, from the gap's lower end to the square's upper end.
    const double square = positionOf(centres[0][0]);
    const std::optional<Harmonic> reference = LockIn(s, w, noise, square - 15, square + 5, kPeriods[0]);
    if (!reference || !(reference->amplitude > 0)) ThrowFailure(FailureCode::kChartNotFound);

    PreciseChartResult result;
    result.points.push_back({0, 1, 0});
    double nominalTop = square - 15;  // upper end of group 1's first bar, by design
    for (int g = 1; g <= 9; ++g) {
        const double t = kPeriods[static_cast<std::size_t>(g)];
        const int periods = g == 1 ? 3 : 8;
        const double extent = (g == 1 ? 4.5 : 9.5) * t;
        // The group's top from its first centre when the centres keep the
        // nominal spacing; from the design otherwise.
        bool spacingFound = false;
        double top = nominalTop;
        const auto& row = centres[static_cast<std::size_t>(g)];
        if (row[0] > 0 && row[2] > 0) {
            const double spacing = std::abs(positionOf(row[0]) - positionOf(row[2])) / 2;
            if (spacing > 0.9 * t && spacing < 1.1 * t) {
                spacingFound = true;
                const double found = positionOf(row[0]) + t / 4;
                if (std::abs(found - nominalTop) < t) top = found;
            }
        }
        nominalTop = top - extent - 2;
        const double hi = top - 0.75 * t;
        const double lo = hi - periods * t;
        const std::optional<Harmonic> h = LockIn(s, w, noise, lo, hi, t);
        if (!h) continue;
        if (!spacingFound) {
            // The period at which the lock-in's amplitude peaks.
            double bestPeriod = t, best = -1;
            for (int k = -20; k <= 25; ++k) {
                const double trial = t * (1 + 0.01 * k);
                const std::optional<Harmonic> a = LockIn(s, w, noise, hi - periods * trial, hi, trial);
                if (a && a->amplitude > best) {
                    best = a->amplitude;
                    bestPeriod = trial;
                }
            }
            if (!(bestPeriod > 0.9 * t && bestPeriod < 1.1 * t)) continue;
        }
        PreciseMtfPoint point;
        point.frequency = kFrequencies[static_cast<std::size_t>(g)];
        point.mtf = h->amplitude / reference->amplitude;
        point.uncertainty =
            std::sqrt(h->variance + point.mtf * point.mtf * reference->variance) / reference->amplitude;
        // What the noise model misses: the two halves of the group must
        // agree; a window that reaches past the group or catches a neighbour
        // (likely at low modulation, where the centres are found in the
        // noise) makes them differ. Their half-difference d has about the
        // noise's variance u² when all is well; what it holds beyond that,
        // sqrt(d² - u²), is the misfit, and the larger of the two stands.
        if (periods % 2 == 0) {
            const double middle = lo + periods / 2 * t;
            const std::optional<Harmonic> first = LockIn(s, w, noise, lo, middle, t);
            const std::optional<Harmonic> second = LockIn(s, w, noise, middle, hi, t);
            if (first && second) {
                const double d = (first->amplitude - second->amplitude) / 2 / reference->amplitude;
                const double u = point.uncertainty;
                point.uncertainty = std::max(u, std::sqrt(std::max(d * d - u * u, 0.0)));
            }
        }
        result.points.push_back(point);
    }
    return result;
}

}  // namespace radmtf
