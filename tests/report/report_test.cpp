// The report needs no widgets: written under a bare GUI application on the
// offscreen platform (no display), as the command line writes it, one page
// per file. (The "minimal" platform draws no text unless started as
// "minimal:enable_fonts".)
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include "core/failure.h"
#include "report/report.h"

namespace radmtf {
namespace {

ReportPage Page(const QString& file, double sigma)
{
    ReportPage page;
    page.fileName = file;
    page.settings.maLines = "17";
    page.pixelSpacingMm = 0.1;
    for (int k = 0; k <= 100; ++k) {
        const double f = 0.1 * k;
        page.measured.emplace_back(f, std::exp(-2 * M_PI * M_PI * sigma * sigma * f * f));
    }
    return page;
}

TEST(Report, OnePagePerFileWithoutWidgets)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("two.pdf");
    WriteReportPdf(path, {Page("a.dcm", 0.05), Page("b.dcm", 0.08)});
    QProcess info;
    info.start("pdfinfo", {path});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_NE(info.readAllStandardOutput().indexOf("Pages:           2\n"), -1);
    QProcess text;
    text.start("pdftotext", {"-layout", path, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QByteArray words = text.readAllStandardOutput();
    EXPECT_NE(words.indexOf("a.dcm"), -1);
    EXPECT_NE(words.indexOf("b.dcm"), -1);
    // A file that cannot be written is refused with its name, leaving nothing behind.
    const QString blocked = dir.filePath("missing/folder/r.pdf");
    EXPECT_THROW(WriteReportPdf(blocked, {Page("a.dcm", 0.05)}), Failure);
}

// A page says only what the method used: a curve file instead of L and
// BitsStored, no orientation or smoothing for the precise slit mode's lines,
// and the uncertainties where its points have them.
TEST(Report, PageOfARecordLeavesOutWhatTheMethodDidNotUse)
{
    MeasurementRecord record;
    record.file = "slit.dcm";
    record.settings.method = MeasureMethod::kSlit;
    record.settings.precise = true;
    record.settings.pixelSpacing = 0.1L;
    record.settings.curveFile = "hdc.txt";
    record.settings.roi = RoiSetting{128, 32, 200, 40};
    for (int k = 0; k <= 10; ++k)
        record.points.push_back({0.5 * k, 1.0 - 0.05 * k, "", k > 0 ? std::optional(0.0125) : std::nullopt});
    const ReportPage page = MakeReportPage(record, {"Lab", "", ""});
    EXPECT_TRUE(page.settings.latitude.isEmpty() && page.settings.bitsStored.isEmpty());
    EXPECT_TRUE(page.settings.orientation.isEmpty() && page.settings.smoothing.isEmpty());
    EXPECT_EQ(page.uncertainties.size(), 10u);
    ASSERT_EQ(page.qa.size(), 1);  // the typed institution only: nothing empty
    EXPECT_EQ(page.qa[0].second, "Lab");

    QTemporaryDir dir;
    const QString path = dir.filePath("page.pdf");
    WriteReportPdf(path, {page});
    QProcess text;
    text.start("pdftotext", {"-layout", path, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(words.contains("hdc.txt")) << words.toStdString();
    EXPECT_FALSE(words.contains("BitsStored")) << words.toStdString();
    EXPECT_TRUE(words.contains(QString::fromUtf8("±0.013")))
        << words.toStdString();  // three decimals, as the memo
}

}  // namespace
}  // namespace radmtf

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
