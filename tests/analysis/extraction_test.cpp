#include "analysis/extraction.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "analysis/composite_profile.h"
#include "failure_text.h"
#include "test_support.h"

namespace radmtf {
namespace {

using testing::FailureText;
using testing::Profile;
using testing::SetProfile;
using Values = std::vector<std::int32_t>;

const double kSpacing = static_cast<double>(0.1L / 17.0L);

TEST(ExtractProfile, CutsTheFlatEnds)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {100, 100, 105, 120, 150, 120, 104, 100});
    const ExtractionOutput output = ExtractProfile(*state, 0.1L, 17);
    EXPECT_EQ(Profile(*state), (Values{120, 150, 120}));
    EXPECT_EQ(state->sampleSpacing, kSpacing);
    EXPECT_EQ(output.listing, (std::vector<std::string>{"0\t120", "0.00588235294117647\t150"}));
    ASSERT_EQ(output.points.size(), 2u);
    EXPECT_EQ(output.points[1].x, kSpacing);
    EXPECT_EQ(output.points[1].y, 150.0);

    // A difference of exactly 10 does not count.
    SetProfile(*state, {100, 110, 111, 130, 100});
    ExtractProfile(*state, 0.1L, 17);
    EXPECT_EQ(Profile(*state), (Values{111, 130}));

    // Values below the end level are cut like flat ones.
    SetProfile(*state, {0, 50, 60, -40, 0});
    ExtractProfile(*state, 0.1L, 17);
    EXPECT_EQ(Profile(*state), (Values{50, 60}));
}

TEST(ExtractProfile, NoSignalLeavesTheProfileUnchanged)
{
    auto state = std::make_unique<ProfileState>();
    const std::vector<Values> withoutSignal{
        {}, {500}, {100, 110, 109, 90}, {100, 111}, {100, 100, 120, 130}, {100, 120, 130, 125}};
    for (const Values& values : withoutSignal) {
        SetProfile(*state, values);
        state->sampleSpacing = 0.5;
        EXPECT_EQ(FailureText([&] { ExtractProfile(*state, 0.1L, 17); }),
                  std::string("抽出する信号がありません。"));
        EXPECT_EQ(Profile(*state), values);
        EXPECT_EQ(state->sampleSpacing, 0.5);
    }
    state->profileCount = -3;
    EXPECT_EQ(FailureText([&] { CutFlatEnds(*state); }), std::string("抽出する信号がありません。"));
    EXPECT_EQ(state->profileCount, -3);
}

TEST(ExtractProfile, SpacingFailuresComeAfterTheCuts)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {100, 100, 105, 120, 150, 120, 104, 100});
    state->sampleSpacing = 0.5;
    EXPECT_EQ(FailureText([&] { ExtractProfile(*state, 0.1L, 0); }), "0 による浮動小数点数除算");
    EXPECT_EQ(Profile(*state), (Values{120, 150, 120}));
    EXPECT_EQ(state->sampleSpacing, 0.5);
}

// Signal of the given length framed by one low sample on each side, so the
// cuts keep exactly the signal.
Values Framed(const Values& signal)
{
    Values values{-1000};
    values.insert(values.end(), signal.begin(), signal.end());
    values.push_back(-1000);
    return values;
}

TEST(ExtractProfile, HalvesToAtMost2048Samples)
{
    std::mt19937 random(9);
    auto state = std::make_unique<ProfileState>();
    for (const auto& [length, halvings] :
         std::vector<std::pair<int, int>>{{5000, 2}, {4097, 1}, {2048, 0}, {4096, 1}}) {
        Values signal(length);
        for (auto& v : signal) v = static_cast<std::int32_t>(random() % 20001) - 10000;
        signal.front() = signal.back() = 20000;

        Values expected = signal;
        for (int h = 0; h < halvings; ++h) {
            Values half(expected.size() / 2);
            for (std::size_t l = 0; l < half.size(); ++l) {
                const std::int64_t sum = std::int64_t{expected[2 * l]} + expected[2 * l + 1];
                half[l] = static_cast<std::int32_t>(sum / 2);  // toward zero
            }
            expected = half;
        }

        SetProfile(*state, Framed(signal));
        const ExtractionOutput output = ExtractProfile(*state, 0.1L, 17);
        EXPECT_EQ(Profile(*state), expected) << "length " << length;
        EXPECT_EQ(state->sampleSpacing, kSpacing * (1 << halvings)) << "length " << length;
        EXPECT_EQ(output.listing.size(), expected.size() - 1);
        EXPECT_EQ(output.points.back().y, expected[expected.size() - 2]);
    }
    EXPECT_EQ(state->profileCount, 2048);

    // Extracting again starts the spacing anew.
    SetProfile(*state, Framed(Values(5000, 50)));
    ExtractProfile(*state, 0.1L, 17);
    EXPECT_EQ(state->sampleSpacing, 4 * kSpacing);
    SetProfile(*state, Framed(Profile(*state)));
    ExtractProfile(*state, 0.1L, 17);
    EXPECT_EQ(state->sampleSpacing, kSpacing);
}

TEST(HalveProfile, TruncatingPairMeans)
{
    auto state = std::make_unique<ProfileState>();
    Values values(2050, 0);
    values[0] = -3;
    values[1] = 0;
    values[2] = 3;
    values[3] = 4;
    values[4] = -2147483647 - 1;
    values[5] = -2147483647 - 1;
    SetProfile(*state, values);
    HalveProfile(*state, 0.25);
    EXPECT_EQ(state->profileCount, 1025);
    EXPECT_EQ(state->compositeProfile[0], -1);
    EXPECT_EQ(state->compositeProfile[1], 3);
    EXPECT_EQ(state->compositeProfile[2], -2147483647 - 1);
    EXPECT_EQ(state->sampleSpacing, 0.5);
}

}  // namespace
}  // namespace radmtf
