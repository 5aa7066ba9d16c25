// The failures that the program reports to the user.
//
// Every failure is an exception carrying the exact (UTF-8) text that the
// message box shows. One place in the application catches them; kernels only
// throw. Conversion, file and list failures use the platform's standard
// Japanese texts, which users compare against their operating procedures.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace radmtf {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

// "'%s' は整数ではありません"
[[noreturn]] void ThrowNotInteger(std::string_view text);
// "'%s' は浮動小数点数ではありません"
[[noreturn]] void ThrowNotFloat(std::string_view text);
// "ファイル %s は開けません"
[[noreturn]] void ThrowCannotOpen(std::string_view path);
// "ファイル %s を作成できません"
[[noreturn]] void ThrowCannotCreate(std::string_view path);
// "リストのインデックスが範囲を超えています (%d)"
[[noreturn]] void ThrowListIndex(long long index);
// "0 による浮動小数点数除算": a nonzero value divided by zero, log of zero.
[[noreturn]] void ThrowZeroDivide();
// "不正な浮動小数点数演算命令": 0/0, log or square root of a negative value.
[[noreturn]] void ThrowInvalidOperation();
// "浮動小数点数オーバーフロー": a result beyond the range of a double.
inline constexpr const char* kFloatOverflowMessage = "浮動小数点数オーバーフロー";
[[noreturn]] void ThrowOverflow();
// A refusal in the program's own words.
[[noreturn]] void ThrowMessage(std::string_view message);

// Floating-point operations that fail the way the user expects instead of
// silently producing inf or NaN.
long double CheckedDivide(long double numerator, long double denominator);
double CheckedDivide(double numerator, double denominator);
long double CheckedLog10(long double x);
long double CheckedSqrt(long double x);
// x as a double: the invalid-operation failure for NaN, the overflow failure
// beyond the double range.
double ToDoubleChecked(long double x);
// Throws the invalid-operation failure for NaN and the zero-divide failure
// for an infinity; returns x otherwise.
long double CheckedFinite(long double x);

}  // namespace radmtf
