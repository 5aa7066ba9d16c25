#include "mtf/fitting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/failure.h"
#include "failure_text.h"
#include "mtf/polyfit.h"

namespace radmtf {
namespace {

// The points the bar-chart method leaves: 0 .. 6 cycles/mm.
std::unique_ptr<MtfState> ChartPoints()
{
    auto mtf = std::make_unique<MtfState>();
    const double f[10] = {0, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0};
    for (int i = 0; i < 10; ++i) {
        mtf->mtfFrequency[i] = f[i];
        mtf->mtfValue[i] = std::exp(-f[i] / 3.0);
    }
    mtf->measuredCount = 10;
    return mtf;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2)
        lines.push_back(text.substr(begin, end - begin));
    EXPECT_EQ(begin, text.size()) << "text must end with CR LF";
    return lines;
}

TEST(Fitting, FirstTableRowsFollowLastFrequency)
{
    // K = item + 4; f accumulates 0.05 in double, so 1.5 and 2.0 fall just
    // outside and 2.5 .. 6.0 just inside. From 4 on the accumulated error
    // (about 1e-14) shows in the fifteenth digit.
    const int rows[7] = {30, 40, 51, 61, 81, 101, 121};
    const char* last[7] = {
        "1.45", "1.95", "2.5", "3", "3.99999999999999", "4.99999999999999", "5.99999999999999"};
    for (int item = -1; item <= 5; ++item) {
        auto mtf = ChartPoints();
        FittingOutput out;
        RunFitting(*mtf, item, 3, 0.1L, out);
        ASSERT_EQ(static_cast<int>(out.listing.size()), rows[item + 1]) << "item " << item;
        EXPECT_EQ(out.listing.front().substr(0, 2), "0\t");
        EXPECT_EQ(out.listing.back().substr(0, out.listing.back().find('\t')), last[item + 1]);
        EXPECT_EQ(out.listing[3].substr(0, 5), "0.15\t");
        EXPECT_EQ(mtf->mtfLastIndex, item + 4);
        EXPECT_TRUE(out.fitPointsCleared && out.tableWritten && out.refitListingCleared &&
                    out.refitListingAdded);
        ASSERT_EQ(out.curve.size(), out.listing.size());
        // fitX/fitY keep the first table.
        EXPECT_EQ(mtf->fitX[5], out.curve[5].first);
        EXPECT_EQ(mtf->fitY[5], out.curve[5].second);
    }
}

TEST(Fitting, SecondTableStepsBy1Over64PixelSpacings)
{
    auto mtf = ChartPoints();
    FittingOutput out;
    int reads = 0;
    RunFitting(*mtf, 0,
               FittingReads{3, [] { return 3; },
                            [&] {
                                ++reads;
                                return 0.1L;
                            }},
               out);  // F[K] = 2.0
    const auto lines = Lines(out.refitListingText);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(reads, 13);  // read once per row
    EXPECT_EQ(lines[0].substr(0, 2), "0\t");
    EXPECT_EQ(lines[1].substr(0, 8), "0.15625\t");
    EXPECT_EQ(lines[12].substr(0, 6), "1.875\t");
    // The refit reproduces the smooth first table closely.
    EXPECT_NEAR(std::stod(lines[12].substr(6)), std::exp(-1.875 / 3.0), 0.01);
}

TEST(Fitting, CurveFollowsPointsWithInsertedMidpoints)
{
    // The fit points are the measured ones with the last three rebuilt as
    // five; a degree that cannot be read stops right after they are built.
    auto mtf = ChartPoints();
    FittingOutput out;
    const FittingReads unreadable{std::nullopt, []() -> std::int32_t { ThrowNotInteger("7.5"); },
                                  [] { return 0.1L; }};
    EXPECT_THROW(RunFitting(*mtf, 5, unreadable, out), Failure);
    EXPECT_TRUE(out.fitPointsCleared);
    EXPECT_FALSE(out.tableWritten);
    const double m7 = std::exp(-4.0 / 3), m8 = std::exp(-5.0 / 3), m9 = std::exp(-2.0);
    EXPECT_EQ(mtf->fitX[7], 4.0);
    EXPECT_DOUBLE_EQ(mtf->fitY[8], (m7 + m8) / 2 * 0.975);
    EXPECT_EQ(mtf->fitX[8], 4.5);
    EXPECT_EQ(mtf->fitX[9], 5.0);
    EXPECT_EQ(mtf->fitY[9], m8);
    EXPECT_EQ(mtf->fitX[10], 5.5);
    EXPECT_DOUBLE_EQ(mtf->fitY[10], (m8 + m9) / 2 * 0.95);
    EXPECT_EQ(mtf->fitX[11], 6.0);
    EXPECT_EQ(mtf->fitY[11], m9);
    EXPECT_EQ(mtf->mtfLastIndex, 9);

    // Degree 7 through those twelve points, tabulated.
    FittingOutput ok;
    RunFitting(*mtf, 5, 7, 0.1L, ok);
    EXPECT_NEAR(ok.curve[20].second, 1.0 / std::exp(1.0 / 3.0), 0.01);  // f = 1.0
}

TEST(Fitting, RefusesDegreeOutsideStorageBeforeAnyChange)
{
    for (const std::int32_t degree : {0, 17, -3}) {
        auto mtf = ChartPoints();
        mtf->mtfLastIndex = 2;
        mtf->fitX[0] = 42.0;
        FittingOutput out;
        try {
            RunFitting(*mtf, 5, degree, 0.1L, out);
            FAIL();
        } catch (const Failure& f) {
            EXPECT_EQ(testing::Text(f), std::string("次数は 1 から 16 の範囲で指定してください。"));
        }
        EXPECT_FALSE(out.fitPointsCleared);
        EXPECT_EQ(mtf->mtfLastIndex, 2);
        EXPECT_EQ(mtf->fitX[0], 42.0);
    }
}

TEST(Fitting, RefusesPointsTheLastMethodDidNotMeasure)
{
    auto mtf = ChartPoints();
    mtf->measuredCount = 2;  // the chart method validated only group 1
    FittingOutput out;
    try {
        RunFitting(*mtf, -1, 7, 0.1L, out);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), std::string("選択した周波数までの MTF が測定されていません。"));
    }
    EXPECT_FALSE(out.fitPointsCleared);

    auto fresh = std::make_unique<MtfState>();  // nothing measured yet
    EXPECT_THROW(RunFitting(*fresh, 0, 7, 0.1L, out), Failure);
    EXPECT_EQ(fresh->mtfLastIndex, 0);
}

TEST(Fitting, PixelSpacingFailuresComeAfterTheFirstTable)
{
    auto mtf = ChartPoints();
    FittingOutput out;
    try {
        RunFitting(*mtf, 0, 3, 0, out);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), "0 による浮動小数点数除算");
    }
    EXPECT_TRUE(out.tableWritten);
    EXPECT_TRUE(out.refitListingCleared);
    EXPECT_FALSE(out.refitListingAdded);
    // A negative spacing would step backwards for ever.
    try {
        RunFitting(*mtf, 0, 3, -0.1L, out);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(testing::Text(f), std::string("画素間隔が正しくありません。"));
    }
    EXPECT_FALSE(out.refitListingAdded);
}

TEST(Fitting, DegreeTooHighForThePointsFailsAtAZeroPivot)
{
    // All measured frequencies at 0: every power sum above S[0] is exactly 0,
    // so the second pivot is 0 and the fit stops before the table.
    auto mtf = ChartPoints();
    for (int i = 0; i < 4; ++i) mtf->mtfFrequency[i] = 0.0;
    FittingOutput out;
    EXPECT_THROW(RunFitting(*mtf, -1, 7, 0.1L, out), Failure);
    EXPECT_FALSE(out.tableWritten);
}

}  // namespace
}  // namespace radmtf
