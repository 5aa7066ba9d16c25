// The sample radiographs measure to the true MTF their README states, with
// the settings it gives.
#include <QFile>
#include <QRegularExpression>

#include <map>

#include "app_fixture.h"
#include "command_runner.h"
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

// The points `radmtf measure` lists for a sample, from its CSV.
std::vector<CurvePoint> Measured(const QStringList& arguments)
{
    const CommandRun run = RunMeasure(arguments + QStringList{"--format", "csv"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<CurvePoint> points;
    for (const std::vector<std::string>& row : CsvRows(run.out))
        points.emplace_back(std::stod(row.at(2)), std::stod(row.at(3)));
    return points;
}

TEST(Samples, MeasureToTheirStatedTrueMtfWithTheSettingsTheReadmeGives)
{
    const std::map<double, double> truth = StatedTrueMtf();
    // The slit with the default ROI.
    const std::vector<CurvePoint> slit = Measured({"slit", RADMTF_SAMPLES_DIR "/slit.dcm"});
    for (const auto& [f, m] : truth) EXPECT_NEAR(*ValueAt(slit, f), m, 0.02) << "slit, f = " << f;

    const std::vector<CurvePoint> chart =
        Measured({"chart", RADMTF_SAMPLES_DIR "/chart.dcm", "--roi", "420,24,830,34"});
    ASSERT_EQ(chart.size(), 10u);
    for (const auto& [f, m] : chart) {
        if (f > 0 && f <= 5) {
            EXPECT_NEAR(m, truth.at(f), 0.02) << "chart, f = " << f;
        }
    }
}

}  // namespace
}  // namespace radmtf::testing
