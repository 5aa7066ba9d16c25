// Numbers as text, the way every edit box, memo and table of the program
// reads and writes them.
//
// Integers: plain decimal, "-" when negative. Reals: the general format with
// at most 15 significant digits ("2", "0.0001", "5E-5", "1E15"). Parsing is
// locale independent: the decimal separator is always ".".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace radmtf {

std::string IntToStr(long long value);

// Decimal 32-bit integer with optional sign; leading blanks are skipped,
// anything else (trailing blanks, hex, an empty text) fails with the
// not-an-integer message naming the text.
std::int32_t StrToInt(std::string_view text);

// Decimal number with ".", optional sign and exponent; blanks around it are
// allowed. Fails with the not-a-number message naming the text, also when
// the number lies beyond the extended range ("1e5000"); a number too small
// for it reads as 0.
long double StrToFloat(std::string_view text);

// General format, 15 significant digits, trailing zeros dropped.
std::string FloatToStr(long double value);

// Fixed notation with `decimals` digits after the point (0 .. 9), rounded
// halves to even on the scaled value (FormatFixed(0.0625, 3) is "0.062");
// a value that rounds to zero has no sign. Non-finite values as FloatToStr.
std::string FormatFixed(long double value, int decimals);

// `value` rounded to `decimals` places (halves to even), then in the general
// format: the way the slit method lists its MTF ("0.5", "0.123").
std::string FloatToStrRounded(long double value, int decimals);

// Round to the nearest integer, halves to the even neighbour. A value that
// has no integer (NaN, out of the 64-bit range) fails as an invalid operation.
long long Round(long double value);

// Toward zero, with the same failure as Round.
long long Trunc(long double value);

// A computed integer that an edit will hold: it must read back as a 32-bit
// integer, so a value outside that range fails with the not-an-integer
// message naming its text, as if it had been typed.
std::int32_t CheckedInt32(long long value);

}  // namespace radmtf
