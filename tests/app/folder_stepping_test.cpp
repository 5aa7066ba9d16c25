// Stepping through a real folder with the mouse wheel: the file list, the
// index after each notch, which file each notch loads, and when the wheel
// is left alone.
#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <map>

#include "app_fixture.h"
#include "dicom/dicom_builder.h"

namespace radmtf::testing {
namespace {

using testdata::BuildDicom;
using testdata::DicomImageFields;

constexpr const char* kListMessage = "message: リストのインデックスが範囲を超えています (";

class FolderStepping : public WindowTest {
protected:
    // A 16-column DICOM image whose row count tells the files apart.
    std::string WriteDicom(const std::string& name, std::uint16_t rows)
    {
        DicomImageFields fields;
        fields.rows = rows;
        fields.pixelSpacing = "0.1\\0.1";
        const std::vector<std::uint8_t> bytes = BuildDicom(fields);
        sizes[name] = bytes.size();
        return WriteFile(name, bytes);
    }

    // What a notch leaves: the file shown, its size, the index, the load state.
    std::string Shown(const std::string& name, int index)
    {
        return Path(name) + "\n" + std::to_string(sizes[name]) + "\n" + std::to_string(index) + "\n1\n";
    }

    static constexpr const char* kPrintShown =
        "print Form1.EditFileName\nprint FileBuffer\nprint Form1.EditFListNo\nprint LoadState\n";

    std::map<std::string, std::size_t> sizes;
};

TEST_F(FolderStepping, EachNotchLoadsTheNamedEntryThenMovesTheIndex)
{
    WriteDicom("c", 20);
    WriteDicom("a", 16);
    WriteDicom("b", 18);
    EXPECT_EQ(Run("activate Form1\nanswer " + Path("b") + "\nclick Form1.BitBtnLoad\n" +
                  "print Form1.ListBox1\n" + kPrintShown),
              Path("a") + "\n" + Path("b") + "\n" + Path("c") + "\n" + Shown("b", 1));
    const std::string up = std::string("wheel up\n") + kPrintShown;
    const std::string down = std::string("wheel down\n") + kPrintShown;
    // The number shown runs one notch ahead of the file shown.
    EXPECT_EQ(Run(up + up + up), Shown("b", 2) + Shown("c", 2) + Shown("c", 2));
    EXPECT_EQ(Run(down + down + down), Shown("c", 1) + Shown("b", 0) + Shown("a", 0));
    // "FileList" names the shown file again; the next notch reloads it.
    EXPECT_EQ(Run("click Form1.ButtonFileList\nprint Form1.EditFListNo\n" + up), "0\n" + Shown("a", 1));
}

TEST_F(FolderStepping, TheWheelIsLeftAloneUnlessTheViewerIsActiveWithItsSmallTable)
{
    WriteDicom("a", 16);
    WriteDicom("b", 18);
    const std::string probe =
        "set Form1.EditWindowWidth 77\nwheel up\nprint Form1.EditFListNo\n"
        "print Form1.EditWindowWidth\n";
    EXPECT_EQ(Run("activate Form1\nanswer " + Path("a") +
                  "\nclick Form1.BitBtnLoad\n"
                  "activate Form2\n" +
                  probe + "activate Form1\ndblclick Form1.StringGridDICOM\n" + probe),
              "0\n77\n0\n77\n");
    // Back to the small table: the notch reloads, and "Auto" sets the width
    // of the uniform image.
    EXPECT_EQ(Run("dblclick Form1.StringGridDICOM\n" + probe), "1\n-1\n");
}

TEST_F(FolderStepping, CtrlWheelOverThePictureZoomsInsteadOfStepping)
{
    WriteDicom("a", 16);
    WriteDicom("b", 18);
    EXPECT_EQ(Run("activate Form1\nanswer " + Path("a") + "\nclick Form1.BitBtnLoad\n" +
                  "wheel up ctrl\nwheel up ctrl\nprint Form1.EditMF\nwheel down ctrl\nprint Form1.EditMF\n" +
                  "print Form1.EditFileName\nprint Form1.EditFListNo\n"),
              "1.2\n1.1\n" + Path("a") + "\n0\n");
}

TEST_F(FolderStepping, ListIsInNameOrderOfFilesOnlyAndMatchesTheNameExactly)
{
    // Raw files in "16bit" mode: the load waits for the geometry, so every
    // load still ends with the list.
    WriteFile("c.raw", std::vector<std::uint8_t>(10, 1));
    WriteFile("B.raw", std::vector<std::uint8_t>(12, 1));
    WriteFile("a.raw", std::vector<std::uint8_t>(14, 1));
    WriteFile(".hidden", std::vector<std::uint8_t>(16, 1));
    ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
    WriteFile("sub/inner.raw", std::vector<std::uint8_t>(18, 1));
    QFile::setPermissions(QString::fromStdString(Path("c.raw")), QFile::ReadOwner | QFile::ReadUser);
    const std::string list =
        Path(".hidden") + "\n" + Path("a.raw") + "\n" + Path("B.raw") + "\n" + Path("c.raw") + "\n";
    EXPECT_EQ(
        Run("activate Form1\nset Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\n"
            "answer " +
            Path("B.raw") +
            "\nclick Form1.BitBtnLoad\nprint Form1.ListBox1\nprint Form1.EditFListNo\n"
            "wheel up\nwheel up\nprint Form1.EditFileName\nprint FileBuffer\nprint Form1.EditFListNo\n"),
        list + "2\n" + Path("c.raw") + "\n10\n3\n");

    // A name that differs only in letter case is another name: the list is
    // filled, the search runs past its end, and the index keeps its value.
    EXPECT_EQ(Run("set Form1.EditFileName " + Path("b.raw") +
                  "\nset Form1.EditFListNo 1\n"
                  "click Form1.ButtonFileList\nprint Form1.ListBox1\nprint Form1.EditFListNo\n"),
              std::string(kListMessage) + "4)\n" + list + "1\n");
}

TEST_F(FolderStepping, FailuresShowOnceAndStepPastTheEntry)
{
    // Before any list: the entry "1" does not exist.
    EXPECT_EQ(Run("activate Form1\nwheel up\nprint Form1.EditFileName\nprint FileBuffer\nprint LoadState\n"
                  "print Form1.EditFListNo\n"),
              std::string(kListMessage) + "1)\nFileName\n0\n0\n1\n");
    EXPECT_EQ(Run("set Form1.EditFListNo x\nwheel down\nprint Form1.EditFileName\n"),
              "message: 'x' は整数ではありません\nFileName\n");

    WriteDicom("a", 16);
    WriteDicom("b", 18);
    WriteDicom("c", 20);
    EXPECT_EQ(Run("answer " + Path("a") + "\nclick Form1.BitBtnLoad\nwheel up\nprint Form1.EditFListNo\n"),
              "1\n");
    // A listed file that is gone by the time the wheel reaches it: one
    // message, and the next notch reaches the file after it.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(Path("b"))));
    EXPECT_EQ(Run("wheel up\nprint Form1.EditFileName\nprint FileBuffer\nprint LoadState\nprint "
                  "Form1.EditFListNo\n"),
              "message: ファイル " + Path("b") + " は開けません\n" + Path("b") + "\n0\n1\n2\n");
    // The load lists the folder anew, now without the vanished file.
    EXPECT_EQ(Run("wheel up\n" + std::string(kPrintShown)), Shown("c", 1));
}

// Pipes, sockets, devices and dangling links are never listed: opening a
// pipe would wait for a writer for ever. Chosen by name, they are refused
// at once.
TEST_F(FolderStepping, ListHoldsRegularFilesAndLinksToThemOnly)
{
    WriteDicom("a", 16);
    WriteDicom("d", 18);
    const std::string pipe = Path("b.pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_TRUE(
        QFile::link(QString::fromStdString(Path("gone")), QString::fromStdString(Path("c.dangling"))));
    ASSERT_TRUE(QFile::link(QString::fromStdString(Path("d")), QString::fromStdString(Path("e.link"))));
    EXPECT_EQ(Run("activate Form1\nanswer " + Path("a") + "\nclick Form1.BitBtnLoad\nprint Form1.ListBox1\n"),
              Path("a") + "\n" + Path("d") + "\n" + Path("e.link") + "\n");
    EXPECT_EQ(Run("answer " + pipe + "\nclick Form1.BitBtnLoad\nprint FileBuffer\n"),
              "message: ファイル " + pipe + " は開けません\n0\n");
}

TEST_F(FolderStepping, SteppingOntoAFileThatIsNotDicomAsksForItsSize)
{
    WriteDicom("a", 16);
    WriteFile("b.txt", std::vector<std::uint8_t>(5000, 'x'));
    EXPECT_EQ(Run("activate Form1\nanswer " + Path("a") +
                  "\nclick Form1.BitBtnLoad\nwheel up\n"
                  "answer 25 100\nwheel up\n"
                  "print Form1.EditFileName\nprint Form1.EditImgSizeX\nprint Form1.EditImgSizeY\n"
                  "print Form1.EditHeader\nprint Form1.EditFListNo\n"),
              Path("b.txt") + "\n25\n100\n0\n1\n");
}

}  // namespace
}  // namespace radmtf::testing
