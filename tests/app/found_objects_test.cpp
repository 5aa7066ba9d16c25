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

// The ROI edits after a script's prints of them, as the command's CSV gives a ROI.
std::vector<std::string> RoiOf(const std::vector<std::string>& row, const std::string& csv)
{
    std::vector<std::string> roi;
    for (const char* name : {"roi_x", "roi_y", "roi_width", "roi_height"})
        roi.push_back(row[CsvColumn(csv, name)]);
    return roi;
}

const char kPrintRoi[] =
    "print Form1.EditROIPosX\nprint Form1.EditROIPosY\nprint Form1.EditROISizeX\nprint Form1.EditROISizeY\n";

// "Find" steps through what the command measures; the one-click runs and the
// edge's CalMTF find their object themselves on a freshly loaded image.
TEST_F(WindowTest, FindShowsEachEdgeInTurnAndFirstRunsFindTheirObject)
{
    const synth::Radiograph image =
        synth::RenderPlates({768, 768, {{.centreX = 380, .centreY = 390, .side = 40, .angle = 3}}},
                            synth::DetectorModel{}, {.quanta = 3000, .seed = 5});
    const std::string path = Path("plate.dcm");
    ASSERT_TRUE(synth::WriteDicomFile(path, image));
    const CommandRun command = RunMeasure({"edge", QString::fromStdString(path), "--format", "csv"});
    ASSERT_EQ(command.exitCode, 0) << command.err;
    Table rows;  // the first point's row of each edge
    for (const auto& row : CsvRows(command.out))
        if (rows.empty() ||
            row[CsvColumn(command.out, "edge_index")] != rows.back()[CsvColumn(command.out, "edge_index")])
            rows.push_back(row);
    ASSERT_EQ(rows.size(), 4u);

    const std::string load = "answer " + path + "\nclick Form1.BitBtnLoad\n";
    std::string script = load;
    for (int i = 0; i < 5; ++i) script += std::string("click Form1.ButtonFindObject\n") + kPrintRoi;
    const std::vector<std::string> shown = SplitLines(Run(script));
    ASSERT_EQ(shown.size(), 20u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(std::vector<std::string>(shown.begin() + 4 * i, shown.begin() + 4 * i + 4),
                  RoiOf(rows[i % 4], command.out))
            << i;

    // Loaded again, CalMTF of the edge page finds the first edge and measures it.
    const std::vector<std::string> edge =
        SplitLines(Run(load + "click Form2.ButtonEdge\n" + kPrintRoi + "print Form2.EditEdgeAngle\n"));
    ASSERT_EQ(edge.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(edge.begin(), edge.begin() + 4), RoiOf(rows[0], command.out));
    EXPECT_NEAR(std::stod(edge[4]), 3.0, 0.05);

    // The one-click slit run on the slit sample: the ROI the command finds.
    const CommandRun slit = RunMeasure({"slit", RADMTF_SAMPLES_DIR "/slit.dcm", "--format", "csv"});
    ASSERT_EQ(slit.exitCode, 0) << slit.err;
    const std::vector<std::string> slitRoi =
        SplitLines(Run(std::string("answer ") + RADMTF_SAMPLES_DIR "/slit.dcm\nclick Form1.BitBtnLoad\n" +
                       "click Form2.ButtonSlitMtf\n" + kPrintRoi));
    EXPECT_EQ(slitRoi, RoiOf(CsvRows(slit.out).at(0), slit.out));
}

}  // namespace
}  // namespace radmtf::testing
