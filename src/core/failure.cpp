#include "failure.h"

#include <cmath>
#include <limits>

namespace radmtf {

void ThrowNotInteger(std::string_view text)
{
    throw Failure("'" + std::string(text) + "' は整数ではありません");
}

void ThrowNotFloat(std::string_view text)
{
    throw Failure("'" + std::string(text) + "' は浮動小数点数ではありません");
}

void ThrowCannotOpen(std::string_view path)
{
    throw Failure("ファイル " + std::string(path) + " は開けません");
}

void ThrowCannotCreate(std::string_view path)
{
    throw Failure("ファイル " + std::string(path) + " を作成できません");
}

void ThrowListIndex(long long index)
{
    throw Failure("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

void ThrowZeroDivide()
{
    throw Failure("0 による浮動小数点数除算");
}

void ThrowInvalidOperation()
{
    throw Failure("不正な浮動小数点数演算命令");
}

void ThrowOverflow() { throw Failure(kFloatOverflowMessage); }

void ThrowMessage(std::string_view message)
{
    throw Failure(std::string(message));
}

long double CheckedDivide(long double numerator, long double denominator)
{
    if (std::isnan(numerator) || std::isnan(denominator)) ThrowInvalidOperation();
    if (denominator == 0.0L) {
        if (numerator == 0.0L) ThrowInvalidOperation();
        ThrowZeroDivide();
    }
    return numerator / denominator;
}

double CheckedDivide(double numerator, double denominator)
{
    return static_cast<double>(
        CheckedDivide(static_cast<long double>(numerator), static_cast<long double>(denominator)));
}

long double CheckedLog10(long double x)
{
    if (std::isnan(x) || x < 0.0L) ThrowInvalidOperation();
    if (x == 0.0L) ThrowZeroDivide();
    return std::log10(x);
}

long double CheckedSqrt(long double x)
{
    if (std::isnan(x) || x < 0.0L) ThrowInvalidOperation();
    return std::sqrt(x);
}

double ToDoubleChecked(long double x)
{
    if (std::isnan(x)) ThrowInvalidOperation();
    if (std::fabs(x) > static_cast<long double>(std::numeric_limits<double>::max())) ThrowOverflow();
    return static_cast<double>(x);
}

long double CheckedFinite(long double x)
{
    if (std::isnan(x)) ThrowInvalidOperation();
    if (std::isinf(x)) ThrowZeroDivide();
    return x;
}

}  // namespace radmtf
