#include "nps/conversion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/exposure.h"
#include "core/failure.h"
#include "core/numtext.h"
#include "failure_code.h"

namespace radmtf {
namespace {

using testing::CodeOf;

TEST(Conversion, EachKindInvertsItsRelation)
{
    const Conversion linear = ParseConversion("linear:100,2000");
    const Conversion log = ParseConversion("log:20000,8192,2");
    const Conversion model = ParseConversion("model", 4.0, 15.0, -20000.0);
    for (double k : {0.5, 2.5, 10.0}) {
        EXPECT_NEAR(linear.Kerma(100.0 + 2000.0 * k), k, 1e-12 * k);
        EXPECT_NEAR(log.Kerma(20000.0 + 8192.0 * std::log10(k / 2.0)), k, 1e-12 * k);
        // L = 4, B = 15, o = -20000 is the log relation with C0 = 20000, C1 = 8192.
        EXPECT_NEAR(model.Kerma(20000.0 + 8192.0 * std::log10(k)), k, 1e-12 * k);
        EXPECT_NEAR(model.Kerma(model.PixelValue(k)), k, 1e-12 * k);
    }
    EXPECT_LT(linear.Kerma(50.0), 0.0);
    EXPECT_EQ(linear.Describe(), "linear:100,2000");
}

// Absolute kermas: a linear detector with known offset and gain.
TEST(Conversion, LinearGivesAbsoluteKerma)
{
    const Conversion linear = Conversion::Linear(100, 2000);
    const std::vector<std::int32_t> pv = {100, 2100, 5100, 2100};
    std::vector<double> kerma(pv.size());
    linear.Kerma(pv.data(), pv.size(), kerma.data());
    EXPECT_EQ(kerma, (std::vector<double>{0.0, 1.0, 2.5, 1.0}));
}

// PV -> K -> PV for each kind, the curve's inside its lines.
TEST(Conversion, EachKindRoundTrips)
{
    std::vector<std::string> lines;
    for (int j = 0; j <= 40; ++j)
        lines.push_back(FloatToStr(-1.0 + 0.05 * j) + "\t" + IntToStr(1000 + 50 * j + j * j));
    for (const Conversion& c :
         {Conversion::Linear(100, 2000), Conversion::Log(20000, 8192, 2), Conversion::Model(4, 15, -20000),
          Conversion::Curve(lines, "hdc.txt"), Conversion::CurveFile(lines, "hdc.txt"), Conversion()}) {
        for (double pv : {1100.0, 1555.5, 2345.0, 3199.0})
            EXPECT_NEAR(c.PixelValue(c.Kerma(pv)), pv, 1e-9 * pv) << c.Describe() << " " << pv;
    }
}

// The model is the detector formula to the last bit, and the exposure
// step's values are its kermas scaled to a peak of 1000.
TEST(Conversion, ModelIsTheDetectorFormula)
{
    const std::vector<std::int32_t> values = {1010, 1200, 1555, 2345, 3000, 3199};
    const Conversion model = Conversion::Model(3, 12, 7);
    std::vector<double> kerma(values.size());
    model.Kerma(values.data(), values.size(), kerma.data());
    const std::vector<double> exposure = ConvertValuesToExposure(values, model);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(kerma[i], static_cast<double>(std::pow(10.0L, 3.0L * (values[i] + 7.0L) / 4096.0L)));
        EXPECT_EQ(model.Kerma(values[i]), kerma[i]);
        EXPECT_EQ(exposure[i],
                  static_cast<double>(static_cast<long double>(kerma[i]) / kerma.back() * 1000.0L));
    }
    EXPECT_EQ(Conversion().Describe(), "model:4,12,0");

    // The command's curve has no kerma at its first value and beyond its
    // last; the exposure step's fails beyond the last as it always did.
    std::vector<std::string> lines = {"0\t1000", "0.1\t1100", "0.2\t1300"};
    const Conversion curve = Conversion::Curve(lines, "hdc.txt");
    EXPECT_EQ(curve.Kerma(1000.0), 0.0);
    EXPECT_EQ(curve.Kerma(5000.0), 0.0);
    EXPECT_EQ(CodeOf([&] { Conversion::CurveFile(lines, "hdc.txt").Kerma(5000.0); }), FailureCode::kNotFloat);
}

TEST(Conversion, RefusesWhatHasNoInverse)
{
    for (const char* text :
         {"linear:1,0", "log:1,0", "log:1,2,0", "linear:1", "log:a,2", "cubic:1,2", "linear:"})
        EXPECT_EQ(CodeOf([&] { ParseConversion(text); }), FailureCode::kConversionSettings) << text;
    EXPECT_EQ(CodeOf([] { Conversion::Model(0.0, 12.0); }), FailureCode::kConversionSettings);
    EXPECT_EQ(CodeOf([] { ParseConversion("file:/nonexistent/conversion.txt"); }), FailureCode::kCannotOpen);
    EXPECT_EQ(CodeOf([] {
                  Conversion::Curve({"0\t10", "0.1\tten"}, "hdc.txt");
              }),
              FailureCode::kConversionUnreadable);
    EXPECT_EQ(CodeOf([] { Conversion::Curve({"0\t10"}, "hdc.txt"); }), FailureCode::kConversionUnreadable);
}

TEST(ConversionFit, RecoversEachModelAndChoosesIt)
{
    std::vector<ConversionSample> linear, log;
    for (double k : {0.5, 1.0, 2.0, 4.0, 8.0}) {
        linear.push_back({k, 100.0 + 2000.0 * k + (k == 2.0 ? 3.0 : 0.0), {}});
        log.push_back({k, 20000.0 + 8192.0 * std::log10(k), {}});
    }
    const ConversionFit a = FitConversion(linear);
    EXPECT_FALSE(a.logChosen);
    EXPECT_NEAR(a.gain, 2000.0, 1.0);
    EXPECT_NEAR(a.offset, 100.0, 2.0);
    EXPECT_GT(a.r2Linear, a.r2Log);
    double sum = 0.0;
    for (double r : a.residualLinear) sum += r;
    EXPECT_NEAR(sum, 0.0, 1e-9);
    EXPECT_GT(a.residualLinear[2], 2.0);  // the sample off the line
    const ConversionFit b = FitConversion(log);
    EXPECT_TRUE(b.logChosen);
    EXPECT_NEAR(b.c0, 20000.0, 1e-6);
    EXPECT_NEAR(b.c1, 8192.0, 1e-6);
    EXPECT_NEAR(b.r2Log, 1.0, 1e-12);
    // The file keeps the chosen relation.
    const Conversion read = ReadConversionText(ConversionFileText(b), "conversion.txt");
    EXPECT_EQ(read.kind(), Conversion::Kind::kLog);
    EXPECT_NEAR(read.Kerma(20000.0 + 8192.0 * std::log10(3.0)), 3.0, 1e-9);
    EXPECT_EQ(CodeOf([] { ReadConversionText("model\tlog\nc0\t1\n", "c.txt"); }),
              FailureCode::kConversionUnreadable);

    std::vector<ConversionSample> two = {{1.0, 10.0, {}}, {1.0, 11.0, {}}, {2.0, 20.0, {}}};
    EXPECT_EQ(CodeOf([&] { FitConversion(two); }), FailureCode::kConversionFewKermas);
    two.push_back({0.0, 0.0, {}});
    EXPECT_EQ(CodeOf([&] { FitConversion(two); }), FailureCode::kConversionSettings);
}

TEST(ConversionFit, CentralMeanTakesTenMillimetres)
{
    // 40 x 30 pixels of 0.5 mm: the central 20 x 20, valued 1, the rest 0.
    std::vector<std::int32_t> image(40 * 30, 0);
    for (int y = 5; y < 25; ++y)
        for (int x = 10; x < 30; ++x) image[static_cast<std::size_t>(y * 40 + x)] = 1;
    EXPECT_EQ(CentralMeanValue(image.data(), 40, 30, 0.5, 0.5), 1.0);
    EXPECT_NEAR(CentralMeanValue(image.data(), 40, 30, 0.25, 0.25), 400.0 / 1200.0, 1e-15);
}

}  // namespace
}  // namespace radmtf
