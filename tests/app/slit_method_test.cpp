// The slit method from image to MTF curve, end to end through the windows,
// on synthetic tilted-slit radiographs whose presampled MTF is known:
// a Gaussian line spread of standard deviation sigma integrated over the
// pixel aperture a has MTF(f) = exp(-2 pi^2 sigma^2 f^2) |sinc(a f)|.
#include <cmath>
#include <sstream>

#include "app_fixture.h"
#include "command_runner.h"
#include "measure/report.h"
#include "synthetic_images.h"

namespace radmtf::testing {
namespace {

using namespace synthetic_slit;

class SlitMethodEndToEnd : public WindowTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SlitMethodEndToEnd, ListsThePresampledMtfOfATiltedSlit)
{
    const auto [orientation, lines] = GetParam();
    const bool vertical = orientation <= 2;
    const int columns = vertical ? 256 : 64;
    const int rows = vertical ? 64 : 256;
    const std::string path = WriteFile("slit.dcm", SlitImage(orientation, lines, columns, rows));
    const std::string roi = vertical ? "set Form1.EditROIPosX 128\nset Form1.EditROIPosY 32\n"
                                       "set Form1.EditROISizeX 200\nset Form1.EditROISizeY 40\n"
                                     : "set Form1.EditROIPosX 32\nset Form1.EditROIPosY 128\n"
                                       "set Form1.EditROISizeX 40\nset Form1.EditROISizeY 200\n";
    const std::string out =
        Run("answer " + path + "\nclick Form1.BitBtnLoad\n" + roi +
            "click Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
            "set Form2.RadioButton" +
            std::to_string(orientation) +
            " 1\n"
            "set Form2.EditMALine " +
            std::to_string(lines) +
            "\n"
            "click Form2.Button2Dto1D\nclick Form2.ButtonSmooth\nclick Form2.ButtonExtract\n"
            "click Form2.ButtonToExp\nclick Form2.ButtonSlit\nprint Form2.PageControl1\n"
            "print Form2.MemoMTF\n");
    std::istringstream lines_(out);
    std::string line;
    std::getline(lines_, line);
    EXPECT_EQ(line, "TabSheetMTF");
    int checked = 0;
    double worst = 0;
    while (std::getline(lines_, line)) {
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

    // The command line, with the same settings, gives the same values to the last bit.
    const CommandRun command =
        RunMeasure({"slit", QString::fromStdString(path), "--format", "csv", "--extract", "--orientation",
                    QString::number(orientation), "--ma-line", QString::number(lines), "--roi",
                    vertical ? "128,32,200,40" : "32,128,40,200"});
    ASSERT_EQ(command.exitCode, 0) << command.err;
    const auto csv = CsvRows(command.out);
    const QStringList memo = form2->MemoMTF->lines();
    ASSERT_EQ(csv.size(), static_cast<std::size_t>(memo.size()));
    for (std::size_t i = 0; i < csv.size(); ++i) {
        ASSERT_GE(csv[i].size(), 5u);
        EXPECT_EQ(csv[i][2], ExactNumber(form2->mtf.mtfFrequency[i]));
        EXPECT_EQ(csv[i][3], ExactNumber(form2->mtf.mtfValue[i]));
        EXPECT_EQ(csv[i][4], memo[int(i)].section('\t', 1).toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, SlitMethodEndToEnd,
                         ::testing::Values(std::make_pair(1, 17), std::make_pair(2, 17),
                                           std::make_pair(3, 10), std::make_pair(4, 12)));

}  // namespace
}  // namespace radmtf::testing
