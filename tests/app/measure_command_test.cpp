// `radmtf measure` on folders and on bad input: order, failures in the
// middle, exit codes, and usage errors found before any file is read.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <optional>
#include <regex>
#include <set>
#include <thread>

#include "app/batch.h"
#include "app/messages.h"
#include "command_runner.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "measure/measurement.h"
#include "measure/report.h"
#include "mtf/mtf_summary.h"
#include "synth/dicom_writer.h"
#include "synth/radiograph.h"
#include "synthetic_images.h"

namespace radmtf::testing {
namespace {

class MeasureCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString Write(const QString& name, const std::vector<std::uint8_t>& bytes)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return folder.filePath(name);
    }
    QTemporaryDir folder;
};

TEST_F(MeasureCommand, MeasuresAFolderInNameOrderAndMarksTheFilesItCannotMeasure)
{
    const std::vector<std::uint8_t> slit = synthetic_slit::SlitImage(1, 17, 256, 64);
    Write("B.dcm", slit);
    Write("a.dcm", slit);
    Write("c.txt", {'n', 'o', ' ', 'i', 'm', 'a', 'g', 'e'});
    Write("d.dcm", slit);
    ASSERT_TRUE(QDir(folder.path()).mkdir("e"));
    const CommandRun run = RunMeasure({"slit", folder.path(), "--roi", "128,32,200,40", "--format", "csv"});
    EXPECT_EQ(run.exitCode, 1);
    const auto rows = CsvRows(run.out);
    std::vector<std::string> order;
    for (const auto& row : rows)
        if (order.empty() || order.back() != row[0]) order.push_back(row[0]);
    const std::string base = folder.path().toStdString() + "/";
    EXPECT_EQ(order, (std::vector<std::string>{base + "a.dcm", base + "B.dcm", base + "c.txt", base + "d.dcm",
                                               base + "e"}));
    // A failed file: one row, no number that could pass for a result, its
    // message on standard error too.
    for (const auto& row : rows) {
        if (row[0] != base + "c.txt" && row[0] != base + "e") continue;
        EXPECT_EQ(row[2], "");
        EXPECT_EQ(row[3], "");
        EXPECT_EQ(row[4].rfind("failed: ", 0), 0u) << row[4];
    }
    EXPECT_NE(run.err.find("c.txt: 画像の大きさが分かりません。"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("e: " + base + "e は画像ファイルではありません。"), std::string::npos) << run.err;
    // The three measured files give the same rows.
    std::vector<std::vector<std::string>> first;
    for (const auto& row : rows)
        if (row[0] == base + "a.dcm") first.push_back(std::vector<std::string>(row.begin() + 1, row.end()));
    ASSERT_FALSE(first.empty());
    std::size_t same = 0;
    for (const auto& row : rows)
        if (std::vector<std::string>(row.begin() + 1, row.end()) == first[same % first.size()]) ++same;
    EXPECT_EQ(same, 3 * first.size());

    // All measured: exit 0, and JSON says so per file.
    const CommandRun json =
        RunMeasure({"slit", base.c_str() + QString("a.dcm"), "--roi", "128,32,200,40", "--format", "json"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"status\": \"ok\""), std::string::npos);
    EXPECT_NE(json.out.find("\"pixel_spacing_mm\": 0.1"), std::string::npos);
}

TEST_F(MeasureCommand, RefusesBadOptionsBeforeReadingAndFailsFilesItCannotMeasure)
{
    const QString image = Write("slit.dcm", synthetic_slit::SlitImage(1, 17, 256, 64));
    // Usage errors: exit 2, nothing on standard output.
    for (const QStringList& args :
         {QStringList{"slit", image, "--orientation", "5"}, QStringList{"slit", image, "--ma-line", "0"},
          QStringList{"slit", image, "--pixel-spacing", "-0.1"},
          QStringList{"slit", image, "--oritentation", "1"}, QStringList{"slit", image, "--roi", "1,2,3"},
          QStringList{"slit", image, "--fit-up-to", "2.2"},
          QStringList{"chart", image, "--truncate-at", "10"}, QStringList{"cone", image},
          QStringList{"chart", image, "--slit-width", "0.02"},
          QStringList{"slit", image, "--slit-width", "0.02"},
          QStringList{"slit", image, "--precise", "--extract"}, QStringList{"edge", image, "--ma-line", "17"},
          QStringList{"edge", image, "--precise"},
          QStringList{"slit", image, "--precise", "--slit-width", "-1"},
          QStringList{"slit", image, "--orientation", "automatic"}, QStringList{"slit"}}) {
        const CommandRun run = RunMeasure(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(run.out, "") << args.join(' ').toStdString();
        EXPECT_NE(run.err.find("radmtf measure --help"), std::string::npos) << run.err;
    }
    EXPECT_NE(
        RunMeasure({"slit", image, "--orientation", "5"}).err.find("--orientation の値 '5' は使えません。"),
        std::string::npos);
    EXPECT_NE(RunMeasure({"chart", image, "--slit-width", "0.02"})
                  .err.find("--slit-width はこの測定方法では使えません。"),
              std::string::npos);

    // A missing file and a ROI outside the image fail that file: exit 1.
    const CommandRun missing = RunMeasure({"slit", folder.filePath("none.dcm"), "--format", "csv"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("は開けません"), std::string::npos) << missing.err;
    const CommandRun outside = RunMeasure({"slit", image, "--roi", "250,32,200,40", "--format", "csv"});
    EXPECT_EQ(outside.exitCode, 1);
    const auto rows = CsvRows(outside.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][4], "failed: ROIが画像の外にはみ出しています。");

    // --help lists every option with its default.
    const CommandRun help = RunMeasure({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--roi", "--orientation", "--ma-line", "--smooth", "--pixel-spacing", "--log-exposure-area",
          "--bits", "--hdc", "--extract", "--truncate-at", "--fit-degree", "--fit-up-to", "--format",
          "--output", "--precise", "--slit-width", "edge", "auto"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

TEST_F(MeasureCommand, SummarisesEachFileInJsonAndReportsItOnAPageInTheAskedLanguage)
{
    const QString bad = Write("bad.dcm", {1, 2, 3});
    const QString pdf = folder.filePath("report.pdf");
    const CommandRun run = RunMeasure(
        {"slit", RADMTF_SAMPLES_DIR "/slit.dcm", bad, "--format", "json", "--report", pdf, "--lang", "en"});
    EXPECT_EQ(run.exitCode, 1);
    const QJsonArray files = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
    ASSERT_EQ(files.size(), 2);
    // The summary is read off the very points listed.
    std::vector<CurvePoint> points;
    for (const QJsonValue point : files[0]["points"].toArray())
        points.emplace_back(point["frequency_cy_per_mm"].toDouble(), point["mtf"].toDouble());
    const MtfSummary summary = SummarizeMtf(points, 0.1);
    EXPECT_EQ(files[0]["mtf50_cy_per_mm"].toDouble(), *summary.mtf50);
    EXPECT_EQ(files[0]["mtf10_cy_per_mm"].toDouble(), *summary.mtf10);
    EXPECT_EQ(files[0]["mtf_nyquist"].toDouble(), *summary.atNyquist);
    EXPECT_TRUE(files[1]["mtf50_cy_per_mm"].isNull());
    // The version of the file measured.
    const FileStamp stamp = StampOfFile(RADMTF_SAMPLES_DIR "/slit.dcm");
    EXPECT_EQ(files[0]["file_size"].toInteger(), static_cast<qint64>(stamp.size));
    EXPECT_EQ(files[0]["file_modified"].toString().toStdString(), stamp.modified);
    EXPECT_EQ(files[1]["message"].toString().toStdString().find("は"), std::string::npos) << run.out;

    EXPECT_NE(Tool("pdfinfo", {pdf}).find("Pages:           2\n"), std::string::npos);
    const std::string text = Tool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_NE(text.find(FloatToStrRounded(*summary.mtf50, 3) + " cycles/mm"), std::string::npos) << text;
    EXPECT_NE(text.find("Not measured: "), std::string::npos) << text;
}

// The message of a failure code as the command prints it (Japanese, its default).
std::string Message(FailureCode code, const std::string& argument = {})
{
    return FailureText(code, argument.empty() ? std::vector<std::string>{} : std::vector{argument})
        .toStdString();
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(MeasureCommand, NeverWritesOverItsInputsOrWhatIsNoRegularFile)
{
    const QString image = Write("v.dcm", synthetic_slit::SlitImage(1, 17, 256, 64));
    const QByteArray original = Contents(image);
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // Refused before anything is measured: exit 2, the input untouched, the pipe still a pipe.
    for (const QString& option : QStringList{"--output", "--report"}) {
        const CommandRun input = RunMeasure({"slit", image, option, image});
        EXPECT_EQ(input.exitCode, 2) << option.toStdString();
        EXPECT_NE(input.err.find(Message(FailureCode::kOutputIsInput, image.toStdString())),
                  std::string::npos)
            << input.err;
        EXPECT_EQ(Contents(image), original);
        // Also as an entry of a measured folder, where earlier results are skipped.
        EXPECT_EQ(RunMeasure({"slit", folder.path(), option, image}).exitCode, 2) << option.toStdString();
        EXPECT_EQ(Contents(image), original);
        const CommandRun pipe = RunMeasure({"slit", image, option, fifo});
        EXPECT_EQ(pipe.exitCode, 2) << option.toStdString();
        EXPECT_NE(pipe.err.find(Message(FailureCode::kNotRegularTarget, fifo.toStdString())),
                  std::string::npos)
            << pipe.err;
        struct stat info {};
        EXPECT_TRUE(::stat(fifo.toLocal8Bit().constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
    const QString both = folder.filePath("both");
    EXPECT_EQ(RunMeasure({"slit", image, "--output", both, "--report", both}).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(both));

    // Written into the measured folder: the earlier results there (and a
    // temporary a killed run left) are not measured again.
    const QString results = Write("results.csv", {'o', 'l', 'd'});
    Write(".results.csv.radmtf-0123456789ab", {'o', 'l', 'd'});
    const CommandRun again =
        RunMeasure({"slit", folder.path(), "--roi", "128,32,200,40", "--output", results, "--format", "csv"});
    std::set<std::string> measured;
    for (const auto& row : CsvRows(Contents(results).toStdString())) measured.insert(row[0]);
    EXPECT_EQ(measured, (std::set<std::string>{image.toStdString(), fifo.toStdString()})) << again.err;

    // Standard output that cannot be written: a message and exit 1.
    const CommandRun full = RunMeasure({"slit", image, "--roi", "128,32,200,40"}, "/dev/full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find(Message(FailureCode::kStandardOutput)), std::string::npos) << full.err;
    EXPECT_EQ(RunMeasure({"--help"}, "/dev/full").exitCode, 1);
}

TEST_F(MeasureCommand, RefusesAPixelSpacingNoDetectorHasQuickly)
{
    const QString image = Write("slit.dcm", synthetic_slit::SlitImage(1, 17, 256, 64));
    QElapsedTimer clock;
    clock.start();
    for (const char* spacing : {"1e-300", "1e-8", "11"}) {
        const CommandRun option = RunMeasure({"slit", image, "--pixel-spacing", spacing});
        EXPECT_EQ(option.exitCode, 2) << spacing;
        EXPECT_NE(option.err.find(Message(FailureCode::kPixelSpacingRange, FloatToStr(StrToFloat(spacing)))),
                  std::string::npos)
            << option.err;
    }
    // A file that says so fails, whatever the method.
    for (const char* spacing : {"1e-300", "1e-8"}) {
        testdata::DicomImageFields fields;
        fields.columns = 64;
        fields.rows = 64;
        fields.pixelSpacing = std::string(spacing) + "\\" + spacing;
        fields.pixels.assign(64 * 64, 1000);
        const QString tiny = Write(QString("tiny") + spacing + ".dcm", testdata::BuildDicom(fields));
        for (const QStringList& method : {QStringList{"slit"}, QStringList{"slit", "--precise"},
                                          QStringList{"chart"}, QStringList{"edge"}}) {
            const CommandRun run = RunMeasure(method + QStringList{tiny, "--format", "csv"});
            EXPECT_EQ(run.exitCode, 1) << spacing;
            EXPECT_NE(run.err.find(Message(FailureCode::kPixelSpacingRange, FloatToStr(StrToFloat(spacing)))),
                      std::string::npos)
                << run.err;
        }
    }
    EXPECT_LT(clock.elapsed(), 20000);
}

TEST_F(MeasureCommand, PrintsControlCharactersInNamesEscaped)
{
    const QString name = Write("a\x1b]0;x\x07\x1b[2J.dcm", {1, 2, 3});
    const std::string escaped = "a\\x1b]0;x\\x07\\x1b[2J.dcm";
    for (const char* format : {"table", "csv"}) {
        const CommandRun run = RunMeasure({"slit", name, "--format", format});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(escaped + ": "), std::string::npos) << run.err;
    }
    const CommandRun table = RunMeasure({"slit", name, "--format", "table"});
    EXPECT_EQ(table.out.find('\x1b'), std::string::npos) << table.out;
    EXPECT_NE(table.out.find(escaped), std::string::npos) << table.out;
}

QJsonArray JsonFiles(const CommandRun& run)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
}

QJsonObject JsonFile(const CommandRun& run)
{
    return JsonFiles(run).first().toObject();
}

TEST_F(MeasureCommand, TraditionalMethodsRefuseAnImageWithoutTheirObjectAndWarnOfAWrongTilt)
{
    const QString flat = RADMTF_SAMPLES_DIR "/flat.dcm";
    const QString slit = RADMTF_SAMPLES_DIR "/slit.dcm";
    const QString noObject = FailureText(FailureCode::kNoTiltedObject);
    for (const QStringList& args :
         {QStringList{"slit", flat, "--roi", "128,128,128,128"},
          QStringList{"chart", flat, "--roi", "128,128,200,40"},
          QStringList{"slit", RADMTF_SAMPLES_DIR "/edge.dcm", "--roi", "128,128,128,128"},
          QStringList{"chart", slit, "--roi", "128,64,128,64"}}) {
        const CommandRun run = RunMeasure(args + QStringList{"--format", "json"});
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        const QJsonArray files = JsonFiles(run);
        ASSERT_EQ(files.size(), 1) << run.out;
        EXPECT_EQ(files[0]["status"].toString(), "failed");
        EXPECT_EQ(files[0]["message"].toString(), noObject) << args.join(' ').toStdString();
    }
    EXPECT_EQ(
        RunMeasure({"slit", flat, "--roi", "128,128,128,128", "--no-check", "--format", "json"}).exitCode, 0);

    // Button 2 on a slit tilted as button 1: measured, and warned about.
    const CommandRun wrong = RunMeasure({"slit", slit, "--orientation", "2", "--format", "json"});
    EXPECT_EQ(wrong.exitCode, 0) << wrong.err;
    const QJsonArray warnings = JsonFile(wrong)["warnings"].toArray();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(
        warnings[0].toString().startsWith(FailureText(FailureCode::kGeometryMismatch, {"M"}).left(8)));
    EXPECT_NE(wrong.err.find(warnings[0].toString().toStdString()), std::string::npos) << wrong.err;
    const Table csv = CsvRows(RunMeasure({"slit", slit, "--orientation", "2", "--format", "csv"}).out);
    const std::vector<std::string> names = CsvColumns();
    const auto column =
        static_cast<std::size_t>(std::find(names.begin(), names.end(), "warnings") - names.begin());
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(csv[0][column], warnings[0].toString().toStdString());
    const CommandRun right = RunMeasure({"slit", slit, "--format", "json"});
    EXPECT_TRUE(JsonFile(right)["warnings"].toArray().isEmpty()) << right.out;
    EXPECT_EQ(right.err, "");
    const CommandRun unchecked =
        RunMeasure({"slit", slit, "--orientation", "2", "--no-check", "--format", "json"});
    EXPECT_TRUE(JsonFile(unchecked)["warnings"].toArray().isEmpty());
}

TEST_F(MeasureCommand, EveryMethodMeasuresTheMtfAtNyquistOfAPitchBetweenSteps)
{
    synth::DetectorModel model;
    model.pixelPitch = model.aperture = 0.139;
    const double nyquist = 1 / (2 * 0.139);
    synth::Placement at;
    at.columns = 200;
    at.rows = 120;
    at.linesPerPixel = 17.3;
    at.origin = 100.4;
    const QString slit = folder.filePath("slit.dcm");
    ASSERT_TRUE(synth::WriteDicomFile(
        slit.toStdString(), synth::Render(at, synth::SlitObject(model, 0.01, 0.0), model, {1e4, 3})));
    at.linesPerPixel = 22.9;
    const QString edge = folder.filePath("edge.dcm");
    ASSERT_TRUE(synth::WriteDicomFile(
        edge.toStdString(), synth::Render(at, synth::EdgeObject(model, 0.005, true), model, {1e4, 4})));
    for (const QStringList& args :
         {QStringList{"slit", slit, "--ma-line", "17"},
          QStringList{"slit", slit, "--ma-line", "17", "--precise"}, QStringList{"edge", edge}}) {
        const CommandRun run = RunMeasure(args + QStringList{"--roi", "100,60,180,100", "--format", "json"});
        ASSERT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << run.err;
        const QJsonObject file = JsonFile(run);
        std::optional<double> atNyquist;
        for (const QJsonValue point : file["points"].toArray())
            if (point["frequency_cy_per_mm"].toDouble() == nyquist) atNyquist = point["mtf"].toDouble();
        ASSERT_TRUE(atNyquist) << args.join(' ').toStdString();
        EXPECT_EQ(file["mtf_nyquist"].toDouble(), *atNyquist) << args.join(' ').toStdString();
        EXPECT_NEAR(*atNyquist, model.PresampledMtf(nyquist), 0.03) << args.join(' ').toStdString();
    }
}

TEST_F(MeasureCommand, ChartListsEveryGroupAndMarksWhatWasNotMeasured)
{
    const QString chart = RADMTF_SAMPLES_DIR "/chart.dcm";
    for (const QString precise : {"", "--precise"}) {
        QStringList args{"chart", chart, "--roi", "420,24,830,34", "--format", "json"};
        if (!precise.isEmpty()) args << precise;
        const CommandRun run = RunMeasure(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QJsonArray points = JsonFile(run)["points"].toArray();
        ASSERT_EQ(points.size(), 10) << run.out;  // 0 and the nine groups
        for (const QJsonValue point : points) {
            const double f = point["frequency_cy_per_mm"].toDouble();
            EXPECT_EQ(point["beyond_nyquist"].toBool(), f > 5) << f;
            EXPECT_FALSE(point["interpolated"].toBool());
            const bool found = point["status"].toString() == "ok";
            EXPECT_EQ(point["mtf"].isNull(), !found) << f;
            if (found) {
                EXPECT_EQ(point["low_modulation"].toBool(), point["mtf"].toDouble() < 0.02) << f;
            }
        }
    }
    // A CSV row per point, the marks after the settings (then the columns added since).
    const Table rows = CsvRows(RunMeasure({"chart", chart, "--roi", "420,24,830,34", "--format", "csv"}).out);
    ASSERT_EQ(rows.size(), 10u);
    const std::vector<std::string> names = CsvColumns();
    const auto marks = std::find(names.begin(), names.end(), "status") - names.begin();
    ASSERT_EQ(names[marks - 1], "slit_width_mm");
    ASSERT_EQ(std::vector<std::string>(names.begin() + marks, names.begin() + marks + 4),
              (std::vector<std::string>{"status", "beyond_nyquist", "interpolated", "low_modulation"}));
    ASSERT_EQ(rows[9].size(), names.size());
    EXPECT_EQ(std::vector<std::string>(rows[9].begin() + marks, rows[9].begin() + marks + 4),
              (std::vector<std::string>{"ok", "true", "false", "false"}));
    // The report's 0.5-step table marks the rows read between two groups.
    const QString pdf = folder.filePath("chart.pdf");
    ASSERT_EQ(
        RunMeasure({"chart", chart, "--roi", "420,24,830,34", "--report", pdf, "--format", "csv"}).exitCode,
        0);
    const std::string text = Tool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(std::regex_search(text, std::regex("(^|\\s)3 +0\\.\\d{3}(?! \\*)"))) << text;  // measured
    EXPECT_TRUE(std::regex_search(text, std::regex("(^|\\s)3\\.5 +0\\.\\d+ \\*"))) << text;
    EXPECT_NE(text.find("* 測定したバー群の間を補間した値"), std::string::npos)
        << text;  // Japanese by default
}

// The polynomial of a JSON "fit" at f.
double FitAt(const QJsonObject& fit, double f)
{
    long double sum = 0, power = 1;
    for (const QJsonValue c : fit["coefficients"].toArray()) {
        sum += c.toDouble() * power;
        power *= f;
    }
    return static_cast<double>(sum);
}

TEST_F(MeasureCommand, GivesTheFitAtEachPointWhereFittingRunsAndItsDegreeMatters)
{
    const QString chart = RADMTF_SAMPLES_DIR "/chart.dcm";
    std::vector<QJsonObject> byDegree;
    for (const char* degree : {"3", "7"}) {
        const CommandRun run = RunMeasure(
            {"chart", chart, "--roi", "420,24,830,34", "--fit-degree", degree, "--format", "json"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        byDegree.push_back(JsonFile(run));
    }
    for (const QJsonObject& file : byDegree) {
        const QJsonObject fit = file["fit"].toObject();
        EXPECT_EQ(fit["coefficients"].toArray().size(), fit["degree"].toInt() + 1);
        for (const QJsonValue point : file["points"].toArray()) {
            const double f = point["frequency_cy_per_mm"].toDouble();
            if (f > fit["up_to_cy_per_mm"].toDouble())
                EXPECT_TRUE(point["mtf_fit"].isNull());
            else
                EXPECT_NEAR(point["mtf_fit"].toDouble(), FitAt(fit, f), 1e-12) << f;
        }
    }
    EXPECT_EQ(byDegree[0]["fit"].toObject()["degree"].toInt(), 3);
    const QJsonArray low = byDegree[0]["points"].toArray(), high = byDegree[1]["points"].toArray();
    ASSERT_EQ(low.size(), high.size());
    EXPECT_EQ(low[4]["mtf"], high[4]["mtf"]);
    EXPECT_NE(low[4]["mtf_fit"], high[4]["mtf_fit"]);

    // The slit is fitted only when asked; then the CSV's mtf_fit is filled
    // up to the fit's frequency.
    const QString slit = RADMTF_SAMPLES_DIR "/slit.dcm";
    const CommandRun plain = RunMeasure({"slit", slit, "--format", "csv"});
    const CommandRun fitted = RunMeasure({"slit", slit, "--fit-up-to", "3", "--format", "csv"});
    ASSERT_EQ(fitted.exitCode, 0) << fitted.err;
    const std::size_t fitColumn = CsvColumn(plain.out, "mtf_fit");
    ASSERT_LT(fitColumn, ParseCsv(plain.out)[0].size());
    for (const auto& row : CsvRows(plain.out)) EXPECT_EQ(row[fitColumn], "");
    std::size_t filled = 0;
    for (const auto& row : CsvRows(fitted.out)) filled += !row[fitColumn].empty();
    EXPECT_GT(filled, 3u);
    EXPECT_LT(filled, CsvRows(fitted.out).size());
    EXPECT_FALSE(JsonFile(RunMeasure({"slit", slit, "--format", "json"})).contains("fit"));
}

TEST_F(MeasureCommand, EdgeAndLsfRangeOptionsChangeTheMeasurementAndAreListedWithTheSettings)
{
    const QString edge = RADMTF_SAMPLES_DIR "/edge.dcm";
    const QString slit = RADMTF_SAMPLES_DIR "/slit.dcm";
    struct Case {
        QStringList args;
        const char* column;
        const char* value;
    };
    for (const Case& c : {Case{{"edge", edge, "--edge-bin", "0.25"}, "edge_bin_px", "0.25"},
                          Case{{"edge", edge, "--lsf-range", "1"}, "lsf_range_mm", "1"},
                          Case{{"edge", edge, "--edge-taper", "0"}, "edge_taper", "0"},
                          Case{{"edge", edge, "--edge-core", "0.5"}, "edge_core_mm", "0.5"},
                          Case{{"edge", edge, "--edge-cutoff", "1"}, "edge_cutoff_cy_per_mm", "1"},
                          Case{{"edge", edge, "--edge-smoothing", "0.5"}, "edge_smoothing_cy_per_mm", "0.5"},
                          Case{{"edge", edge, "--edge-adaptive", "1.5"}, "edge_adaptive", "1.5"},
                          Case{{"edge", edge, "--edge-reach", "0"}, "edge_reach", "0"},
                          Case{{"slit", slit, "--precise", "--lsf-range", "1"}, "lsf_range_mm", "1"}}) {
        const QStringList defaults = c.args.mid(0, c.args.contains("--precise") ? 3 : 2);
        const CommandRun before = RunMeasure(defaults + QStringList{"--format", "csv"});
        const CommandRun after = RunMeasure(c.args + QStringList{"--format", "csv"});
        ASSERT_EQ(after.exitCode, 0) << after.err;
        const std::size_t column = CsvColumn(after.out, c.column);
        const Table rows = CsvRows(after.out), was = CsvRows(before.out);
        ASSERT_FALSE(rows.empty());
        ASSERT_LT(column, rows[0].size()) << c.column;
        EXPECT_EQ(rows[0][column], c.value);
        bool changed = rows.size() != was.size();
        for (std::size_t i = 0; i < std::min(rows.size(), was.size()); ++i)
            changed |= rows[i][3] != was[i][3];
        EXPECT_TRUE(changed) << c.args.join(' ').toStdString();
    }
    // The report states them too.
    const QString pdf = folder.filePath("edge.pdf");
    ASSERT_EQ(RunMeasure({"edge", edge, "--edge-bin", "0.25", "--lsf-range", "1.5", "--report", pdf,
                          "--format", "csv", "--lang", "en"})
                  .exitCode,
              0);
    const std::string text = Tool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(std::regex_search(text, std::regex("ESF bin \\(pixel\\) +0\\.25"))) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("LSF range ± \\(mm\\) +1\\.5"))) << text;
    // The traditional slit and the chart leave them empty; their ranges are the Edge page's.
    const CommandRun slitRun = RunMeasure({"slit", slit, "--format", "csv"});
    EXPECT_EQ(CsvRows(slitRun.out)[0][CsvColumn(slitRun.out, "lsf_range_mm")], "");
    for (const QStringList& args :
         {QStringList{"edge", edge, "--edge-bin", "2"}, QStringList{"edge", edge, "--edge-taper", "1.5"},
          QStringList{"edge", edge, "--lsf-range", "-1"}, QStringList{"slit", slit, "--edge-bin", "0.2"},
          QStringList{"slit", slit, "--lsf-range", "1"}, QStringList{"chart", slit, "--edge-core", "1"},
          QStringList{"slit", slit, "--precise", "--lsf-range", "0"}})
        EXPECT_EQ(RunMeasure(args).exitCode, 2) << args.join(' ').toStdString();
}

TEST_F(MeasureCommand, ConvertsThroughTheDetectorsConversionFunctionWhenGivenOne)
{
    using namespace synthetic_slit;
    const auto linear = [](double exposure) {
        return static_cast<std::uint16_t>(std::lround(100 + 2 * exposure));
    };
    const QString logImage = Write("log.dcm", SlitImage(1, 17, 256, 64));
    const QString linearImage = Write("linear.dcm", SlitImage(1, 17, 256, 64, linear));
    const auto mtf = [](const QString& file, const QStringList& options) {
        const CommandRun run =
            RunMeasure(QStringList{"slit", file, "--roi", "128,32,200,40", "--format", "csv"} + options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return CsvRows(run.out);
    };
    // The model's relation written as a log conversion gives the same kermas.
    const Table model = mtf(logImage, {});
    const Table log = mtf(logImage, {"--conversion", "log:0,1024"});
    ASSERT_EQ(model.size(), log.size());
    for (std::size_t i = 0; i < model.size(); ++i) EXPECT_EQ(model[i][3], log[i][3]);
    // A linear detector measures right only through its own relation.
    const std::string csv = RunMeasure({"slit", linearImage, "--roi", "128,32,200,40", "--conversion",
                                        "linear:100,2", "--format", "csv"})
                                .out;
    EXPECT_EQ(CsvRows(csv)[0][CsvColumn(csv, "conversion")], "linear:100,2");
    const QString pdf = folder.filePath("linear.pdf");
    RunMeasure({"slit", linearImage, "--roi", "128,32,200,40", "--conversion", "linear:100,2", "--report",
                pdf, "--lang", "en"});
    EXPECT_TRUE(std::regex_search(Tool("pdftotext", {"-layout", pdf, "-"}),
                                  std::regex("Conversion function +linear:100,2\\b")));
    const Table right = mtf(linearImage, {"--conversion", "linear:100,2"});
    const Table wrong = mtf(linearImage, {"--no-check"});
    double worstRight = 0, worstWrong = 0;
    for (const auto& [rows, worst] : {std::pair{&right, &worstRight}, std::pair{&wrong, &worstWrong}})
        for (const auto& row : *rows) {
            const double f = std::stod(row[2]);
            if (f <= 4) *worst = std::max(*worst, std::abs(std::stod(row[3]) - AnalyticMtf(f)));
        }
    EXPECT_LT(worstRight, 0.01);
    EXPECT_GT(worstWrong, 0.05);
    for (const QStringList& args : {QStringList{"--conversion", "linear:100,2", "--hdc", "hdc.txt"},
                                    QStringList{"--conversion", "linear:100,2", "--bits", "12"},
                                    QStringList{"--conversion", "linear:100,0"}})
        EXPECT_EQ(RunMeasure(QStringList{"slit", linearImage} + args).exitCode, 2)
            << args.join(' ').toStdString();
}

TEST(MeasureCompressed, DecodesAsTheViewerDoesSoTwinsMeasureAlike)
{
    if (!QDir(RADMTF_DICOM_CORPUS).exists()) GTEST_SKIP() << "no pydicom corpus";
    // MR_small (64 x 64, 16 bits) and its compressed and big-endian twins hold the same samples.
    auto measure = [](const char* name) {
        const CommandRun run =
            RunMeasure({"slit", QString(RADMTF_DICOM_CORPUS "/") + name, "--roi", "32,32,40,17",
                        "--pixel-spacing", "0.1", "--no-check", "--format", "csv"});
        EXPECT_EQ(run.exitCode, 0) << name << run.err;
        Table rows = CsvRows(run.out);
        // The results; of the settings, the header differs (0 for decoded samples).
        for (auto& row : rows) row = std::vector<std::string>(row.begin() + 1, row.begin() + 8);
        return rows;
    };
    const Table plain = measure("MR_small.dcm");
    ASSERT_FALSE(plain.empty());
    for (const char* twin : {"MR_small_RLE.dcm", "MR_small_jpeg_ls_lossless.dcm", "MR_small_bigendian.dcm"})
        EXPECT_EQ(measure(twin), plain) << twin;
}

TEST(MeasureCompressed, ABatchGoesOnAfterADecoderDiesAndNamesTheFileOfEachLibraryMessage)
{
    if (!QDir(RADMTF_DICOM_CORPUS).exists()) GTEST_SKIP() << "no pydicom corpus";
    QTemporaryDir folder;
    for (const auto& [from, to] : {std::pair{"MR_small_RLE.dcm", "a.dcm"}, std::pair{"MR_small.dcm", "b.dcm"},
                                   std::pair{"MR_small_jpeg_ls_lossless.dcm", "c.dcm"}})
        ASSERT_TRUE(QFile::copy(QString(RADMTF_DICOM_CORPUS "/") + from, folder.filePath(to)));
    const QStringList arguments{"slit",     folder.path(), "--roi",  "32,32,40,17", "--pixel-spacing", "0.1",
                                "--format", "csv",         "--jobs", "3",           "--no-check"};
    const std::string base = folder.path().toStdString() + "/";
    qputenv("RADMTF_DECODER_TEST_FAULT", "abort");
    const CommandRun aborted = RunMeasure(arguments);
    EXPECT_EQ(aborted.exitCode, 1);
    const std::string stopped = " の画素データ (転送構文 ";
    EXPECT_NE(aborted.err.find(base + "a.dcm: " + base + "a.dcm" + stopped), std::string::npos)
        << aborted.err;
    EXPECT_NE(aborted.err.find(base + "c.dcm: " + base + "c.dcm" + stopped), std::string::npos)
        << aborted.err;
    int measured = 0;
    for (const auto& row : CsvRows(aborted.out)) measured += row[0] == base + "b.dcm" && !row[2].empty();
    EXPECT_GT(measured, 0) << aborted.out;

    qputenv("RADMTF_DECODER_TEST_FAULT", "talk");
    const CommandRun talked = RunMeasure(arguments);
    qunsetenv("RADMTF_DECODER_TEST_FAULT");
    EXPECT_EQ(talked.exitCode, 0) << talked.err;
    std::string expected;
    for (const char* name : {"a.dcm", "c.dcm"})
        expected += base + name + ": Corrupt JPEG data: \\x1B[31m2 extraneous bytes\n" + base + name +
                    ": before marker 0xd9\n";
    EXPECT_EQ(talked.err, expected);

    EXPECT_EQ(RunMeasure({"slit", folder.filePath("b.dcm"), "--max-decoded-mb", "0"}).exitCode, 2);
    // Over its budget a file fails, and only the command says how to raise it.
    const CommandRun tight = RunMeasure({"slit", RADMTF_DICOM_CORPUS "/JPEG2000.dcm", "--roi",
                                         "128,128,64,64", "--no-check", "--max-decoded-mb", "1"});
    EXPECT_EQ(tight.exitCode, 1);
    EXPECT_NE(tight.err.find(NoticeText(Notice::kRaiseDecodeBudget).toStdString()), std::string::npos)
        << tight.err;
}

TEST(BatchRunner, DeliversInInputOrderWhateverFinishesFirstAndStopsWhenTold)
{
    const auto slowFirst = [](std::size_t i) {
        std::this_thread::sleep_for(std::chrono::microseconds((40 - i) * 50));
        return i;
    };
    std::vector<std::size_t> order;
    EXPECT_TRUE(RunBatch<std::size_t>(40, 4, slowFirst, [&](std::size_t i, std::size_t& outcome) {
        EXPECT_EQ(outcome, i);
        order.push_back(outcome);
        return true;
    }));
    std::vector<std::size_t> expected(40);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);
    order.clear();
    EXPECT_FALSE(RunBatch<std::size_t>(40, 3, slowFirst, [&](std::size_t i, std::size_t&) {
        order.push_back(i);
        return i < 2;
    }));
    EXPECT_EQ(order.size(), 3u);
}

TEST(MeasurementLayer, ListsTheSettingsUsedAsTheColumnsWriteThem)
{
    MeasureSettings edge;
    edge.method = MeasureMethod::kEdge;
    edge.edge.binWidth = 0.25L;
    edge.fitUpTo = 2.5L;
    const std::vector<SettingRow> rows = SettingRows(edge);
    const auto value = [&](const std::string& name) {
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const SettingRow& r) { return r.first == name; });
        return row == rows.end() ? std::string("(none)") : row->second;
    };
    EXPECT_EQ(value("edge_bin_px"), "0.25");
    EXPECT_EQ(value("lsf_range_mm"), "2.5");
    EXPECT_EQ(value("fit_up_to"), "2.5");
    EXPECT_EQ(value("orientation"), "(none)");  // the edge method has no profile
    EXPECT_EQ(value("slit_width_mm"), "(none)");
    EXPECT_NE(SettingsJson(edge).find("\"orientation\": null"), std::string::npos);
}

}  // namespace
}  // namespace radmtf::testing
