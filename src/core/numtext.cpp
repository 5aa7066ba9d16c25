#include "numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "failure.h"

namespace radmtf {

std::string IntToStr(long long value)
{
    return std::to_string(value);
}

std::int32_t StrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) ThrowNotInteger(text);
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9') ThrowNotInteger(text);
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > 2147483648LL) ThrowNotInteger(text);
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) ThrowNotInteger(text);
    return static_cast<std::int32_t>(value);
}

namespace {

// Decimal exponent of the first nonzero digit of a validated unsigned number
// ("12.5e3": 4; "0.001": -3), or -1 when all digits are zero.
long long DecimalMagnitude(std::string_view number)
{
    const std::size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    const std::size_t point = mantissa.find('.');
    const long long integerDigits =
        static_cast<long long>(point == std::string_view::npos ? mantissa.size() : point);
    long long digitIndex = 0;
    long long magnitude = 0;
    bool found = false;
    for (const char ch : mantissa) {
        if (ch == '.') continue;
        if (ch != '0') {
            magnitude = integerDigits - 1 - digitIndex;
            found = true;
            break;
        }
        ++digitIndex;
    }
    if (!found) return -1;
    if (exponentAt != std::string_view::npos) {
        // The exponent's digits saturate: anything beyond 10^15 decides alone.
        std::string_view digits = number.substr(exponentAt + 1);
        const bool negative = !digits.empty() && digits[0] == '-';
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
        long long exponent = 0;
        for (const char ch : digits) exponent = std::min(exponent * 10 + (ch - '0'), 1000000000000000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

}  // namespace

long double StrToFloat(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    const std::string_view body = text.substr(begin, end - begin);

    // Validate the grammar ourselves: sign, digits, ".", digits, exponent.
    std::size_t i = 0;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++digits;
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) ThrowNotFloat(text);
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) ThrowNotFloat(text);
    }
    if (i != body.size()) ThrowNotFloat(text);

    // from_chars accepts neither a leading "+" nor "1." forms everywhere, so
    // hand it a normalised copy.
    std::string normal;
    normal.reserve(body.size() + 2);
    if (body[0] == '-') normal.push_back('-');
    std::string_view rest = body.substr(mantissaStart);
    if (!rest.empty() && rest[0] == '.') normal.push_back('0');
    normal.append(rest);
    long double value = 0.0L;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here, so tell underflow (reads
        // as zero) from overflow (not a number the program can use) by the
        // decimal exponent of the first significant digit.
        if (DecimalMagnitude(rest) < 0) return 0.0L;
        ThrowNotFloat(text);
    }
    if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) ThrowNotFloat(text);
    return value;
}

std::string FloatToStr(long double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0L) return "0";

    // Round to 15 significant digits first; the exponent of the rounded value
    // decides between plain and exponent notation.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = sci[0] == '-';
    if (negative) sci.remove_prefix(1);
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char ch : sci.substr(0, ePos))
        if (ch != '.') digits.push_back(ch);
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                    exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (negative) out.push_back('-');
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else if (static_cast<int>(digits.size()) <= exponent + 1) {
            out += digits;
            out.append(static_cast<std::size_t>(exponent + 1) - digits.size(), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
            out.push_back('.');
            out += digits.substr(static_cast<std::size_t>(exponent + 1));
        }
    } else {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out += digits.substr(1);
        }
        out.push_back('E');
        out += std::to_string(exponent);
    }
    return out;
}

std::string FormatFixed(long double value, int decimals)
{
    if (!std::isfinite(value)) return FloatToStr(value);
    decimals = std::clamp(decimals, 0, 9);
    long double scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const long double scaled = std::nearbyintl(value * scale);
    if (std::fabs(scaled) >= 9.2233720368547758e18L) return FloatToStr(value);
    const long long units = static_cast<long long>(scaled);
    std::string digits = std::to_string(units < 0 ? -units : units);
    const std::size_t places = static_cast<std::size_t>(decimals);
    if (places > 0) {
        if (digits.size() <= places) digits = std::string(places + 1 - digits.size(), '0') + digits;
        const std::size_t point = digits.size() - places;
        digits = digits.substr(0, point) + "." + digits.substr(point);
    }
    return (units < 0 ? "-" : "") + digits;
}

std::string FloatToStrRounded(long double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return FloatToStr(static_cast<double>(Round(value * scale)) / scale);
}

long long Round(long double value)
{
    if (std::isnan(value) || std::fabs(value) >= 9.2233720368547758e18L) ThrowInvalidOperation();
    return std::llrintl(value);  // default rounding mode: nearest, ties to even
}

long long Trunc(long double value)
{
    if (std::isnan(value) || std::fabs(value) >= 9.2233720368547758e18L) ThrowInvalidOperation();
    return static_cast<long long>(std::truncl(value));
}

std::int32_t CheckedInt32(long long value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        ThrowNotInteger(IntToStr(value));
    return static_cast<std::int32_t>(value);
}

}  // namespace radmtf
