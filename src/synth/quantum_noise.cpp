#include "synth/quantum_noise.h"

#include <cmath>

namespace radmtf::synth {

double QuantumNoise::Uniform()
{
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

std::int64_t QuantumNoise::Poisson(double mean)
{
    if (!(mean > 0)) return 0;
    if (mean < 10) {
        // Count uniforms until their product falls below e^-mean.
        const double limit = std::exp(-mean);
        std::int64_t k = 0;
        double product = Uniform();
        while (product > limit) {
            ++k;
            product *= Uniform();
        }
        return k;
    }
    // W. Hoermann, "The transformed rejection method for generating Poisson
    // random variables", Insurance: Mathematics and Economics 12 (1993).
    const double root = std::sqrt(mean);
    const double logMean = std::log(mean);
    const double b = 0.931 + 2.53 * root;
    const double a = -0.059 + 0.02483 * b;
    const double inverseAlpha = 1.1239 + 1.1328 / (b - 3.4);
    const double vr = 0.9277 - 3.6224 / (b - 2);
    for (;;) {
        const double u = Uniform() - 0.5;
        const double v = Uniform();
        const double us = 0.5 - std::abs(u);
        const double k = std::floor((2 * a / us + b) * u + mean + 0.43);
        if (us >= 0.07 && v <= vr) return static_cast<std::int64_t>(k);
        if (k < 0 || (us < 0.013 && v > us)) continue;
        if (std::log(v) + std::log(inverseAlpha) - std::log(a / (us * us) + b) <=
            -mean + k * logMean - std::lgamma(k + 1))
            return static_cast<std::int64_t>(k);
    }
}

}  // namespace radmtf::synth
