#include "mtf/swc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "core/failure.h"
#include "core/numtext.h"
#include "failure_text.h"

namespace radmtf {
namespace {

// ---- FindBarCentre on hand-made profiles ----

TEST(FindBarCentre, LocalMaximumMode)
{
    const std::vector<std::int32_t> p = {5, 3, 4, 6, 2, 1, 1};
    Markers markers;
    EXPECT_EQ(FindBarCentre(p, 0.5, 1, 4, markers), 3);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0], std::make_pair(1.5, 6.0));

    // Rising toward index 0: no maximum above index 1, so 1 without a marker.
    const std::vector<std::int32_t> rising = {100, 99, 98, 97, 96, 95, 94, 93, 92, 91, 90, 89};
    markers.clear();
    EXPECT_EQ(FindBarCentre(rising, 0.5, 1, 10, markers), 1);
    EXPECT_TRUE(markers.empty());
    // A width below 1 counts as 1.
    EXPECT_EQ(FindBarCentre(rising, 0.5, 0, 10, markers), 1);
}

TEST(FindBarCentre, EqualAsymmetryResetsTheRiseCount)
{
    // w = 2 from 12: A(12..8) = 3, 6, 6, 7, 10. The equal step at 10 resets
    // the count, so the search stops at 8, not 9. Balancing: P[10]/P[6] =
    // 8/6 > 1 moves up to 9 (P[11]/P[7] = 6/9), and |6 - 9| > |8 - 6| moves
    // back to 8.
    const std::vector<std::int32_t> p = {2, 5, 2, 9, 9, 6, 6, 9, 4, 1, 8, 6, 5, 4, 7, 1};
    Markers markers;
    EXPECT_EQ(FindBarCentre(p, 1.0, 2, 12, markers), 8);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0], std::make_pair(8.0, 4.0));
}

TEST(FindBarCentre, BalancingTieKeepsThePosition)
{
    // w = 2 from 12: A = 4, 9, 10 stops at 10. P[8]/P[12] = 5 > 1 moves down
    // to 8 (P[6]/P[10] = 4/7); |P[10] - P[6]| = |P[11] - P[7]| = 3, so 8 stays.
    const std::vector<std::int32_t> p = {4, 1, 5, 4, 5, 9, 4, 6, 5, 9, 7, 3, 1, 6, 8, 9};
    Markers markers;
    EXPECT_EQ(FindBarCentre(p, 1.0, 2, 12, markers), 8);

    // A zero at a balancing point is a division by zero.
    std::vector<std::int32_t> zero = p;
    zero[12] = 0;
    try {
        FindBarCentre(zero, 1.0, 2, 12, markers);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "0 による浮動小数点数除算");
    }
}

TEST(FindBarCentre, NeverLeavesTheProfile)
{
    const std::vector<std::int32_t> flat(40, 100);  // no asymmetry ever rises
    Markers markers;
    for (long long start : {30LL, 38LL, 39LL, 0LL}) {
        try {
            FindBarCentre(flat, 1.0, 3, start, markers);
            FAIL() << start;
        } catch (const Failure& f) {
            EXPECT_EQ(testing::Text(f), std::string("チャートのパターンが見つかりません。"));
        }
    }
    EXPECT_THROW(FindBarCentre(flat, 1.0, 1, 39, markers), Failure);
    EXPECT_THROW(FindBarCentre(flat, 1.0, 1, 0, markers), Failure);
    EXPECT_TRUE(markers.empty());
}

// ---- The whole method on a synthetic chart ----

constexpr double kD = 0.1 / 17;    // mm per sample
constexpr double kSigma = 0.03;    // Gaussian blur (mm)
constexpr double kAperture = 0.1;  // pixel width (mm)
constexpr double kLow = 200, kHigh = 3000;
constexpr double kPeriods[10] = {20, 2, 1, 2.0 / 3, 0.5, 0.4, 1.0 / 3, 0.25, 0.2, 1.0 / 6};

// Edge response of the Gaussian and the pixel aperture:
// H(x) = (F(x + a/2) - F(x - a/2)) / a, F(u) = u Phi(u/sigma) + sigma phi(u/sigma).
double EdgeResponse(double x)
{
    auto f = [](double u) {
        const double z = u / kSigma;
        return u * 0.5 * std::erfc(-z / std::sqrt(2.0)) +
               kSigma * std::exp(-0.5 * z * z) / std::sqrt(2 * std::numbers::pi);
    };
    return (f(x + kAperture / 2) - f(x - kAperture / 2)) / kAperture;
}

double AnalyticMtf(double f)
{
    const double gauss = std::exp(-2 * std::numbers::pi * std::numbers::pi * kSigma * kSigma * f * f);
    const double t = std::numbers::pi * kAperture * f;
    return gauss * (t == 0 ? 1.0 : std::sin(t) / t);
}

struct Chart {
    std::unique_ptr<ProfileState> profile = std::make_unique<ProfileState>();
    std::unique_ptr<MtfState> mtf = std::make_unique<MtfState>();
    std::vector<std::pair<double, double>> bars;  // high intervals (mm)
    std::vector<double> firstBarCentre;           // per group, in samples

    // Square at the high end after a 1 mm margin, a 10 mm gap, group 1 with
    // five bars, then groups 2 .. 9 with ten bars, 2 mm apart, 2 mm margin.
    explicit Chart(double cutBelowMm = 0.0)
    {
        double length = 1 + 10 + 10 + 4.5 * 2 + 2;
        for (int g = 2; g <= 9; ++g) length += 9.5 * kPeriods[g] + 2;
        double top = length - 1;
        bars.push_back({top - 10, top});
        firstBarCentre.push_back((top - 5) / kD);
        top -= 20;
        for (int g = 1; g <= 9; ++g) {
            const double t = kPeriods[g];
            firstBarCentre.push_back((top - t / 4) / kD);
            for (int k = 0; k < (g == 1 ? 5 : 10); ++k) bars.push_back({top - k * t - t / 2, top - k * t});
            top -= (g == 1 ? 4.5 : 9.5) * t + 2;
        }
        const int n = static_cast<int>(length / kD);
        const int first = static_cast<int>(cutBelowMm / kD);
        profile->profileCount = n - first;
        profile->sampleSpacing = kD;
        for (int i = first; i < n; ++i) {
            const double x = i * kD;
            double level = 0;
            for (const auto& [a, b] : bars)
                if (x > a - 0.5 && x < b + 0.5) level += EdgeResponse(x - a) - EdgeResponse(x - b);
            profile->compositeProfile[i - first] =
                static_cast<std::int32_t>(std::lround(kLow + (kHigh - kLow) * level));
        }
    }

    // What ToExp would do for a linear detector.
    void ToExp()
    {
        profile->exposureCount = profile->profileCount;
        for (int i = 0; i < profile->profileCount; ++i)
            profile->exposureProfile[i] = profile->compositeProfile[i];
    }
};

TEST(SquareWaveChart, MeasuresAllNineGroupsOfACleanChart)
{
    Chart chart;
    SwcFeatures features;
    SwcLocateFeatures(*chart.profile, *chart.mtf, 0.1L, 17, features);
    ASSERT_TRUE(features.located);
    EXPECT_TRUE(features.profileSeriesCleared);
    EXPECT_EQ(features.squareMarkers.size(), 2u);
    EXPECT_EQ(features.groupStartMarkers.size(), 8u);
    EXPECT_DOUBLE_EQ(chart.mtf->barPeriod, 1.0 / 6);

    const auto& centres = features.groupCentres;
    EXPECT_NEAR(centres[0][0], chart.firstBarCentre[0], 2.0);
    EXPECT_EQ(centres[0][1], centres[0][0] - 2 * 850);
    for (int g = 1; g <= 9; ++g) {
        int found = 0;
        while (found < 11 && centres[g][found] > 0) ++found;
        EXPECT_EQ(found, g == 1 ? 5 : 10) << "group " << g;
        EXPECT_NEAR(centres[g][0], chart.firstBarCentre[g], 1.5) << "group " << g;
        EXPECT_NEAR(centres[g][0] - centres[g][1], kPeriods[g] / kD, 1.5) << "group " << g;
    }

    chart.ToExp();
    SwcResult result;
    SwcMeasure(*chart.profile, *chart.mtf, features, result);
    EXPECT_EQ(chart.mtf->mtfLastIndex, 9);
    EXPECT_EQ(chart.mtf->measuredCount, 10);
    EXPECT_EQ(result.fitFrequencyItem, 5);
    ASSERT_TRUE(result.written);
    ASSERT_EQ(result.listing.size(), 10u);
    const char* frequencies[10] = {"0", "0.5", "1", "1.5", "2", "2.5", "3", "4", "5", "6"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(result.listing[i], std::string(frequencies[i]) + "\t" + FloatToStr(chart.mtf->mtfValue[i]));
        EXPECT_EQ(result.points[i], std::make_pair(chart.mtf->mtfFrequency[i], chart.mtf->mtfValue[i]));
    }
    EXPECT_EQ(chart.mtf->mtfValue[0], 1.0);
    for (int g = 1; g <= 9; ++g)
        EXPECT_NEAR(chart.mtf->mtfValue[g], AnalyticMtf(chart.mtf->mtfFrequency[g]), 0.02)
            << chart.mtf->mtfFrequency[g] << " cycles/mm";
}

TEST(SquareWaveChart, StopsInAnOrderlyWayWithoutTheChart)
{
    // Too short for the square.
    Chart shortChart;
    shortChart.profile->profileCount = 1500;
    SwcFeatures features;
    try {
        SwcLocateFeatures(*shortChart.profile, *shortChart.mtf, 0.1L, 17, features);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), std::string("チャートのパターンが見つかりません。"));
    }
    EXPECT_FALSE(features.located);
    EXPECT_TRUE(features.profileSeriesCleared);

    // Featureless.
    auto flat = std::make_unique<ProfileState>();
    flat->profileCount = 20000;
    for (int i = 0; i < flat->profileCount; ++i) flat->compositeProfile[i] = 1000;
    MtfState mtf;
    EXPECT_THROW(SwcLocateFeatures(*flat, mtf, 0.1L, 17, features), Failure);
    EXPECT_TRUE(features.centreMarkers.empty());

    // The chart cut in the middle of group 6: the markers found so far stay.
    Chart cut(12.0);
    try {
        SwcLocateFeatures(*cut.profile, *cut.mtf, 0.1L, 17, features);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), std::string("チャートのパターンが見つかりません。"));
    }
    EXPECT_EQ(features.squareMarkers.size(), 2u);
    EXPECT_GE(features.centreMarkers.size(), 30u);
    EXPECT_FALSE(features.located);
}

TEST(SquareWaveChart, SpacingFailuresComeAfterTheSeriesAreCleared)
{
    Chart chart;
    SwcFeatures features;
    try {
        SwcLocateFeatures(*chart.profile, *chart.mtf, 0.1L, 0, features);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "0 による浮動小数点数除算");
    }
    EXPECT_TRUE(features.profileSeriesCleared);
    EXPECT_TRUE(features.centreMarkers.empty());
}

TEST(SquareWaveChart, FailedSpacingEndsTheList)
{
    // Moving group 2's third centre breaks its spacing: only group 1 remains,
    // and nothing is selected in the radio group.
    Chart chart;
    SwcFeatures features;
    SwcLocateFeatures(*chart.profile, *chart.mtf, 0.1L, 17, features);
    features.groupCentres[2][2] += 60;
    chart.ToExp();
    SwcResult result;
    SwcMeasure(*chart.profile, *chart.mtf, features, result);
    EXPECT_EQ(chart.mtf->mtfLastIndex, 1);
    EXPECT_EQ(chart.mtf->measuredCount, 2);
    EXPECT_EQ(result.fitFrequencyItem, -1);
    ASSERT_EQ(result.listing.size(), 2u);
    EXPECT_EQ(result.listing[0], "0\t1");
    EXPECT_EQ(result.listing[1].substr(0, 4), "0.5\t");
}

}  // namespace
}  // namespace radmtf
