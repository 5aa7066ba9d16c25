#include "nps/conversion.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "core/text_lines.h"

namespace radmtf {

namespace {

[[noreturn]] void RefuseSettings(std::string_view text)
{
    ThrowFailure(FailureCode::kConversionSettings, {std::string(text)});
}

// The fields of "a,b,c" as numbers; the settings refusal for anything else.
std::vector<double> Numbers(std::string_view fields, std::string_view whole)
{
    std::vector<double> numbers;
    while (true) {
        const std::size_t comma = fields.find(',');
        try {
            numbers.push_back(static_cast<double>(StrToFloat(fields.substr(0, comma))));
        } catch (const Failure&) {
            RefuseSettings(whole);
        }
        if (comma == std::string_view::npos) return numbers;
        fields.remove_prefix(comma + 1);
    }
}

std::string ReadText(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(path, bytes)) ThrowCannotOpen(path);
    return std::string(bytes.begin(), bytes.end());
}

[[noreturn]] void Unreadable(std::string_view path, std::size_t line)
{
    ThrowFailure(FailureCode::kConversionUnreadable,
                 {std::string(path), IntToStr(static_cast<long long>(line) + 1)});
}

}  // namespace

Conversion ParseConversion(std::string_view text, double latitude, double bits, double offset)
{
    if (text == "model") return Conversion::Model(latitude, bits, offset);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon + 1 == text.size()) RefuseSettings(text);
    const std::string_view kind = text.substr(0, colon);
    const std::string_view rest = text.substr(colon + 1);
    if (kind == "linear") {
        const std::vector<double> n = Numbers(rest, text);
        if (n.size() != 2) RefuseSettings(text);
        return Conversion::Linear(n[0], n[1]);
    }
    if (kind == "log") {
        const std::vector<double> n = Numbers(rest, text);
        if (n.size() != 2 && n.size() != 3) RefuseSettings(text);
        return Conversion::Log(n[0], n[1], n.size() == 3 ? n[2] : 1.0);
    }
    if (kind == "hdc") return Conversion::Curve(SplitTextLines(ReadText(std::string(rest))), rest);
    if (kind == "file") return ReadConversionText(ReadText(std::string(rest)), rest);
    RefuseSettings(text);
}

Conversion ConversionFit::Chosen() const
{
    return logChosen ? Conversion::Log(c0, c1, kref) : Conversion::Linear(offset, gain);
}

namespace {

// y = a + b x by least squares (centred sums in extended precision);
// R^2 = 1 - SSres / SStot.
struct LineFit {
    double a = 0.0, b = 0.0, r2 = 0.0;
};

LineFit FitLine(const std::vector<double>& x, const std::vector<double>& y)
{
    const std::size_t n = x.size();
    long double mx = 0.0L, my = 0.0L;
    for (std::size_t i = 0; i < n; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= n;
    my /= n;
    long double sxx = 0.0L, sxy = 0.0L, syy = 0.0L;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += (x[i] - mx) * (x[i] - mx);
        sxy += (x[i] - mx) * (y[i] - my);
        syy += (y[i] - my) * (y[i] - my);
    }
    LineFit fit;
    const long double b = sxy / sxx;
    fit.b = static_cast<double>(b);
    fit.a = static_cast<double>(my - b * mx);
    long double ssres = 0.0L;
    for (std::size_t i = 0; i < n; ++i) {
        const long double r = y[i] - (my + b * (x[i] - mx));
        ssres += r * r;
    }
    fit.r2 = syy > 0.0L ? static_cast<double>(1.0L - ssres / syy) : 1.0;
    return fit;
}

}  // namespace

ConversionFit FitConversion(const std::vector<ConversionSample>& samples, double kref)
{
    std::set<double> distinct;
    for (const ConversionSample& s : samples) {
        if (!(s.kerma > 0.0) || !std::isfinite(s.kerma) || !std::isfinite(s.meanValue))
            RefuseSettings(FloatToStr(s.kerma));
        distinct.insert(s.kerma);
    }
    if (distinct.size() < 3)
        ThrowFailure(FailureCode::kConversionFewKermas, {IntToStr(static_cast<long long>(distinct.size()))});
    if (!(kref > 0.0)) RefuseSettings(FloatToStr(kref));

    std::vector<double> k, logk, pv;
    for (const ConversionSample& s : samples) {
        k.push_back(s.kerma);
        logk.push_back(std::log10(s.kerma / kref));
        pv.push_back(s.meanValue);
    }
    const LineFit linear = FitLine(k, pv);
    const LineFit log = FitLine(logk, pv);
    ConversionFit fit;
    fit.offset = linear.a;
    fit.gain = linear.b;
    fit.r2Linear = linear.r2;
    fit.c0 = log.a;
    fit.c1 = log.b;
    fit.kref = kref;
    fit.r2Log = log.r2;
    fit.logChosen = log.r2 > linear.r2;
    fit.samples = samples;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        fit.residualLinear.push_back(pv[i] - (linear.a + linear.b * k[i]));
        fit.residualLog.push_back(pv[i] - (log.a + log.b * logk[i]));
    }
    return fit;
}

double CentralMeanValue(const std::int32_t* values, std::int32_t columns, std::int32_t rows, double dx,
                        double dy)
{
    const auto side = [](std::int32_t size, double pitch) {
        const long long n = Round(10.0L / pitch);
        return static_cast<std::int32_t>(std::clamp<long long>(n, 1, size));
    };
    const std::int32_t w = side(columns, dx), h = side(rows, dy);
    const std::int32_t x0 = (columns - w) / 2, y0 = (rows - h) / 2;
    long double sum = 0.0L;
    for (std::int32_t y = y0; y < y0 + h; ++y)
        for (std::int32_t x = x0; x < x0 + w; ++x) sum += values[static_cast<std::size_t>(y) * columns + x];
    return static_cast<double>(sum / (static_cast<long double>(w) * h));
}

std::string ConversionFileText(const ConversionFit& fit)
{
    std::string text = "model\t";
    text += fit.logChosen ? "log" : "linear";
    text += "\n";
    const auto line = [&](std::string_view key, double v) {
        text += key;
        text += '\t';
        text += FloatToStr(v);
        text += '\n';
    };
    line("offset", fit.offset);
    line("gain", fit.gain);
    line("r2_linear", fit.r2Linear);
    line("c0", fit.c0);
    line("c1", fit.c1);
    line("kref", fit.kref);
    line("r2_log", fit.r2Log);
    for (std::size_t i = 0; i < fit.samples.size(); ++i) {
        text += "sample\t" + FloatToStr(fit.samples[i].kerma) + '\t' + FloatToStr(fit.samples[i].meanValue) +
                '\t' + FloatToStr(fit.residualLinear[i]) + '\t' + FloatToStr(fit.residualLog[i]) + '\n';
    }
    return text;
}

Conversion ReadConversionText(std::string_view text, std::string_view path)
{
    const std::vector<std::string> lines = SplitTextLines(text);
    std::string model;
    std::size_t modelLine = 0;
    const auto find = [&](std::string_view key) -> double {
        for (std::size_t j = 0; j < lines.size(); ++j) {
            const std::string_view l = lines[j];
            if (l.size() > key.size() && l.substr(0, key.size()) == key && l[key.size()] == '\t') {
                try {
                    return static_cast<double>(StrToFloat(l.substr(key.size() + 1)));
                } catch (const Failure&) {
                    Unreadable(path, j);
                }
            }
        }
        Unreadable(path, lines.size());
    };
    for (std::size_t j = 0; j < lines.size(); ++j) {
        if (lines[j].rfind("model\t", 0) == 0) {
            model = lines[j].substr(6);
            modelLine = j;
            break;
        }
        modelLine = j + 1;
    }
    if (model == "linear") return Conversion::Linear(find("offset"), find("gain"));
    if (model == "log") return Conversion::Log(find("c0"), find("c1"), find("kref"));
    Unreadable(path, modelLine);
}

}  // namespace radmtf
