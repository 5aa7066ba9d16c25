#include "mtf/polyfit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/failure.h"
#include "failure_text.h"

namespace radmtf {
namespace {

void SetPoints(MtfState& s, const std::vector<double>& x, const std::vector<double>& y)
{
    for (std::size_t i = 0; i < x.size(); ++i) {
        s.fitX[i] = x[i];
        s.fitY[i] = y[i];
    }
}

TEST(IntPower, RepeatedProducts)
{
    EXPECT_EQ(IntPower(0.0, 0), 1.0);
    EXPECT_EQ(IntPower(0.0, 3), 0.0);
    EXPECT_EQ(IntPower(-2.0, 3), -8.0);
    EXPECT_EQ(IntPower(1.5, 2), 2.25);
}

TEST(FitPolynomial, StraightLineGivesInterceptAndSlope)
{
    MtfState s;
    SetPoints(s, {0, 1, 2, 3, 4}, {1.5, 3.5, 5.5, 7.5, 9.5});
    FitPolynomial(1, 5, s);
    EXPECT_NEAR(s.fitCoefficients[0], 1.5, 1e-12);
    EXPECT_NEAR(s.fitCoefficients[1], 2.0, 1e-12);

    // Log of an exponential tail against the sample index, as the tail fit uses it.
    MtfState t;
    for (int i = 0; i < 30; ++i) {
        t.fitX[i] = 500 + i;
        t.fitY[i] = 0.7 + 0.023 * (500 + i);
    }
    FitPolynomial(1, 30, t);
    EXPECT_NEAR(t.fitCoefficients[0], 0.7, 1e-9);
    EXPECT_NEAR(t.fitCoefficients[1], 0.023, 1e-12);
}

TEST(FitPolynomial, InterpolatesThroughDegreePlusOnePoints)
{
    // y = 1 - 0.5 x + 0.25 x^2 - 0.125 x^3 through four distinct abscissae.
    auto cubic = [](double x) { return 1 - 0.5 * x + 0.25 * x * x - 0.125 * x * x * x; };
    MtfState s;
    SetPoints(s, {0, 0.5, 1.5, 2}, {cubic(0), cubic(0.5), cubic(1.5), cubic(2)});
    FitPolynomial(3, 4, s);
    EXPECT_NEAR(s.fitCoefficients[0], 1.0, 1e-12);
    EXPECT_NEAR(s.fitCoefficients[1], -0.5, 1e-12);
    EXPECT_NEAR(s.fitCoefficients[2], 0.25, 1e-12);
    EXPECT_NEAR(s.fitCoefficients[3], -0.125, 1e-12);

    // Degree 7 through 8 MTF-like points: the curve passes through them.
    MtfState h;
    const std::vector<double> f = {0, 0.5, 1, 1.5, 2, 2.5, 3, 4};
    std::vector<double> m;
    for (double v : f) m.push_back(std::exp(-v / 2.5));
    SetPoints(h, f, m);
    FitPolynomial(7, 8, h);
    for (std::size_t i = 0; i < f.size(); ++i) EXPECT_NEAR(EvaluatePolynomial(h, 7, f[i]), m[i], 1e-8);
}

TEST(FitPolynomial, LeastSquaresOnNoisyPointsMatchesNormalEquations)
{
    // Points off a line: the fit minimises the squared residuals, so the
    // residuals are orthogonal to 1 and x.
    MtfState s;
    SetPoints(s, {-2, -1, 0, 1, 2, 3}, {0.3, 1.1, 1.9, 3.2, 3.8, 5.1});
    FitPolynomial(1, 6, s);
    double r0 = 0, r1 = 0;
    for (int p = 0; p < 6; ++p) {
        const double r = s.fitY[p] - (s.fitCoefficients[0] + s.fitCoefficients[1] * s.fitX[p]);
        r0 += r;
        r1 += r * s.fitX[p];
    }
    EXPECT_NEAR(r0, 0.0, 1e-12);
    EXPECT_NEAR(r1, 0.0, 1e-12);
}

TEST(FitPolynomial, ZeroPivotFailsAndKeepsCoefficients)
{
    MtfState s;
    s.fitCoefficients.fill(7.0);
    // No points at all: S[0] = 0.
    EXPECT_THROW(
        {
            try {
                FitPolynomial(1, 0, s);
            } catch (const Failure& f) {
                EXPECT_EQ(testing::Text(f), "不正な浮動小数点数演算命令");
                throw;
            }
        },
        Failure);
    // A single point cannot carry a line: the second pivot is exactly 0.
    SetPoints(s, {3}, {2});
    EXPECT_THROW(FitPolynomial(1, 1, s), Failure);
    // Two distinct abscissae cannot carry a parabola.
    SetPoints(s, {1, 2, 1, 2}, {1, 2, 1, 2});
    EXPECT_THROW(FitPolynomial(2, 4, s), Failure);
    for (double c : s.fitCoefficients) EXPECT_EQ(c, 7.0);
}

TEST(FitPolynomial, CoefficientsAboveDegreeUntouched)
{
    MtfState s;
    s.fitCoefficients.fill(-3.0);
    SetPoints(s, {0, 1, 2}, {0, 1, 2});
    FitPolynomial(1, 3, s);
    EXPECT_NEAR(s.fitCoefficients[1], 1.0, 1e-12);
    for (int j = 2; j <= 2 * kMaxFitDegree; ++j) EXPECT_EQ(s.fitCoefficients[j], -3.0);
}

TEST(FitPolynomial, RejectsDegreeOutsideStorage)
{
    MtfState s;
    EXPECT_THROW(FitPolynomial(0, 3, s), std::invalid_argument);
    EXPECT_THROW(FitPolynomial(17, 30, s), std::invalid_argument);
    EXPECT_THROW(FitPolynomial(1, kMtfCapacity + 1, s), std::invalid_argument);
}

}  // namespace
}  // namespace radmtf
