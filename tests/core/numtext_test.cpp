#include "core/numtext.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/failure.h"
#include "failure_text.h"

namespace radmtf {
namespace {

using testing::FailureText;

TEST(FloatToStr, GeneralFormatFifteenDigits)
{
    EXPECT_EQ(FloatToStr(2.0L), "2");
    EXPECT_EQ(FloatToStr(-2.5L), "-2.5");
    EXPECT_EQ(FloatToStr(0.0L), "0");
    EXPECT_EQ(FloatToStr(-0.0L), "0");
    EXPECT_EQ(FloatToStr(0.0001L), "0.0001");
    EXPECT_EQ(FloatToStr(0.00005L), "5E-5");
    EXPECT_EQ(FloatToStr(1e15L), "1E15");
    EXPECT_EQ(FloatToStr(999999999999999.0L), "999999999999999");
    EXPECT_EQ(FloatToStr(1.5e-7L), "1.5E-7");
    EXPECT_EQ(FloatToStr(123456.789L), "123456.789");
    EXPECT_EQ(FloatToStr(1.0L / 3.0L), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0L / 3.0L), "0.666666666666667");
    EXPECT_EQ(FloatToStr(static_cast<double>(0.1) / 17), "0.00588235294117647");
    EXPECT_EQ(FloatToStr(std::sqrt(125.0)), "11.1803398874989");
    EXPECT_EQ(FloatToStr(1.0L + 0.1L), "1.1");
}

TEST(FloatToStr, RoundedToDecimalsHalvesToEven)
{
    EXPECT_EQ(FloatToStrRounded(0.12345L, 3), "0.123");
    EXPECT_EQ(FloatToStrRounded(0.0625L, 3), "0.062");
    EXPECT_EQ(FloatToStrRounded(0.4999996L, 3), "0.5");
    EXPECT_EQ(FloatToStrRounded(-0.1875L, 3), "-0.188");
}

TEST(FloatToStr, RoundingDecidesNotation)
{
    // 15-digit rounding can carry into the next decade.
    EXPECT_EQ(FloatToStr(9.9999999999999999e14L), "1E15");
    EXPECT_EQ(FloatToStr(0.0000999999999999999999L), "0.0001");
    // The accumulated sum of 0.05 steps prints as the intended frequency.
    double f = 0;
    for (int i = 0; i < 3; ++i) f += 0.05;
    EXPECT_EQ(FloatToStr(f), "0.15");
    EXPECT_EQ(FloatToStr(1e-300L), "1E-300");
    EXPECT_EQ(FloatToStr(-1234567890123456789.0L), "-1.23456789012346E18");
}

TEST(StrToInt, DecimalOnly)
{
    EXPECT_EQ(StrToInt("512"), 512);
    EXPECT_EQ(StrToInt("-1024"), -1024);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt(" 12"), 12);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
    EXPECT_EQ(FailureText([] { StrToInt("12 "); }), "'12 ' は整数ではありません");
    EXPECT_EQ(FailureText([] { StrToInt(""); }), "'' は整数ではありません");
    EXPECT_EQ(FailureText([] { StrToInt("512,512"); }), "'512,512' は整数ではありません");
    EXPECT_EQ(FailureText([] { StrToInt("1.0"); }), "'1.0' は整数ではありません");
    EXPECT_EQ(FailureText([] { StrToInt("2147483648"); }), "'2147483648' は整数ではありません");
    EXPECT_EQ(FailureText([] { StrToInt("-"); }), "'-' は整数ではありません");
}

TEST(StrToFloat, DecimalWithPointAndBlanks)
{
    EXPECT_EQ(StrToFloat("0.1"), 0.1L);
    EXPECT_EQ(StrToFloat(" 2046.5 "), 2046.5L);
    EXPECT_EQ(StrToFloat("-1024.7"), -1024.7L);
    EXPECT_EQ(StrToFloat("1e3"), 1000.0L);
    EXPECT_EQ(StrToFloat("5E-5"), 5e-5L);
    EXPECT_EQ(StrToFloat(".5"), 0.5L);
    EXPECT_EQ(StrToFloat("4."), 4.0L);
    EXPECT_EQ(StrToFloat("+3"), 3.0L);
    EXPECT_EQ(FailureText([] { StrToFloat(""); }), "'' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([] { StrToFloat("0,1"); }), "'0,1' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([] { StrToFloat("."); }), "'.' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([] { StrToFloat("1e"); }), "'1e' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([] { StrToFloat("nan"); }), "'nan' は浮動小数点数ではありません");
}

TEST(FormatFixed, DecimalsRoundedHalfToEven)
{
    EXPECT_EQ(FormatFixed(17.3149L, 2), "17.31");
    EXPECT_EQ(FormatFixed(0.0625L, 3), "0.062");
    EXPECT_EQ(FormatFixed(0.1875L, 3), "0.188");
    EXPECT_EQ(FormatFixed(2.5L, 0), "2");
    EXPECT_EQ(FormatFixed(-0.0004L, 3), "0.000");
    EXPECT_EQ(FormatFixed(-1.5L, 0), "-2");
    EXPECT_EQ(FormatFixed(3L, 2), "3.00");
}

// Out of the extended range: overflow fails (the converter leaves its value
// untouched there, so it used to read as 0); underflow reads as 0.
TEST(StrToFloat, OutOfRange)
{
    EXPECT_EQ(FailureText([] { StrToFloat("1e5000"); }), "'1e5000' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([] { StrToFloat("-0.001e4936"); }), "'-0.001e4936' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([] { StrToFloat("1e99999999999999999999"); }),
              "'1e99999999999999999999' は浮動小数点数ではありません");
    EXPECT_EQ(StrToFloat("1e-5000"), 0.0L);
    EXPECT_EQ(StrToFloat("-00012e-5000"), 0.0L);
    EXPECT_EQ(StrToFloat("1e308"), 1e308L);
    EXPECT_EQ(CheckedInt32(-2147483648LL), INT32_MIN);
    EXPECT_EQ(FailureText([] { CheckedInt32(6442453643LL); }), "'6442453643' は整数ではありません");
}

TEST(RoundAndTrunc, TiesToEvenAndTowardZero)
{
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(1.5L), 2);
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(126.5L), 126);
    EXPECT_EQ(Round(125.5L), 126);
    EXPECT_EQ(Round(-1024.7L), -1025);
    EXPECT_EQ(Trunc(-1024.7L), -1024);
    EXPECT_EQ(Trunc(3.99L), 3);
    EXPECT_EQ(FailureText([] { Round(NAN); }), "不正な浮動小数点数演算命令");
}

}  // namespace
}  // namespace radmtf
