// radmtf measure nnps and radmtf measure conversion, run as a script runs them.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>

#include "app/command_runner.h"
#include "app/flat_fields.h"
#include "nps/nnps.h"

namespace radmtf {
namespace {

using testing::CommandRun;
using testing::RunMeasure;

// A flat field as a DICOM file; its values for the kernel.
std::vector<std::int32_t> WriteFlat(const QString& path, std::int32_t size, double kerma, std::uint64_t seed)
{
    std::vector<std::int32_t> values = synth::FlatField(testing::FlatDetector(), size, size, kerma, seed);
    testing::WriteImage(path, values, size);
    return values;
}

double JsonNumber(const std::string& json, const std::string& name)
{
    const std::size_t at = json.find("\"" + name + "\": ");
    return at == std::string::npos ? NAN : std::stod(json.substr(at + name.size() + 4));
}

TEST(NoiseCommand, MeasuresTheNnpsOfAFolderAsTheKernelDoes)
{
    QTemporaryDir folder;
    const std::vector<std::int32_t> a = WriteFlat(folder.filePath("a.dcm"), 300, 2.5, 1);
    const std::vector<std::int32_t> b = WriteFlat(folder.filePath("b.dcm"), 300, 2.5, 2);
    const CommandRun run =
        RunMeasure({"nnps", folder.path(), "--conversion", "linear:100,2000", "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<NnpsImage> images = {{"a", 300, 300, 0.1, 0.1, a.data()},
                                           {"b", 300, 300, 0.1, 0.1, b.data()}};
    const NnpsResult kernel = MeasureNnps(images, Conversion::Linear(100, 2000));
    EXPECT_EQ(JsonNumber(run.out, "rois"), 2);
    EXPECT_EQ(JsonNumber(run.out, "mean_signal"), kernel.meanSignal);
    EXPECT_EQ(JsonNumber(run.out, "nnps_u"), kernel.points[0].nnpsU);
    EXPECT_NE(run.out.find("\"status\": \"ok\""), std::string::npos);
    EXPECT_NE(run.out.find("IEC 62220-1-1"), std::string::npos);  // the few-pixels warning

    // A conversion measured from three kermas, then used.
    for (double k : {1.0, 2.0, 4.0}) WriteFlat(folder.filePath(QString("k%1.dcm").arg(k)), 200, k, 10);
    {
        std::ofstream csv(folder.filePath("kerma.csv").toStdString());
        csv << "file,kerma\nk1.dcm,1\nk2.dcm,2\nk4.dcm,4\n";
    }
    const QString conversion = folder.filePath("conversion.txt"), pdf = folder.filePath("conversion.pdf");
    const CommandRun fit =
        RunMeasure({"conversion", folder.filePath("k1.dcm"), folder.filePath("k2.dcm"),
                    folder.filePath("k4.dcm"), "--kerma-file", folder.filePath("kerma.csv"), "--output",
                    conversion, "--report", pdf, "--note", "bench 7", "--lang", "en"});
    ASSERT_EQ(fit.exitCode, 0) << fit.err;
    // The page holds the model chosen and both R² as the file gives them.
    std::ifstream written(conversion.toStdString());
    std::map<std::string, std::string> values;
    for (std::string key, value; written >> key >> value;) values.emplace(key, value);
    ASSERT_TRUE(values.count("r2_linear") && values.count("r2_log"));
    const std::string text = testing::Tool("pdftotext", {pdf, "-"});
    EXPECT_NE(text.find("Conversion function"), std::string::npos);
    EXPECT_NE(text.find("bench 7"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("Model chosen\\s+" + values["model"] + "\\s"))) << text;
    EXPECT_NE(text.find(values["r2_linear"]), std::string::npos);
    EXPECT_NE(text.find(values["r2_log"]), std::string::npos);
    const CommandRun fitted = RunMeasure({"nnps", folder.filePath("a.dcm"), folder.filePath("b.dcm"),
                                          "--conversion", "file:" + conversion, "--format", "json"});
    ASSERT_EQ(fitted.exitCode, 0) << fitted.err;
    EXPECT_NEAR(JsonNumber(fitted.out, "mean_signal"), kernel.meanSignal, 0.01);
    EXPECT_NEAR(JsonNumber(fitted.out, "nnps_u") / kernel.points[0].nnpsU, 1.0, 0.01);
}

TEST(NoiseCommand, DrawsTheSpectrumAndTheReport)
{
    QTemporaryDir folder;
    WriteFlat(folder.filePath("a.dcm"), 300, 2.5, 1);
    const QString png = folder.filePath("nnps.png"), pdf = folder.filePath("nnps.pdf");
    const CommandRun run =
        RunMeasure({"nnps", folder.filePath("a.dcm"), "--conversion", "linear:100,2000", "--nnps-image", png,
                    "--report", pdf, "--note", "bench 3", "--lang", "en"},
                   folder.filePath("out.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage image(png);
    EXPECT_GE(image.width(), 2 * kNnpsRoi);  // two pixels a frequency bin
    EXPECT_GE(image.height(), 2 * kNnpsRoi);
    const std::string text = testing::Tool("pdftotext", {pdf, "-"});
    EXPECT_NE(text.find("NNPS report"), std::string::npos);
    EXPECT_NE(text.find("bench 3"), std::string::npos);
    EXPECT_NE(text.find("linear:100,2000"), std::string::npos);
    // One name for two outputs, and a refused measurement draws no image.
    EXPECT_EQ(RunMeasure({"nnps", folder.filePath("a.dcm"), "--report", pdf, "--nnps-image", pdf}).exitCode,
              2);
    QFile::remove(png);
    EXPECT_EQ(
        RunMeasure({"nnps", folder.filePath("a.dcm"), "--conversion", "linear:1,0", "--nnps-image", png},
                   folder.filePath("out.csv"))
            .exitCode,
        1);
    EXPECT_FALSE(QFile::exists(png));
}

TEST(NoiseCommand, RefusesMixedImagesAndBadOptions)
{
    QTemporaryDir folder;
    WriteFlat(folder.filePath("a.dcm"), 300, 2.5, 1);
    WriteFlat(folder.filePath("b.dcm"), 280, 2.5, 2);
    const CommandRun mixed =
        RunMeasure({"nnps", folder.path(), "--conversion", "linear:100,2000", "--format", "csv"});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_NE(mixed.out.find("nnps,error"), std::string::npos);
    EXPECT_EQ(mixed.out.find("\n\n"), std::string::npos);  // no blank line between the records
    EXPECT_NE(mixed.err.find("b.dcm"), std::string::npos);
    EXPECT_EQ(RunMeasure({"nnps", folder.path(), "--format", "xml"}).exitCode, 2);
    EXPECT_EQ(RunMeasure({"nnps"}).exitCode, 2);
    EXPECT_EQ(RunMeasure({"conversion", folder.path()}).exitCode, 2);
    {
        std::ofstream csv(folder.filePath("kerma.csv").toStdString());
        csv << "a.dcm,1\n";
    }
    const CommandRun unlisted = RunMeasure({"conversion", folder.filePath("a.dcm"), folder.filePath("b.dcm"),
                                            "--kerma-file", folder.filePath("kerma.csv")});
    EXPECT_EQ(unlisted.exitCode, 1);
    EXPECT_NE(unlisted.err.find("b.dcm"), std::string::npos);
    const QString pdf = folder.filePath("conversion.pdf");
    EXPECT_EQ(RunMeasure({"conversion", folder.filePath("a.dcm"), "--kerma-file",
                          folder.filePath("kerma.csv"), "--report", pdf})
                  .exitCode,
              1);  // one kerma: too few
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(RunMeasure({"nnps", folder.filePath("a.dcm"), "--conversion", "linear:1,0"}).exitCode, 1);
}

TEST(NoiseCommand, ReadsItsOptionsAsEveryMeasureSubcommandDoes)
{
    QTemporaryDir folder;
    const QString a = folder.filePath("a.dcm");
    WriteFlat(a, 300, 2.5, 1);
    // What another subcommand takes is refused as not for this one, an
    // unknown option as unknown, a bad value as bad: all before reading.
    const std::string notHere = "この測定方法では使えません";
    for (const QStringList& args :
         {QStringList{"nnps", a, "--kerma-file", "k.csv"}, QStringList{"conversion", a, "--kerma", "1"},
          QStringList{"nnps", a, "--roi", "1,1,9,9"}, QStringList{"nnps", a, "--swap"},
          QStringList{"conversion", a, "--conversion", "model", "--kerma-file", "k.csv"},
          QStringList{"slit", a, "--kerma", "1"}, QStringList{"slit", a, "--nnps-image", "n.png"},
          QStringList{"conversion", a, "--nnps-image", "n.png", "--kerma-file", "k.csv"},
          QStringList{"dqe", a, "--kerma", "1", "--quality", "RQA5", "--nnps-image", "n.png"}}) {
        const CommandRun run = RunMeasure(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_NE(run.err.find(notHere), std::string::npos) << run.err;
    }
    for (const QStringList& args :
         {QStringList{"nnps", a, "--bits", "12.5"}, QStringList{"nnps", a, "--bits=0"},
          QStringList{"nnps", a, "--pixel-spacing", "20"}, QStringList{"nnps", a, "--kerma"},
          QStringList{"nnps", a, "--oops", "1"}})
        EXPECT_EQ(RunMeasure(args).exitCode, 2) << args.join(' ').toStdString();

    // Values attached with '=', and the settings as an object.
    const CommandRun run =
        RunMeasure({"nnps", a, "--conversion=linear:100,2000", "--kerma=2.5", "--format=json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject settings =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object()["settings"].toObject();
    EXPECT_EQ(settings["conversion"].toString(), "linear:100,2000");
    EXPECT_EQ(settings["kerma_ugy"].toDouble(), 2.5);
    EXPECT_EQ(settings["bits"].toDouble(), 12);
    EXPECT_TRUE(settings["pixel_spacing_mm"].isNull());
}

}  // namespace
}  // namespace radmtf
