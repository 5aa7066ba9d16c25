// The precise chart method against the true presampled MTF of seeded
// synthetic bar charts.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/composite_profile.h"
#include "core/numtext.h"
#include "precise/precise_chart.h"
#include "precise_support.h"

namespace radmtf::testing {
namespace {

constexpr int kLines = 17;

struct ChartRun {
    std::vector<PreciseMtfPoint> precise;
    std::vector<std::pair<double, double>> traditional;
};

ChartRun Measure(const synth::BarChartLayout& layout, double quanta, std::uint64_t seed)
{
    const synth::DetectorModel model = Detector(0.1);
    synth::Placement at;
    at.columns = static_cast<int>(std::ceil(layout.length / 0.1)) + 12;
    at.rows = 60;
    at.linesPerPixel = kLines;
    at.origin = 4.2;
    const synth::Radiograph image =
        synth::Render(at, synth::BarChartObject(model, layout, 0.1), model, {quanta, seed});
    auto profile = std::make_unique<ProfileState>();
    auto mtf = std::make_unique<MtfState>();
    BuildCompositeProfile(*profile, ProfileOrientation::kRowsLastToFirst, kLines,
                          synth::TableView(image, 0, 0, image.columns, kLines));
    profile->sampleSpacing = 0.1 / kLines;
    SwcFeatures features;
    SwcLocateFeatures(*profile, *mtf, 0.1L, kLines, features);
    const ValueTable table = ExposureOf(image);
    ChartRun run;
    run.precise = RunPreciseChart(table, EstimateGeometry(table), 0.1, features,
                                  ProfileOrientation::kRowsLastToFirst, kLines)
                      .points;
    ConvertToExposure(*profile, Conversion());
    SwcResult result;
    SwcMeasure(*profile, *mtf, features, result);
    run.traditional = result.points;
    return run;
}

TEST(PreciseChart, MeasuresEveryGroupWithoutTheEndSampleBias)
{
    const synth::DetectorModel model = Detector(0.1);
    const synth::BarChartLayout layout;
    std::vector<std::vector<double>> precise(10), traditional(10);
    for (int r = 0; r < 3; ++r) {
        const ChartRun run = Measure(layout, 1000, 70 + r);
        ASSERT_EQ(run.precise.size(), 10u);
        for (int g = 1; g <= 9; ++g) {
            const double truth = model.PresampledMtf(run.precise[g].frequency);
            precise[g].push_back(run.precise[g].mtf - truth);
            if (g < static_cast<int>(run.traditional.size()))
                traditional[g].push_back(run.traditional[g].second - truth);
            EXPECT_GT(run.precise[g].uncertainty, 0);
        }
    }
    for (int g = 1; g <= 8; ++g) EXPECT_LE(std::abs(MeanAndSd(precise[g]).first), 0.003) << g;
    // The sums over whole periods plus one sample read high where the precise
    // lock-in does not.
    EXPECT_GT(MeanAndSd(traditional[7]).first, 0.005);
}

TEST(PreciseChart, KeepsEveryGroupAt100QuantaAndDropsOnlyAnOffPitchOne)
{
    const synth::BarChartLayout layout;
    // Twelve realisations: every group kept, the spread at 4 cycles/mm, and
    // the stated uncertainties against the observed spread, pooled over the
    // nine groups.
    std::vector<std::vector<double>> values(10), stated(10);
    for (int r = 0; r < 12; ++r) {
        const ChartRun run = Measure(layout, 100, 300 + r);
        ASSERT_EQ(run.precise.size(), 10u) << r;
        for (std::size_t g = 1; g < 10; ++g) {
            values[g].push_back(run.precise[g].mtf);
            stated[g].push_back(run.precise[g].uncertainty);
        }
    }
    EXPECT_LE(MeanAndSd(values[7]).second, 0.02);
    double observed = 0, claimed = 0;
    for (std::size_t g = 1; g < 10; ++g) {
        observed += std::pow(MeanAndSd(values[g]).second, 2);
        claimed += std::pow(MeanAndSd(stated[g]).first, 2);
    }
    EXPECT_GT(std::sqrt(claimed / observed), 1 / 1.5);
    EXPECT_LT(std::sqrt(claimed / observed), 1.5);

    // Group 3 (1.5 cycles/mm) printed at 1.2 times its period.
    synth::BarChartLayout offPitch = layout;
    const double t = synth::BarChartLayout::kPeriods[3];
    const std::size_t first = 1 + 5 + 10;
    for (std::size_t k = 0; k < 10; ++k) {
        const double top = layout.groupTop[3] - k * 1.2 * t;
        offPitch.bars[first + k] = {top - 0.6 * t, top};
    }
    for (std::size_t k = 8; k < 10; ++k) offPitch.bars[first + k] = {0, 0};  // beyond the group's extent
    const ChartRun run = Measure(offPitch, 1000, 9);
    ASSERT_EQ(run.precise.size(), 9u);
    for (const PreciseMtfPoint& p : run.precise) EXPECT_NE(p.frequency, 1.5);
    EXPECT_EQ(run.precise.back().frequency, 6.0);
}

}  // namespace
}  // namespace radmtf::testing
