#include "core/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
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
