#include "mtf/slit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "core/failure.h"
#include "failure_text.h"

namespace radmtf {
namespace {

constexpr int kN = kSlitTransformLength;
constexpr double kSpacing = 0.1 / 17;

struct Fixture {
    std::unique_ptr<ProfileState> profile = std::make_unique<ProfileState>();
    std::unique_ptr<MtfState> mtf = std::make_unique<MtfState>();
    SlitOutput out;

    void SetGaussian(int count, double centre, double sigmaSamples)
    {
        profile->exposureCount = count;
        for (int j = 0; j < count; ++j) {
            const double z = (j - centre) / sigmaSamples;
            profile->exposureProfile[j] = 1000.0 * std::exp(-0.5 * z * z);
        }
    }
    void Run() { RunSlitMethod(*profile, *mtf, out); }
};

// The transform exactly as defined: phase ((k * 6.2831852) / N) * j in
// extended precision with cosl/sinl, sums in double.
double ReferenceMagnitude(const std::vector<double>& e, int k)
{
    double re = 0.0, im = 0.0;
    for (int j = 0; j < kN; ++j) {
        const long double phase = static_cast<long double>(k) * 6.2831852L / kN * j;
        re = static_cast<double>(re + std::cos(phase) * e[j]);
        im = static_cast<double>(im + std::sin(phase) * e[j]);
    }
    return std::sqrt(re * re + im * im);
}

TEST(SlitMethod, SingleSampleGivesOneEverywhere)
{
    Fixture t;
    t.profile->sampleSpacing = kSpacing;
    t.profile->exposureCount = 1500;
    t.profile->exposureProfile[700] = 1000.0;
    t.Run();
    for (int k = 0; k < kN; ++k) ASSERT_NEAR(t.mtf->mtfValue[k], 1.0, 1e-12) << k;
    for (const auto& line : t.out.listing) EXPECT_EQ(line.substr(line.find('\t')), "\t1");
    EXPECT_EQ(t.mtf->measuredCount, kN);
}

TEST(SlitMethod, GaussianLsfFollowsAnalyticMtf)
{
    // sigma = 0.05 mm: MTF(f) = exp(-2 pi^2 sigma^2 f^2).
    Fixture t;
    const double sigma = 0.05;
    t.profile->sampleSpacing = kSpacing;
    t.SetGaussian(2048, 1024.3, sigma / kSpacing);
    t.Run();
    ASSERT_EQ(t.mtf->mtfPointCount, 121);
    for (int k = 0; k < t.mtf->mtfPointCount; ++k) {
        const double f = t.mtf->mtfFrequency[k];
        EXPECT_NEAR(f, k / (kN * kSpacing), 1e-12);
        EXPECT_NEAR(t.mtf->mtfValue[k],
                    std::exp(-2 * std::numbers::pi * std::numbers::pi * sigma * sigma * f * f), 2e-4)
            << "f = " << f;
    }
}

TEST(SlitMethod, AgreesWithDirectTransformOnEveryBin)
{
    // An asymmetric LSF with a long tail; the listed bins and a spread of the
    // others against the defining sums.
    Fixture t;
    t.profile->sampleSpacing = kSpacing;
    t.profile->exposureCount = 1800;
    std::vector<double> e(kN, 0.0);
    for (int j = 0; j < 1800; ++j) {
        const double x = j - 900.0;
        e[j] = 1000.0 * std::exp(-0.5 * (x / 6) * (x / 6)) +
               40.0 * std::exp(-std::fabs(x) / (x < 0 ? 60 : 25)) + 0.5 * ((j * 7919) % 13);
        t.profile->exposureProfile[j] = e[j];
    }
    t.Run();
    const double m0 = ReferenceMagnitude(e, 0);
    for (int k = 1; k < kN; k += (k < 130 ? 1 : 37)) {
        ASSERT_NEAR(t.mtf->mtfValue[k], ReferenceMagnitude(e, k) / m0, 1e-12) << "bin " << k;
    }
}

TEST(SlitMethod, ShiftDoesNotChangeResult)
{
    Fixture a, b;
    a.profile->sampleSpacing = b.profile->sampleSpacing = kSpacing;
    a.SetGaussian(1200, 500.0, 9.0);
    b.SetGaussian(1200 + 600, 1100.0, 9.0);
    a.Run();
    b.Run();
    EXPECT_EQ(a.out.listing, b.out.listing);
    for (int k = 0; k < kN; ++k) ASSERT_NEAR(a.mtf->mtfValue[k], b.mtf->mtfValue[k], 1e-12);
}

TEST(SlitMethod, MemoListsBinsBelowTenCyclesToThreeDecimals)
{
    Fixture t;
    t.profile->sampleSpacing = kSpacing;
    t.SetGaussian(1024, 512.0, 20.0);
    t.Run();
    ASSERT_TRUE(t.out.written);
    ASSERT_EQ(t.out.listing.size(), 121u);
    ASSERT_EQ(t.out.points.size(), 121u);
    EXPECT_EQ(t.out.listing[0], "0\t1");
    EXPECT_EQ(t.out.listing[1].substr(0, 6), "0.083\t");
    EXPECT_LT(std::stod(t.out.listing[1].substr(6)), 1.0);
    // Bin 120: 120 / (2048 * 0.1 / 17) = 9.9609375.
    EXPECT_EQ(t.out.listing[120].substr(0, 6), "9.961\t");
    EXPECT_DOUBLE_EQ(t.out.points[120].first, t.mtf->mtfFrequency[120]);
    EXPECT_GE(t.mtf->mtfFrequency[121], 10.0);
}

TEST(SlitMethod, EveryRunPadsWithZeros)
{
    // A pixel spacing so coarse that no bin reaches 10 cycles/mm leaves the
    // point count at 2048; a later, shorter LSF must still be padded.
    Fixture t;
    t.profile->sampleSpacing = 0.2;
    t.SetGaussian(2000, 1000.0, 300.0);
    t.Run();
    EXPECT_EQ(t.mtf->mtfPointCount, kN);
    t.SetGaussian(100, 50.0, 5.0);
    t.Run();

    Fixture fresh;
    fresh.profile->sampleSpacing = 0.2;
    fresh.SetGaussian(100, 50.0, 5.0);
    fresh.Run();
    for (int k = 0; k < kN; ++k) ASSERT_EQ(t.mtf->mtfValue[k], fresh.mtf->mtfValue[k]);
    for (int j = 100; j <= kN; ++j) ASSERT_EQ(t.profile->exposureProfile[j], 0.0);
}

TEST(SlitMethod, SamplesFromIndex2048OnAreIgnored)
{
    Fixture t, cut;
    t.profile->sampleSpacing = cut.profile->sampleSpacing = kSpacing;
    t.SetGaussian(2100, 1024.0, 7.0);
    t.profile->exposureProfile[2050] = 5000.0;
    cut.SetGaussian(2048, 1024.0, 7.0);
    t.Run();
    cut.Run();
    EXPECT_EQ(t.profile->exposureProfile[2050], 5000.0);
    EXPECT_EQ(t.out.listing, cut.out.listing);
}

TEST(SlitMethod, ZeroLsfOrZeroSpacingFails)
{
    Fixture t;
    t.profile->sampleSpacing = kSpacing;
    t.profile->exposureCount = 500;
    try {
        t.Run();
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "不正な浮動小数点数演算命令");
    }
    EXPECT_FALSE(t.out.written);
    EXPECT_EQ(t.mtf->mtfPointCount, kN);
    EXPECT_EQ(t.mtf->measuredCount, 0);

    Fixture z;
    z.SetGaussian(500, 250.0, 5.0);
    try {
        z.Run();
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "0 による浮動小数点数除算");
    }
    EXPECT_FALSE(z.out.written);
}

}  // namespace
}  // namespace radmtf
