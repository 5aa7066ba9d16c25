#include "core/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace radmtf {
namespace {

using Complex = std::complex<double>;

// The transform by its definition, in extended precision.
std::vector<Complex> NaiveDft2d(const std::vector<double>& in, std::size_t rows, std::size_t cols)
{
    std::vector<Complex> out(rows * (cols / 2 + 1));
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t k = 0; k <= cols / 2; ++k) {
            long double re = 0.0L, im = 0.0L;
            for (std::size_t y = 0; y < rows; ++y) {
                for (std::size_t x = 0; x < cols; ++x) {
                    const long double phase = -2.0L * std::numbers::pi_v<long double> *
                                              (static_cast<long double>(y * r % rows) / rows +
                                               static_cast<long double>(x * k % cols) / cols);
                    re += in[y * cols + x] * std::cos(phase);
                    im += in[y * cols + x] * std::sin(phase);
                }
            }
            out[r * (cols / 2 + 1) + k] = {static_cast<double>(re), static_cast<double>(im)};
        }
    }
    return out;
}

std::vector<double> Noise(std::size_t count, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> v(count);
    for (double& x : v) x = uniform(engine);
    return v;
}

void ExpectNear(const std::vector<Complex>& a, const std::vector<Complex>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_LT(std::abs(a[i] - b[i]), 1e-11) << i;
}

TEST(Fft, MatchesTheDefinitionInOneAndTwoDimensionsForEvenAndOddSizes)
{
    for (std::size_t n : {1u, 2u, 7u, 16u, 45u}) {
        const std::vector<double> in = Noise(n, static_cast<unsigned>(n));
        std::vector<Complex> out(n / 2 + 1);
        RealFft(in.data(), out.data(), n);
        ExpectNear(out, NaiveDft2d(in, 1, n));
    }
    for (auto [rows, cols] : {std::pair<std::size_t, std::size_t>{8, 8}, {5, 12}, {9, 7}}) {
        const std::vector<double> in = Noise(rows * cols, static_cast<unsigned>(rows * 31 + cols));
        std::vector<Complex> out(rows * (cols / 2 + 1));
        RealFft2d(in.data(), out.data(), rows, cols);
        ExpectNear(out, NaiveDft2d(in, rows, cols));
    }
}

// The complex transform by its definition, in extended precision.
std::vector<Complex> NaiveComplexDft(const std::vector<Complex>& in, bool inverse)
{
    const std::size_t n = in.size();
    std::vector<Complex> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<long double> sum = 0.0L;
        for (std::size_t j = 0; j < n; ++j) {
            const long double phase = (inverse ? 2.0L : -2.0L) * std::numbers::pi_v<long double> *
                                      static_cast<long double>(j * k % n) / n;
            sum += std::complex<long double>(in[j]) * std::polar(1.0L, phase);
        }
        out[k] = Complex(sum);
    }
    return out;
}

TEST(Fft, ComplexTransformMatchesTheDefinitionBothWays)
{
    for (std::size_t n : {1u, 6u, 64u, 77u}) {
        const std::vector<double> re = Noise(n, 5), im = Noise(n, 6);
        std::vector<Complex> in(n);
        for (std::size_t i = 0; i < n; ++i) in[i] = {re[i], im[i]};
        for (bool inverse : {false, true}) {
            std::vector<Complex> out(n);
            ComplexFft(in.data(), out.data(), n, inverse);
            ExpectNear(out, NaiveComplexDft(in, inverse));
        }
    }
}

TEST(Fft, ChirpZMatchesTheSumsAtAnyEquallySpacedFrequencies)
{
    struct Case {
        std::size_t n, count;
        double start, step;  // cycles per sample
    };
    // Steps that are no multiple of 1/n, a negative start, more frequencies
    // than samples and fewer, one sample, and the DFT's own grid.
    for (const Case c : {Case{501, 101, 0.0, 0.05 * 0.0139}, Case{256, 11, -0.0071, 0.00390625 * 1.39},
                         Case{7, 40, 0.3, 0.0317}, Case{1, 3, 0.1, 0.2}, Case{16, 16, 0.0, 1.0 / 16}}) {
        const std::vector<double> in = Noise(c.n, static_cast<unsigned>(c.n + c.count));
        std::vector<Complex> out(c.count);
        ChirpZ(c.n, c.count, c.start, c.step)(in.data(), out.data());
        for (std::size_t m = 0; m < c.count; ++m) {
            std::complex<long double> sum = 0.0L;
            const long double f = static_cast<long double>(c.start) + m * static_cast<long double>(c.step);
            for (std::size_t k = 0; k < c.n; ++k)
                sum += static_cast<long double>(in[k]) *
                       std::polar(1.0L, -2 * std::numbers::pi_v<long double> * f * k);
            EXPECT_LT(std::abs(out[m] - Complex(sum)), 1e-12 * std::sqrt(c.n)) << c.n << " " << m;
        }
    }
    EXPECT_THROW(ChirpZ(0, 1, 0, 0.1), std::invalid_argument);
    EXPECT_THROW(ChirpZ(4, 4, 0, NAN), std::invalid_argument);
}

TEST(Fft, GivesTheSameNumbersFromSeveralThreadsAndForUnalignedArrays)
{
    const std::size_t n = 64;
    const std::vector<double> in = Noise(n * n + 1, 3);
    std::vector<Complex> reference(n * (n / 2 + 1));
    RealFft2d(in.data(), reference.data(), n, n);
    std::vector<std::vector<Complex>> outs(4, std::vector<Complex>(reference.size()));
    std::vector<std::thread> threads;
    for (auto& out : outs)
        threads.emplace_back([&in, &out, n] {
            for (int repeat = 0; repeat < 20; ++repeat) RealFft2d(in.data(), out.data(), n, n);
        });
    for (auto& t : threads) t.join();
    for (const auto& out : outs) EXPECT_EQ(out, reference);
    // One double past an aligned start.
    std::vector<double> shifted(in.begin() + 1, in.end());
    std::vector<Complex> unaligned(reference.size());
    RealFft2d(in.data() + 1, unaligned.data(), n, n);
    std::vector<Complex> aligned(reference.size());
    RealFft2d(shifted.data(), aligned.data(), n, n);
    ExpectNear(unaligned, aligned);
}

}  // namespace
}  // namespace radmtf
