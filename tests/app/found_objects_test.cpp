// `radmtf measure` without a ROI finds what it measures: every edge of the
// plates in the image, each a result of its own.
#include <QTemporaryDir>

#include <cmath>
#include <set>

#include "app_fixture.h"
#include "command_runner.h"
#include "synth/dicom_writer.h"
#include "synth/plate_scene.h"

namespace radmtf::testing {
namespace {

TEST(FoundObjects, EveryEdgeOfTwoPlatesIsMeasuredOnItsOwn)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("plates.dcm").toStdString();
    const synth::Radiograph image =
        synth::RenderPlates({1024,
                             1024,
                             {{.centreX = 270, .centreY = 300, .side = 35, .angle = 3},
                              {.centreX = 720, .centreY = 700, .side = 40, .angle = 3}}},
                            synth::DetectorModel{}, {.quanta = 3000, .seed = 4});
    ASSERT_TRUE(synth::WriteDicomFile(path, image));

    const CommandRun all = RunMeasure({"edge", QString::fromStdString(path), "--format", "csv"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const std::size_t index = CsvColumn(all.out, "edge_index"),
                      direction = CsvColumn(all.out, "edge_direction"),
                      angle = CsvColumn(all.out, "edge_angle_deg"), roiX = CsvColumn(all.out, "roi_x");
    std::set<std::string> edges;
    for (const auto& row : CsvRows(all.out)) {
        ASSERT_GT(row.size(), roiX);
        edges.insert(row[index]);
        const int i = std::stoi(row[index]);
        EXPECT_EQ(row[direction], i <= 4 ? "vertical" : "horizontal");
        EXPECT_NEAR(std::stod(row[angle]), i <= 4 ? 3 : -3, 0.1);
        EXPECT_FALSE(row[roiX].empty());
    }
    EXPECT_EQ(edges, (std::set<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));

    const CommandRun some = RunMeasure({"edge", QString::fromStdString(path), "--format", "csv",
                                        "--direction", "horizontal", "--search", "450,450,574,574"});
    ASSERT_EQ(some.exitCode, 0) << some.err;
    std::set<std::string> found;
    for (const auto& row : CsvRows(some.out))
        found.insert(row[CsvColumn(some.out, "edge_direction")] + row[index]);
    EXPECT_EQ(found, (std::set<std::string>{"horizontal1", "horizontal2"}));

    // Nothing to find: the file fails; a search beside a typed ROI is refused.
    EXPECT_EQ(RunMeasure({"edge", RADMTF_SAMPLES_DIR "/flat.dcm", "--format", "csv"}).exitCode, 1);
    EXPECT_EQ(RunMeasure({"edge", QString::fromStdString(path), "--roi", "1,2,3,4", "--search", "0,0,9,9"})
                  .exitCode,
              2);
    EXPECT_EQ(RunMeasure({"slit", QString::fromStdString(path), "--direction", "vertical"}).exitCode, 2);
}

}  // namespace
}  // namespace radmtf::testing
