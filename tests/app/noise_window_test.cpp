// The noise and DQE window, driven as a script drives it: its NNPS and DQE
// are the command's, saved as the command writes them.
#include <QFile>

#include <string>

#include "app/command_runner.h"
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

}  // namespace
}  // namespace radmtf::testing
