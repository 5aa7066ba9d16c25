// The hand-over from the viewer to the analysis window ("toMTF"), the
// exposure conversion through a characteristic-curve file, and "Fitting"
// after the slit method.
#include "app_fixture.h"

namespace radmtf::testing {
namespace {

class TransferAndFitting : public WindowTest {
protected:
    // A raw 16-bit image whose sample (r, c) is r * 100 + c, loaded and
    // rendered in "16bit" mode.
    std::string LoadRamp(int side)
    {
        std::vector<std::uint16_t> samples(std::size_t(side) * std::size_t(side));
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c) samples[std::size_t(r * side + c)] = std::uint16_t(r * 100 + c);
        const std::string path = WriteFile("ramp.raw", Words(samples));
        const std::string s = std::to_string(side);
        Run("set Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\nanswer " + path +
            "\nclick Form1.BitBtnLoad\nset Form1.EditImgSizeX " + s + "\nset Form1.EditImgSizeY " + s +
            "\nclick Form1.ButtonDisp\n");
        return path;
    }
};

TEST_F(TransferAndFitting, TransfersTheRoiBlockWithItsHeaders)
{
    LoadRamp(64);
    // RoiBitmapRect (10, 20)-(12, 21): the block starts one column left, at 9.
    EXPECT_EQ(
        Run("set Form1.EditROIPosX 11\nset Form1.EditROIPosY 21\nset Form1.EditROISizeX 3\n"
            "set Form1.EditROISizeY 2\nset Form1.EditPxlSpc 0.139\nclick Form1.ButtonDisp\n"
            "print RoiBitmapRect\nclick Form1.ButtonToTable\nprint Form2.StringGrid1\n"
            "print Form2.EditPxlSpc\nprint Form2.RadioGroup1\nprint Form2.EditSmth\nprint Form2.UpDownFlt\n"),
        "10 20 12 21\n\t10\t11\t12\n20\t2009\t2010\t2011\n21\t2109\t2110\t2111\n0.139\n0\n1\n1\n");
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(form2->UpDownMALine->maximum(), 2);
    EXPECT_EQ(form2->UpDownMALine->position(), 17);

    // Shifted display: the same bitmap rectangle reads other image pixels.
    EXPECT_EQ(
        Run("set Form1.EditMF 2.0\nset Form1.EditImgSftX -4\nset Form1.EditImgSftY 2\n"
            "set Form1.RadioGroupTool 2\nclick Form1.ButtonDisp\nprint ViewRect\nclick Form1.ButtonToTable\n"
            "print Form2.StringGrid1\n"),
        "24 55 20 51\n\t10\t11\t12\n20\t4033\t4034\t4035\n21\t4133\t4134\t4135\n");
}

TEST_F(TransferAndFitting, RefusesABlockOutsideTheImageAndLeavesCellsIn8BitMode)
{
    LoadRamp(64);
    // A ROI at the left edge: its block would start at column -1.
    EXPECT_EQ(Run("set Form1.EditROIPosX 1\nset Form1.EditROIPosY 10\nset Form1.EditROISizeX 2\n"
                  "set Form1.EditROISizeY 2\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
                  "print Form2.StringGrid1\n"),
              "message: ROIが画像の外にはみ出しています。\n" + Run("print Form2.StringGrid1"));
    EXPECT_EQ(form2->StringGrid1->grid()->cols(), 257);

    // " 8bit": the grid is resized and headed; the data cells keep their text.
    EXPECT_EQ(Run("set Form1.EditROIPosX 11\nset Form1.EditROIPosY 21\nset Form1.EditROISizeX 3\n"
                  "set Form1.EditROISizeY 2\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n"
                  "set Form1.RadioGroupMode 0\nset Form1.EditROISizeX 4\nclick Form1.ButtonDisp\n"
                  "click Form1.ButtonToTable\nprint Form2.StringGrid1\nclick Form2.Button2Dto1D\n"
                  "print ProfileCount\n"),
              "\t9\t10\t11\t12\n20\t2009\t2010\t2011\t\n21\t2109\t2110\t2111\t\n"
              "message: '' は整数ではありません\n3\n");
    // Nothing is read in " 8bit" mode, but a table the size of a ROI typed
    // by hand is refused rather than exhausting the memory.
    EXPECT_EQ(Run("set Form1.EditROISizeX 100000\nset Form1.EditROISizeY 100000\nclick Form1.ButtonDisp\n"
                  "click Form1.ButtonToTable\nset Form1.EditROISizeX 4\nset Form1.EditROISizeY 2\n"
                  "click Form1.ButtonDisp\n"),
              "message: ROIが大きすぎます。\n");
    EXPECT_EQ(form2->StringGrid1->grid()->cols(), 5);
    // An empty pixel spacing in the viewer leaves the analysis window's.
    EXPECT_EQ(Run("set Form2.EditPxlSpc 0.2\nset Form1.EditPxlSpc \nclick Form1.ButtonToTable\n"
                  "print Form2.EditPxlSpc\n"),
              "0.2\n");
}

TEST_F(TransferAndFitting, ConvertsThroughTheCharacteristicCurveBesideTheImage)
{
    LoadRamp(64);
    // A 2 x 1 block holding 2150 and 2151? Use pixel values 250.. via the offset.
    Run("set Form1.EditROIPosX 11\nset Form1.EditROIPosY 2\nset Form1.EditROISizeX 2\nset Form1.EditROISizeY "
        "1\n"
        "set Form1.EditOffst 50\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n");
    // Table row 1 holds row 2 of the image, columns 9 and 10, plus 50: 259, 260.
    EXPECT_EQ(Run("print Form2.StringGrid1"), "\t10\t11\n2\t259\t260\n");
    // Without the file: missing "hdc.txt" fails before anything changes.
    EXPECT_EQ(
        Run("set Form2.EditMALine 1\nclick Form2.Button2Dto1D\nset Form2.CheckBoxUseHDC 1\n"
            "set Form2.Memo1 untouched\nclick Form2.ButtonToExp\nprint Form2.Memo1\nprint ExposureCount\n"),
        "message: ファイル " + Path("hdc.txt") + " は開けません\nuntouched\n0\n");
    WriteFile("hdc.txt", [] {
        const std::string text = "0.0\t100\r\n0.1\t200\r\n0.2\t300\r\n0.3\t400\r\n";
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }());
    // 259 lies between 200 and 300: 0.1 + 59 x 0.1 / 100 = 0.159; 260 gives 0.16.
    const std::string out =
        Run("click Form2.ButtonToExp\nprint Form2.Memo1\nprint ExposureCount\nprint PeakIndex\n"
            "print ExposureProfile\nprint Form2.PageControl1\nprint Form2.EditNDLSF\n");
    const double ratio = std::pow(10.0, 0.159 - 0.16) * 1000.0;
    EXPECT_EQ(out, "0.0\t100\n0.1\t200\n0.2\t300\n0.3\t400\n2\n1\n" + Run("print ExposureProfile 1") +
                       "1000\nTabSheetProfMTF\n2\n");
    EXPECT_NEAR(std::stod(Run("print ExposureProfile 1")), ratio, 1e-9);
    // A value above the last line of the file fails with the conversion message.
    EXPECT_EQ(Run("set Form1.EditOffst 200\nclick Form1.ButtonToTable\nclick Form2.Button2Dto1D\n"
                  "click Form2.ButtonToExp\nprint ExposureCount\n"),
              "message: '' は浮動小数点数ではありません\n2\n");
}

TEST_F(TransferAndFitting, FittingUsesTheSlitPointsAndRefusesABadDegree)
{
    // A narrow LSF straight into the exposure profile.
    form2->session.profile().profileCount = 64;
    for (int i = 0; i < 64; ++i)
        form2->session.profile().compositeProfile[std::size_t(i)] =
            i == 30 ? 3000 : (i == 29 || i == 31 ? 2000 : 0);
    form2->session.profile().sampleSpacing = 0.1 / 17;
    EXPECT_EQ(Run("click Form2.ButtonToExp\nclick Form2.ButtonSlit\nprint MtfPointCount\n"), "121\n");
    EXPECT_EQ(form2->MemoMTF->lines().size(), 121);
    EXPECT_EQ(form2->MemoMTF->lines()[0].toStdString(), "0\t1");

    // No frequency chosen: K = 3, the slit's bins 0..3 (3 x 0.083 cycles/mm).
    EXPECT_EQ(Run("set Form2.Editn 17\nclick Form2.ButtonFitting\n"),
              "message: 次数は 1 から 16 の範囲で指定してください。\n");
    EXPECT_EQ(form2->MemoMTF->lines().size(), 121);
    EXPECT_EQ(Run("set Form2.Editn x\nclick Form2.ButtonFitting\n"), "message: 'x' は整数ではありません\n");
    EXPECT_EQ(Run("set Form2.Editn 2\nclick Form2.ButtonFitting\nprint MtfLastIndex\n"), "3\n");
    // The refit at the step of a 64-point transform of 0.1 mm pixels.
    ASSERT_EQ(form2->MemoMTF3->lines().size(), 2);
    EXPECT_TRUE(form2->MemoMTF3->lines()[0].startsWith("0\t"));
    EXPECT_TRUE(form2->MemoMTF3->lines()[1].startsWith("0.15625\t"));
    // F[3] = 3 / (2048 x 0.1 / 17) = 0.249 cycles/mm: rows 0, 0.05, ..., 0.2.
    ASSERT_EQ(form2->MemoMTF->lines().size(), 5);
    EXPECT_EQ(form2->MemoMTF->lines()[4].left(4).toStdString(), "0.2\t");
}

}  // namespace
}  // namespace radmtf::testing
