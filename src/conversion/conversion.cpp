#include "conversion/conversion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

// A result that has left the extended range is an overflow, not a silent
// infinity.
long double Finite(long double x)
{
    if (std::isnan(x)) ThrowInvalidOperation();
    if (std::isinf(x)) ThrowOverflow();
    return x;
}

[[noreturn]] void RefuseSettings(std::string_view text)
{
    ThrowFailure(FailureCode::kConversionSettings, {std::string(text)});
}

void RequireFinite(std::initializer_list<double> values, std::string_view text)
{
    for (double v : values)
        if (!std::isfinite(v)) RefuseSettings(text);
}

std::string Join(std::string_view kind, std::initializer_list<long double> values)
{
    std::string text(kind);
    char separator = ':';
    for (long double v : values) {
        text += separator;
        text += FloatToStr(v);
        separator = ',';
    }
    return text;
}

[[noreturn]] void Unreadable(std::string_view path, std::size_t line)
{
    ThrowFailure(FailureCode::kConversionUnreadable,
                 {std::string(path), IntToStr(static_cast<long long>(line) + 1)});
}

// The first 4096 characters of a line (UTF-8: continuation bytes do not
// start a character).
std::string_view LeadingCharacters(std::string_view line)
{
    constexpr std::size_t kMaxCharacters = 4096;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) == 0x80) continue;
        if (characters == kMaxCharacters) return line.substr(0, i);
        ++characters;
    }
    return line;
}

// A field of the curve file as a number. An empty field fails with the
// platform's message, as the user knows it; any other text that is not a
// number names the file and the line, so the user can find it.
long double CurveNumber(std::string_view field, std::string_view path, std::size_t line)
{
    if (field.empty()) return StrToFloat(field);
    try {
        return StrToFloat(field);
    } catch (const Failure&) {
        ThrowFailure(FailureCode::kCurveLineUnreadable,
                     {std::string(path), IntToStr(static_cast<long long>(line) + 1), std::string(field)});
    }
}

// Text before the first TAB; a line without TAB has two empty fields.
std::string_view FirstField(std::string_view line)
{
    const std::size_t tab = line.find('\t');
    return tab == std::string_view::npos ? std::string_view() : line.substr(0, tab);
}

// All text after the first TAB.
std::string_view SecondField(std::string_view line)
{
    const std::size_t tab = line.find('\t');
    return tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
}

// A kerma of extended precision as a double; beyond its range an overflow.
double KermaValue(long double k)
{
    return ToDoubleChecked(Finite(k));
}

}  // namespace

// The curve file, each field read once when the conversion is made; a field
// that is not a number is read again (and fails) only where a conversion
// needs it, so the failures come where the lines are used.
struct Conversion::CurveData {
    std::vector<std::string> lines;
    std::string path;
    std::vector<long double> logKerma;  // X(j), where readable
    std::vector<char> logKermaRead;
    // The PVs of lines 1, 2, ... up to the first that is not a number (that
    // line: stopLine), and their running maximum: V(j) >= PV first holds
    // where the running maximum first reaches PV, so a binary search on it
    // finds the line of the linear search.
    std::vector<long double> values;
    std::vector<long double> runningMax;
    std::size_t stopLine = 0;

    std::string_view Line(std::size_t j) const
    {
        return j < lines.size() ? LeadingCharacters(lines[j]) : std::string_view();
    }

    long double X(std::size_t j) const
    {
        if (j < logKermaRead.size() && logKermaRead[j]) return logKerma[j];
        return CurveNumber(FirstField(Line(j)), path, j);
    }

    // The first line j >= 1 with V(j) >= pv.
    std::size_t FirstLineNotBelow(long double pv) const
    {
        const auto found = std::lower_bound(runningMax.begin() + 1, runningMax.end(), pv);
        return static_cast<std::size_t>(found - runningMax.begin());
    }

    [[noreturn]] void FailAtStop() const
    {
        CurveNumber(SecondField(Line(stopLine)), path, stopLine);
        throw std::logic_error("curve stop line reads as a number");
    }
};

Conversion Conversion::Linear(double offset, double gain)
{
    RequireFinite({offset, gain}, Join("linear", {offset, gain}));
    if (gain == 0.0) RefuseSettings(Join("linear", {offset, gain}));
    Conversion c;
    c.kind_ = Kind::kLinear;
    c.a_ = offset;
    c.b_ = gain;
    c.c_ = 1.0L;
    return c;
}

Conversion Conversion::Log(double c0, double c1, double kref)
{
    RequireFinite({c0, c1, kref}, Join("log", {c0, c1, kref}));
    if (c1 == 0.0 || kref <= 0.0) RefuseSettings(Join("log", {c0, c1, kref}));
    Conversion c;
    c.kind_ = Kind::kLog;
    c.a_ = c0;
    c.b_ = c1;
    c.c_ = kref;
    return c;
}

Conversion Conversion::Model(double latitude, double bits, double offset)
{
    const std::string text = Join("model", {latitude, bits, offset});
    RequireFinite({latitude, bits, offset}, text);
    if (latitude == 0.0 || bits < 1.0 || bits > 32.0) RefuseSettings(text);
    return DetectorModel(latitude, bits, offset);
}

Conversion Conversion::DetectorModel(long double latitude, long double bits, long double offset)
{
    Conversion c;
    c.kind_ = Kind::kModel;
    c.a_ = latitude;
    c.b_ = bits;
    c.c_ = offset;
    c.levels_ = std::pow(2.0L, bits);
    return c;
}

Conversion Conversion::Curve(const std::vector<std::string>& lines, std::string_view path)
{
    std::size_t count = 0;
    for (; count < lines.size() && !lines[count].empty(); ++count) {
        const std::string_view line = lines[count];
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) Unreadable(path, count);
        try {
            StrToFloat(line.substr(0, tab));
            StrToFloat(line.substr(tab + 1));
        } catch (const Failure&) {
            Unreadable(path, count);
        }
    }
    if (count < 2) Unreadable(path, count);
    Conversion c = CurveFile(lines, std::string(path));
    c.curveEndsHaveNoKerma_ = true;
    return c;
}

Conversion Conversion::CurveFile(std::vector<std::string> lines, std::string path)
{
    auto data = std::make_shared<CurveData>();
    data->lines = std::move(lines);
    data->path = std::move(path);
    const std::size_t n = data->lines.size();
    data->logKerma.assign(n, 0.0L);
    data->logKermaRead.assign(n, 0);
    for (std::size_t j = 0; j < n; ++j) {
        const std::string_view field = FirstField(data->Line(j));
        if (field.empty()) continue;
        try {
            data->logKerma[j] = StrToFloat(field);
            data->logKermaRead[j] = 1;
        } catch (const Failure&) {
        }
    }
    data->values.push_back(0.0L);  // line 0 is never searched
    data->runningMax.push_back(-std::numeric_limits<long double>::infinity());
    for (std::size_t j = 1;; ++j) {
        try {
            const long double v = StrToFloat(SecondField(data->Line(j)));
            data->values.push_back(v);
            data->runningMax.push_back(std::max(data->runningMax.back(), v));
        } catch (const Failure&) {
            data->stopLine = j;
            break;
        }
    }
    Conversion c;
    c.kind_ = Kind::kCurve;
    c.curve_ = std::move(data);
    return c;
}

std::string Conversion::Describe() const
{
    switch (kind_) {
        case Kind::kLinear:
            return Join("linear", {a_, b_});
        case Kind::kLog:
            return Join("log", {a_, b_, c_});
        case Kind::kModel:
            return Join("model", {a_, b_, c_});
        case Kind::kCurve:
            return "hdc:" + curve_->path;
    }
    return {};
}

// E = 10^(L x (PV + o) / 2^B): 0 .. 2^B spans L decades.
long double Conversion::ModelKerma(long double pv, long double levels) const
{
    const long double scaled = Finite(a_ * (pv + c_));
    const long double logKerma = CheckedDivide(scaled, levels);
    return std::pow(10.0L, logKerma);
}

long double Conversion::CurveKerma(long double pv) const
{
    const CurveData& curve = *curve_;
    const std::size_t j = curve.FirstLineNotBelow(pv);
    if (j == curve.runningMax.size()) {
        if (curveEndsHaveNoKerma_) return 0.0L;
        curve.FailAtStop();
    }
    if (j == 1) return 0.0L;  // at or below the curve's first pixel value
    // Linear interpolation of the log kerma between lines j - 1 and j:
    // X(j-1) + (PV - V(j-1)) x step / (V(j) - V(j-1)).
    const long double step = curve.X(1) - curve.X(0);
    const long double below = curve.X(j - 1);
    curve.X(j);  // read as a number although only the step is used
    const long double vBelow = curve.values[j - 1];
    const long double vAbove = curve.values[j];
    return std::pow(10.0L, Finite(below + (pv - vBelow) * step / (vAbove - vBelow)));
}

double Conversion::Kerma(double pv) const
{
    switch (kind_) {
        case Kind::kLinear:
            return (pv - static_cast<double>(a_)) / static_cast<double>(b_);
        case Kind::kLog:
            return static_cast<double>(c_) *
                   std::pow(10.0, (pv - static_cast<double>(a_)) / static_cast<double>(b_));
        case Kind::kModel:
            return KermaValue(ModelKerma(pv, Finite(levels_)));
        case Kind::kCurve:
            curve_->X(0);
            curve_->X(1);
            return KermaValue(CurveKerma(pv));
    }
    return 0.0;
}

void Conversion::Kerma(const std::int32_t* pv, std::size_t count, double* kerma) const
{
    if (count == 0) return;
    // The kerma of a sample depends on its value alone, and an image holds
    // few distinct values (16-bit data), so each is converted once. Only
    // successful conversions are remembered: a failure still happens at the
    // first sample with the failing value.
    const auto convertEach = [&](auto&& convert) {
        const auto [low, high] = std::minmax_element(pv, pv + count);
        const std::int64_t range = std::int64_t{*high} - *low + 1;
        constexpr std::int64_t kMaxRange = std::int64_t{1} << 17;
        if (range > kMaxRange) {
            for (std::size_t i = 0; i < count; ++i) kerma[i] = convert(pv[i]);
            return;
        }
        std::vector<double> values(static_cast<std::size_t>(range));
        std::vector<unsigned char> known(static_cast<std::size_t>(range), 0);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = static_cast<std::size_t>(std::int64_t{pv[i]} - *low);
            if (!known[at]) {
                values[at] = convert(pv[i]);
                known[at] = 1;
            }
            kerma[i] = values[at];
        }
    };
    switch (kind_) {
        case Kind::kLinear:
        case Kind::kLog:
            convertEach([&](std::int32_t p) { return Kerma(static_cast<double>(p)); });
            return;
        case Kind::kModel: {
            const long double levels = Finite(levels_);
            convertEach([&](std::int32_t p) { return KermaValue(ModelKerma(p, levels)); });
            return;
        }
        case Kind::kCurve:
            curve_->X(0);
            curve_->X(1);
            convertEach([&](std::int32_t p) { return KermaValue(CurveKerma(p)); });
            return;
    }
}

double Conversion::PixelValue(double kerma) const
{
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    switch (kind_) {
        case Kind::kLinear:
            return static_cast<double>(a_) + static_cast<double>(b_) * kerma;
        case Kind::kLog:
            return static_cast<double>(a_) +
                   static_cast<double>(b_) * std::log10(kerma / static_cast<double>(c_));
        case Kind::kModel:
            // PV = log10 K x 2^B / L - o.
            if (!(kerma > 0.0)) return kNone;
            return static_cast<double>(std::log10(static_cast<long double>(kerma)) * levels_ / a_ - c_);
        case Kind::kCurve: {
            // The interval of lines j - 1, j whose log kermas hold log10 K,
            // inverted: PV = V(j-1) + (log10 K - X(j-1)) (V(j) - V(j-1)) / step.
            if (!(kerma > 0.0)) return kNone;
            const CurveData& curve = *curve_;
            const long double logKerma = std::log10(static_cast<long double>(kerma));
            const long double step = curve.X(1) - curve.X(0);
            for (std::size_t j = 2; j < curve.values.size(); ++j) {
                const long double below = curve.X(j - 1);
                const long double t = (logKerma - below) / step;
                if (t >= 0.0L && t <= 1.0L && curve.values[j] > curve.values[j - 1])
                    return static_cast<double>(curve.values[j - 1] +
                                               t * (curve.values[j] - curve.values[j - 1]));
            }
            return kNone;
        }
    }
    return kNone;
}

}  // namespace radmtf
