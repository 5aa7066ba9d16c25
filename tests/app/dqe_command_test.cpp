// radmtf measure dqe, run as a script runs it, on small synthetic images.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>
#include <fstream>

#include "app/command_runner.h"
#include "app/flat_fields.h"
#include "synth/edge_field.h"

namespace radmtf {
namespace {

using testing::CommandRun;
using testing::RunMeasure;

// Two flat fields at 2.5 uGy in `folder`.
QStringList WriteFlats(const QTemporaryDir& folder)
{
    QStringList paths;
    for (int i = 1; i <= 2; ++i) {
        paths << folder.filePath(QString("flat%1.dcm").arg(i));
        testing::WriteImage(paths.back(), synth::FlatField(testing::FlatDetector(), 300, 300, 2.5, 40 + i),
                            300);
    }
    return paths;
}

QJsonObject Json(const CommandRun& run)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

TEST(DqeCommand, GivenMtfFilesGiveMtfSquaredOverQTimesNnps)
{
    QTemporaryDir folder, mtfFolder;
    const QStringList flats = WriteFlats(folder);
    // An analytic MTF as the measure command writes it: u and v differ.
    for (const char* direction : {"u", "v"}) {
        std::ofstream csv(mtfFolder.filePath(QString("mtf_%1.csv").arg(direction)).toStdString());
        csv << "file,method,frequency_cy_per_mm,mtf,u_mtf\n";
        const double scale = direction[0] == 'u' ? 0.2 : 0.3;
        for (int i = 0; i <= 120; ++i)
            csv << "e.dcm,edge," << i * 0.05 << "," << std::exp(-scale * i * 0.05) << ",0.001\n";
    }
    const CommandRun run =
        RunMeasure({"dqe", "--flat", flats[0], flats[1], "--kerma", "2.5", "--quality", "RQA7",
                    "--conversion", "linear:100,2000", "--mtf-u", mtfFolder.filePath("mtf_u.csv"), "--mtf-v",
                    mtfFolder.filePath("mtf_v.csv"), "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject json = Json(run);
    EXPECT_EQ(json["status"].toString(), "ok");
    EXPECT_EQ(json["snr2_in"].toDouble(), 32490.0);  // RQA7 of the 2015 table
    const double q = 2.5 * 32490.0;
    const QJsonArray points = json["points"].toArray();
    ASSERT_GT(points.size(), 50);
    for (const QJsonValue& value : points) {
        const QJsonObject p = value.toObject();
        const double f = p["frequency_cy_per_mm"].toDouble();
        for (const auto& [d, scale] : {std::pair{"u", 0.2}, std::pair{"v", 0.3}}) {
            const double mtf = p[QString("mtf_") + d].toDouble(), nnps = p[QString("nnps_") + d].toDouble();
            EXPECT_NEAR(mtf, std::exp(-scale * f), 2e-4 * std::exp(-scale * f)) << f;  // linear between 0.05
            EXPECT_NEAR(p[QString("dqe_") + d].toDouble(), mtf * mtf / (q * nnps),
                        1e-12 * mtf * mtf / (q * nnps))
                << d << " " << f;
        }
    }
    // The 2003 table and a CSV of the same numbers.
    const CommandRun csv = RunMeasure({"dqe", "--flat", folder.path(), "--kerma", "2.5", "--quality", "rqa3",
                                       "--snr-table", "2003", "--conversion", "linear:100,2000", "--mtf-u",
                                       mtfFolder.filePath("mtf_u.csv"), "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const testing::Table table = testing::ParseCsv(csv.out);
    ASSERT_GT(table.size(), 2u);
    EXPECT_EQ(table[0][6], "snr2_in");
    EXPECT_EQ(table[1][6], "21759");
    EXPECT_EQ(table[1][13], "");  // dqe_v: no MTF along v
}

TEST(DqeCommand, RefusesADirectionWithoutEdgeAndFailsWithoutAny)
{
    QTemporaryDir folder;
    const QStringList flats = WriteFlats(folder);
    synth::EdgeField vertical;
    const QString edge = folder.filePath("edge.dcm");
    testing::WriteImage(edge, synth::EdgeFieldImage(testing::FlatDetector(), vertical, 300, 300, 2.5, 7),
                        300);
    const CommandRun run =
        RunMeasure({"dqe", "--flat", flats[0], "--flat", flats[1], "--edge", edge, "--kerma", "2.5",
                    "--quality", "RQA5", "--conversion", "linear:100,2000", "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QJsonObject json = Json(run);
    EXPECT_EQ(json["status"].toString(), "ok");
    EXPECT_FALSE(json["message"].toString().isEmpty());  // v refused
    EXPECT_EQ(json["settings"].toObject()["edge_files_u"].toArray().size(), 1);
    const QJsonObject p = json["points"].toArray()[20].toObject();  // 1 cycle/mm
    EXPECT_GT(p["dqe_u"].toDouble(), 0.3);
    EXPECT_TRUE(p["dqe_v"].isNull());
    EXPECT_TRUE(p["mtf_v"].isNull());

    // Its report: two pages, the refusal on the first.
    const QString pdf = folder.filePath("dqe.pdf");
    ASSERT_EQ(RunMeasure({"dqe", "--flat", flats[0], "--edge", edge, "--kerma", "2.5", "--quality", "RQA5",
                          "--conversion", "linear:100,2000", "--report", pdf, "--lang", "en"},
                         folder.filePath("out.csv"))
                  .exitCode,
              0);
    EXPECT_NE(testing::Tool("pdfinfo", {pdf}).find("Pages:           2"), std::string::npos);
    EXPECT_NE(testing::Tool("pdftotext", {pdf, "-"}).find("There is no MTF for direction v"),
              std::string::npos);

    // Neither an edge nor an MTF file: nothing measured.
    const CommandRun none = RunMeasure({"dqe", "--flat", flats[0], "--kerma", "2.5", "--quality", "RQA5",
                                        "--conversion", "linear:100,2000", "--format", "json"});
    EXPECT_EQ(none.exitCode, 1);
    json = Json(none);
    EXPECT_EQ(json["status"].toString(), "failed");
    EXPECT_TRUE(json["points"].toArray().isEmpty());
    // Without --quality: a usage error.
    EXPECT_EQ(RunMeasure({"dqe", "--flat", flats[0], "--kerma", "2.5"}).exitCode, 2);
}

}  // namespace
}  // namespace radmtf
