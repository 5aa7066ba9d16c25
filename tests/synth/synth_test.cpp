// The synthetic radiograph generator: its closed forms against the
// definition of the presampled MTF, its noise, its geometry and its files.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"
#include "synth/dicom_writer.h"
#include "synth/quantum_noise.h"
#include "synth/radiograph.h"

namespace radmtf::synth {
namespace {

TEST(DetectorModel, AntiderivativesAndResponsesAgreeWithTheLineSpread)
{
    const DetectorModel model;
    const double h = 1e-5;
    for (double u : {-0.7, -0.05, 0.001, 0.03, 0.4}) {
        EXPECT_NEAR((model.EdgeSpread(u + h) - model.EdgeSpread(u - h)) / (2 * h), model.Lsf(u), 1e-5) << u;
        EXPECT_NEAR((model.EdgeSpreadIntegral(u + h) - model.EdgeSpreadIntegral(u - h)) / (2 * h),
                    model.EdgeSpread(u), 1e-8)
            << u;
    }
    EXPECT_NEAR(model.EdgeSpread(-model.Reach()), 0.0, 1e-15);
    EXPECT_NEAR(model.EdgeSpread(model.Reach()), 1.0, 1e-15);
}

TEST(DetectorModel, TransformOfTheSlitResponseIsThePresampledMtfTimesTheSlitSinc)
{
    // The response to a slit of width s, sampled finely along the profile, is
    // s × LSF ⊗ aperture ⊗ slit: its cosine transform over area must be
    // MTF(f) × |sinc(s f)| (the responses are even).
    DetectorModel model;
    model.aperture = 0.15;
    model.pixelPitch = 0.15;
    const double s = 0.05;
    const double d = 0.0005;
    for (double f : {0.5, 2.0, 4.0, 6.5}) {
        double sum = 0, area = 0;
        for (int i = -24000; i <= 24000; ++i) {
            const double r = model.SlitResponse(i * d, s);
            sum += r * std::cos(2 * std::numbers::pi * f * i * d);
            area += r;
        }
        EXPECT_NEAR(area * d, s, 1e-9);
        EXPECT_NEAR(sum / area, model.PresampledMtf(f) * AbsSinc(s * f), 2e-6) << f;
    }
}

TEST(QuantumNoise, PoissonCountsHaveTheirMeanAndVarianceAndRepeatWithTheSeed)
{
    for (double mean : {0.3, 4.0, 37.0, 5000.0}) {
        QuantumNoise noise(7);
        const int n = 100000;
        double sum = 0, squares = 0;
        for (int i = 0; i < n; ++i) {
            const double k = static_cast<double>(noise.Poisson(mean));
            sum += k;
            squares += k * k;
        }
        const double m = sum / n;
        const double variance = squares / n - m * m;
        EXPECT_NEAR(m, mean, 5 * std::sqrt(mean / n)) << mean;
        EXPECT_NEAR(variance / mean, 1.0, 0.03) << mean;
    }
    // The same seed, the same numbers, on every platform: the engine is the
    // standard's and the deviates are our own arithmetic.
    QuantumNoise a(2024);
    std::int64_t total = 0;
    for (int i = 0; i < 1000; ++i) total += a.Poisson(i % 2 ? 3.5 : 800.0);
    EXPECT_EQ(total, 402468);
}

TEST(Radiograph, EachOrientationMovesTheSlitAsItsButtonDescribes)
{
    const DetectorModel model;
    const ObjectProfile slit = SlitObject(model, 0.02, 0.0);
    for (int button = 1; button <= 4; ++button) {
        Placement at;
        at.columns = 40;
        at.rows = 40;
        at.orientation = static_cast<ProfileOrientation>(button);
        at.linesPerPixel = 10;
        at.origin = 20;
        const std::vector<double> mean = ExpectedQuanta(at, slit, model.pixelPitch, 1000);
        // Brightest pixel of line 0 and of line 10 (one pixel further on).
        auto brightest = [&](int line) {
            int best = 0;
            for (int k = 0; k < 40; ++k) {
                const std::size_t here =
                    button <= 2 ? std::size_t(line) * 40 + k : std::size_t(k) * 40 + line;
                const std::size_t top =
                    button <= 2 ? std::size_t(line) * 40 + best : std::size_t(best) * 40 + line;
                if (mean[here] > mean[top]) best = k;
            }
            return best;
        };
        EXPECT_EQ(brightest(0), 20) << button;
        EXPECT_EQ(brightest(10), button % 2 == 1 ? 21 : 19) << button;
        EXPECT_NEAR(mean[button <= 2 ? 20 : 20 * 40], 1000.0, 1e-9) << button;
    }
}

TEST(Radiograph, PixelValuesInvertTheLogarithmicExposureModel)
{
    const DetectorModel model;
    Placement at;
    at.columns = 64;
    at.rows = 8;
    at.origin = 30.3;
    const ExposureScale scale;
    const ObjectProfile edge = EdgeObject(model, 0.02, true);
    const Radiograph image = Render(at, edge, model, {1000, 1, false}, scale);
    const std::vector<double> mean = ExpectedQuanta(at, edge, model.pixelPitch, 1000);
    const double gain = (std::pow(10.0, scale.OpenLevelDecades()) - 1) / 1000;
    const double step = std::pow(10.0, scale.latitude / 4096) - 1;  // one pixel value, relative
    for (std::size_t i = 0; i < mean.size(); ++i) {
        const double expected = 1 + gain * mean[i];
        EXPECT_NEAR(ExposureOfPixelValue(image.pixels[i], scale) / expected, 1.0, step / 2 + 1e-12) << i;
    }
    // Noisy pixels scatter about the same exposures; the seed fixes them.
    const Radiograph noisy = Render(at, edge, model, {1000, 5}, scale);
    EXPECT_EQ(noisy.pixels, Render(at, edge, model, {1000, 5}, scale).pixels);
    EXPECT_NE(noisy.pixels, Render(at, edge, model, {1000, 6}, scale).pixels);
}

TEST(Radiograph, BarChartHasTheChartMethodsLayout)
{
    const BarChartLayout chart;
    ASSERT_EQ(chart.bars.size(), 1u + 5 + 8 * 10);
    EXPECT_DOUBLE_EQ(chart.bars[0].second, chart.length - 1);  // the square at the high end
    EXPECT_DOUBLE_EQ(chart.bars[0].second - chart.bars[0].first, 10.0);
    EXPECT_DOUBLE_EQ(chart.groupTop[1], chart.length - 21);  // a 10 mm gap below the square
    EXPECT_NEAR(chart.groupTop[9] - 9.5 / 6, 2.0, 1e-12);    // 2 mm below the last group
    // The windowed edge sum agrees with the plain sum over every bar.
    const DetectorModel model;
    const ObjectProfile profile = BarChartObject(model, chart, 0.1);
    for (double u : {0.5, 10.37, 30.0, 41.2, chart.length - 6}) {
        double level = 0;
        for (const auto& [lo, hi] : chart.bars) level += model.BarResponse(u, lo, hi);
        EXPECT_NEAR(profile(u), 0.1 + 0.9 * level, 1e-12) << u;
    }
}

TEST(DicomWriter, WritesAFileTheViewerReads)
{
    Radiograph image;
    image.columns = 20;
    image.rows = 18;
    image.pixelSpacing = 0.15;
    image.pixels.assign(20 * 18, 0);
    image.pixels[5] = 4095;
    const std::vector<std::uint8_t> bytes = DicomBytes(image, "slit");
    DicomHeaderOutput out;
    ReadDicomHeader(bytes.data(), bytes.size(), DicomDictionaryText(), "", out);
    EXPECT_EQ(out.columns, 20);
    EXPECT_EQ(out.rows, 18);
    EXPECT_EQ(out.pixelSpacingWritten, "0.15");
    ASSERT_TRUE(out.headerOffset.has_value());
    const std::size_t header = static_cast<std::size_t>(*out.headerOffset);
    EXPECT_EQ(header, bytes.size() - 2 * 20 * 18);
    EXPECT_EQ(bytes[header + 10] | (bytes[header + 11] << 8), 4095);
}

}  // namespace
}  // namespace radmtf::synth
