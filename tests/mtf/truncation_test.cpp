#include "mtf/truncation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "core/failure.h"
#include "core/numtext.h"
#include "failure_text.h"

namespace radmtf {
namespace {

constexpr double kSpacing = 0.1 / 17;
constexpr double kLeftSlope = 0.023;  // decades per sample
constexpr double kRightSlope = 0.019;

// log10 of an LSF with exactly exponential tails around a peak of 1000.
double Model(long long offset)
{
    return 3.0 - (offset < 0 ? kLeftSlope * -offset : kRightSlope * offset);
}

struct Lsf {
    std::unique_ptr<ProfileState> profile = std::make_unique<ProfileState>();
    std::unique_ptr<MtfState> mtf = std::make_unique<MtfState>();
    TruncationOutput out;

    Lsf(int count, int peak, const std::function<double(int)>& log10Value = {})
    {
        profile->sampleSpacing = kSpacing;
        profile->exposureCount = count;
        profile->peakIndex = peak;
        for (int i = 0; i < count; ++i)
            profile->exposureProfile[i] = std::pow(10.0, log10Value ? log10Value(i) : Model(i - peak));
    }
    void Run(int start)
    {
        const std::string level = PickTailStart(*profile, start).posY;
        RunTruncation(*profile, *mtf, start, StrToFloat(level), out);
    }
};

void ExpectFollowsModel(const ProfileState& p)
{
    for (int i = 0; i < p.exposureCount; ++i)
        ASSERT_NEAR(std::log10(p.exposureProfile[i]), Model(i - p.peakIndex), 1e-9) << "sample " << i;
}

TEST(TailPick, ShowsSampleAndRefusesPointsOutsideTheLsf)
{
    Lsf lsf(201, 100);
    const PickOutput pick = PickTailStart(*lsf.profile, 20);
    EXPECT_EQ(pick.posN, "20");
    EXPECT_EQ(pick.posX, FloatToStr(-80.0L * kSpacing));
    EXPECT_EQ(pick.posY, FloatToStr(lsf.profile->exposureProfile[20]));
    EXPECT_DOUBLE_EQ(pick.marker.first, -80 * kSpacing);
    for (int v : {-1, 201}) {
        try {
            PickTailStart(*lsf.profile, v);
            FAIL();
        } catch (const Failure& f) {
            EXPECT_EQ(testing::Text(f), std::string("選択した点は LSF の範囲外です。"));
        }
    }
}

TEST(Truncation, ExponentialTailsExtendLeftBeyondTheArrayStart)
{
    // Left tail ends 2.3 decades down: the line reaches three decades 31
    // samples before index 0 and the replacement covers one sample more, so
    // everything moves up by 32. The right tail grows to 158 samples, the
    // first beyond three decades.
    Lsf lsf(201, 100);
    lsf.Run(20);
    EXPECT_EQ(lsf.profile->peakIndex, 132);
    EXPECT_EQ(lsf.profile->exposureCount, 132 + 159);
    ExpectFollowsModel(*lsf.profile);
    EXPECT_LT(Model(-(132 - 1)), 0.0);  // sample 1 is already beyond three decades
    EXPECT_GT(Model(-(132 - 33)), 0.0);

    // Markers: the left range (old peak), then the right range (new peak).
    ASSERT_TRUE(lsf.out.markersCleared);
    ASSERT_EQ(lsf.out.markers.size(), 4u);
    EXPECT_DOUBLE_EQ(lsf.out.markers[0].first, -80 * kSpacing);
    EXPECT_DOUBLE_EQ(lsf.out.markers[1].first, -59 * kSpacing);  // e = a + q + 1 = 41
    EXPECT_DOUBLE_EQ(lsf.out.markers[2].first, 97 * kSpacing);   // first sample not above E[20]
    EXPECT_DOUBLE_EQ(lsf.out.markers[3].first, 72 * kSpacing);   // r - u - 1
    ASSERT_TRUE(lsf.out.curveDrawn);
    ASSERT_EQ(lsf.out.curve.size(), 291u);
    EXPECT_DOUBLE_EQ(lsf.out.curve[0].first, -132 * kSpacing);
    EXPECT_EQ(lsf.out.curve[0].second, lsf.profile->exposureProfile[0]);
    // The fit arrays keep the right tail's line.
    EXPECT_NEAR(lsf.mtf->fitCoefficients[1], -kRightSlope, 1e-12);
}

TEST(Truncation, LeftStartWithinThreeDecadesDropsLeadingSamples)
{
    // The left tail reaches 4.6 decades; the line passes three decades at
    // 69, so samples 0 .. 67 go and every index drops by 68.
    Lsf lsf(301, 200);
    std::vector<double> before(lsf.profile->exposureProfile.begin(),
                               lsf.profile->exposureProfile.begin() + 301);
    lsf.Run(150);
    EXPECT_EQ(lsf.profile->peakIndex, 132);
    EXPECT_EQ(lsf.profile->exposureCount, 132 + 159);
    ExpectFollowsModel(*lsf.profile);
    // The measured samples from the start to the right start are moved, not refitted.
    for (int i = 150 - 68; i < 132 + 61; ++i) ASSERT_EQ(lsf.profile->exposureProfile[i], before[i + 68]);
}

// Runs a truncation that must be refused and checks that nothing changed.
void ExpectRefused(Lsf& lsf, int start, const std::string& message, std::string level = "")
{
    const auto exposure = lsf.profile->exposureProfile;
    const int count = lsf.profile->exposureCount;
    const int peak = lsf.profile->peakIndex;
    const auto fitX = lsf.mtf->fitX;
    const auto coefficients = lsf.mtf->fitCoefficients;
    if (level.empty()) level = FloatToStr(lsf.profile->exposureProfile[std::min(start, count - 1)]);
    try {
        RunTruncation(*lsf.profile, *lsf.mtf, start, StrToFloat(level), lsf.out);
        FAIL() << "not refused";
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), std::string(message));
    }
    EXPECT_TRUE(lsf.profile->exposureProfile == exposure);
    EXPECT_EQ(lsf.profile->exposureCount, count);
    EXPECT_EQ(lsf.profile->peakIndex, peak);
    EXPECT_TRUE(lsf.mtf->fitX == fitX);
    EXPECT_TRUE(lsf.mtf->fitCoefficients == coefficients);
    EXPECT_FALSE(lsf.out.markersCleared);
    EXPECT_FALSE(lsf.out.curveDrawn);
}

TEST(Truncation, RefusesStartsOutsideOrRightOfThePeak)
{
    Lsf lsf(201, 100);
    // At the peak and just right of it the quarter of the distance is still
    // 0, yet there is no left tail to fit: refused like starts further right.
    for (int start : {100, 101, 103, 104, 180})
        ExpectRefused(lsf, start, std::string("外挿開始点はピークより左側で指定してください。"));
    ExpectRefused(lsf, 201, std::string("外挿開始点が LSF の範囲外です。"), "10");
    // Up to three samples left of the peak the fit has a single point and
    // fails as the platform does (the pivot is 0 / 0).
    try {
        lsf.Run(97);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "不正な浮動小数点数演算命令");
    }
}

TEST(Truncation, RefusesTailsThatDoNotFallOutward)
{
    // Left tail rising toward index 0.
    Lsf left(201, 100, [](int i) { return i < 100 ? 2.0 + 0.004 * (100 - i) : Model(i - 100); });
    left.profile->exposureProfile[100] = 1e4;
    ExpectRefused(left, 20, std::string("左側の裾が外側に向かって減少していないため、外挿できません。"));

    // Right fit range climbing steeply toward the right start.
    Lsf right(201, 100, [](int i) {
        if (i <= 100) return Model(i - 100);
        if (i < 130) return std::log10(950.0);
        if (i <= 140) return std::log10(25.0) + (i - 130) * (std::log10(900.0) - std::log10(25.0)) / 10;
        return std::log10(5.0);
    });
    ExpectRefused(right, 20, std::string("右側の裾が外側に向かって減少していないため、外挿できません。"));
}

TEST(Truncation, RefusesWhatDoesNotFitTheArrays)
{
    // A left tail falling 1e-7 decades per sample would need millions of samples.
    Lsf slow(201, 100, [](int i) { return i <= 100 ? 3.0 - 1e-7 * (100 - i) : Model(i - 100); });
    ExpectRefused(slow, 20, std::string("外挿した LSF がデータ領域に収まりません。"), "999");

    // A left fit range of 2350 points exceeds fitX/fitY.
    Lsf wide(10000, 9400);
    ExpectRefused(wide, 2, std::string("フィット範囲の点数が多すぎます。"));

    // A right tail that never comes down to the picked exposure.
    Lsf shortRight(130, 100);
    ExpectRefused(shortRight, 5, std::string("右側の裾に外挿開始点の値まで下がる点がありません。"));
}

TEST(Truncation, PlatformFailuresKeepWhatWasWritten)
{
    // A zero in the right fit range: log10(0) fails after the left tail was
    // replaced and the corrected LSF drawn.
    Lsf lsf(201, 100);
    lsf.profile->exposureProfile[150] = 0.0;
    try {
        lsf.Run(20);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "0 による浮動小数点数除算");
    }
    EXPECT_EQ(lsf.profile->exposureCount, 233);
    EXPECT_EQ(lsf.profile->peakIndex, 132);
    EXPECT_TRUE(lsf.out.curveDrawn);
    EXPECT_EQ(lsf.out.markers.size(), 2u);

    // A level that cannot be read: same point of failure.
    Lsf text(201, 100);
    const TruncationReads unreadable{[] { return 20; }, []() -> long double { ThrowNotFloat("abc"); }};
    EXPECT_THROW(RunTruncation(*text.profile, *text.mtf, unreadable, text.out), Failure);
    EXPECT_EQ(text.profile->exposureCount, 233);
}

}  // namespace
}  // namespace radmtf
