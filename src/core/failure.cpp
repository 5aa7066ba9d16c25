#include "failure.h"

#include <cmath>
#include <iterator>
#include <limits>

namespace radmtf {

namespace {

constexpr std::string_view kCodeNames[] = {
#define RADMTF_FAILURE(code, name, text) name,
#include "core/failure_catalogue.h"
#undef RADMTF_FAILURE
};

}  // namespace

std::string_view FailureCodeName(FailureCode code)
{
    return kCodeNames[static_cast<std::size_t>(code)];
}

Failure::Failure(FailureCode code, std::vector<std::string> args) : code_(code), args_(std::move(args))
{
    description_ = std::string(FailureCodeName(code));
    for (std::size_t i = 0; i < args_.size(); ++i) description_ += (i == 0 ? "(" : ", ") + args_[i];
    if (!args_.empty()) description_ += ")";
}

void ThrowFailure(FailureCode code, std::vector<std::string> args)
{
    throw Failure(code, std::move(args));
}

void ThrowNotInteger(std::string_view text)
{
    ThrowFailure(FailureCode::kNotInteger, {std::string(text)});
}

void ThrowNotFloat(std::string_view text)
{
    ThrowFailure(FailureCode::kNotFloat, {std::string(text)});
}

void ThrowCannotOpen(std::string_view path)
{
    ThrowFailure(FailureCode::kCannotOpen, {std::string(path)});
}

void ThrowCannotCreate(std::string_view path)
{
    ThrowFailure(FailureCode::kCannotCreate, {std::string(path)});
}

void ThrowListIndex(long long index)
{
    ThrowFailure(FailureCode::kListIndex, {std::to_string(index)});
}

void ThrowZeroDivide()
{
    ThrowFailure(FailureCode::kZeroDivide);
}

void ThrowInvalidOperation()
{
    ThrowFailure(FailureCode::kInvalidOperation);
}

void ThrowOverflow()
{
    ThrowFailure(FailureCode::kOverflow);
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
