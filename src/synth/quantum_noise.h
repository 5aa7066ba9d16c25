// Seeded quantum noise that gives the same numbers on every platform.
//
// std::mt19937_64 is fully specified by the standard, but the library's
// distributions are not, so uniform, Poisson deviates are drawn here:
// uniforms from the top 53 bits of a draw, Poisson by multiplying uniforms
// for small means and by Hoermann's transformed rejection (PTRS) above.
#pragma once

#include <cstdint>
#include <random>

namespace radmtf::synth {

class QuantumNoise {
public:
    explicit QuantumNoise(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, 1).
    double Uniform();
    // A Poisson deviate of the given mean (0 for a mean of 0 or less).
    std::int64_t Poisson(double mean);

private:
    std::mt19937_64 engine_;
};

}  // namespace radmtf::synth
