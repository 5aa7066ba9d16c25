// The slit method from image to MTF curve and its summary, end to end
// through the windows, on synthetic tilted-slit radiographs whose presampled
// MTF is known.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "app_fixture.h"
#include "command_runner.h"
#include "measure/report.h"
#include "report/report_page.h"
#include "synthetic_images.h"

namespace radmtf::testing {
namespace {

using namespace synthetic_slit;

class SlitMethodEndToEnd : public WindowTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SlitMethodEndToEnd, ListsThePresampledMtfOfATiltedSlit)
{
    const auto [orientation, lines] = GetParam();
    const bool vertical = orientation <= 2;
    const std::string path =
        WriteFile("slit.dcm", SlitImage(orientation, lines, vertical ? 256 : 64, vertical ? 64 : 256));
    const std::string out = Run(SlitMethodScript(path, orientation, lines) +
                                "print Form2.PageControl1\nprint Form2.MemoMTF\nprint Form2.MemoSummary\n");
    std::istringstream lines_(out);
    std::string line;
    std::getline(lines_, line);
    EXPECT_EQ(line, "TabSheetMTF");
    int checked = 0;
    double worst = 0;
    while (std::getline(lines_, line) && !line.starts_with("MTF50")) {
        ASSERT_NE(line.find('\t'), std::string::npos) << line;
        const double f = std::stod(line.substr(0, line.find('\t')));
        const double m = std::stod(line.substr(line.find('\t') + 1));
        if (f > 5.0) continue;  // up to the Nyquist frequency of 0.1 mm pixels
        worst = std::max(worst, std::abs(m - AnalyticMtf(f)));
        EXPECT_NEAR(m, AnalyticMtf(f), 0.01) << "f = " << f;
        ++checked;
    }
    // A step of 1 / (2048 x 0.1 / M) cycles/mm up to 5 cycles/mm.
    EXPECT_EQ(checked, static_cast<int>(std::floor(5.0 * 2048 * kPixel / lines)) + 1);
    RecordProperty("worst", std::to_string(worst));

    // The summary: where the analytic curve falls to 0.5 and 0.1 (found by
    // bisection), within 0.02 cycles/mm; the value at Nyquist within 0.01.
    auto fallsTo = [](double level) {
        double lo = 0, hi = 10;
        for (int i = 0; i < 60; ++i) (AnalyticMtf((lo + hi) / 2) > level ? lo : hi) = (lo + hi) / 2;
        return lo;
    };
    EXPECT_NEAR(std::stod(line.substr(6)), fallsTo(0.5), 0.02) << line;
    ASSERT_TRUE(std::getline(lines_, line));
    EXPECT_NEAR(std::stod(line.substr(6)), fallsTo(0.1), 0.02) << line;
    ASSERT_TRUE(std::getline(lines_, line));
    EXPECT_NEAR(std::stod(line.substr(line.rfind(' '))), AnalyticMtf(5.0), 0.01) << line;

    // The command line, with the same settings, gives the same values to the last bit.
    const CommandRun command =
        RunMeasure({"slit", QString::fromStdString(path), "--format", "csv", "--extract", "--orientation",
                    QString::number(orientation), "--ma-line", QString::number(lines), "--roi",
                    vertical ? "128,32,200,40" : "32,128,40,200"});
    ASSERT_EQ(command.exitCode, 0) << command.err;
    // The bins the memo lists, and the MTF at Nyquist (5 cycles/mm) between two of them.
    auto csv = CsvRows(command.out);
    const auto nyquist = std::find_if(csv.begin(), csv.end(), [](const auto& row) { return row[2] == "5"; });
    ASSERT_NE(nyquist, csv.end());
    EXPECT_NEAR(std::stod((*nyquist)[3]), AnalyticMtf(5.0), 0.01);
    csv.erase(nyquist);
    const QStringList memo = form2->MemoMTF->lines();
    ASSERT_EQ(csv.size(), static_cast<std::size_t>(memo.size()));
    for (std::size_t i = 0; i < csv.size(); ++i) {
        ASSERT_GE(csv[i].size(), 5u);
        EXPECT_EQ(csv[i][2], ExactNumber(form2->session.mtf().mtfFrequency[i]));
        EXPECT_EQ(csv[i][3], ExactNumber(form2->session.mtf().mtfValue[i]));
        EXPECT_EQ(csv[i][4], memo[int(i)].section('\t', 1).toStdString());
    }
}

class SlitWithConversion : public WindowTest {};

// A conversion function chosen in the window measures as the command's
// --conversion, to the last bit, and the report states it.
TEST_F(SlitWithConversion, MeasuresAsTheCommandsConversion)
{
    const std::string path = WriteFile("slit.dcm", SlitImage(1, 17, 256, 64));
    form2->ComboConversion->setCurrentIndex(1);
    form2->EditConversion->setText("-50,2");
    Run(SlitMethodScript(path, 1, 17));
    const CommandRun command =
        RunMeasure({"slit", QString::fromStdString(path), "--format", "csv", "--extract", "--orientation",
                    "1", "--ma-line", "17", "--roi", "128,32,200,40", "--conversion", "linear:-50,2"});
    ASSERT_EQ(command.exitCode, 0) << command.err;
    auto csv = CsvRows(command.out);
    csv.erase(std::find_if(csv.begin(), csv.end(), [](const auto& row) { return row[2] == "5"; }));
    ASSERT_EQ(csv.size(), static_cast<std::size_t>(form2->MemoMTF->lines().size()));
    for (std::size_t i = 0; i < csv.size(); ++i)
        EXPECT_EQ(csv[i][3], ExactNumber(form2->session.mtf().mtfValue[i])) << i;
    const std::optional<ReportPage> page = form2->reportPage();
    ASSERT_TRUE(page);
    ASSERT_FALSE(page->settings.methodRows.isEmpty());
    EXPECT_EQ(page->settings.methodRows[0].second.toStdString(), "linear:-50,2");
    EXPECT_TRUE(page->settings.latitude.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Orientations, SlitMethodEndToEnd,
                         ::testing::Values(std::make_pair(1, 17), std::make_pair(2, 17),
                                           std::make_pair(3, 10), std::make_pair(4, 12)));

}  // namespace
}  // namespace radmtf::testing

namespace radmtf::testing {
namespace {

using namespace synthetic_slit;

class SlitMethodCheck : public WindowTest {};

TEST_F(SlitMethodCheck, CalMtfWarnsOfATiltUnlikeTheImagesAndKeepsItsResult)
{
    const std::string path = WriteFile("slit.dcm", SlitImage(1, 17, 256, 64));
    EXPECT_EQ(Run(SlitMethodScript(path, 1, 17)).find("message:"), std::string::npos);
    // Button 2 on a slit tilted as button 1: the result, and the warning after it.
    const std::vector<std::string> out =
        SplitLines(Run(SlitMethodScript(path, 2, 17) + "print Form2.MemoMTF\n"));
    ASSERT_GT(out.size(), 100u);
    EXPECT_EQ(out[0].rfind("message: 選択した向きまたは MA-Line# が画像からの推定 (M = ", 0), 0u) << out[0];
    EXPECT_NE(out[0].find("orientation 1)"), std::string::npos) << out[0];
}

}  // namespace
}  // namespace radmtf::testing
