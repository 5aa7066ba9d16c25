// Reading MTF50, MTF10 and the value at Nyquist off measured points.
#include "mtf/mtf_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace radmtf {
namespace {

TEST(MtfSummary, CrossingsAreInterpolatedBetweenTheTwoPointsAroundThem)
{
    const std::vector<CurvePoint> curve = {{0, 1.0}, {1, 0.8}, {2, 0.4}, {3, 0.2}, {4, 0.05}};
    const MtfSummary s = SummarizeMtf(curve, 0.125);  // Nyquist 4 cycles/mm
    EXPECT_DOUBLE_EQ(*s.mtf50, 1.75);
    EXPECT_DOUBLE_EQ(*s.mtf10, 3 + 0.1 / 0.15);
    EXPECT_DOUBLE_EQ(*s.nyquist, 4.0);
    EXPECT_DOUBLE_EQ(*s.atNyquist, 0.05);
    // A point exactly on the level is the crossing; only the first fall counts.
    const std::vector<CurvePoint> touching = {{0, 1}, {1, 0.5}, {2, 0.7}, {3, 0.3}};
    EXPECT_DOUBLE_EQ(*FirstFallTo(touching, 0.5), 1.0);
    EXPECT_DOUBLE_EQ(*ValueAt(touching, 2.5), 0.5);
}

TEST(MtfSummary, NotReachedIsEmpty)
{
    // Never falls to 0.1, and the points stop short of Nyquist (0.05 mm pixels: 10 cycles/mm).
    const std::vector<CurvePoint> curve = {{0, 1.0}, {2, 0.6}, {4, 0.3}, {6, 0.15}};
    const MtfSummary s = SummarizeMtf(curve, 0.05);
    EXPECT_TRUE(s.mtf50.has_value());
    EXPECT_FALSE(s.mtf10.has_value());
    EXPECT_FALSE(s.atNyquist.has_value());
    // No spacing, no Nyquist; nothing above the level to start from; no points.
    EXPECT_FALSE(SummarizeMtf(curve, 0).nyquist.has_value());
    EXPECT_FALSE(FirstFallTo(std::vector<CurvePoint>{{0, 0.4}, {1, 0.2}}, 0.5).has_value());
    EXPECT_FALSE(SummarizeMtf({}, 0.1).mtf50.has_value());
    // A NaN ends the curve: nothing is read beyond it.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(FirstFallTo(std::vector<CurvePoint>{{0, 1}, {1, nan}, {2, 0.1}}, 0.5).has_value());
}

TEST(MtfSummary, TableStepsReachTheLimitInclusive)
{
    EXPECT_EQ(HalfCycleSteps(5.0), (std::vector<double>{0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5}));
    EXPECT_EQ(HalfCycleSteps(1.0 / (2 * 0.0875)).back(), 5.5);
    EXPECT_TRUE(HalfCycleSteps(0.3).empty());
}

}  // namespace
}  // namespace radmtf
