#include "analysis/composite_profile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "failure_text.h"
#include "test_support.h"

namespace radmtf {
namespace {

using testing::FailureText;
using testing::Profile;
using testing::SetProfile;
using testing::Table;
using Values = std::vector<std::int32_t>;

constexpr auto kButton1 = ProfileOrientation::kRowsLastToFirst;
constexpr auto kButton2 = ProfileOrientation::kRowsFirstToLast;
constexpr auto kButton3 = ProfileOrientation::kColumnsLastToFirst;
constexpr auto kButton4 = ProfileOrientation::kColumnsFirstToLast;

const Table kSmallTable{{{11, 12, 13}, {21, 22, 23}}};

TEST(BuildCompositeProfile, InterleavesTheFourOrientations)
{
    auto state = std::make_unique<ProfileState>();
    BuildCompositeProfile(*state, kButton1, 2, kSmallTable.View());
    EXPECT_EQ(Profile(*state), (Values{21, 11, 22, 12, 23, 13}));
    BuildCompositeProfile(*state, kButton2, 2, kSmallTable.View());
    EXPECT_EQ(Profile(*state), (Values{11, 21, 12, 22, 13, 23}));
    BuildCompositeProfile(*state, kButton3, 2, kSmallTable.View());
    EXPECT_EQ(Profile(*state), (Values{12, 11, 22, 21}));
    BuildCompositeProfile(*state, kButton4, 2, kSmallTable.View());
    EXPECT_EQ(Profile(*state), (Values{11, 12, 21, 22}));

    state->sampleSpacing = 0.25;
    for (const std::int32_t m : {0, -3}) {
        BuildCompositeProfile(*state, kButton2, m, kSmallTable.View());
        EXPECT_EQ(state->profileCount, 0);
    }
    BuildCompositeProfile(*state, kButton2, 2, kSmallTable.View());
    BuildCompositeProfile(*state, ProfileOrientation::kNone, 2, kSmallTable.View());
    EXPECT_EQ(state->profileCount, 0);
    EXPECT_EQ(state->sampleSpacing, 0.25);  // the build never touches the spacing
}

TEST(BuildCompositeProfile, MatchesTheIndexFormulaOnRandomTables)
{
    constexpr int kColumns = 9, kRows = 7;
    Table table;
    std::mt19937 random(11);
    table.rows.assign(kRows, std::vector<std::optional<std::int32_t>>(kColumns));
    for (auto& row : table.rows)
        for (auto& cell : row) cell = static_cast<std::int32_t>(random() % 65536) - 32768;
    const auto cell = [&](int column, int row) { return *table.rows[row - 1][column - 1]; };

    auto state = std::make_unique<ProfileState>();
    for (int m = 1; m <= kRows; ++m) {
        Values expected1(kColumns * m), expected2(kColumns * m);
        for (int c = 0; c < kColumns; ++c) {
            for (int k = 0; k < m; ++k) {
                expected1[c * m + k] = cell(c + 1, m - k);
                expected2[c * m + k] = cell(c + 1, k + 1);
            }
        }
        BuildCompositeProfile(*state, kButton1, m, table.View());
        EXPECT_EQ(Profile(*state), expected1) << "M " << m;
        BuildCompositeProfile(*state, kButton2, m, table.View());
        EXPECT_EQ(Profile(*state), expected2) << "M " << m;

        Values expected3(kRows * m), expected4(kRows * m);
        for (int r = 0; r < kRows; ++r) {
            for (int k = 0; k < m; ++k) {
                expected3[r * m + k] = cell(m - k, r + 1);
                expected4[r * m + k] = cell(k + 1, r + 1);
            }
        }
        BuildCompositeProfile(*state, kButton3, m, table.View());
        EXPECT_EQ(Profile(*state), expected3) << "M " << m;
        BuildCompositeProfile(*state, kButton4, m, table.View());
        EXPECT_EQ(Profile(*state), expected4) << "M " << m;
    }
}

TEST(BuildCompositeProfile, StopsAtTheFirstEmptyCellWithTheStoredSamplesCounted)
{
    auto state = std::make_unique<ProfileState>();
    // Rows are visited outer, so row 1 is stored completely before (2, 2).
    const Table gap{{{11, 12, 13}, {21, std::nullopt, 23}}};
    EXPECT_EQ(FailureText([&] { BuildCompositeProfile(*state, kButton1, 2, gap.View()); }),
              "'' は整数ではありません");
    EXPECT_EQ(state->profileCount, 4);
    EXPECT_EQ(state->compositeProfile[0], 21);
    EXPECT_EQ(state->compositeProfile[1], 11);
    EXPECT_EQ(state->compositeProfile[3], 12);
    EXPECT_EQ(state->compositeProfile[5], 13);

    // M beyond the table reads cells that do not exist.
    EXPECT_EQ(FailureText([&] { BuildCompositeProfile(*state, kButton2, 3, kSmallTable.View()); }),
              "'' は整数ではありません");
    EXPECT_EQ(state->profileCount, 6);
    EXPECT_EQ(FailureText([&] { BuildCompositeProfile(*state, kButton4, 4, kSmallTable.View()); }),
              "'' は整数ではありません");
    EXPECT_EQ(state->profileCount, 6);

    // A reader's own failure passes through the same way.
    PixelTableView throwing = kSmallTable.View();
    throwing.cell = [](int column, int row) -> std::optional<std::int32_t> {
        if (column == 2 && row == 1) ThrowNotInteger("x");
        return column;
    };
    EXPECT_EQ(FailureText([&] { BuildCompositeProfile(*state, kButton2, 1, throwing); }),
              "'x' は整数ではありません");
    EXPECT_EQ(state->profileCount, 1);
}

TEST(BuildCompositeProfile, RefusesProfilesBeyondTheCapacityBeforeAnyChange)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {1, 2, 3});
    PixelTableView wide;
    wide.cell = [](int column, int row) -> std::optional<std::int32_t> { return column * 10 + row; };

    wide.dataColumns = 2049;
    wide.dataRows = 49;
    EXPECT_EQ(FailureText([&] { BuildCompositeProfile(*state, kButton1, 49, wide); }),
              std::string("プロファイルの点数が上限の 100001 点を超えます。MA-Line# を小さくしてください。"));
    EXPECT_EQ(Profile(*state), (Values{1, 2, 3}));

    wide.dataColumns = 3;
    wide.dataRows = 100002;
    EXPECT_EQ(FailureText([&] { BuildCompositeProfile(*state, kButton4, 1, wide); }),
              std::string("プロファイルの点数が上限の 100001 点を超えます。MA-Line# を小さくしてください。"));
    EXPECT_EQ(state->profileCount, 3);

    // Exactly the capacity fits, up to the last index.
    wide.dataColumns = kProfileCapacity;
    wide.dataRows = 1;
    BuildCompositeProfile(*state, kButton2, 1, wide);
    EXPECT_EQ(state->profileCount, kProfileCapacity);
    EXPECT_EQ(state->compositeProfile[kProfileCapacity - 1], kProfileCapacity * 10 + 1);

    // A table without data columns stores nothing, whatever M.
    wide.dataColumns = 0;
    BuildCompositeProfile(*state, kButton2, std::numeric_limits<std::int32_t>::max(), wide);
    EXPECT_EQ(state->profileCount, 0);
}

TEST(SmoothProfile, WorkedExamples)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {0, 0, 3, 0, 0});
    SmoothProfile(*state, 3);
    EXPECT_EQ(Profile(*state), (Values{1, 1, 1}));

    SetProfile(*state, {0, 1, 1, 0});
    SmoothProfile(*state, 2);  // n = 2 and n = 3 both give a window of 3
    EXPECT_EQ(Profile(*state), (Values{1, 1}));

    SetProfile(*state, {1, 2});
    SmoothProfile(*state, 3);
    EXPECT_EQ(state->profileCount, 0);
    EXPECT_EQ(state->compositeProfile[0], 1);  // nothing written
    EXPECT_EQ(state->compositeProfile[1], 2);
    SmoothProfile(*state, 5);
    EXPECT_EQ(state->profileCount, 0);  // never below empty

    for (const std::int32_t n : {1, 0, -4}) {
        SetProfile(*state, {4, 9, 1});
        SmoothProfile(*state, n);
        EXPECT_EQ(Profile(*state), (Values{4, 9, 1})) << "n " << n;
    }

    // A window wider than the profile empties it; the methods then refuse it
    // in their own words instead of failing an internal check.
    SetProfile(*state, {4, 9, 1});
    SmoothProfile(*state, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(state->profileCount, 0);
    EXPECT_TRUE(ProfileSeries(*state).empty());
    EXPECT_EQ(FailureText([&] { RequireProfile(*state); }),
              std::string("プロファイルがありません。2Dto1D を実行してください。"));
}

TEST(SmoothProfile, EqualsTheDirectMovingAverage)
{
    std::mt19937 random(3);
    auto state = std::make_unique<ProfileState>();
    for (const std::int32_t amplitude : {40, 32768, 1 << 30}) {
        Values original(3001);
        for (auto& v : original)
            v = static_cast<std::int32_t>(static_cast<std::int64_t>(random() % (2u * amplitude)) - amplitude);
        for (const std::int32_t n : {2, 3, 6, 17, 401, 3001, 3002}) {
            SetProfile(*state, original);
            SmoothProfile(*state, n);
            const int b = n / 2;
            const int count = std::max(static_cast<int>(original.size()) - 2 * b, 0);
            ASSERT_EQ(state->profileCount, count);
            for (int k = b; k < count + b; ++k) {
                double sum = 0.0;
                for (int i = k - b; i <= k + b; ++i) sum += original[i];
                ASSERT_EQ(state->compositeProfile[k - b],
                          static_cast<std::int32_t>(std::nearbyint(sum / (2 * b + 1))))
                    << "amplitude " << amplitude << " n " << n << " centre " << k;
            }
        }
    }
}

TEST(SampleSpacing, DivisionAndItsFailures)
{
    EXPECT_EQ(SampleSpacing(0.1L, 17), static_cast<double>(0.1L / 17.0L));
    EXPECT_EQ(FailureText([] { SampleSpacing(0.1L, 0); }), "0 による浮動小数点数除算");
    EXPECT_EQ(FailureText([] { SampleSpacing(0, 0); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(FailureText([] { SampleSpacing(1E300L, 1E-300L); }), std::string("浮動小数点数オーバーフロー"));

    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {5, 6, 7, 8, 9});
    state->sampleSpacing = SampleSpacing(0.1L, 17);
    const std::vector<ChartPoint> points = ProfileSeries(*state);
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[0].x, 0.0);
    EXPECT_DOUBLE_EQ(points[3].x, 3 * 0.1 / 17);
    EXPECT_EQ(points[3].y, 8.0);
}

TEST(ProfileTexts, ClipboardCountAndClear)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {5, -2, 7});
    EXPECT_EQ(ProfileClipboardText(*state), "\t5\t-2\t7");
    EXPECT_EQ(ProfileCountText(*state), "3");

    state->exposureProfile[0] = 3.0;
    state->exposureProfile[1] = 4.0;
    state->exposureCount = 1;
    state->compositeProfile[3] = 99;  // beyond the count: kept
    ClearProfileData(*state);
    EXPECT_EQ(Profile(*state), (Values{0, 0, 0}));
    EXPECT_EQ(state->compositeProfile[3], 99);
    EXPECT_EQ(state->exposureProfile[0], 0.0);
    EXPECT_EQ(state->exposureProfile[1], 4.0);
    EXPECT_EQ(state->exposureCount, 1);

    state->profileCount = -2;
    EXPECT_EQ(ProfileClipboardText(*state), "");
    EXPECT_EQ(ProfileCountText(*state), "-2");
    ClearProfileData(*state);
}

}  // namespace
}  // namespace radmtf
