// The edge method against synthetic edges with a known presampled MTF, and
// its refusals.
#include "mtf/edge.h"

#include <gtest/gtest.h>

#include <cmath>

#include "failure_text.h"
#include "synth/edge_scene.h"

namespace radmtf {
namespace {

// The refusals' texts as the user reads them.
const std::string kEdgeNotFoundMessage = "ROIにエッジが見つかりません。";
const std::string kEdgeTwoEdgesMessage =
    "ROIにエッジが2本以上あります。エッジが1本だけ入るようにROIを選んでください。";
const std::string kEdgeAngleMessagePrefix = "エッジの傾きが 0.5°～10° の範囲にありません (";

using testing::FailureText;

EdgeImage ExposureImage(const synth::Radiograph& radiograph)
{
    EdgeImage image;
    image.columns = radiograph.columns;
    image.rows = radiograph.rows;
    const std::vector<std::int32_t> values(radiograph.pixels.begin(), radiograph.pixels.end());
    image.exposure = ConvertValuesToExposure(values, ExposureConversion{});
    return image;
}

EdgeImage SyntheticEdge(const synth::EdgeScene& scene, double quanta, std::uint64_t seed)
{
    return ExposureImage(synth::RenderEdge(scene, synth::DetectorModel{}, {.quanta = quanta, .seed = seed}));
}

double TableValue(const EdgeResult& result, double f)
{
    return result.tableMtf.at(static_cast<std::size_t>(std::lround(f / 0.5)));
}

// Two tilts, both directions, both polarities, at 10^4 quanta: the angle,
// and the MTF within the bias target plus a small noise margin. The second
// tilt (tan = 1/20) lines the sampling grid up with the 0.1-pixel bins.
TEST(EdgeMethod, MeasuresSyntheticEdgesInEveryDirection)
{
    const synth::DetectorModel model;
    const synth::EdgeScene scenes[] = {
        {.vertical = true, .rising = true, .tilt = 2.5},
        {.vertical = true, .rising = false, .tilt = -2.8624},
        {.vertical = false, .rising = true, .tilt = -2.5},
        {.vertical = false, .rising = false, .tilt = 2.8624},
    };
    std::uint64_t seed = 11;
    for (const synth::EdgeScene& scene : scenes) {
        SCOPED_TRACE(::testing::Message() << "vertical " << scene.vertical << " rising " << scene.rising
                                          << " tilt " << scene.tilt);
        const EdgeResult result = MeasureEdge(SyntheticEdge(scene, 1e4, seed++), EdgeSettings{});
        EXPECT_EQ(result.vertical, scene.vertical);
        EXPECT_EQ(result.rising, scene.rising);
        EXPECT_NEAR(result.angle, scene.tilt, 0.01);
        ASSERT_EQ(result.tableFrequency.size(), 11u);  // 0 .. 5 cycles/mm
        EXPECT_EQ(result.tableFrequency.back(), 5.0);
        for (double f : {0.5, 1.0, 2.0, 3.0, 4.0})
            EXPECT_NEAR(TableValue(result, f), model.PresampledMtf(f), 0.006) << f;
        EXPECT_EQ(result.subsetsUsed, 8);
    }
}

// At 10^3 quanta over a few realisations: bias, spread, the angle, and a
// stated uncertainty that matches the spread.
TEST(EdgeMethod, MeetsTheNoiseTargetsAtAThousandQuanta)
{
    const synth::DetectorModel model;
    const double frequencies[] = {2.0, 4.0};
    const double spreadTarget[] = {0.004, 0.010};
    constexpr int kRuns = 6;
    double sum[2] = {}, squares[2] = {}, stated[2] = {};
    for (int run = 0; run < kRuns; ++run) {
        const EdgeResult result = MeasureEdge(SyntheticEdge({}, 1e3, 40 + run), EdgeSettings{});
        EXPECT_NEAR(result.angle, 2.5, 0.02);
        for (int j = 0; j < 2; ++j) {
            const double error = TableValue(result, frequencies[j]) - model.PresampledMtf(frequencies[j]);
            sum[j] += error;
            squares[j] += error * error;
            stated[j] += result.tableUncertainty.at(static_cast<std::size_t>(frequencies[j] * 2)) / kRuns;
        }
    }
    for (int j = 0; j < 2; ++j) {
        const double mean = sum[j] / kRuns;
        const double spread = std::sqrt((squares[j] - kRuns * mean * mean) / (kRuns - 1));
        EXPECT_LE(std::fabs(mean), 0.005) << frequencies[j];
        EXPECT_LE(spread, spreadTarget[j]) << frequencies[j];
        EXPECT_GT(stated[j], spread / 2) << frequencies[j];
        EXPECT_LT(stated[j], spread * 2) << frequencies[j];
    }
}

// The window that narrows with frequency, on the same images as the fixed
// one: no more bias, a clearly smaller uncertainty at 4 cycles/mm (the
// groups' spread: steadier than that of a few runs) that still matches the
// runs' spread. A negative or infinite width is refused.
TEST(EdgeMethod, NarrowsTheWindowWithFrequencyOnRequest)
{
    const synth::DetectorModel model;
    EdgeSettings narrowing;
    narrowing.coreHalfWidth = 0;
    narrowing.adaptiveWindow = 1.5;
    constexpr int kRuns = 8;
    constexpr double f = 4.0;
    double sum[2] = {}, squares[2] = {}, stated[2] = {};
    for (int run = 0; run < kRuns; ++run) {
        const EdgeImage image = SyntheticEdge({}, 1e3, 60 + run);
        const EdgeResult results[] = {MeasureEdge(image, EdgeSettings{}), MeasureEdge(image, narrowing)};
        for (int s = 0; s < 2; ++s) {
            const double error = TableValue(results[s], f) - model.PresampledMtf(f);
            sum[s] += error;
            squares[s] += error * error;
            stated[s] += results[s].tableUncertainty.at(static_cast<std::size_t>(f * 2)) / kRuns;
        }
        EXPECT_NEAR(TableValue(results[1], 1.0), model.PresampledMtf(1.0), 0.006);
    }
    double spread[2];
    for (int s = 0; s < 2; ++s) {
        const double mean = sum[s] / kRuns;
        spread[s] = std::sqrt((squares[s] - kRuns * mean * mean) / (kRuns - 1));
        EXPECT_LE(std::fabs(mean), 0.004) << s;
    }
    EXPECT_LT(stated[1], 0.75 * stated[0]);
    EXPECT_GT(stated[1], spread[1] / 2);
    EXPECT_LT(stated[1], spread[1] * 2);

    for (double width : {-1.0, static_cast<double>(INFINITY)}) {
        narrowing.adaptiveWindow = width;
        try {
            CheckEdgeSettings(narrowing);
            ADD_FAILURE() << width;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), FailureCode::kEdgeSettings);
        }
    }
}

// The window fitted to the LSF's reach, against the full range on the same
// images: a narrow LSF (no exponential tail) keeps its MTF with clearly less
// noise and an uncertainty that still matches the runs' spread; a broad
// tail (0.3 mm × 25 %) keeps the window, and so its MTF, nearly whole.
TEST(EdgeMethod, FitsTheWindowToTheLsfsReach)
{
    EdgeSettings full;
    full.reachFactor = 0;
    EdgeSettings fitted;
    fitted.reachFactor = 3;
    synth::DetectorModel narrow;
    narrow.expWeight = 0;
    constexpr int kRuns = 8;
    constexpr double f = 2.0;
    double sum = 0, squares = 0, stated[2] = {};
    for (int run = 0; run < kRuns; ++run) {
        const EdgeImage image =
            ExposureImage(synth::RenderEdge({}, narrow, {.quanta = 1e3, .seed = 80u + run}));
        const EdgeResult results[] = {MeasureEdge(image, full), MeasureEdge(image, fitted)};
        for (int s = 0; s < 2; ++s)
            stated[s] += results[s].tableUncertainty.at(static_cast<std::size_t>(f * 2)) / kRuns;
        const double error = TableValue(results[1], f) - narrow.PresampledMtf(f);
        sum += error;
        squares += error * error;
        EXPECT_NEAR(TableValue(results[1], 4.0), narrow.PresampledMtf(4.0), 0.01);
    }
    const double mean = sum / kRuns;
    const double spread = std::sqrt((squares - kRuns * mean * mean) / (kRuns - 1));
    EXPECT_LE(std::fabs(mean), 0.003);
    EXPECT_LT(stated[1], 0.8 * stated[0]);
    EXPECT_GT(stated[1], spread / 2);
    EXPECT_LT(stated[1], spread * 2);

    synth::DetectorModel broad;
    broad.expScale = 0.3;
    broad.expWeight = 0.25;
    const EdgeImage image = ExposureImage(synth::RenderEdge({}, broad, {.quanta = 1e4, .seed = 90}));
    const EdgeResult results[] = {MeasureEdge(image, full), MeasureEdge(image, fitted)};
    for (double g : {0.5, 1.0, 2.0})
        EXPECT_NEAR(TableValue(results[1], g), TableValue(results[0], g), 0.002) << g;
    EXPECT_GT(results[1].lsf.size(), results[0].lsf.size() * 9 / 10);

    fitted.reachFactor = -1;
    try {
        CheckEdgeSettings(fitted);
        ADD_FAILURE();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::kEdgeSettings);
    }
}

TEST(EdgeMethod, ListsTheTableWithUncertaintiesAndFillsTheMtfArrays)
{
    const EdgeResult result = MeasureEdge(SyntheticEdge({}, 1e3, 5), EdgeSettings{});
    const std::vector<std::string> lines = EdgeMemoLines(result);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "0\t1\t");
    EXPECT_EQ(lines[4].rfind("2\t0.7", 0), 0u) << lines[4];
    EXPECT_NE(lines[4].find("\t±0.00"), std::string::npos) << lines[4];
    EXPECT_NEAR(std::stod(EdgeAngleText(result)), 2.5, 0.01);

    MtfState mtf;
    const std::vector<ChartPoint> points = StoreEdgeMtf(result, mtf);
    ASSERT_EQ(points.size(), 101u);  // every 0.05 cycles/mm up to 5
    EXPECT_EQ(mtf.mtfPointCount, 101);
    EXPECT_EQ(mtf.measuredCount, 101);
    EXPECT_EQ(mtf.mtfFrequency[0], 0.0);
    EXPECT_EQ(mtf.mtfValue[0], 1.0);
    EXPECT_DOUBLE_EQ(mtf.mtfFrequency[40], 2.0);
    EXPECT_NEAR(mtf.mtfValue[40], TableValue(result, 2.0), 1e-12);
}

// A spacing far below any detector's must not overflow the LSF window's bin
// count nor run the tables away.
TEST(EdgeMethod, StaysWithinItsTablesAtAnAbsurdPixelSpacing)
{
    EdgeSettings settings;
    settings.pixelSpacing = 1e-300;
    const EdgeResult result = MeasureEdge(SyntheticEdge({}, 1e3, 5), settings);
    EXPECT_NEAR(std::stod(EdgeAngleText(result)), 2.5, 0.01);
    EXPECT_LE(result.tableFrequency.size(), static_cast<std::size_t>(kMtfCapacity));
    EXPECT_LE(result.fineFrequency.size(), static_cast<std::size_t>(kMtfCapacity));
}

synth::Radiograph RenderObject(const synth::ObjectProfile& object, double tilt)
{
    synth::EdgeScene scene{.across = 200, .along = 200, .tilt = tilt};
    return synth::Render(synth::EdgePlacement(scene), object, synth::DetectorModel{},
                         {.quanta = 1000, .seed = 3});
}

TEST(EdgeMethod, RefusesRoisWithoutOneEdgeInTheAngleRange)
{
    const synth::DetectorModel model;
    const EdgeSettings settings;
    const auto refusal = [&](const synth::ObjectProfile& object, double tilt) {
        return FailureText([&] { MeasureEdge(ExposureImage(RenderObject(object, tilt)), settings); });
    };
    EXPECT_EQ(refusal(synth::FlatObject(), 2.5), kEdgeNotFoundMessage);

    // A bright band 5 mm wide, and two steps of half the contrast 5 mm apart.
    const synth::ObjectProfile up = synth::EdgeObject(model, 0.005, true);
    const synth::ObjectProfile down = synth::EdgeObject(model, 0.005, false);
    EXPECT_EQ(refusal([&](double x) { return std::min(up(x + 2.5), down(x - 2.5)); }, 2.5),
              kEdgeTwoEdgesMessage);
    EXPECT_EQ(refusal([&](double x) { return 0.5 * (up(x + 2.5) + up(x - 2.5)); }, 2.5),
              kEdgeTwoEdgesMessage);

    for (double tilt : {0.0, 20.0, -0.3}) {
        const std::string text = refusal(up, tilt);
        EXPECT_EQ(text.rfind(kEdgeAngleMessagePrefix, 0), 0u) << text;
        const double shown = std::stod(text.substr(kEdgeAngleMessagePrefix.size()));
        EXPECT_NEAR(shown, tilt, 0.05) << text;
    }

    // Too small to hold an edge at all, and an image of the wrong size.
    EXPECT_EQ(FailureText([&] {
                  MeasureEdge(EdgeImage{3, 3, std::vector<double>(9, 1.0)}, settings);
              }),
              kEdgeNotFoundMessage);
    EXPECT_THROW(MeasureEdge(EdgeImage{4, 4, std::vector<double>(15, 1.0)}, settings), std::invalid_argument);
}

}  // namespace
}  // namespace radmtf
