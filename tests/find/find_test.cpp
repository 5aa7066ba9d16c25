#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "find/object_finding.h"
#include "measure/measurement.h"
#include "mtf/edge.h"
#include "synth/plate_scene.h"

namespace radmtf {
namespace {

using synth::DetectorModel;
using synth::Plate;
using synth::PlateScene;
using synth::Radiograph;

SampleImageView ViewOf(const Radiograph& image)
{
    return {image.pixels.data(), false, image.columns, image.rows, image.pixelSpacing};
}

// A raw image for processing: 16 bits, the open level near 50000 whatever
// the quanta, so the noise grows as the square root of the level.
synth::ExposureScale Linear(double quanta)
{
    return {.bitsStored = 16, .linearOffset = 100, .linearGain = 5e4 / quanta};
}

Radiograph Plates(std::vector<Plate> plates, int side = 1024, double quanta = 1000, std::uint64_t seed = 1,
                  bool linear = false)
{
    DetectorModel model;
    return synth::RenderPlates({side, side, std::move(plates)}, model, {.quanta = quanta, .seed = seed},
                               linear ? Linear(quanta) : synth::ExposureScale{});
}

// The edge method on a found ROI, through the table block the program reads.
EdgeResult MeasureFound(const Radiograph& image, const FoundRoi& roi, const synth::ExposureScale& scale = {})
{
    const int col0 = roi.centreX - roi.width / 2 - 1, row0 = roi.centreY - roi.height / 2;
    EXPECT_GE(col0, 0);
    EXPECT_GE(row0, 0);
    EXPECT_LE(col0 + roi.width, image.columns);
    EXPECT_LE(row0 + roi.height, image.rows);
    EdgeImage table{roi.width, roi.height, {}};
    for (int r = row0; r < row0 + roi.height; ++r)
        for (int c = col0; c < col0 + roi.width; ++c)
            table.exposure.push_back(synth::ExposureOfPixelValue(image.At(r, c), scale));
    return MeasureEdge(table, EdgeSettings{});
}

struct Expected {
    bool vertical;
    bool rising;
    double angle;
};

// Each found edge is one of the plate's, measures with the edge method as
// found, and has the true MTF.
void CheckEdges(const Radiograph& image, const std::vector<FoundEdge>& edges, double angle,
                const synth::ExposureScale& scale = {})
{
    const DetectorModel model;
    for (const FoundEdge& e : edges) {
        SCOPED_TRACE(std::to_string(e.roi.centreX) + "," + std::to_string(e.roi.centreY));
        EXPECT_NEAR(e.angle, e.vertical ? angle : -angle, 0.1);
        EXPECT_GE(std::max(e.roi.width, e.roi.height), 100);  // 10 mm along
        const EdgeResult r = MeasureFound(image, e.roi, scale);
        EXPECT_EQ(r.vertical, e.vertical);
        EXPECT_EQ(r.rising, e.rising);
        EXPECT_NEAR(r.angle, e.angle, 0.05);
        EXPECT_NEAR(r.fineMtf[50], model.PresampledMtf(r.fineFrequency[50]), 0.03);
    }
}

TEST(FindEdges, FindsTheFourEdgesOfARotatedPlate)
{
    for (double angle : {1.5, -3.0, 8.0}) {
        SCOPED_TRACE(angle);
        const Radiograph image = Plates({{.centreX = 500, .centreY = 530, .side = 50, .angle = angle}});
        const auto edges = FindEdges(ViewOf(image));
        ASSERT_EQ(edges.size(), 4u);
        // Vertical first, left to right; then top to bottom.
        EXPECT_TRUE(edges[0].vertical && !edges[0].rising);
        EXPECT_TRUE(edges[1].vertical && edges[1].rising);
        EXPECT_TRUE(!edges[2].vertical && !edges[2].rising);
        EXPECT_TRUE(!edges[3].vertical && edges[3].rising);
        CheckEdges(image, edges, angle);
    }
    // A small plate: its dark level covers few pixels of the image.
    const Radiograph small =
        Plates({{.centreX = 300, .centreY = 700, .side = 24, .angle = 5}}, 1024, 1500, 3);
    const auto smallEdges = FindEdges(ViewOf(small));
    EXPECT_EQ(smallEdges.size(), 4u);
    CheckEdges(small, smallEdges, 5);

    // A linear response: the high-contrast edges' far blur tails stand out
    // of the quiet dark side's noise, apart from the edges themselves.
    for (double quanta : {1e3, 1e4}) {
        SCOPED_TRACE(quanta);
        const Radiograph linear =
            Plates({{.centreX = 500, .centreY = 530, .side = 50, .angle = -3}}, 1024, quanta, 2, true);
        const auto linearEdges = FindEdges(ViewOf(linear));
        EXPECT_EQ(linearEdges.size(), 4u);
        CheckEdges(linear, linearEdges, -3, Linear(quanta));
    }
}

TEST(FindEdges, PlatesAtTheBorderAndTwoPlates)
{
    // Partly outside on the right: the right edge is gone, the top and
    // bottom edges are cut by the border.
    const Radiograph cut = Plates({{.centreX = 1000, .centreY = 500, .side = 50, .angle = 2.5}});
    const auto cutEdges = FindEdges(ViewOf(cut));
    ASSERT_EQ(cutEdges.size(), 3u);
    EXPECT_TRUE(cutEdges[0].vertical);
    CheckEdges(cut, cutEdges, 2.5);

    // An edge close to the border, with just the flat it needs.
    const Radiograph near = Plates({{.centreX = 290, .centreY = 500, .side = 50, .angle = 2}});
    const auto nearEdges = FindEdges(ViewOf(near));
    ASSERT_EQ(nearEdges.size(), 4u);
    CheckEdges(near, nearEdges, 2);

    const Radiograph two = Plates({{.centreX = 270, .centreY = 300, .side = 35, .angle = 3},
                                   {.centreX = 720, .centreY = 700, .side = 40, .angle = 3}});
    const auto twoEdges = FindEdges(ViewOf(two));
    ASSERT_EQ(twoEdges.size(), 8u);
    CheckEdges(two, twoEdges, 3);

    // The search area and the direction choose among them.
    FindSettings settings;
    settings.area = SearchArea{450, 450, 574, 574};
    settings.directions = EdgeDirections::kHorizontal;
    const auto some = FindEdges(ViewOf(two), settings);
    ASSERT_EQ(some.size(), 2u);
    EXPECT_FALSE(some[0].vertical);
    EXPECT_GT(some[0].roi.centreX, 450);
}

TEST(FindObjects, NothingOnFlatOrNoiseOnlyImages)
{
    // Log and linear responses; a plate covering everything leaves noise at
    // the dark level only.
    for (bool linear : {false, true})
        for (double quanta : {1e3, 1e4}) {
            SCOPED_TRACE(std::to_string(linear) + " " + std::to_string(quanta));
            const Radiograph flat = Plates({}, 1024, quanta, 5, linear);
            const Radiograph dark =
                Plates({{.centreX = 512, .centreY = 512, .side = 200, .angle = 2}}, 1024, quanta, 6, linear);
            for (const Radiograph* image : {&flat, &dark}) {
                EXPECT_TRUE(FindEdges(ViewOf(*image)).empty());
                EXPECT_FALSE(FindSlit(ViewOf(*image)));
                EXPECT_FALSE(FindChart(ViewOf(*image)));
            }
        }
    // No samples at all, a spacing no detector has, a search area off the image.
    EXPECT_TRUE(FindEdges(SampleImageView{}).empty());
    const Radiograph plate = Plates({{.centreX = 500, .centreY = 500, .side = 50, .angle = 3}});
    SampleImageView tiny = ViewOf(plate);
    tiny.pixelSpacing = 1e-9;
    EXPECT_TRUE(FindEdges(tiny).empty());
    EXPECT_FALSE(FindSlit(tiny));
    FindSettings off;
    off.area = SearchArea{2000000000, -5, 2000000000, 100};
    EXPECT_TRUE(FindEdges(ViewOf(plate), off).empty());
    EXPECT_FALSE(FindChart(ViewOf(plate), off));
}

struct Loaded {
    std::vector<std::uint16_t> samples;
    SampleImageView view;
};

Loaded LoadSample(const std::string& name)
{
    const SourceImage source =
        ReadSourceImage(std::string(RADMTF_SAMPLES_DIR) + "/" + name, MeasureSettings{});
    Loaded out;
    SampleReader reader{source.bytes, source.layout, source.offset, source.swap};
    for (int r = 0; r < source.layout.height; ++r)
        for (int c = 0; c < source.layout.width; ++c)
            out.samples.push_back(static_cast<std::uint16_t>(ReadMeasuredSample(reader, r, c).value_or(0)));
    out.view = {out.samples.data(), true, source.layout.width, source.layout.height, 0.1};
    return out;
}

MeasureResult MeasureSampleAt(const std::string& name, MeasureMethod method, const FoundLines& found)
{
    MeasureSettings settings;
    settings.method = method;
    settings.roi = RoiSetting{found.roi.centreX, found.roi.centreY, found.roi.width, found.roi.height};
    settings.orientation = static_cast<int>(found.geometry.Orientation());
    settings.maLines = found.geometry.LinesSetting();
    return MeasureFile(std::string(RADMTF_SAMPLES_DIR) + "/" + name, settings);
}

TEST(FindObjects, SamplesSlitChartAndEdge)
{
    const Loaded slit = LoadSample("slit.dcm");
    const auto s = FindSlit(slit.view);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->geometry.Orientation(), ProfileOrientation::kRowsLastToFirst);
    EXPECT_EQ(s->geometry.LinesSetting(), 17);
    EXPECT_FALSE(FindChart(slit.view));
    EXPECT_FALSE(MeasureSampleAt("slit.dcm", MeasureMethod::kSlit, *s).points.empty());

    const Loaded chart = LoadSample("chart.dcm");
    const auto c = FindChart(chart.view);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->geometry.Orientation(), ProfileOrientation::kRowsLastToFirst);
    EXPECT_EQ(c->geometry.LinesSetting(), 17);
    EXPECT_FALSE(FindSlit(chart.view));
    // The same points as with the ROI the samples' notes give.
    const auto found = MeasureSampleAt("chart.dcm", MeasureMethod::kChart, *c).points;
    const auto typed =
        MeasureSampleAt("chart.dcm", MeasureMethod::kChart, {{420, 24, 830, 34}, c->geometry}).points;
    ASSERT_EQ(found.size(), typed.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].frequency, typed[i].frequency);
        EXPECT_NEAR(found[i].value, typed[i].value, 0.02);
    }

    const Loaded edge = LoadSample("edge.dcm");
    const auto edges = FindEdges(edge.view);
    ASSERT_EQ(edges.size(), 1u);
    EXPECT_TRUE(edges[0].vertical);
    EXPECT_NEAR(edges[0].angle, 2.5, 0.1);
    EXPECT_FALSE(FindSlit(edge.view));
}

// The edge sample through a linear response, P = 100 + 6.5668 K (values
// 258 .. 54100), and halved: found, and measuring as on the hand-placed ROI.
TEST(FindObjects, LinearEdgeSample)
{
    const Loaded edge = LoadSample("edge.dcm");
    const int columns = edge.view.columns;
    for (double scale : {1.0, 0.5}) {
        SCOPED_TRACE(scale);
        std::vector<std::uint16_t> linear;
        for (const std::uint16_t v : edge.samples)
            linear.push_back(static_cast<std::uint16_t>(std::nearbyint(
                scale * std::nearbyint(100 + 6.566813726637767 * std::pow(10.0, 4 * v / 4096.0)))));
        const auto edges = FindEdges({linear.data(), false, columns, edge.view.rows, 0.1});
        ASSERT_EQ(edges.size(), 1u);
        EXPECT_TRUE(edges[0].vertical && edges[0].rising);
        const auto measure = [&](const FoundRoi& roi) {
            EdgeImage table{roi.width, roi.height, {}};
            for (int r = roi.centreY - roi.height / 2; r < roi.centreY - roi.height / 2 + roi.height; ++r)
                for (int c = roi.centreX - roi.width / 2 - 1; c < roi.centreX - roi.width / 2 - 1 + roi.width;
                     ++c)
                    table.exposure.push_back(linear[static_cast<std::size_t>(r * columns + c)] - 100 * scale);
            return MeasureEdge(table, EdgeSettings{});
        };
        const EdgeResult found = measure(edges[0].roi), hand = measure({128, 128, 85, 196});
        for (std::size_t i : {20u, 40u, 60u, 80u}) {  // 1 .. 4 cycles/mm
            ASSERT_LT(i, found.fineMtf.size());
            EXPECT_NEAR(found.fineMtf[i], hand.fineMtf[i], 0.005) << found.fineFrequency[i];
        }
    }
}

}  // namespace
}  // namespace radmtf
