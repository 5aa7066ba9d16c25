// The viewer window end to end: defaults, loading raw and DICOM files,
// rendering geometry, statistics and the automatic window.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include "app/dispatch.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "app_fixture.h"
#include "dicom/dicom_builder.h"

namespace radmtf::testing {
namespace {

using testdata::BuildDicom;
using testdata::DicomImageFields;

class ViewerWindow : public WindowTest {};

TEST_F(ViewerWindow, StartsWithItsDefaults)
{
    EXPECT_EQ(Run("print Form1.EditFileName\n"
                  "print Form1.EditMF\n"
                  "print Form1.RadioGroupMode\n"
                  "print Form1.RadioGroupTool\n"
                  "print Form1.RadioGroupRange\n"
                  "print Form1.EditROIPosX\n"
                  "print Form1.EditROISizeY\n"
                  "print Form1.CheckBoxSwp\n"
                  "print Form1.CheckBoxInvrt\n"
                  "print Form1.EditWindowLevel\n"
                  "print Form1.EditHeader\n"
                  "print Form1.EditImgSizeX\n"
                  "print Form1.EditPxlSpc\n"
                  "print Form1.EditFListNo\n"
                  "print Form1.Image1\n"
                  "print Form1.Image2\n"
                  "print LoadState\n"
                  "print FileBuffer\n"),
              "FileName\n1.0\n2\n0\n1\n64\n64\n0\n0\n\n0\n0\n0\n1\n0 0 0 512 512\n1 0 0 512 512\n0\n0\n");
    const std::string table = Run("print Form1.StringGridDICOM");
    EXPECT_EQ(table.substr(0, table.find('\n')),
              " No\tGroup\tErement\tVR\tCHR#\tName\tValue" + std::string(10, '\t'));
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 512);
    EXPECT_EQ(table.find_first_not_of("\t\n", table.find('\n')), std::string::npos);
    // Nothing is loaded yet: "Disp" leaves the title picture up.
    EXPECT_EQ(Run("click Form1.ButtonDisp\nprint Form1.Image2\nprint Form1.Image1"),
              "1 0 0 512 512\n0 0 0 512 512\n");
}

TEST_F(ViewerWindow, LoadsANonSquareDicomImageWithItsHeaderValues)
{
    DicomImageFields fields;
    fields.rows = 400;
    fields.columns = 600;
    fields.modelName = "MODEL";
    fields.kvp = "80";
    fields.exposure = "4";
    fields.imagerSpacing = "0.15\\0.15";
    fields.pixelSpacing = "0.139\\0.139";
    fields.windowCenter = "2046.5";
    fields.windowWidth = "4095.5";
    fields.rescaleIntercept = "-1024.7";
    fields.pixels.resize(600 * 400);
    for (int r = 0; r < 400; ++r)
        for (int c = 0; c < 600; ++c)
            fields.pixels[std::size_t(r) * 600 + std::size_t(c)] = std::uint16_t(1000 + c);
    const std::vector<std::uint8_t> bytes = BuildDicom(fields);
    const std::string path = WriteFile("chest.dcm", bytes);
    const std::size_t pixelTag = bytes.size() - 600 * 400 * 2 - 12;

    const std::string out = Run("answer " + path +
                                "\n"
                                "click Form1.BitBtnLoad\n"
                                "print Form1.EditFileName\n"
                                "print Form1.EditFileSize\n"
                                "print Form1.EditHeader\n"
                                "print Form1.EditImgSizeX\n"
                                "print Form1.EditImgSizeY\n"
                                "print Form1.EditOffst\n"
                                "print Form1.EditPxlSpc\n"
                                "print Form1.EditWindowWidth\n"
                                "print Form1.EditWindowLevel\n"
                                "print Form1.EditROIPosX\n"
                                "print Form1.EditROISizeY\n"
                                "print ViewRect\n"
                                "print RoiBitmapRect\n"
                                "print Form1.Image1\n"
                                "print Form1.Image2\n"
                                "print LoadState\n"
                                "print Form1.Memo1\n"
                                "print Form1.ListBox1\n"
                                "print Form1.EditFListNo\n");
    // Columns 1000..1599 less 1024: the central columns 150..449 run from
    // 126 to 425, so "Auto" sets width 298 and level 275. The view is the
    // central 400 x 400 square, and the default ROI sits in its middle.
    // Pixel Spacing stays, with a notice that Imager Pixel Spacing differs.
    EXPECT_EQ(out, "message: " + radmtf::FailureText(FailureCode::kSpacingsDiffer, {"0.15", "0.139"}).toStdString() +
                       "\n" + path + "\n" + std::to_string(bytes.size()) + "\n" +
                       std::to_string(pixelTag + 12) +
                       "\n600\n400\n-1024\n0.139\n298\n275\n300\n200\n100 499 0 399\n100 100 299 299\n1 0 0 "
                       "512 512\n0 0 0 512 512\n1\n"
                       "MODEL \nkV : 80\nmAs : 4 \nDspMtrx : 400\nmmPSize : 0.139\\0.139 \n" +
                       path + "\n0\n");
    // The element table names every element.
    const std::string table = Run("print Form1.StringGridDICOM");
    EXPECT_NE(table.find("  1\t0002\t0002\tUI\t001C\tMediaStorageSOPClassUID\t"), std::string::npos);
    EXPECT_NE(table.find("\t0028\t0010\tUS\t0002\tRows\t400\t"), std::string::npos);

    // The spacing's element, until the spacing is changed.
    EXPECT_EQ(form1->pixelSpacingSource(), "pixel");
    Run("set Form1.EditPxlSpc 0.15\n");
    EXPECT_EQ(form1->pixelSpacingSource(), "typed");
    fields.pixelSpacing.clear();
    Run("answer " + WriteFile("detector.dcm", BuildDicom(fields)) + "\nclick Form1.BitBtnLoad\n");
    EXPECT_EQ(form1->pixelSpacingSource(), "imager");
}

TEST_F(ViewerWindow, ProposesASizeForAFileThatIsNotDicom)
{
    struct Case {
        std::size_t bytes;
        const char* size;
    };
    for (const Case& c : {Case{524288, "512"}, Case{525312, "1024"}, Case{5000, "50"}, Case{5002, "64"}}) {
        const std::string path =
            WriteFile("raw" + std::to_string(c.bytes), std::vector<std::uint8_t>(c.bytes, 7));
        EXPECT_EQ(Run("set Form1.EditPxlSpc 0\n"
                      "set Form1.EditMF 2.0\n"
                      "answer " +
                      path +
                      "\nanswer cancel\nanswer 0.2\n"
                      "click Form1.BitBtnLoad\n"
                      "print Form1.EditImgSizeX\n"
                      "print Form1.EditImgSizeY\n"
                      "print Form1.EditHeader\n"
                      "print Form1.EditMF\n"
                      "print Form1.EditPxlSpc\n"),
                  std::string(c.size) + "\n" + c.size + "\n0\n1.0\n0.2\n")
            << c.bytes;
    }
}

TEST_F(ViewerWindow, SizeAnswersAreColumnsBlankRows)
{
    const std::string path = WriteFile("raw", std::vector<std::uint8_t>(512 * 256 * 2, 0));
    EXPECT_EQ(Run("answer " + path +
                  "\nanswer 512 256\nanswer 0.1\nclick Form1.BitBtnLoad\n"
                  "print ImageWidth\nprint ImageHeight\nprint Form1.EditImgSizeX\nprint Form1.EditImgSizeY\n"
                  "print ViewRect\n"),
              "512\n256\n512\n256\n128 383 0 255\n");
    // A comma is not a blank: the conversion fails and nothing after it happens.
    EXPECT_EQ(
        Run("answer " + path + "\nanswer 512,512\nclick Form1.BitBtnLoad\nprint Form1.EditWindowLevel\n"),
        "message: '512,512' は整数ではありません\n0\n");
}

TEST_F(ViewerWindow, RawLoadWaitsForTheGeometryWithoutAFailure)
{
    // A 4 x 2 16-bit image: 10 20 | 30 40 on the left.
    const std::string path = WriteFile("small.raw", Words({10, 20, 5, 5, 30, 40, 5, 5}));
    EXPECT_EQ(Run("set Form1.RadioGroupMode 1\n"
                  "answer " +
                  path +
                  "\nanswer 0.1\n"
                  "click Form1.BitBtnLoad\n"
                  "print Form1.EditImgSizeX\nprint Form1.EditImgSizeY\nprint LoadState\nprint FileBuffer\n"
                  "print Form1.EditWindowLevel\nprint Form1.EditWindowWidth\nprint Form1.EditROIPosX\n"
                  "print Form1.EditPxlSpc\nprint Form1.ListBox1\nprint Form1.Image1\n"),
              "0\n0\n1\n16\n512\n1024\n64\n0.1\n" + path + "\n1 0 0 512 512\n");
    // The user types the geometry and a 2 x 2 ROI whose block (one column
    // left of the ROI) holds 10, 20, 30, 40.
    EXPECT_EQ(Run("set Form1.EditImgSizeX 4\nset Form1.EditImgSizeY 2\n"
                  "set Form1.EditROIPosX 2\nset Form1.EditROIPosY 1\n"
                  "set Form1.EditROISizeX 2\nset Form1.EditROISizeY 2\n"
                  "click Form1.ButtonDisp\nclick Form1.ButtonStat\n"
                  "print ViewRect\nprint RoiBitmapRect\nprint Form1.EditAve\nprint Form1.EditSD\n"
                  "print Form1.EditMax\nprint Form1.EditMin\nprint Form1.Image1\n"),
              "1 2 0 1\n0 0 1 1\n25\n11.1803398874989\n40\n10\n1 0 0 512 512\n");
    // "Stat" with another tool does nothing.
    EXPECT_EQ(
        Run("set Form1.RadioGroupTool 1\nset Form1.EditAve x\nclick Form1.ButtonStat\nprint Form1.EditAve"),
        "x\n");
}

TEST_F(ViewerWindow, AutoWindowFromTheCentralHalf)
{
    // 8 x 8: the central area (rows and columns 2..5) runs from 100 to 1100.
    std::vector<std::uint16_t> samples(64, 5000);
    for (int r = 2; r < 6; ++r)
        for (int c = 2; c < 6; ++c) samples[std::size_t(r * 8 + c)] = 500;
    samples[2 * 8 + 2] = 100;
    samples[5 * 8 + 5] = 1100;
    const std::string path = WriteFile("auto.raw", Words(samples));
    EXPECT_EQ(Run("set Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\nanswer " + path +
                  "\nclick Form1.BitBtnLoad\nset Form1.EditImgSizeX 8\nset Form1.EditImgSizeY 8\n"
                  "click Form1.ButtonDisp\nclick Form1.ButtonAutoWL\nprint Form1.EditWindowWidth\nprint "
                  "Form1.EditWindowLevel\n"
                  // With offset -1111 the area runs from -1011 to -11.
                  "set Form1.EditOffst -1111\nclick Form1.ButtonAutoWL\n"
                  "print Form1.EditWindowWidth\nprint Form1.EditWindowLevel\n"),
              "999\n600\n999\n-511\n");
}

TEST_F(ViewerWindow, ABitmapLeftByAFailedRenderingMatchesItsPixels)
{
    // The load sizes the bitmap to the image, then its rendering stops at
    // the magnification text; copying the picture must stay inside it.
    const std::vector<std::uint8_t> bytes = BuildDicom([] {
        DicomImageFields fields;
        fields.rows = 40;
        fields.columns = 30;
        fields.pixelSpacing = "0.1\\0.1";
        return fields;
    }());
    const std::string path = WriteFile("small.dcm", bytes);
    EXPECT_EQ(Run("set Form1.EditMF x\nanswer " + path +
                  "\nclick Form1.BitBtnLoad\nprint DisplayBitmap\nclick Form1.ButtonSaveBMP\n"),
              "message: 'x' は浮動小数点数ではありません\n30 40\n");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(30, 40));
}

TEST_F(ViewerWindow, FailuresEndTheActionWithThePlatformMessage)
{
    EXPECT_EQ(Run("answer /nonexistent/folder/x.dcm\nclick Form1.BitBtnLoad\nprint FileBuffer\n"
                  "print Form1.EditFileName\nprint LoadState\n"),
              "message: ファイル /nonexistent/folder/x.dcm は開けません\n0\n/nonexistent/folder/x.dcm\n0\n");
    const std::string path = WriteFile("img.raw", std::vector<std::uint8_t>(512 * 512 * 2, 0));
    EXPECT_EQ(Run("set Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\nanswer " + path +
                  "\nclick Form1.BitBtnLoad\n"
                  "set Form1.EditImgSizeX abc\nclick Form1.ButtonDisp\n"
                  "set Form1.EditImgSizeX 512\nset Form1.EditImgSizeY 512\nset Form1.EditWindowWidth 0\n"
                  "click Form1.ButtonDisp\n"
                  "set Form1.EditImgSizeY 0\nset Form1.EditWindowWidth 10\nclick Form1.ButtonDisp\n"),
              "message: 'abc' は整数ではありません\nmessage: 0 による浮動小数点数除算\n"
              "message: 0 による浮動小数点数除算\n");
    // Cancelling the open dialog changes nothing but the size edits.
    EXPECT_EQ(Run("answer cancel\nclick Form1.BitBtnLoad\nprint Form1.EditImgSizeX\nprint FileBuffer\n"),
              "0\n524288\n");
}

// Gray level of the bitmap pixel (x, y) as saved by the script driver.
int SavedGray(const std::string& pgmPath, int x, int y)
{
    QFile file(QString::fromStdString(pgmPath));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    int newlines = 0;
    int start = 0;
    int width = 0;
    const QList<QByteArray> header = bytes.left(64).split('\n');
    width = header[1].split(' ')[0].toInt();
    for (start = 0; start < bytes.size() && newlines < 3; ++start)
        if (bytes[start] == '\n') ++newlines;
    return static_cast<unsigned char>(bytes[start + y * width + x]);
}

TEST_F(ViewerWindow, RendersTheViewRegionThroughTheWindow)
{
    // 512 x 512, sample value = column * 2: column 509 holds 1018.
    std::vector<std::uint16_t> samples(512 * 512);
    for (int r = 0; r < 512; ++r)
        for (int c = 0; c < 512; ++c) samples[std::size_t(r * 512 + c)] = std::uint16_t(c * 2);
    const std::string path = WriteFile("ramp.raw", Words(samples));
    const std::string pgm = Path("shown.pgm");
    EXPECT_EQ(Run("set Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\nanswer " + path +
                  "\nclick Form1.BitBtnLoad\nset Form1.EditImgSizeX 512\nset Form1.EditImgSizeY 512\n"
                  "set Form1.RadioGroupTool 2\nclick Form1.ButtonDisp\nprint ViewRect\nprint DisplayBitmap\n"
                  "save Form1.DisplayBitmap " +
                  pgm + "\n"),
              "0 511 0 511\n512 512\n");
    EXPECT_EQ(SavedGray(pgm, 0, 0), 0);
    EXPECT_EQ(SavedGray(pgm, 256, 10), 128);  // 512 at the level
    EXPECT_EQ(SavedGray(pgm, 509, 10), 254);  // 1018: 126.5 rounds to 126
    EXPECT_EQ(SavedGray(pgm, 507, 10), 254);  // 1014: 125.5 rounds to 126
    EXPECT_EQ(SavedGray(pgm, 511, 10), 255);  // 1022 clamps
    EXPECT_EQ(Run("set Form1.CheckBoxInvrt 1\nsave Form1.DisplayBitmap " + pgm), "");
    EXPECT_EQ(SavedGray(pgm, 509, 10), 1);

    EXPECT_EQ(
        Run("click Form1.Button1\nprint Form1.EditMF\n"
            "set Form1.EditMF 2\nclick Form1.ButtonDisp\nprint ViewRect\nprint DisplayBitmap\n"
            "set Form1.EditMF 1.5\nclick Form1.ButtonDisp\nprint ViewRect\nprint DisplayBitmap\n"
            "set Form1.EditImgSftX 7\nclick Form1.Button2\nprint Form1.EditMF\nprint Form1.EditImgSftX\n"
            "click Form1.Button2\nprint Form1.EditMF\nprint Form1.EditImgSftX\n"
            "set Form1.EditMF 1.0\nset Form1.EditImgSftX 0\n"
            "set Form1.EditImgSizeY 1024\nset Form1.EditImgSizeX 256\nclick Form1.ButtonDisp\n"
            "print Form1.Image1\nprint ViewRect\n"),
        "1.1\n128 383 128 383\n256 256\n85 425 85 425\n341 341\n1.4\n7\n1.3\n7\n"
        "1 192 0 128 512\n0 255 0 1023\n");
}

// Answers every prompt the way a hurried user does: the file, then Cancel.
class CancellingPrompter : public Prompter {
public:
    QString path;
    int messages = 0;
    std::optional<QString> openFile(const QString&) override { return path; }
    QString inputBox(const QString&, const QString&, const QString& proposed) override { return proposed; }
    void message(const QString&) override { ++messages; }
};

// Every prefix of a small DICOM file, and every byte of it corrupted, goes
// through the whole load (walk, size, rendering, "Auto", folder list)
// without reading outside the file; under the sanitizers this is the
// robustness test of the viewer as a whole.
TEST_F(ViewerWindow, DamagedFilesLoadWithoutHarm)
{
    DicomImageFields fields;
    fields.rows = 16;
    fields.columns = 24;
    fields.pixelSpacing = "0.1\\0.1";
    fields.windowCenter = "40\\400";
    fields.rescaleIntercept = "-3";
    fields.pixels.assign(16 * 24, 1234);
    const std::vector<std::uint8_t> file = BuildDicom(fields);
    CancellingPrompter prompter;
    SetPrompter(&prompter);
    const auto load = [&](const std::vector<std::uint8_t>& bytes) {
        prompter.path = QString::fromStdString(WriteFile("damaged.dcm", bytes));
        form1->EditPxlSpc->setText("0.1");
        form1->EditMF->setText("1.0");
        form1->EditImgSftX->setText("0");
        form1->EditImgSftY->setText("0");
        Dispatch([&] { form1->BitBtnLoadClick(); });
        // As stored, or, where the damage threw the header walk off, as
        // the library reads the file.
        if (form1->state.fileBuffer.size() != bytes.size()) {
            EXPECT_EQ(form1->state.fileBuffer.size(), 16u * 24 * 2);
            EXPECT_EQ(form1->EditImgSizeX->text() + " " + form1->EditImgSizeY->text(), "24 16");
        }
    };
    for (std::size_t n = 0; n <= file.size(); n += 3)
        load(std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
    for (std::size_t i = 0; i < file.size() - 16 * 24 * 2; ++i) {
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
            std::vector<std::uint8_t> bad = file;
            bad[i] = value;
            load(bad);
        }
    }
    // The intact file still loads as before.
    load(file);
    SetPrompter(&noDialogs);
    EXPECT_EQ(form1->EditImgSizeX->text().toStdString(), "24");
    EXPECT_EQ(form1->EditOffst->text().toStdString(), "-3");
}

}  // namespace
}  // namespace radmtf::testing
