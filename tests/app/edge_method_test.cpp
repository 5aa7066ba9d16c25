// The edge method through the window: a synthetic tilted edge from file to
// the angle, the MTF table with its uncertainties and the charts, and a
// refusal shown as the program's message.
#include <QFile>

#include <sstream>

#include "app_fixture.h"
#include "command_runner.h"
#include "measure/report.h"
#include "mtf/edge.h"
#include "mtf/mtf_summary.h"
#include "report/report_page.h"
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
        path = WriteFile("edge.dcm", synth::DicomBytes(image));
        return "answer " + path +
               "\nclick Form1.BitBtnLoad\nset Form1.EditROISizeX 200\n"
               "set Form1.EditROISizeY 400\nset Form1.EditROIPosY 250\n";
    }
    CommandRun Command(const QString& roi)
    {
        return RunMeasure({"edge", QString::fromStdString(path), "--roi", roi, "--format", "csv"});
    }
    synth::DetectorModel model;
    std::string path;
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
        MeasureEdge(EdgeImageFromTable(form2->session.tableView(), ExposureConversion{}), EdgeSettings{});
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

    // The command on the same ROI: the same table to the last bit, the
    // uncertainties in u_mtf and the angle in its own column.
    const CommandRun command = Command("200,250,200,400");
    ASSERT_EQ(command.exitCode, 0) << command.err;
    const auto rows = CsvRows(command.out);
    const std::vector<std::string> memo = EdgeMemoLines(direct);
    ASSERT_EQ(rows.size(), direct.tableFrequency.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][2], ExactNumber(direct.tableFrequency[i]));
        EXPECT_EQ(rows[i][3], ExactNumber(direct.tableMtf[i]));
        const std::size_t tab = memo[i].find('\t');
        EXPECT_EQ(rows[i][4], memo[i].substr(tab + 1, memo[i].find('\t', tab + 1) - tab - 1));
        EXPECT_EQ(rows[i][CsvColumn(command.out, "u_mtf")], ExactNumber(direct.tableUncertainty[i]));
        EXPECT_EQ(rows[i][CsvColumn(command.out, "edge_angle_deg")], ExactNumber(direct.angle));
    }
    // Its summary reads the fine curve the window's summary reads.
    std::vector<CurvePoint> fine;
    for (const QPointF& p : form2->Series4->points()) fine.emplace_back(p.x(), p.y());
    EXPECT_EQ(rows[0][CsvColumn(command.out, "mtf50_cy_per_mm")],
              ExactNumber(*SummarizeMtf(fine, 0.1).mtf50));
    EXPECT_EQ(form2->Series4->count(), 101);
    EXPECT_EQ(form2->session.mtf().measuredCount, 101);
    EXPECT_GT(form2->SeriesESF->count(), 1000);
    // The LSF over the window fitted to its reach.
    EXPECT_EQ(form2->SeriesEdgeLSF->count(), static_cast<int>(direct.lsf.size()));
    EXPECT_GT(form2->SeriesEdgeLSF->count(), 100);

    // The summary and the report follow the edge method, with its own settings and angle.
    EXPECT_TRUE(form2->MemoSummary->lines().value(0).startsWith("MTF50 "));
    const std::string pdf = WriteFile("edge.pdf", {});
    Run("answer " + pdf + "\nclick Form2.ButtonReport\n");
    const std::string text = Tool("pdftotext", {QString::fromStdString(pdf), "-"});
    EXPECT_NE(text.find("エッジ角度 (度)"), std::string::npos) << text;
    EXPECT_NE(text.find(form2->EditEdgeAngle->text().toStdString()), std::string::npos) << text;
}

// The report lists the settings the measurement used, formatted as the
// command formats them, whatever the edits hold since.
TEST_F(EdgeMethodWindow, ReportListsTheSettingsUsed)
{
    Run(LoadEdgeImage() +
        "set Form1.EditROIPosX 200\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
        "set Form2.EditEdgeBin 0.250\nset Form2.EditEdgeTaper .3\nclick Form2.ButtonEdge\n"
        "set Form2.EditEdgeBin 0.5\nset Form2.EditEdgeLsfWidth 4\n");
    const std::optional<ReportPage> page = form2->reportPage();
    ASSERT_TRUE(page);
    QStringList rows;
    for (const auto& [label, value] : page->settings.methodRows) rows.append(label + " " + value);
    EXPECT_TRUE(rows.contains("ESF ビン (画素) 0.25")) << rows.join("; ").toStdString();
    EXPECT_TRUE(rows.contains("LSF テーパー 0.3")) << rows.join("; ").toStdString();
    EXPECT_TRUE(rows.contains("LSF 範囲 ± (mm) 2.5")) << rows.join("; ").toStdString();
}

TEST_F(EdgeMethodWindow, RefusesAFlatRoiWithTheProgramsMessage)
{
    const std::string out =
        Run(LoadEdgeImage() +
            "set Form1.EditROISizeX 100\nset Form1.EditROIPosX 60\nclick Form1.ButtonDisp\n"
            "click Form1.ButtonToTable\nclick Form2.ButtonEdge\nprint Form2.EditEdgeAngle\n");
    EXPECT_EQ(out, "message: " + std::string(kEdgeNotFoundMessage) + "\n\n");
    const CommandRun command = Command("60,250,100,400");
    EXPECT_EQ(command.exitCode, 1);
    const auto rows = CsvRows(command.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][4], "failed: " + kEdgeNotFoundMessage);
}

}  // namespace
}  // namespace radmtf::testing

namespace radmtf::testing {
namespace {

TEST_F(EdgeMethodWindow, MemoCsvHasAColumnForTheUncertainty)
{
    const std::string csv = Path("memo.csv");
    const std::vector<std::string> shown =
        SplitLines(Run(LoadEdgeImage() +
                       "set Form1.EditROIPosX 200\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
                       "click Form2.ButtonEdge\nanswer " +
                       csv + "\nmenu Form2.MemoMTF Save as CSV…\nprint Form2.MemoMTF\n"));
    QFile file(QString::fromStdString(csv));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const Table rows = ParseCsv(file.readAll().toStdString());
    ASSERT_EQ(rows.size(), shown.size() + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"frequency_cy_per_mm", "mtf", "u_mtf"}));
    EXPECT_EQ(rows[1][2], "");  // none at 0 cycles/mm
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i][0] + "\t" + rows[i][1] + "\t" + (i > 1 ? "±" : "") + rows[i][2], shown[i - 1]);
}

}  // namespace
}  // namespace radmtf::testing
