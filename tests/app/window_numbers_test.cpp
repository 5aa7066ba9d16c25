// The window's texts read into the session's numbers: each failure comes at
// the point the step reads the text.
#include "app/window_numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/exposure.h"
#include "failure_text.h"

namespace radmtf {
namespace {

using testing::FailureText;

void SetProfile(ProfileState& state, const std::vector<std::int32_t>& values)
{
    std::copy(values.begin(), values.end(), state.compositeProfile.begin());
    state.profileCount = static_cast<std::int32_t>(values.size());
}

// The model's texts as the window enters them.
ExposureEntry Model(std::string latitude, std::string bits, std::string offset)
{
    ExposureEntry entry;
    entry.conversion = Entered<Conversion>::Of([&] { return ModelFromTexts(latitude, bits, offset); });
    entry.latitude = EnteredFloat(latitude);
    entry.bitsStored = EnteredFloat(bits);
    return entry;
}

void ExposureByModelTexts(AnalysisSession& session, std::string latitude, std::string bits,
                          std::string offset)
{
    session.ToExposure(Model(latitude, bits, offset));
}

TEST(WindowNumbers, ExposureByModelTexts)
{
    auto session = std::make_unique<AnalysisSession>();
    ProfileState* const state = &session->profile();
    SetProfile(*state, {4094, -2});
    ExposureByModelTexts(*session, "4.0", "12", " 2 ");
    EXPECT_EQ(state->exposureProfile[0], 1000.0);
    EXPECT_DOUBLE_EQ(state->exposureProfile[1], 0.1);

    SetProfile(*state, {1, 2, 3});
    state->exposureProfile[0] = 7.0;
    state->exposureCount = 9;
    state->peakIndex = 4;
    EXPECT_EQ(FailureText([&] { ExposureByModelTexts(*session, "4", "x", "0"); }),
              "'x' は浮動小数点数ではありません");
    EXPECT_EQ(state->exposureCount, 3);  // set before the settings are read
    EXPECT_EQ(state->peakIndex, 4);
    EXPECT_EQ(state->exposureProfile[0], 7.0);
    // L, B, then the offset.
    EXPECT_EQ(FailureText([&] { ExposureByModelTexts(*session, "y", "x", ""); }),
              "'y' は浮動小数点数ではありません");
    state->exposureCount = 9;
    EXPECT_EQ(FailureText([&] { ExposureByModelTexts(*session, "4", "12", ""); }),
              "'' は浮動小数点数ではありません");
    EXPECT_EQ(state->exposureCount, 3);
    EXPECT_EQ(state->exposureProfile[0], 7.0);

    // An empty profile is refused before anything changes.
    state->profileCount = 0;
    EXPECT_EQ(FailureText([&] { ExposureByModelTexts(*session, "4", "12", ""); }),
              std::string("プロファイルがありません。2Dto1D を実行してください。"));
    EXPECT_EQ(state->exposureCount, 3);
    EXPECT_EQ(state->peakIndex, 4);
}

TEST(WindowNumbers, SampleSpacingAndExtraction)
{
    auto session = std::make_unique<AnalysisSession>();
    ProfileState* const state = &session->profile();
    const auto spacing = [&](const char* pixelSpacing, const char* lines) {
        session->SetSampleSpacing(EnteredFloat(pixelSpacing), EnteredFloat(lines));
        return state->sampleSpacing;
    };
    EXPECT_EQ(spacing("0.1", "17"), static_cast<double>(0.1L / 17.0L));
    EXPECT_DOUBLE_EQ(spacing(" 0.1 ", "17"), 0.1 / 17);
    EXPECT_EQ(FailureText([&] { spacing("a", "b"); }), "'a' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([&] { spacing("0.1", ""); }), "'' は浮動小数点数ではありません");
    EXPECT_EQ(FailureText([&] { spacing("0.1", "0"); }), "0 による浮動小数点数除算");

    // A text that is not a number fails after the cuts.
    SetProfile(*state, {100, 100, 105, 120, 150, 120, 104, 100});
    state->sampleSpacing = 0.5;
    EXPECT_EQ(FailureText([&] { session->Extract(EnteredFloat("0.1"), EnteredFloat("x")); }),
              "'x' は浮動小数点数ではありません");
    EXPECT_EQ(state->profileCount, 3);
    EXPECT_EQ(state->sampleSpacing, 0.5);
    SetProfile(*state, {100, 100, 105, 120, 150, 120, 104, 100});
    EXPECT_EQ(session->Extract(EnteredFloat("0.1"), EnteredFloat("17")).listing.size(), 2u);
}

TEST(WindowNumbers, ChartTextsAfterTheSeriesAreCleared)
{
    auto session = std::make_unique<AnalysisSession>();
    SwcFeatures features;
    EXPECT_EQ(FailureText([&] { session->LocateChart(EnteredFloat("x"), EnteredFloat("17"), features); }),
              std::string("プロファイルがありません。2Dto1D を実行してください。"));
    EXPECT_FALSE(features.profileSeriesCleared);
    SetProfile(session->profile(), {1, 2, 3});
    EXPECT_EQ(FailureText([&] { session->LocateChart(EnteredFloat("0.1"), EnteredFloat("x"), features); }),
              "'x' は浮動小数点数ではありません");
    EXPECT_TRUE(features.profileSeriesCleared);
}

TEST(WindowNumbers, FittingReadsItsTextsWhereItUsesThem)
{
    auto session = std::make_unique<AnalysisSession>();
    MtfState* const mtf = &session->mtf();
    const auto fit = [&](int item, const char* degree, const char* spacing, FittingOutput& out) {
        session->Fit(item, EnteredInt(degree), EnteredFloat(spacing), out);
    };
    for (int i = 0; i < 10; ++i) {
        mtf->mtfFrequency[i] = 0.5 * i;
        mtf->mtfValue[i] = std::exp(-0.5 * i / 3.0);
    }
    mtf->measuredCount = 10;
    FittingOutput out;
    // A degree that is not an integer: after the fit points are built.
    EXPECT_EQ(FailureText([&] { fit(5, "7.5", "0.1", out); }), "'7.5' は整数ではありません");
    EXPECT_TRUE(out.fitPointsCleared);
    EXPECT_FALSE(out.tableWritten);
    // One out of range: before any change.
    out = FittingOutput{};
    EXPECT_EQ(FailureText([&] { fit(5, "17", "0.1", out); }),
              std::string("次数は 1 から 16 の範囲で指定してください。"));
    EXPECT_FALSE(out.fitPointsCleared);
    // The pixel spacing: after the first table.
    EXPECT_EQ(FailureText([&] { fit(0, "3", "abc", out); }), "'abc' は浮動小数点数ではありません");
    EXPECT_TRUE(out.tableWritten);
    EXPECT_FALSE(out.refitListingAdded);
    fit(0, "3", "0.1", out);
    EXPECT_TRUE(out.refitListingAdded);
}

}  // namespace
}  // namespace radmtf
