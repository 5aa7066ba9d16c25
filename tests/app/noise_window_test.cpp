// The noise and DQE window, driven as a script drives it: its NNPS and DQE
// are the command's, saved as the command writes them.
#include <QFile>

#include <string>

#include "app/command_runner.h"
#include "app/form3.h"
#include "app_fixture.h"

namespace radmtf::testing {
namespace {

class NoiseWindow : public WindowTest {};

std::string Sample(const char* name)
{
    return std::string(RADMTF_SAMPLES_DIR) + "/" + name;
}

std::string ReadText(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll().toStdString();
}

TEST_F(NoiseWindow, MeasuresAndSavesWhatTheCommandDoes)
{
    const std::string flats[] = {Sample("dqe_flat_1.dcm"), Sample("dqe_flat_2.dcm"),
                                 Sample("dqe_flat_3.dcm")};
    std::string script = "click Form1.ButtonToNoise\n";
    for (const std::string& f : flats) script += "answer " + f + "\nclick Form3.ButtonAddFiles\n";
    script +=
        "set Form3.RadioGroupConversion 1\nset Form3.EditConvA 100\nset Form3.EditConvB 2000\n"
        "set Form3.EditKerma 2.5\nclick Form3.ButtonNnps\n"
        "answer " +
        Path("nnps.csv") +
        "\nclick Form3.ButtonNnpsCsv\n"
        "set Form3.RadioGroupMtfU 1\nset Form3.EditMtfU " +
        Sample("dqe_edge_u.dcm") +
        "\n"
        "set Form3.RadioGroupMtfV 1\nset Form3.EditMtfV " +
        Sample("dqe_edge_v.dcm") +
        "\n"
        "set Form3.PageControlNoise TabSheetDqe\nclick Form3.ButtonDqe\n"
        "answer " +
        Path("dqe.csv") + "\nclick Form3.ButtonDqeCsv\nprint Form3.MemoDqe\n";
    const std::string shown = Run(script);
    EXPECT_EQ(shown.find("DQE の設定"), std::string::npos) << shown;

    const QStringList files = {QString::fromStdString(flats[0]), QString::fromStdString(flats[1]),
                               QString::fromStdString(flats[2])};
    const CommandRun nnps =
        RunMeasure(QStringList{"nnps"} + files +
                   QStringList{"--conversion", "linear:100,2000", "--kerma", "2.5", "--format", "csv"});
    ASSERT_EQ(nnps.exitCode, 0) << nnps.err;
    EXPECT_EQ(ReadText(Path("nnps.csv")), nnps.out);
    const CommandRun dqe =
        RunMeasure(QStringList{"dqe", "--flat"} + files +
                   QStringList{"--edge", QString::fromStdString(Sample("dqe_edge_u.dcm")), "--edge",
                               QString::fromStdString(Sample("dqe_edge_v.dcm")), "--kerma", "2.5",
                               "--quality", "RQA5", "--conversion", "linear:100,2000", "--format", "csv"});
    ASSERT_EQ(dqe.exitCode, 0) << dqe.err;
    EXPECT_EQ(ReadText(Path("dqe.csv")), dqe.out);
    EXPECT_GT(dqe.out.size(), 2000u);

    // Nothing to measure, nothing to save: said, not done.
    EXPECT_EQ(Run("click Form3.ButtonClear\nclick Form3.ButtonNnps\n"),
              "message: 平坦画像がありません。一覧に加えてください。\n");
}

// The analysis window's last MTF serves as MTF u as that measurement's CSV
// does through --mtf-u; without one the window says so and measures nothing.
TEST_F(NoiseWindow, TakesTheAnalysisWindowsMtf)
{
    const std::string edgeU = Sample("dqe_edge_u.dcm"), edgeV = Sample("dqe_edge_v.dcm");
    const std::string flats[] = {Sample("dqe_flat_1.dcm"), Sample("dqe_flat_2.dcm"),
                                 Sample("dqe_flat_3.dcm")};
    std::string dqe =
        "set Form3.RadioGroupMtfU 2\nset Form3.RadioGroupMtfV 1\nset Form3.EditMtfV " + edgeV +
        "\nset Form3.RadioGroupConversion 1\nset Form3.EditConvA 100\nset Form3.EditConvB 2000\n"
        "set Form3.EditKerma 2.5\nset Form3.PageControlNoise TabSheetDqe\n";
    for (const std::string& f : flats) dqe += "answer " + f + "\nclick Form3.ButtonAddFiles\n";
    dqe += "click Form3.ButtonDqe\n";
    EXPECT_EQ(
        Run("click Form1.ButtonToNoise\n" + dqe),
        "message: MTF u に使う解析ウィンドウの MTF がありません。先に解析ウィンドウで測定してください。\n");
    EXPECT_FALSE(form1->findChild<TForm3*>()->dqe);

    const std::string shown =
        Run("answer " + edgeU +
            "\nset Form2.EditBit 16\nclick Form1.BitBtnLoad\nset Form1.EditROIPosX 256\nset "
            "Form1.EditROIPosY 256\n"
            "set Form1.EditROISizeX 200\nset Form1.EditROISizeY 400\nclick Form1.ButtonDisp\n"
            "click Form1.ButtonToTable\nclick Form2.ButtonEdge\nclick Form3.ButtonClear\n" +
            dqe + "answer " + Path("dqe.csv") + "\nclick Form3.ButtonDqeCsv\n");
    EXPECT_EQ(shown, "");

    const CommandRun mtf =
        RunMeasure({"edge", QString::fromStdString(edgeU), "--roi", "256,256,200,400", "--format", "csv"},
                   QString::fromStdString(Path("mtf_u.csv")));
    ASSERT_EQ(mtf.exitCode, 0) << mtf.err;
    QStringList command = {"dqe", "--flat"};
    for (const std::string& f : flats) command.append(QString::fromStdString(f));
    command += QStringList{"--mtf-u",      QString::fromStdString(Path("mtf_u.csv")),
                           "--edge",       QString::fromStdString(edgeV),
                           "--kerma",      "2.5",
                           "--quality",    "RQA5",
                           "--conversion", "linear:100,2000",
                           "--format",     "csv"};
    const CommandRun expected = RunMeasure(command);
    ASSERT_EQ(expected.exitCode, 0) << expected.err;
    const std::string window = ReadText(Path("dqe.csv"));
    const auto rows = CsvRows(window), expectedRows = CsvRows(expected.out);
    ASSERT_EQ(rows.size(), expectedRows.size());
    ASSERT_GT(rows.size(), 10u);
    for (const char* name : {"mtf_u", "dqe_u"}) {
        const std::size_t column = CsvColumn(window, name);
        ASSERT_EQ(column, CsvColumn(expected.out, name));
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i][column], expectedRows[i][column]) << i;
        EXPECT_NE(rows[1][column], "");
    }
}

}  // namespace
}  // namespace radmtf::testing
