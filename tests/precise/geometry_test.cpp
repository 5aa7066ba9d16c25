// Automatic geometry: direction, orientation button and non-integer M of
// slits, edges and charts, against the generator's truth.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "core/failure.h"
#include "precise_support.h"

namespace radmtf::testing {
namespace {

struct Case {
    int orientation;
    double lines;
    double quanta;
    double tolerance;  // relative, on M
};

TEST(AutomaticGeometry, FindsOrientationAndMOfATiltedSlit)
{
    const synth::DetectorModel model = Detector(0.1);
    const Case cases[] = {{1, 17.31, 1e3, 0.01}, {2, 13.6, 1e3, 0.01}, {3, 10.0, 1e4, 0.003},
                          {4, 23.7, 1e4, 0.003}, {1, 28.7, 1e3, 0.01}, {2, 20.0, 1e4, 0.003}};
    int seed = 40;
    for (const Case& c : cases) {
        synth::Placement at;
        const bool rows = c.orientation <= 2;
        at.columns = rows ? 160 : 100;
        at.rows = rows ? 100 : 160;
        at.orientation = static_cast<ProfileOrientation>(c.orientation);
        at.linesPerPixel = c.lines;
        at.origin = 77.4;
        const synth::Radiograph image =
            synth::Render(at, synth::SlitObject(model, 0.02, 0.01), model, {c.quanta, std::uint64_t(++seed)});
        const LineGeometry g = EstimateGeometry(ExposureOf(image));
        EXPECT_EQ(g.kind, FeatureKind::kPeak);
        EXPECT_EQ(g.alongRows, rows);
        EXPECT_EQ(static_cast<int>(g.Orientation()), c.orientation) << c.lines;
        EXPECT_NEAR(g.LinesPerPixel() / c.lines, 1.0, c.tolerance) << c.orientation << " " << c.lines;
        EXPECT_EQ(std::lround(g.LinesPerPixel()), std::lround(c.lines));
        EXPECT_NEAR(g.origin, 77.4, 0.1);
    }
}

TEST(AutomaticGeometry, FindsEdgesOfBothPolaritiesAndTheChartsSquare)
{
    const synth::DetectorModel model = Detector(0.1);
    for (int button : {1, 4}) {
        for (bool openAbove : {true, false}) {
            synth::Placement at;
            at.columns = button <= 2 ? 120 : 100;
            at.rows = button <= 2 ? 100 : 120;
            at.orientation = static_cast<ProfileOrientation>(button);
            at.linesPerPixel = 1 / std::tan(2.5 * 3.14159265358979 / 180);  // 22.90
            at.origin = 60;
            const LineGeometry g = EstimateGeometry(
                ExposureOf(synth::Render(at, synth::EdgeObject(model, 0.005, openAbove), model, {1e4, 3})));
            EXPECT_EQ(g.kind, FeatureKind::kStep);
            EXPECT_EQ(static_cast<int>(g.Orientation()), button);
            EXPECT_NEAR(g.LinesPerPixel() / at.linesPerPixel, 1.0, 0.01);
        }
    }
    const synth::BarChartLayout layout;
    synth::Placement at;
    at.columns = 830;
    at.rows = 60;
    at.orientation = ProfileOrientation::kRowsFirstToLast;
    at.linesPerPixel = 16.4;
    at.origin = 10;
    const LineGeometry g = EstimateGeometry(
        ExposureOf(synth::Render(at, synth::BarChartObject(model, layout, 0.1), model, {1e4, 5})));
    EXPECT_EQ(g.Orientation(), ProfileOrientation::kRowsFirstToLast);
    EXPECT_NEAR(g.LinesPerPixel() / 16.4, 1.0, 0.01);
    EXPECT_EQ(GeometryText(g).substr(0, 6), "M = 16");
    EXPECT_EQ(GeometryText(g).substr(GeometryText(g).size() - 15), ", orientation 2");
    EXPECT_FALSE(GeometryDisagrees(g, ProfileOrientation::kRowsFirstToLast, 17));
    EXPECT_TRUE(GeometryDisagrees(g, ProfileOrientation::kRowsFirstToLast, 14));
    EXPECT_TRUE(GeometryDisagrees(g, ProfileOrientation::kRowsLastToFirst, 16));
}

TEST(AutomaticGeometry, RefusesAFlatFieldAnUntiltedSlitAndATinyTable)
{
    const synth::DetectorModel model = Detector(0.1);
    synth::Placement at;
    at.columns = 100;
    at.rows = 60;
    const auto refused = [](const ValueTable& table) {
        try {
            EstimateGeometry(table);
        } catch (const Failure& f) {
            return f.code() == FailureCode::kNoTiltedObject;
        }
        return false;
    };
    EXPECT_TRUE(refused(ExposureOf(synth::Render(at, synth::FlatObject(), model, {1000, 1}))));
    at.linesPerPixel = 1e6;
    at.origin = 50.2;
    EXPECT_TRUE(refused(ExposureOf(synth::Render(at, synth::SlitObject(model, 0.02, 0.0), model, {1e4, 1}))));
    at.columns = 6;
    at.origin = 3;
    at.linesPerPixel = 10;
    EXPECT_TRUE(refused(ExposureOf(synth::Render(at, synth::SlitObject(model, 0.02, 0.0), model, {1e4, 1}))));
}

TEST(AutomaticGeometry, FindsEveryVisibleLowContrastSlitAndNothingInNoise)
{
    // 0.139 mm: a slit peak of 54 counts over a 20-count pedestal, plain to
    // see in the image (7 sigma on every line).
    const synth::DetectorModel model = Detector(0.139);
    synth::Placement at;
    at.columns = 130;
    at.rows = 100;
    at.linesPerPixel = 17.3;
    at.origin = 65.37;
    const auto found = [](const ValueTable& table, FeatureKind kind) {
        try {
            return std::optional<LineGeometry>(EstimateGeometry(table, kind));
        } catch (const Failure& f) {
            EXPECT_EQ(f.code(), FailureCode::kNoTiltedObject);
            return std::optional<LineGeometry>();
        }
    };
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const auto slit =
            found(ExposureOf(synth::Render(at, synth::SlitObject(model, 0.02, 20.0 / 54), model, {54, seed})),
                  FeatureKind::kPeak);
        ASSERT_TRUE(slit) << "seed " << seed;
        // Per-line centroids this noisy leave M uncertain by about 5 %.
        EXPECT_NEAR(slit->LinesPerPixel() / 17.3, 1.0, 0.15) << "seed " << seed;
        // Flat fields, one with so few quanta that it is noise only.
        for (double quanta : {1e3, 54.0})
            for (FeatureKind kind : {FeatureKind::kPeak, FeatureKind::kAny})
                EXPECT_FALSE(
                    found(ExposureOf(synth::Render(at, synth::FlatObject(), model, {quanta, seed})), kind))
                    << "seed " << seed << ", " << quanta << " quanta";
    }
}

}  // namespace
}  // namespace radmtf::testing
