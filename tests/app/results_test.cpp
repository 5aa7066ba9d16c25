// Results that leave the analysis window, driven as a user would through the
// chart and memo menus, and read back with real readers: CSV by an RFC 4180
// parser, the report by poppler's pdfinfo and pdftotext.
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <QApplication>
#include <QClipboard>

#include <regex>
#include <sstream>

#include "app_fixture.h"
#include "core/file_bytes.h"
#include "command_runner.h"
#include "core/numtext.h"
#include "failure_text.h"
#include "mtf/mtf_summary.h"
#include "report/report_page.h"
#include "synthetic_images.h"

namespace radmtf::testing {
namespace {

using namespace synthetic_slit;

std::string ReadAll(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll().toStdString();
}

class Results : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        Run(SlitMethodScript(WriteFile("slit.dcm", SlitImage(1, 17, 256, 64)), 1, 17));
    }
};

TEST_F(Results, CsvFilesHoldWhatTheMemoAndTheChartShow)
{
    const std::string shown =
        Run("answer " + Path("memo.csv") + "\nmenu Form2.MemoMTF Save as CSV…\nanswer " + Path("chart.csv") +
            "\nmenu Form2.ChartMTF ActionSaveData\n" + "print Form2.MemoMTF\nprint Form2.Series4\n");
    const std::vector<std::string> printed = SplitLines(shown);
    const Table memo = ParseCsv(ReadAll(Path("memo.csv")));
    ASSERT_GT(memo.size(), 10u);
    EXPECT_EQ(memo[0], (std::vector<std::string>{"frequency_cy_per_mm", "mtf"}));
    const std::size_t memoRows = memo.size() - 1;
    for (std::size_t i = 0; i < memoRows; ++i) EXPECT_EQ(memo[i + 1][0] + "\t" + memo[i + 1][1], printed[i]);

    const Table chart = ParseCsv(ReadAll(Path("chart.csv")));
    EXPECT_EQ(chart[0], (std::vector<std::string>{"series", "Spatial frequency (cycles/mm)", "MTF"}));
    ASSERT_EQ(chart.size() - 1, printed.size() - memoRows);  // Series4 is the chart's only filled series
    for (std::size_t i = 1; i < chart.size(); ++i) {
        EXPECT_EQ(chart[i][0], "mtf");
        EXPECT_EQ(chart[i][1] + "\t" + chart[i][2], printed[memoRows + i - 1]);
    }
}

TEST_F(Results, ChartPicturesInEachFormat)
{
    Run("answer " + Path("mtf.png") + "\nmenu Form2.ChartMTF Save image…\nanswer " + Path("mtf.svg") +
        "\nmenu Form2.ChartMTF Save image…\nanswer " + Path("lsf.pdf") +
        "\nmenu Form2.ChartLSF Save image…\n" +
        "answer cancel\nmenu Form2.ChartMTF Save image…\nmenu Form2.ChartPixelProf Copy image\n");
    EXPECT_EQ(QImage(QString::fromStdString(Path("mtf.png"))).size(), form2->ChartMTF->size());
    EXPECT_NE(ReadAll(Path("mtf.svg")).find("<svg"), std::string::npos);
    EXPECT_EQ(ReadAll(Path("lsf.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(QApplication::clipboard()->image().size(), form2->ChartPixelProf->size());
    EXPECT_EQ(RunExpectingError("menu Form2.ChartMTF Print"),
              "script error: line 1: unknown menu item Print");
}

TEST_F(Results, ReportIsOneA4PageWithTheTableAndTheSummary)
{
    const std::string pdf = Path("report.pdf");
    const std::vector<std::string> out =
        SplitLines(Run("answer " + pdf +
                       "\nclick Form2.ButtonReport\nprint Form2.MemoSummary\n"
                       "print MtfFrequency 70\nprint MtfValue 70\n"));
    const std::string info = Tool("pdfinfo", {QString::fromStdString(pdf)});
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("595 x 842 pts (A4)"), std::string::npos) << info;
    const std::string text = Tool("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    std::vector<CurvePoint> points;  // up to 5.8 cycles/mm
    for (int i = 0; i < 70; ++i) points.emplace_back(std::stod(out[3 + i]), std::stod(out[3 + 70 + i]));
    // Every row of the table, 0.5 ... 5 cycles/mm, as a frequency followed by its MTF.
    auto escaped = [](std::string number) { return std::regex_replace(number, std::regex("\\."), "\\."); };
    for (double f : HalfCycleSteps(5.0)) {
        const std::regex row("(^|\n) *" + escaped(FloatToStr(f)) + " +" +
                             escaped(FloatToStrRounded(*ValueAt(points, f), 3)) + "( |\n)");
        EXPECT_TRUE(std::regex_search(text, row)) << "f = " << f << "\n" << text;
    }
    EXPECT_NE(text.find(out[0].substr(6) + " cycles/mm"), std::string::npos) << out[0];  // MTF50
    EXPECT_NE(text.find(out[1].substr(6) + " cycles/mm"), std::string::npos) << out[1];  // MTF10
    EXPECT_NE(text.find(out[2].substr(5)), std::string::npos) << out[2];                 // at Nyquist
    EXPECT_NE(text.find("slit.dcm"), std::string::npos);
    EXPECT_NE(text.find("MA-Line#"), std::string::npos);
}

TEST_F(Results, SavesNeverReplaceTheShownImageOrAPipe)
{
    const std::string image = Path("slit.dcm");
    const std::string before = ReadAll(image);
    const std::string fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string script;
    for (const std::string& target : {image, fifo})
        script += "answer " + target + "\nmenu Form2.MemoMTF Save as CSV…\nanswer " + target +
                  "\nmenu Form2.ChartMTF Save image…\nanswer " + target + "\nclick Form2.ButtonReport\n";
    const std::vector<std::string> messages = SplitLines(Run(script));
    ASSERT_EQ(messages.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(messages[i], "message: " + Text(Failure(i < 3 ? FailureCode::kOutputIsInput
                                                                : FailureCode::kNotRegularTarget,
                                                          {i < 3 ? image : fifo})));
    EXPECT_EQ(ReadAll(image), before);
    struct stat info {};
    EXPECT_TRUE(::stat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
}

// The report states what produced the curve shown, whatever the windows show
// since; with the curve gone it is refused.
TEST_F(Results, ReportKeepsWhatProducedTheCurve)
{
    const auto settingsOfPage = [this] {
        const std::optional<ReportPage> page = form2->reportPage();
        EXPECT_TRUE(page);
        if (!page) return std::string();
        return (QFileInfo(page->fileName).fileName() + " | " + page->settings.roiCentre + " | " +
                page->settings.roiSize + " | " + page->settings.pixelSpacing + " | " +
                page->settings.maLines + " | " + QString::number(page->pixelSpacingMm))
            .toStdString();
    };
    // The version of the file measured is stated beside its name.
    const FileStamp stamp = StampOfFile(Path("slit.dcm"));
    const std::string measured = "slit.dcm  (" + std::to_string(stamp.size) + " bytes, " + stamp.modified +
                                 ") | 128, 32 | 200 × 40 | 0.1 (Pixel Spacing) | 17 | 0.1";
    ASSERT_EQ(settingsOfPage(), measured);
    // Edits changed after measuring.
    Run("set Form2.EditPxlSpc 0.2\nset Form2.EditMALine 5\n");
    EXPECT_EQ(settingsOfPage(), measured);
    const std::string pdf = Path("report.pdf");
    Run("answer " + pdf + "\nclick Form2.ButtonReport\n");
    const std::string text = Tool("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    EXPECT_NE(text.find("5 cycles/mm"), std::string::npos) << text;  // Nyquist at 0.1 mm
    EXPECT_EQ(text.find("2.5 cycles/mm"), std::string::npos) << text;
    // A refused toMTF (the ROI outside the image) keeps the table and its curve.
    Run("set Form1.EditROIPosX 5000\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n");
    EXPECT_EQ(settingsOfPage(), measured);
    // A load cancelled at its size prompt shows another file; the curve is still the slit's.
    const std::string note = WriteFile("note.txt", std::vector<std::uint8_t>(64, 'a'));
    Run("answer " + note + "\nanswer cancel\nanswer cancel\nclick Form1.BitBtnLoad\n");
    EXPECT_EQ(form1->EditFileName->text().toStdString(), note);
    EXPECT_EQ(settingsOfPage(), measured);
    // A table filled anew clears the curve, and the report is refused.
    Run(SlitMethodScript(Path("slit.dcm"), 1, 17)
            .substr(0, SlitMethodScript(Path("slit.dcm"), 1, 17).find("set Form2")));
    EXPECT_FALSE(form2->reportPage());
    EXPECT_EQ(Run("click Form2.ButtonReport\n"), "message: MTF がまだ測定されていません。\n");
}

class ResultsBeforeMeasuring : public WindowTest {};

TEST_F(ResultsBeforeMeasuring, ReportIsRefusedWithoutAMeasurement)
{
    EXPECT_EQ(Run("click Form2.ButtonReport\n"), "message: MTF がまだ測定されていません。\n");
}

}  // namespace
}  // namespace radmtf::testing
