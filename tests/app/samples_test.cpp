// The sample radiographs measure to the true MTF their README states, with
// the settings it gives.
#include <QFile>
#include <QRegularExpression>

#include <map>
#include <sstream>

#include "app_fixture.h"
#include "mtf/mtf_summary.h"

namespace radmtf::testing {
namespace {

// The README's table: cycles/mm -> true MTF.
std::map<double, double> StatedTrueMtf()
{
    QFile file(RADMTF_SAMPLES_DIR "/README.md");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<double, double> table;
    const QRegularExpression row("^\\| ([0-9.]+) \\| ([0-9.]+) \\|$", QRegularExpression::MultilineOption);
    for (auto match = row.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        table[m.captured(1).toDouble()] = m.captured(2).toDouble();
    }
    EXPECT_EQ(table.size(), 10u);
    return table;
}

std::vector<CurvePoint> Points(const std::string& printed)
{
    std::vector<CurvePoint> points;
    std::istringstream in(printed);
    for (std::string line; std::getline(in, line);)
        points.emplace_back(std::stod(line.substr(0, line.find('\t'))),
                            std::stod(line.substr(line.find('\t') + 1)));
    return points;
}

class Samples : public WindowTest {};

TEST_F(Samples, SlitAndChartMeasureToTheirStatedTrueMtf)
{
    const std::map<double, double> truth = StatedTrueMtf();
    // The slit with the default ROI and the five clicks the README names.
    const std::vector<CurvePoint> slit = Points(
        Run("answer " RADMTF_SAMPLES_DIR "/slit.dcm\nclick Form1.BitBtnLoad\nclick Form1.ButtonToTable\n"
            "click Form2.Button2Dto1D\nclick Form2.ButtonSmooth\nclick Form2.ButtonToExp\nclick "
            "Form2.ButtonSlit\n"
            "print Form2.MemoMTF\n"));
    for (const auto& [f, m] : truth) EXPECT_NEAR(*ValueAt(slit, f), m, 0.02) << "slit, f = " << f;

    const std::vector<CurvePoint> chart = Points(
        Run("answer " RADMTF_SAMPLES_DIR "/chart.dcm\nclick Form1.BitBtnLoad\nset Form1.EditROIPosX 420\n"
            "set Form1.EditROIPosY 24\nset Form1.EditROISizeX 830\nset Form1.EditROISizeY 34\n"
            "click Form1.ButtonDisp\nclick Form1.ButtonToTable\nclick Form2.Button2Dto1D\n"
            "click Form2.ButtonSmooth\nclick Form2.ButtonSWC\nprint Form2.MemoMTF2\n"));
    ASSERT_EQ(chart.size(), 10u);
    for (const auto& [f, m] : chart) {
        if (f > 0 && f <= 5) {
            EXPECT_NEAR(m, truth.at(f), 0.02) << "chart, f = " << f;
        }
    }
}

}  // namespace
}  // namespace radmtf::testing
