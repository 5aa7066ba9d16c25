// The automation driver itself: text handling, errors, and the real program
// run headless with a script on standard input.
#include <QProcess>
#include <QProcessEnvironment>

#include "app_fixture.h"

namespace radmtf::testing {
namespace {

class ScriptDriver : public WindowTest {};

TEST_F(ScriptDriver, KeepsTextsExactlyAndReadsEveryControlKind)
{
    EXPECT_EQ(
        Run("# a comment\n\nset Form1.EditFileName  two  blanks \nprint Form1.EditFileName\n"
            "set Form1.EditAve \nprint Form1.EditAve\n"
            "set Form2.Memo1 first\\nsecond\nprint Form2.Memo1\n"
            "set Form2.CheckBoxSync 1\nprint Form2.CheckBoxSync\nprint Form2.EditSmth\n"
            "set Form2.RadioButton3 1\nprint Form2.RadioButton1\nprint Form2.Image3\nprint Form2.Image1\n"
            "set Form2.UpDownMALine 30\nprint Form2.UpDownMALine\nprint Form2.EditMALine\n"
            "print Form2.PageControl1\nprint Form2.Series1\n"),
        " two  blanks \n\nfirst\nsecond\n1\n17\n0\n1 45 22 105 105\n0 45 22 105 105\n30\n17\n"
        "TabSheetPixelProf\n");
}

TEST_F(ScriptDriver, ReportsItsOwnErrorsWithTheLineNumber)
{
    EXPECT_EQ(RunExpectingError("print LoadState\nfly away"), "script error: line 2: unknown command fly");
    EXPECT_EQ(RunExpectingError("click Form1.NoSuchButton"),
              "script error: line 1: unknown control Form1.NoSuchButton");
    EXPECT_EQ(RunExpectingError("print NoSuchVariable"),
              "script error: line 1: unknown variable NoSuchVariable");
    EXPECT_EQ(RunExpectingError("\n\nclick Form1.BitBtnLoad"),
              "script error: line 3: a prompt has no queued answer");
}

TEST_F(ScriptDriver, MessagesArePrintedAndAcknowledged)
{
    EXPECT_EQ(Run("set Form2.EditMALine x\nclick Form2.Button2Dto1D\nprint Form2.EditMALine"),
              "message: 'x' は整数ではありません\nx\n");
}

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult RunProgram(const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(RADMTF_BINARY, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(ScriptProgram, RunsHeadlessFromStandardInputAndExitsWithItsStatus)
{
    const ProcessResult ok = RunProgram({"--script", "-"}, "print Form1.EditMF\nprint Form2.Editn\n");
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_EQ(ok.out.toStdString(), "1.0\n7\n");

    const ProcessResult bad = RunProgram({"--script", "-"}, "print Form1.EditMF\nprint Form9.Edit\n");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out.toStdString(), "1.0\n");
    EXPECT_NE(bad.err.toStdString().find("script error: line 2: unknown window Form9"), std::string::npos);

    // "restart": each part starts on fresh windows and an error ends only its
    // own part, reported with the line number in the whole script.
    const ProcessResult parts = RunProgram(
        {"--script", "-"}, "set Form1.EditMF 3.0\nfly\nrestart\nprint Form1.EditMF\nset Form1.EditMF 2.0\n"
                           "restart\nprint Form1.EditMF\n");
    EXPECT_EQ(parts.exitCode, 1);
    EXPECT_EQ(parts.out.toStdString(), "1.0\n1.0\n");
    EXPECT_NE(parts.err.toStdString().find("script error: line 2: unknown command fly"), std::string::npos);
}

TEST(ProgramCommandLine, OpensTheImageItNamesAndEndsAtOnceForVersionAndErrors)
{
    const ProcessResult version = RunProgram({"--version"}, "");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.toStdString(), "radmtf " RADMTF_VERSION "\n");
    const ProcessResult unknown = RunProgram({"--frobnicate\x1b[2J"}, "");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.toStdString().find("Unknown option 'frobnicate\\x1b[2J'"), std::string::npos)
        << unknown.err.toStdString();
    QProcess full;  // a version that cannot be printed is no success
    full.setStandardOutputFile("/dev/full");
    full.start(RADMTF_BINARY, {"--version"});
    ASSERT_TRUE(full.waitForFinished(30000));
    EXPECT_EQ(full.exitCode(), 1);

    // The image is open before the script's first line runs.
    const std::string image = std::string(RADMTF_DICOM_CORPUS) + "/MR_small_RLE.dcm";
    if (!QFile::exists(QString::fromStdString(image))) GTEST_SKIP() << "no pydicom corpus";
    const ProcessResult opened = RunProgram({"--script", "-", QString::fromStdString(image)},
                                            "print Form1.EditFileName\nprint Form1.EditImgSizeY\n");
    EXPECT_EQ(opened.exitCode, 0) << opened.err.toStdString();
    EXPECT_EQ(opened.out.toStdString(), image + "\n64\n");
}

}  // namespace
}  // namespace radmtf::testing
