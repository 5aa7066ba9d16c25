// The failures that the program reports to the user.
//
// Every failure is an exception carrying a code and the texts that fill the
// message's blanks (a file name, the text that is not a number). The words
// the user reads are made from the code in one catalogue of the application
// (app/messages.h), so they can be translated and so callers tell failures
// apart by code, not by text. Kernels only throw.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace radmtf {

enum class FailureCode {
#define RADMTF_FAILURE(code, name, text) code,
#include "core/failure_catalogue.h"
#undef RADMTF_FAILURE
};

// How many codes there are.
inline constexpr int kFailureCodeCount = 0
#define RADMTF_FAILURE(code, name, text) +1
#include "core/failure_catalogue.h"
#undef RADMTF_FAILURE
    ;

class Failure : public std::exception {
public:
    explicit Failure(FailureCode code, std::vector<std::string> args = {});
    FailureCode code() const { return code_; }
    const std::vector<std::string>& args() const { return args_; }
    // The code's name and arguments, for logs and test diagnostics; the
    // user's text comes from the catalogue.
    const char* what() const noexcept override { return description_.c_str(); }

private:
    FailureCode code_;
    std::vector<std::string> args_;
    std::string description_;
};

// The code's name, e.g. "NotInteger".
std::string_view FailureCodeName(FailureCode code);

[[noreturn]] void ThrowFailure(FailureCode code, std::vector<std::string> args = {});
[[noreturn]] void ThrowNotInteger(std::string_view text);
[[noreturn]] void ThrowNotFloat(std::string_view text);
[[noreturn]] void ThrowCannotOpen(std::string_view path);
[[noreturn]] void ThrowCannotCreate(std::string_view path);
[[noreturn]] void ThrowListIndex(long long index);
[[noreturn]] void ThrowZeroDivide();
[[noreturn]] void ThrowInvalidOperation();
[[noreturn]] void ThrowOverflow();

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
