#include "nps/nnps.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/numtext.h"
#include "failure_code.h"
#include "synth/flat_field.h"

namespace radmtf {
namespace {

using testing::CodeOf;
using testing::HasWarning;

struct Set {
    std::vector<std::vector<std::int32_t>> pixels;
    std::vector<NnpsImage> images;
};

Set MakeSet(const synth::FlatFieldDetector& d, std::int32_t size, int count, double kerma, std::uint64_t seed)
{
    Set set;
    for (int i = 0; i < count; ++i) set.pixels.push_back(synth::FlatField(d, size, size, kerma, seed + i));
    for (int i = 0; i < count; ++i)
        set.images.push_back({"flat" + IntToStr(i), size, size, d.dx, d.dy,
                              set.pixels[static_cast<std::size_t>(i)].data(),
                              (std::int64_t{1} << d.bits) - 1});
    return set;
}

// Each 1-D value within `tolerance` of the exact expectation from 0.5
// cycles/mm to Nyquist (several standard errors), and their mean within 1.5 %.
void ExpectMatches(const NnpsResult& r, const std::vector<NnpsPoint>& exact, double tolerance)
{
    ASSERT_EQ(r.points.size(), exact.size());
    double sumU = 0.0, sumV = 0.0;
    int n = 0;
    for (std::size_t j = 0; j < exact.size(); ++j) {
        if (exact[j].frequency < 0.5 - 1e-9) continue;
        EXPECT_NEAR(r.points[j].nnpsU / exact[j].nnpsU, 1.0, tolerance) << "u at " << exact[j].frequency;
        EXPECT_NEAR(r.points[j].nnpsV / exact[j].nnpsV, 1.0, tolerance) << "v at " << exact[j].frequency;
        sumU += r.points[j].nnpsU / exact[j].nnpsU;
        sumV += r.points[j].nnpsV / exact[j].nnpsV;
        ++n;
    }
    EXPECT_NEAR(sumU / n, 1.0, 0.015);
    EXPECT_NEAR(sumV / n, 1.0, 0.015);
}

// Unequal blurs along x and y and a trend: the estimator against its exact
// expectation, both axes.
TEST(Nnps, MatchesTheExactExpectationOfAnAnisotropicDetector)
{
    synth::FlatFieldDetector d;
    d.sigmaX = 0.05;
    d.sigmaY = 0.15;
    d.gain = 2000.0;
    d.electronicNoise = 0.01;
    d.heel = 0.1;
    d.falloff = -0.05;
    d.twist = 0.03;
    const Set set = MakeSet(d, 768, 2, 2.5, 11);
    const NnpsResult r = MeasureNnps(set.images, d.Response());
    const std::vector<NnpsPoint> exact = NnpsProfiles(synth::ExpectedNnps2d(d, 768, 768, 2.5), d.dx, d.dy);
    ExpectMatches(r, exact, 0.15);
    EXPECT_EQ(r.rois, 50);
    EXPECT_EQ(r.pixels, 2 * 768 * 768);
    EXPECT_EQ(r.groups, 2);
    EXPECT_NEAR(r.meanSignal, 2.5 * (1.0 - 0.05 * 2.0 / 3.0), 0.01);  // the fall-off's mean
    // The blur along y lowers the spectrum along v far more.
    EXPECT_LT(r.points[60].nnpsV, 0.5 * r.points[60].nnpsU);
    EXPECT_TRUE(HasWarning(r, FailureCode::kNnpsSmallArea));
    EXPECT_TRUE(HasWarning(r, FailureCode::kNnpsFewPixels));
    EXPECT_FALSE(HasWarning(r, FailureCode::kNnpsSaturated));

    // The same to the last bit however many threads share the work.
    for (const unsigned threads : {1u, 3u}) {
        NnpsSettings s;
        s.threads = threads;
        const NnpsResult again = MeasureNnps(set.images, d.Response(), s);
        EXPECT_EQ(again.nnps2d, r.nnps2d) << threads;
        for (std::size_t j = 0; j < r.points.size(); ++j)
            EXPECT_EQ(again.points[j].uNnpsU, r.points[j].uNnpsU) << threads;
    }
}

// A logarithmic detector at the coarser pitch, linearised by each kind of
// conversion that describes it.
TEST(Nnps, LinearisesALogarithmicDetectorWithEveryKindOfConversion)
{
    synth::FlatFieldDetector d;
    d.dx = d.dy = 0.139;
    d.sigmaX = 0.1;
    d.sigmaY = 0.07;
    d.logResponse = true;
    d.c0 = 20000.0;
    d.c1 = 8192.0;
    const Set set = MakeSet(d, 640, 2, 4.0, 21);
    const NnpsResult r = MeasureNnps(std::span(set.images).first(1), d.Response());
    const std::vector<NnpsPoint> exact = NnpsProfiles(synth::ExpectedNnps2d(d, 640, 640, 4.0), d.dx, d.dy);
    ExpectMatches(r, exact, 0.2);
    EXPECT_EQ(r.groups, 4);  // the ROI rows of the one image

    std::vector<std::string> curve;
    for (int j = 0; j <= 200; ++j) {
        const double logK = -1.0 + 0.01 * j;
        curve.push_back(FloatToStr(logK) + "\t" + FloatToStr(d.c0 + d.c1 * logK));
    }
    std::vector<ConversionSample> samples;
    for (double k : {1.0, 2.0, 4.0, 8.0}) samples.push_back({k, d.c0 + d.c1 * std::log10(k), {}});
    const Conversion fitted = ReadConversionText(ConversionFileText(FitConversion(samples)), "fit.txt");
    const NnpsResult reference = MeasureNnps(set.images, d.Response());
    for (const Conversion& c :
         {Conversion::Model(4.0, 15.0, -20000.0), Conversion::Curve(curve, "hdc.txt"), fitted}) {
        const NnpsResult other = MeasureNnps(set.images, c);
        EXPECT_NEAR(other.meanSignal, reference.meanSignal, 1e-9 * reference.meanSignal) << c.Describe();
        for (std::size_t j = 0; j < reference.points.size(); ++j)
            EXPECT_NEAR(other.points[j].nnpsU, reference.points[j].nnpsU, 1e-8 * reference.points[j].nnpsU);
    }
    // A linear conversion of a logarithmic detector is a wrong measurement.
    const NnpsResult wrong = MeasureNnps(set.images, Conversion::Linear(0.0, 1.0));
    EXPECT_GT(std::abs(wrong.points[20].nnpsU / reference.points[20].nnpsU - 1.0), 0.5);
}

TEST(Nnps, RefusesAndWarns)
{
    synth::FlatFieldDetector d;
    d.cells = 1;
    d.sigmaX = d.sigmaY = 0.0;
    d.gain = 2000.0;
    d.bits = 13;  // 8191: the brightest pixels saturate
    Set set = MakeSet(d, 300, 2, 4.0, 5);
    const NnpsResult saturated = MeasureNnps(set.images, d.Response());
    EXPECT_TRUE(HasWarning(saturated, FailureCode::kNnpsSaturated));
    EXPECT_EQ(saturated.rois, 2);

    EXPECT_EQ(CodeOf([&] { MeasureNnps({}, d.Response()); }), FailureCode::kNnpsNoRoi);
    Set small = MakeSet(d, 255, 1, 1.0, 5);
    EXPECT_EQ(CodeOf([&] { MeasureNnps(small.images, d.Response()); }), FailureCode::kNnpsNoRoi);
    std::vector<NnpsImage> mixed = {set.images[0], small.images[0]};
    try {
        MeasureNnps(mixed, d.Response());
        ADD_FAILURE();
    } catch (const Failure& f) {
        EXPECT_EQ(f.code(), FailureCode::kNnpsMixedImages);
        EXPECT_EQ(f.args().at(0), "flat0");
    }
    mixed = {set.images[0], set.images[1]};
    mixed[1].dx = 0.2;
    EXPECT_EQ(CodeOf([&] { MeasureNnps(mixed, d.Response()); }), FailureCode::kNnpsMixedImages);
    // Pixels below the offset have a negative kerma: counted and refused.
    set.pixels[1][150 * 300 + 150] = 0;
    set.pixels[1][151 * 300 + 150] = 100;
    try {
        MeasureNnps(set.images, d.Response());
        ADD_FAILURE();
    } catch (const Failure& f) {
        EXPECT_EQ(f.code(), FailureCode::kNnpsNonPositiveKerma);
        EXPECT_EQ(f.args(), (std::vector<std::string>{"2", "flat1"}));
    }
}

}  // namespace
}  // namespace radmtf
