// The square-wave chart method from image to MTF points, end to end through
// the windows, on a synthetic radiograph of a bar chart whose presampled MTF
// is known.
//
// The chart: a 10 mm square at the high-index end of the profile with a
// 10 mm gap beside it, then nine bar groups of rising frequency (0.5 .. 6
// cycles/mm; five bars in the first group, ten in the others, bar width half
// the period) separated by 2 mm gaps. Bars and square transmit the higher
// exposure. The pattern is blurred by a Gaussian of standard deviation sigma
// and integrated over the 0.1 mm pixel, so its presampled MTF is
// MTF(f) = exp(-2 pi^2 sigma^2 f^2) |sinc(a f)|.
//
// What the method measures: over whole periods, the cosine-weighted mean of a
// bar group keeps only the first harmonic of the square wave,
// (4 / pi) (Eh - El) / 2 x MTF(f), halved by the mean of cos^2: (Eh - El) MTF(f) / pi.
// The square is measured over half its period, from the gap centre to its
// own centre, with the weight -cos(pi x / L0); its edge is so far from the
// ends that the blur hardly matters: (Eh - El) / pi. The ratio is MTF(f).
#include <cmath>
#include <numbers>
#include <sstream>
#include <unordered_map>

#include "app_fixture.h"
#include "command_runner.h"
#include "measure/report.h"
#include "synthetic_images.h"

namespace radmtf::testing {
namespace {

using namespace synthetic_chart;

class SquareWaveChartMethod : public WindowTest {
protected:
    // Loads the chart image and hands the table of `columns` columns from
    // kFirstColumn + skip and 20 rows from kTopRow to the analysis window,
    // with the profile built for RadioButton1 and MA-Line# 17.
    void Prepare(int skip, int columns, const BarChart& chart = BarChart())
    {
        path = WriteFile("chart.dcm", ChartImage(chart));
        const int left = kFirstColumn + skip + 1;  // the table starts one column left of the ROI
        roi = std::to_string(left + columns / 2) + "," + std::to_string(kTopRow + 10) + "," +
              std::to_string(columns) + ",20";
        Run("answer " + path + "\nclick Form1.BitBtnLoad\n" +                       //
            "set Form1.EditROIPosX " + std::to_string(left + columns / 2) + "\n" +  //
            "set Form1.EditROIPosY " + std::to_string(kTopRow + 10) + "\n" +        //
            "set Form1.EditROISizeX " + std::to_string(columns) +
            "\nset Form1.EditROISizeY 20\n"
            "click Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
            "set Form2.RadioButton1 1\nset Form2.EditMALine 17\n"
            "click Form2.Button2Dto1D\nclick Form2.ButtonSmooth\n");
    }
    std::string path;
    std::string roi;  // the command's --roi for the same table
};

TEST_F(SquareWaveChartMethod, MeasuresThePresampledMtfAtAllNineFrequencies)
{
    const BarChart chart;
    Prepare(0, chart.Columns());
    ASSERT_EQ(Run("print ProfileCount\n"), std::to_string(chart.Columns() * kLines) + "\n");

    EXPECT_EQ(
        Run("click Form2.ButtonSWC\nprint MtfLastIndex\nprint Form2.RadioGroup2\nprint Form2.PageControl1\n"),
        "9\n5\nTabSheetMTF\n");
    EXPECT_EQ(form2->RadioGroup2->items().value(5).toStdString(), "6.0");
    EXPECT_DOUBLE_EQ(form2->session.mtf().barPeriod, 1.0 / 6);

    // Ten points from 0 to 6 cycles/mm, each the presampled MTF of the blur.
    const std::vector<std::string> lines = SplitLines(Run("print Form2.MemoMTF2"));
    const std::vector<std::string> values = SplitLines(Run("print MtfValue"));
    ASSERT_EQ(lines.size(), 10u);
    ASSERT_EQ(values.size(), 10u);
    EXPECT_EQ(lines[0], "0\t1");
    const char* frequencyTexts[10] = {"0", "0.5", "1", "1.5", "2", "2.5", "3", "4", "5", "6"};
    std::string agreement;
    std::string residuals;
    for (int g = 1; g <= 9; ++g) {
        const std::size_t tab = lines[g].find('\t');
        ASSERT_NE(tab, std::string::npos) << lines[g];
        // Only the group above the Nyquist frequency (5 cycles/mm) is marked.
        const std::string mark = kFrequencies[g] > 5 ? "\t(ナイキスト周波数より上)" : "";
        EXPECT_EQ(lines[g], frequencyTexts[g] + ("\t" + values[g]) + mark);
        const double measured = std::stod(lines[g].substr(tab + 1));
        const double expected = AnalyticMtf(kFrequencies[g]);
        EXPECT_NEAR(measured, expected, 0.02) << kFrequencies[g] << " cycles/mm";
        agreement += std::string(frequencyTexts[g]) + ":" + std::to_string(measured - expected) + " ";
        // The sums run over whole periods plus one sample: the group's span
        // of L samples ends on a bar centre at both ends, and the square's
        // half period weights both of its ends fully. With the peak exposure
        // Ep at a bar centre, the ratio is
        // (MTF + pi Ep / ((Eh - El) L)) / (1 + pi / (2 L0)).
        const double d = kPixel / kLines;
        const double t = kPeriods[g];
        const double span = (g == 1 ? 2 : 7) * t / d;
        const double peak = chart.Exposure(chart.groupTop[g] - t - t / 4);
        const double refined = (expected + std::numbers::pi * peak / ((kHigh - kLow) * span)) /
                               (1 + std::numbers::pi / (2 * 10 / d));
        EXPECT_NEAR(measured, refined, 0.002) << kFrequencies[g] << " cycles/mm";
        residuals += std::string(frequencyTexts[g]) + ":" + std::to_string(measured - refined) + " ";
    }
    RecordProperty("measured_minus_mtf", agreement);
    RecordProperty("measured_minus_refined", residuals);

    // The command line, with the same settings, gives the same points to the last bit.
    const CommandRun command =
        RunMeasure({"chart", QString::fromStdString(path), "--format", "csv", "--roi",
                    QString::fromStdString(roi), "--orientation", "1", "--ma-line", "17"});
    ASSERT_EQ(command.exitCode, 0) << command.err;
    const auto rows = CsvRows(command.out);
    ASSERT_EQ(rows.size(), 10u);
    for (std::size_t g = 0; g < rows.size(); ++g) {
        EXPECT_EQ(rows[g][2], ExactNumber(form2->session.mtf().mtfFrequency[g]));
        EXPECT_EQ(rows[g][3], ExactNumber(form2->session.mtf().mtfValue[g]));
        EXPECT_EQ(rows[g][4], values[g]);
    }

    // The green points, the markers on the profile and the exposure profile
    // that ToExp made on the way.
    EXPECT_EQ(form2->Series7->points().size(), 10);
    EXPECT_EQ(form2->Series6->points().size(), 2);
    EXPECT_EQ(form2->Series8->points().size(), 8);
    EXPECT_EQ(form2->Series5->points().size(), 1 + 5 + 8 * 10);
    EXPECT_EQ(Run("print ExposureCount\n"), std::to_string(chart.Columns() * kLines) + "\n");

    // Fitting ran at the end with K = 9: 121 rows from 0 to 6 cycles/mm.
    const QStringList table = form2->MemoMTF->lines();
    ASSERT_EQ(table.size(), 121);
    EXPECT_EQ(table[0].section('\t', 0, 0).toStdString(), "0");
    // The frequency accumulates 0.05 in double: the last row is 6 less a few
    // units in the last place, which 15 significant digits do not hide.
    EXPECT_NEAR(table[120].section('\t', 0, 0).toDouble(), 6.0, 1e-12);
    EXPECT_EQ(form2->Series4->points().size(), 121);
    EXPECT_FALSE(form2->MemoMTF3->lines().isEmpty());
    // The fitted curve passes near the measured points.
    for (int g = 1; g <= 9; ++g)
        EXPECT_NEAR(table[int(std::lround(kFrequencies[g] / 0.05))].section('\t', 1, 1).toDouble(),
                    AnalyticMtf(kFrequencies[g]), 0.05)
            << kFrequencies[g] << " cycles/mm";
}

TEST_F(SquareWaveChartMethod, StopsWithItsOwnMessageOnAProfileWithoutTheWholeChart)
{
    // The table starts 1 mm inside group 7: the square and the early groups
    // are found, then the search runs out of profile.
    const BarChart chart;
    const int skip = static_cast<int>(std::floor((chart.groupTop[7] - 1.0) / kPixel));
    Prepare(skip, chart.Columns() - skip);
    Run("set Form2.MemoMTF2 earlier\n");
    EXPECT_EQ(
        Run("click Form2.ButtonSWC\nprint MtfLastIndex\nprint Form2.MemoMTF2\nprint Form2.PageControl1\n"
            "print ExposureCount\n"),
        "message: チャートのパターンが見つかりません。\n0\nearlier\nTabSheetPixelProf\n0\n");
    // The markers found before the stop stay on the profile chart.
    EXPECT_EQ(form2->Series6->points().size(), 2);
    EXPECT_GE(form2->Series8->points().size(), 5);
    EXPECT_GT(form2->Series5->points().size(), 1 + 5 + 4 * 10);
    EXPECT_TRUE(form2->Series7->points().isEmpty());

    // A profile far shorter than the square (20 samples across the bars)
    // stops at once, after clearing the profile markers.
    EXPECT_EQ(Run("set Form2.RadioButton3 1\nset Form2.EditMALine 1\nclick Form2.Button2Dto1D\n"
                  "print ProfileCount\nclick Form2.ButtonSWC\n"),
              "20\nmessage: チャートのパターンが見つかりません。\n");
    EXPECT_TRUE(form2->Series6->points().isEmpty());
    EXPECT_TRUE(form2->Series5->points().isEmpty());
}

TEST_F(SquareWaveChartMethod, FittingRefusesAFrequencyBeyondTheValidatedGroups)
{
    // A chart whose 1.5 cycles/mm group is printed at the wrong pitch: its
    // bar spacing misses the nominal period, so only groups 0 .. 2 count, and
    // the Fitting that follows (K = 3, no frequency selected) is refused
    // instead of fitting entry 3 of an earlier run.
    const BarChart chart(3);
    Prepare(0, chart.Columns(), chart);
    Run("set Form2.MemoMTF earlier\n");
    const std::string out =
        Run("click Form2.ButtonSWC\nprint MtfLastIndex\n"
            "print Form2.RadioGroup2\nprint Form2.PageControl1\nprint Form2.MemoMTF\n");
    EXPECT_EQ(out, "message: 選択した周波数までの MTF が測定されていません。\n2\n-1\nTabSheetMTF\nearlier\n");
    const std::vector<std::string> points = SplitLines(Run("print Form2.MemoMTF2"));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0], "0\t1");
    EXPECT_EQ(points[1].substr(0, 4), "0.5\t");
    EXPECT_EQ(points[2].substr(0, 2), "1\t");
    EXPECT_NEAR(std::stod(points[2].substr(2)), AnalyticMtf(1.0), 0.02);
    EXPECT_EQ(form2->Series7->points().size(), 3);
    EXPECT_TRUE(form2->Series4->points().isEmpty());

    // Choosing a frequency by hand does not get round it either.
    EXPECT_EQ(
        Run("set Form2.RadioGroup2 0\nclick Form2.ButtonFitting\nprint MtfLastIndex\nprint Form2.MemoMTF\n"),
        "message: 選択した周波数までの MTF が測定されていません。\n2\nearlier\n");
}

}  // namespace
}  // namespace radmtf::testing
