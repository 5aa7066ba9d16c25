#include "core/failure.h"
#include "failure_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace radmtf {
namespace {

using testing::FailureText;

TEST(CheckedArithmetic, ZeroDivideAndInvalidOperation)
{
    EXPECT_EQ(CheckedDivide(1.0, 4.0), 0.25);
    EXPECT_EQ(FailureText([] { CheckedDivide(1.0, 0.0); }), "0 による浮動小数点数除算");
    EXPECT_EQ(FailureText([] { CheckedDivide(-3.0L, 0.0L); }), "0 による浮動小数点数除算");
    EXPECT_EQ(FailureText([] { CheckedDivide(0.0, 0.0); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(FailureText([] { CheckedLog10(0.0L); }), "0 による浮動小数点数除算");
    EXPECT_EQ(FailureText([] { CheckedLog10(-1.0L); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(FailureText([] { CheckedSqrt(-1.0L); }), "不正な浮動小数点数演算命令");
    EXPECT_NEAR(static_cast<double>(CheckedLog10(1000.0L)), 3.0, 1e-15);
}

TEST(CheckedArithmetic, NarrowingToDoubleReportsOverflow)
{
    EXPECT_EQ(ToDoubleChecked(0.1L), 0.1);
    EXPECT_EQ(FailureText([] { ToDoubleChecked(1e400L); }), "浮動小数点数オーバーフロー");
    EXPECT_EQ(FailureText([] { ToDoubleChecked(-1e400L); }), "浮動小数点数オーバーフロー");
    EXPECT_EQ(ToDoubleChecked(1e-400L), 0.0);
}

TEST(PlatformMessages, ExactTexts)
{
    EXPECT_EQ(FailureText([] { ThrowCannotOpen("/tmp/x.dcm"); }), "ファイル /tmp/x.dcm は開けません");
    EXPECT_EQ(FailureText([] { ThrowListIndex(3); }), "リストのインデックスが範囲を超えています (3)");
}

TEST(MessageCatalogue, EveryCodeHasItsOwnTextAndFillsItsBlankOnce)
{
    std::set<std::string> texts;
    for (int code = 0; code < kFailureCodeCount; ++code) {
        const std::string text = testing::Text(Failure(static_cast<FailureCode>(code), {"%2"}));
        EXPECT_NE(text, FailureCodeName(static_cast<FailureCode>(code)));
        EXPECT_TRUE(texts.insert(text).second) << text;
    }
    // An argument that looks like a blank stays as it is.
    EXPECT_EQ(testing::Text(Failure(FailureCode::kNotInteger, {"%1%2"})), "'%1%2' は整数ではありません");
}

}  // namespace
}  // namespace radmtf
