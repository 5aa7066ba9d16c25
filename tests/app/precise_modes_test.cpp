// Automatic geometry, the precise modes and the one-click runs through the
// window, on seeded synthetic radiographs with a known presampled MTF.
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "app/edit_text.h"
#include "app_fixture.h"
#include "command_runner.h"
#include "measure/report.h"
#include "mtf/mtf_summary.h"
#include "synth/dicom_writer.h"
#include "synth/radiograph.h"

namespace radmtf::testing {
namespace {

class PreciseModes : public WindowTest {
protected:
    synth::DetectorModel model;

    // Loads the image and hands a ROI of the given size around its centre to the analysis window.
    void Transfer(const synth::Radiograph& image, int width, int height)
    {
        roi = std::to_string(image.columns / 2) + "," + std::to_string(image.rows / 2) + "," +
              std::to_string(width) + "," + std::to_string(height);
        const std::string path = WriteFile("image.dcm", synth::DicomBytes(image));
        Run("answer " + path + "\nclick Form1.BitBtnLoad\nset Form1.EditROIPosX " +
            std::to_string(image.columns / 2) + "\nset Form1.EditROIPosY " + std::to_string(image.rows / 2) +
            "\nset Form1.EditROISizeX " + std::to_string(width) + "\nset Form1.EditROISizeY " +
            std::to_string(height) + "\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n");
    }

    // `radmtf measure METHOD` on the same file and ROI, as CSV.
    CommandRun Command(const QString& method, const QStringList& options)
    {
        const CommandRun run =
            RunMeasure(QStringList{method, QString::fromStdString(Path("image.dcm")), "--roi",
                                   QString::fromStdString(roi), "--format", "csv"} +
                       options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run;
    }

    // The command's rows are the window's points, in frequency order, to the
    // last bit; its mtf_display and u_mtf are what the memo lines show.
    static void ExpectSamePoints(const CommandRun& run, const std::map<double, double>& window,
                                 const std::vector<std::string>& listing)
    {
        const auto rows = CsvRows(run.out);
        ASSERT_EQ(CsvColumn(run.out, "u_mtf"), 5u);
        ASSERT_EQ(rows.size(), window.size());
        auto expected = window.begin();
        for (const auto& row : rows) {
            EXPECT_EQ(row[2], ExactNumber(expected->first));
            EXPECT_EQ(row[3], ExactNumber(expected->second));
            ++expected;
        }
        for (const std::string& line : listing) {
            const std::vector<std::string> fields = SplitFields(line);
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) {
                return std::abs(std::stod(r[2]) - std::stod(fields[0])) < 5e-4 && r[4] == fields[1];
            });
            ASSERT_NE(row, rows.end()) << line;
            EXPECT_EQ("±" + FormatFixed(std::stod((*row)[5]), 3), fields[2]) << line;
        }
    }
    static std::vector<std::string> SplitFields(const std::string& line)
    {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        return fields;
    }
    std::map<double, double> MeasuredMtf() const
    {
        std::map<double, double> points;
        for (int i = 0; i < form2->session.mtf().measuredCount; ++i)
            points.emplace(form2->session.mtf().mtfFrequency[std::size_t(i)],
                           form2->session.mtf().mtfValue[std::size_t(i)]);
        return points;
    }
    std::string roi;
};

TEST_F(PreciseModes, AutoSetsTheCounterAndButtonAndWarnsAboutAnotherChoice)
{
    synth::Placement at;
    at.columns = 240;
    at.rows = 120;
    at.orientation = ProfileOrientation::kRowsFirstToLast;
    at.linesPerPixel = 13.6;
    at.origin = 126.3;
    Transfer(synth::Render(at, synth::SlitObject(model, 0.02, 0.005), model, {1000, 11}), 200, 100);
    const std::vector<std::string> out = SplitLines(
        Run("click Form2.ButtonAutoGeometry\nprint Form2.EditAutoGeometry\nprint Form2.EditMALine\n"
            "print Form2.UpDownMALine\nprint Form2.RadioButton2\n"));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].substr(0, 6), "M = 13");
    EXPECT_NEAR(std::stod(out[0].substr(4)), 13.6, 0.136);
    EXPECT_EQ(out[0].substr(out[0].size() - 15), ", orientation 2");
    EXPECT_EQ(out[1], "14");
    EXPECT_EQ(out[2], "14");
    EXPECT_EQ(out[3], "1");
    // The estimate's own choice builds quietly; M 16 (18 % off) or button 1 is warned about.
    EXPECT_EQ(Run("click Form2.Button2Dto1D\nprint ProfileCount\n"), std::to_string(200 * 14) + "\n");
    const std::string warning =
        "message: 選択した向きまたは MA-Line# が画像からの推定 (" + out[0] + ") と 10 % 以上違います。\n";
    EXPECT_EQ(Run("set Form2.EditMALine 16\nclick Form2.Button2Dto1D\nprint ProfileCount\n"),
              warning + std::to_string(200 * 16) + "\n");
    EXPECT_EQ(Run("set Form2.EditMALine 14\nset Form2.RadioButton1 1\nclick Form2.Button2Dto1D\n"), warning);
    // A new table drops the estimate.
    Run("click Form1.ButtonToTable\nset Form2.EditMALine 16\nclick Form2.Button2Dto1D\n");

    // The command's "auto" takes the same values and warns about another
    // choice on standard error, as the window does, and measures on.
    const CommandRun automatic = Command("slit", {"--orientation", "auto", "--ma-line", "auto"});
    const auto rows = CsvRows(automatic.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0][CsvColumn(automatic.out, "orientation")], "2");
    EXPECT_EQ(rows[0][CsvColumn(automatic.out, "ma_line")], "14");
    EXPECT_EQ(rows[0][CsvColumn(automatic.out, "u_mtf")], "");
    EXPECT_EQ(automatic.err, "");
    const CommandRun warned = Command("slit", {"--orientation", "auto", "--ma-line", "16"});
    EXPECT_EQ(warned.err, Path("image.dcm") + ": " + warning.substr(9));
}

TEST_F(PreciseModes, OneClickPreciseSlitListsTheTrueMtfWithUncertainties)
{
    synth::Placement at;
    at.columns = 240;
    at.rows = 120;
    at.linesPerPixel = 17.3;
    at.origin = 118.6;
    Transfer(synth::Render(at, synth::SlitObject(model, 0.05, 0.01), model, {1000, 12}), 200, 100);
    EXPECT_EQ(Run("set Form2.CheckBoxPreciseSlit 1\nset Form2.EditSlitWidth 0.05\nclick Form2.ButtonSlitMtf\n"
                  "print Form2.PageControl1\nprint Form2.EditMALine\n"),
              "TabSheetMTF\n17\n");
    const std::vector<std::string> steps = SplitLines(Run("print Form2.MemoMTF2"));
    ASSERT_EQ(steps.size(), 11u);  // 0, 0.5 .. 5 cycles/mm
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::istringstream fields(steps[i]);
        std::string f, m, u;
        std::getline(fields, f, '\t');
        std::getline(fields, m, '\t');
        std::getline(fields, u, '\t');
        EXPECT_EQ(std::stod(f), 0.5 * i);
        EXPECT_NEAR(std::stod(m), model.PresampledMtf(0.5 * i), 0.006) << steps[i];
        ASSERT_EQ(u.substr(0, 2), "±");
        EXPECT_LT(std::stod(u.substr(2)), 0.006);
    }
    // The first list on the traditional slit method's frequencies for M = 17.
    const std::vector<std::string> listed = SplitLines(Run("print Form2.MemoMTF"));
    EXPECT_EQ(listed.size(), 121u);
    EXPECT_EQ(listed[1].substr(0, 6), "0.083\t");
    EXPECT_EQ(form2->errorBarCount(), 10);
    EXPECT_EQ(form2->Series7->points().size(), 11);

    // The command's precise mode with the automatic geometry is the one-click
    // run: both lists, merged in frequency order.
    const std::map<double, double> first = MeasuredMtf();
    std::map<double, double> window = first;
    for (const QPointF& p : form2->Series7->points()) window.emplace(p.x(), p.y());
    std::vector<std::string> memo = SplitLines(Run("print Form2.MemoMTF"));
    memo.insert(memo.end(), steps.begin(), steps.end());
    const CommandRun precise =
        Command("slit", {"--precise", "--slit-width", "0.05", "--orientation", "auto", "--ma-line", "auto"});
    ExpectSamePoints(precise, window, memo);
    // The summary reads the first list, as the window's does.
    const std::vector<CurvePoint> firstList(first.begin(), first.end());
    EXPECT_EQ(CsvRows(precise.out)[0][CsvColumn(precise.out, "mtf50_cy_per_mm")],
              ExactNumber(*SummarizeMtf(firstList, 0.1).mtf50));
    // A width typed in micrometres is refused, by both, with the same message.
    const std::string refusal = Run("set Form2.EditSlitWidth 20\nclick Form2.ButtonSlit\n");
    EXPECT_EQ(refusal.rfind("message: スリット幅 20 mm は使えません。", 0), 0u) << refusal;
    const CommandRun micrometres =
        RunMeasure({"slit", QString::fromStdString(Path("image.dcm")), "--roi", QString::fromStdString(roi),
                    "--precise", "--slit-width", "20", "--format", "csv"});
    EXPECT_EQ(micrometres.exitCode, 1);
    EXPECT_EQ(micrometres.err, Path("image.dcm") + ": " + refusal.substr(9));
    Run("set Form2.EditSlitWidth 0.05\n");

    // Through "hdc.txt" holding the same logarithmic curve, the same numbers.
    std::string curve;
    for (int j = 0; j <= 420; ++j) {
        const double x = -0.1 + 0.01 * j;
        curve += Real(x).toStdString() + "\t" + Real(x * 1024).toStdString() + "\r\n";
    }
    WriteFile("hdc.txt", std::vector<std::uint8_t>(curve.begin(), curve.end()));
    EXPECT_EQ(Run("set Form2.CheckBoxUseHDC 1\nclick Form2.ButtonSlitMtf\nprint Form2.MemoMTF2\n"),
              Run("set Form2.CheckBoxUseHDC 0\nclick Form2.ButtonSlitMtf\nprint Form2.MemoMTF2\n"));

    // Unchecked, the same button runs the traditional chain, which reads the
    // 1 % background and the 50 µm slit as a far lower MTF.
    Run("set Form2.CheckBoxPreciseSlit 0\nclick Form2.ButtonSlitMtf\n");
    const std::vector<std::string> traditional = SplitLines(Run("print Form2.MemoMTF"));
    ASSERT_GT(traditional.size(), 13u);
    EXPECT_EQ(traditional[12].find("±"), std::string::npos);
    EXPECT_LT(std::stod(traditional[12].substr(traditional[12].find('\t') + 1)),
              model.PresampledMtf(1.0) - 0.1);
    EXPECT_EQ(form2->errorBarCount(), 0);
}

TEST_F(PreciseModes, OneClickPreciseChartAndAFailingStepStopsWithItsMessage)
{
    const synth::BarChartLayout layout;
    synth::Placement at;
    at.columns = static_cast<int>(std::ceil(layout.length / 0.1)) + 40;
    at.rows = 80;
    at.linesPerPixel = 17;
    at.origin = 20.4;
    Transfer(synth::Render(at, synth::BarChartObject(model, layout, 0.1), model, {1000, 13}), at.columns - 20,
             60);
    Run("set Form2.CheckBoxPreciseSwc 1\nclick Form2.ButtonChartMtf\n");
    const std::vector<std::string> points = SplitLines(Run("print Form2.MemoMTF2"));
    ASSERT_EQ(points.size(), 10u);
    for (std::size_t g = 1; g < points.size(); ++g) {
        const double f = std::stod(points[g]);
        EXPECT_NEAR(std::stod(points[g].substr(points[g].find('\t') + 1)), model.PresampledMtf(f), 0.01)
            << points[g];
    }
    EXPECT_EQ(form2->errorBarCount(), 9);
    ExpectSamePoints(Command("chart", {"--precise", "--orientation", "auto", "--ma-line", "auto"}),
                     MeasuredMtf(), points);

    // A flat table: Auto, the first step, stops the chain with its message.
    Run("set Form1.EditROISizeX 10\nset Form1.EditROISizeY 10\nclick Form1.ButtonDisp\nclick "
        "Form1.ButtonToTable\n");
    const std::vector<std::string> out =
        SplitLines(Run("click Form2.ButtonChartMtf\nprint Form2.MemoMTF2\n"));
    ASSERT_EQ(out.size(), 11u);
    EXPECT_EQ(out[0], "message: ROI の中に傾いたスリット、エッジまたはチャートが見つかりません。");
    EXPECT_EQ(out[1], points[0]);  // nothing after the failed step ran
}

}  // namespace
}  // namespace radmtf::testing
