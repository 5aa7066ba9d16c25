// The edge method through the window: a synthetic tilted edge from file to
// the angle, the MTF table with its uncertainties and the charts, and a
// refusal shown as the program's message.
#include <sstream>

#include "app_fixture.h"
#include "command_runner.h"
#include "mtf/edge.h"
#include "synth/dicom_writer.h"
#include "synth/edge_scene.h"

namespace radmtf::testing {
namespace {

// The refusals' texts as the user reads them.
const std::string kEdgeNotFoundMessage = "ROIにエッジが見つかりません。";
const std::string kEdgeTwoEdgesMessage =
    "ROIにエッジが2本以上あります。エッジが1本だけ入るようにROIを選んでください。";
const std::string kEdgeAngleMessagePrefix = "エッジの傾きが 0.5°～10° の範囲にありません (";

class EdgeMethodWindow : public WindowTest {
protected:
    std::string LoadEdgeImage()
    {
        synth::EdgeScene scene{.across = 400, .along = 500, .tilt = 3.0};
        const synth::Radiograph image = synth::RenderEdge(scene, model, {.quanta = 2000, .seed = 9});
        const std::string path = WriteFile("edge.dcm", synth::DicomBytes(image));
        return "answer " + path +
               "\nclick Form1.BitBtnLoad\nset Form1.EditROISizeX 200\n"
               "set Form1.EditROISizeY 400\nset Form1.EditROIPosY 250\n";
    }
    synth::DetectorModel model;
};

TEST_F(EdgeMethodWindow, ShowsTheAngleTheMtfWithUncertaintiesAndTheCharts)
{
    const std::string out =
        Run(LoadEdgeImage() +
            "set Form1.EditROIPosX 200\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
            "click Form2.ButtonEdge\nprint Form2.PageControl1\nprint Form2.EditEdgeAngle\n"
            "print Form2.MemoMTF\n");
    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "TabSheetMTF");
    std::getline(lines, line);
    EXPECT_NEAR(std::stod(line), 3.0, 0.02);

    // The memo is the kernel's table for the transferred pixels, and near the truth.
    const EdgeResult direct =
        MeasureEdge(EdgeImageFromTable(TForm2TableView(form2->StringGrid1->grid()), ExposureConversion{}),
                    EdgeSettings{});
    for (const std::string& expected : EdgeMemoLines(direct)) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line, expected);
        const double f = std::stod(line);
        const double m = std::stod(line.substr(line.find('\t') + 1));
        EXPECT_NEAR(m, model.PresampledMtf(f), 0.03) << line;
        if (f > 0) {
            EXPECT_NE(line.find("\t±"), std::string::npos) << line;
        }
    }
    EXPECT_FALSE(std::getline(lines, line));
    EXPECT_EQ(form2->Series4->count(), 101);
    EXPECT_EQ(form2->mtf.measuredCount, 101);
    EXPECT_GT(form2->SeriesESF->count(), 1000);
    EXPECT_GT(form2->SeriesEdgeLSF->count(), 400);

    // The summary and the report follow the edge method, with its own settings and angle.
    EXPECT_TRUE(form2->MemoSummary->lines().value(0).startsWith("MTF50 "));
    const std::string pdf = WriteFile("edge.pdf", {});
    Run("answer " + pdf + "\nclick Form2.ButtonReport\n");
    const std::string text = Tool("pdftotext", {QString::fromStdString(pdf), "-"});
    EXPECT_NE(text.find("Edge angle (deg)"), std::string::npos) << text;
    EXPECT_NE(text.find(form2->EditEdgeAngle->text().toStdString()), std::string::npos) << text;
}

TEST_F(EdgeMethodWindow, RefusesAFlatRoiWithTheProgramsMessage)
{
    const std::string out =
        Run(LoadEdgeImage() +
            "set Form1.EditROISizeX 100\nset Form1.EditROIPosX 60\nclick Form1.ButtonDisp\n"
            "click Form1.ButtonToTable\nclick Form2.ButtonEdge\nprint Form2.EditEdgeAngle\n");
    EXPECT_EQ(out, "message: " + std::string(kEdgeNotFoundMessage) + "\n\n");
}

}  // namespace
}  // namespace radmtf::testing
