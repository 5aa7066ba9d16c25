#include "analysis/exposure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "analysis/composite_profile.h"
#include "core/numtext.h"
#include "core/text_lines.h"
#include "failure_text.h"
#include "test_support.h"

namespace radmtf {
namespace {

using testing::FailureText;
using testing::SetProfile;
using Lines = std::vector<std::string>;

const Lines kFourLineCurve{"0.0\t100", "0.1\t200", "0.2\t300", "0.3\t400"};

Conversion Model(long double latitude, long double bits, long double offset)
{
    return Conversion::DetectorModel(latitude, bits, offset);
}

double Exposure(const ProfileState& state, int k)
{
    return state.exposureProfile[k];
}

TEST(ExposureByModel, LogarithmicDetector)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {0, 2048, 4096});
    state->sampleSpacing = 0.5;
    const std::vector<ChartPoint> points = ConvertToExposure(*state, Model(4, 12, 0));
    EXPECT_EQ(state->exposureCount, 3);
    EXPECT_EQ(state->peakIndex, 2);
    EXPECT_DOUBLE_EQ(Exposure(*state, 0), 0.1);
    EXPECT_DOUBLE_EQ(Exposure(*state, 1), 10.0);
    EXPECT_EQ(Exposure(*state, 2), 1000.0);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].x, -1.0);
    EXPECT_EQ(points[2].x, 0.0);
    EXPECT_EQ(points[2].y, 1000.0);

    // L 4, B 10: 256 gives 10, 1024 gives 10^4.
    SetProfile(*state, {256, 1024});
    ConvertToExposure(*state, Model(4, 10, 0));
    EXPECT_DOUBLE_EQ(Exposure(*state, 0), 1.0);

    // The offset is added to every sample: (4094 + 2) reaches the top.
    SetProfile(*state, {4094, -2});
    ConvertToExposure(*state, Model(4, 12, 2));
    EXPECT_EQ(state->peakIndex, 0);
    EXPECT_EQ(Exposure(*state, 0), 1000.0);
    EXPECT_DOUBLE_EQ(Exposure(*state, 1), 0.1);

    // Values far apart (beyond what is converted once per distinct value).
    SetProfile(*state, {-1000000, 0, 1000000, 0});
    ConvertToExposure(*state, Model(0.001L, 12, 5));
    const double top = static_cast<double>(std::pow(10.0L, 0.001L * 1000005 / 4096));
    const double bottom = static_cast<double>(std::pow(10.0L, 0.001L * -999995 / 4096));
    EXPECT_EQ(state->peakIndex, 2);
    EXPECT_EQ(Exposure(*state, 0), static_cast<double>(static_cast<long double>(bottom) / top * 1000));
    EXPECT_EQ(Exposure(*state, 1), Exposure(*state, 3));

    // Ties keep the first largest value.
    SetProfile(*state, {1000, 2000, 2000, 5});
    ConvertToExposure(*state, Model(4, 12, 0));
    EXPECT_EQ(state->peakIndex, 1);
    EXPECT_EQ(Exposure(*state, 1), 1000.0);
    EXPECT_EQ(Exposure(*state, 2), 1000.0);
}

TEST(ExposureByModel, FailurePoints)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {1, 2, 3});
    state->exposureProfile[0] = 7.0;
    state->exposureCount = 9;
    state->peakIndex = 4;

    // An empty profile is refused before anything changes (the model's
    // refusal comes with its texts, app/window_numbers.h).
    state->profileCount = 0;
    EXPECT_EQ(FailureText([&] {
                  ConvertToExposureByCurve(*state, {"0\t100", "0.1\t200"}, "hdc.txt");
              }),
              std::string("プロファイルがありません。2Dto1D を実行してください。"));
    EXPECT_EQ(state->exposureCount, 9);
    EXPECT_EQ(state->peakIndex, 4);

    // Beyond the range of a double.
    SetProfile(*state, {32767});
    EXPECT_EQ(FailureText([&] { ConvertToExposure(*state, Model(4, 0, 0)); }),
              std::string("浮動小数点数オーバーフロー"));
    // Exposures too small for a double are 0; all zero cannot be normalised.
    SetProfile(*state, {100, 200});
    state->peakIndex = 5;
    EXPECT_EQ(FailureText([&] { ConvertToExposure(*state, Model(-100000, 12, 0)); }),
              "不正な浮動小数点数演算命令");
    EXPECT_EQ(state->peakIndex, 0);
    EXPECT_EQ(state->exposureCount, 2);
}

TEST(ExposureByCurve, FourLineFile)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {250, 200, 150, 400});
    ConvertToExposureByCurve(*state, kFourLineCurve, "hdc.txt");
    EXPECT_EQ(state->exposureCount, 4);
    EXPECT_EQ(state->peakIndex, 3);
    EXPECT_NEAR(Exposure(*state, 0), std::pow(10.0, 0.15) / std::pow(10.0, 0.3) * 1000, 1e-10);
    EXPECT_EQ(Exposure(*state, 1), 0.0);
    EXPECT_EQ(Exposure(*state, 2), 0.0);
    EXPECT_EQ(Exposure(*state, 3), 1000.0);

    // 401 lies above every pixel value: the search reads the empty line past
    // the end. What was computed before stays; count and peak do not change.
    SetProfile(*state, {250, 401, 300});
    state->exposureProfile[1] = -1.0;
    state->exposureProfile[2] = -2.0;
    EXPECT_EQ(FailureText([&] { ConvertToExposureByCurve(*state, kFourLineCurve, "hdc.txt"); }),
              "'' は浮動小数点数ではありません");
    EXPECT_NEAR(Exposure(*state, 0), std::pow(10.0, 0.15), 1e-12);
    EXPECT_EQ(Exposure(*state, 1), -1.0);
    EXPECT_EQ(Exposure(*state, 2), -2.0);
    EXPECT_EQ(state->exposureCount, 4);
    EXPECT_EQ(state->peakIndex, 3);

    // Everything at or below line 1: all zero, 0 / 0 at the normalisation.
    SetProfile(*state, {200, 100});
    EXPECT_EQ(FailureText([&] { ConvertToExposureByCurve(*state, kFourLineCurve, "hdc.txt"); }),
              "不正な浮動小数点数演算命令");
    EXPECT_EQ(state->exposureCount, 2);
    EXPECT_EQ(state->peakIndex, 0);
}

TEST(ExposureByCurve, MalformedLines)
{
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, {150});
    // The step needs lines 0 and 1; an empty field keeps the platform's message.
    EXPECT_EQ(FailureText([&] {
                  ConvertToExposureByCurve(*state, {"0\t100", "0.1 200"}, "hdc.txt");
              }),
              "'' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([&] { ConvertToExposureByCurve(*state, {"0\t100"}, "hdc.txt"); }),
              "'' は浮動小数点数ではありません");

    // A blank line is only a failure when the search reaches it.
    const Lines blank{"0\t100", "0.1\t200", "", "0.3\t400"};
    SetProfile(*state, {250});
    ConvertToExposureByCurve(*state, {"0\t100", "0.1\t200", "0.2\t300", ""}, "hdc.txt");
    EXPECT_EQ(state->exposureCount, 1);
    EXPECT_EQ(FailureText([&] { ConvertToExposureByCurve(*state, blank, "hdc.txt"); }),
              "'' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([&] {
                  ConvertToExposureByCurve(*state, {"0\t100", "0.1\t200", "0.2\t2x0"}, "hdc.txt");
              }),
              "ファイル hdc.txt の 3 行目が読めません: '2x0' は浮動小数点数ではありません");
    // The first field of the upper line is read although it is not used.
    EXPECT_EQ(FailureText([&] {
                  ConvertToExposureByCurve(*state, {"0\t100", "0.1\t200", "y\t300"}, "hdc.txt");
              }),
              "ファイル hdc.txt の 3 行目が読めません: 'y' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([&] {
                  ConvertToExposureByCurve(*state, {"a\t100", "0.1\t200"}, "/d/hdc.txt");
              }),
              "ファイル /d/hdc.txt の 1 行目が読めません: 'a' は浮動小数点数ではありません");

    // Only the first 4096 characters of a line are read.
    const std::string padded = "0.2\t300" + std::string(5000, ' ') + "x";
    ConvertToExposureByCurve(*state, {"0\t100", "0.1\t200", padded}, "hdc.txt");
    EXPECT_EQ(state->exposureCount, 1);
}

// The search exactly as described, one StrToFloat per visited field.
double ReferenceExposure(const Lines& lines, std::int32_t p)
{
    const auto field = [&](std::size_t j, bool first) -> std::string {
        if (j >= lines.size()) return "";
        const std::size_t tab = lines[j].find('\t');
        if (tab == std::string::npos) return "";
        return first ? lines[j].substr(0, tab) : lines[j].substr(tab + 1);
    };
    const long double step = StrToFloat(field(1, true)) - StrToFloat(field(0, true));
    std::size_t j = 1;
    while (StrToFloat(field(j, false)) < p) ++j;
    if (j == 1) return 0.0;
    const long double v0 = StrToFloat(field(j - 1, false));
    const long double v1 = StrToFloat(field(j, false));
    return static_cast<double>(std::pow(10.0L, StrToFloat(field(j - 1, true)) + (p - v0) * step / (v1 - v0)));
}

TEST(ExposureByCurve, MatchesTheLinearSearchOnUnevenCurves)
{
    std::mt19937 random(5);
    Lines lines{"-0.5\t0"};
    int value = 0;
    for (int j = 1; j < 60; ++j) {
        value += static_cast<int>(random() % 100) - 30;  // not monotonic
        lines.push_back(FloatToStr(0.05L * j) + "\t" + std::to_string(value));
    }
    int top = 0;
    for (std::size_t j = 1; j < lines.size(); ++j)
        top = std::max(top, std::stoi(lines[j].substr(lines[j].find('\t') + 1)));

    std::vector<std::int32_t> profile;
    for (int i = 0; i < 500; ++i) profile.push_back(static_cast<std::int32_t>(random() % (top + 51)) - 50);
    profile.push_back(top);
    auto state = std::make_unique<ProfileState>();
    SetProfile(*state, profile);
    ConvertToExposureByCurve(*state, lines, "hdc.txt");

    double peak = 0.0;
    for (const std::int32_t p : profile) peak = std::max(peak, ReferenceExposure(lines, p));
    for (std::size_t i = 0; i < profile.size(); ++i)
        ASSERT_NEAR(Exposure(*state, i), ReferenceExposure(lines, profile[i]) / peak * 1000, 1e-9)
            << "P " << profile[i];
}

// Pixel values of a whole ROI convert as ToExp converts a profile: by the
// model (largest to 1000) and by the curve, failures included.
TEST(ExposureOfValues, ConvertsEachValueAsToExp)
{
    ExposureConversion model;
    EXPECT_EQ(ConvertValuesToExposure({4096, 0, 2048, 0}, model), (std::vector<double>{1000, 0.1, 10, 0.1}));

    // A value range too wide for a lookup table takes the sorted way.
    const std::vector<double> wide = ConvertValuesToExposure({2000000, 0}, Model(4, 24, 0));
    EXPECT_EQ(wide[0], 1000.0);
    EXPECT_NEAR(wide[1], 1000 / std::pow(10.0, 4 * 2e6 / 16777216), 1e-9);

    const ExposureConversion curve = Conversion::CurveFile(kFourLineCurve, "hdc.txt");
    const std::vector<double> e = ConvertValuesToExposure({150, 400, 250}, curve);
    EXPECT_EQ(e[0], 0.0);
    EXPECT_EQ(e[1], 1000.0);
    EXPECT_NEAR(e[2], std::pow(10.0, 0.15 - 0.3) * 1000, 1e-10);
    EXPECT_EQ(FailureText([&] {
                  ConvertValuesToExposure({150, 401}, curve);
              }),
              "'' は浮動小数点数ではありません");
}

TEST(CurveFileText, PathAndLines)
{
    EXPECT_EQ(CurveFilePath("C:\\images\\slit.dcm"), "C:\\images\\hdc.txt");
    EXPECT_EQ(CurveFilePath("/data/run 2/slit.raw"), "/data/run 2/hdc.txt");
    EXPECT_EQ(CurveFilePath("slit.raw"), "hdc.txt");

    EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("0\t1\r\n"), (Lines{"0\t1"}));
    EXPECT_EQ(SplitTextLines("\r\n\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitTextLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_TRUE(SplitTextLines("").empty());
}

}  // namespace
}  // namespace radmtf
