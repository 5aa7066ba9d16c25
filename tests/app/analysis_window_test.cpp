// The analysis window's small handlers: defaults, presets, counters and the
// orientation pictures.
#include "app_fixture.h"

namespace radmtf::testing {
namespace {

class AnalysisWindow : public WindowTest {};

TEST_F(AnalysisWindow, StartsWithItsDefaults)
{
    EXPECT_EQ(
        Run("print Form2.EditMALine\nprint Form2.UpDownMALine\nprint Form2.EditSmth\nprint Form2.UpDownFlt\n"
            "print Form2.Editn\nprint Form2.UpDown1\nprint Form2.EditPxlSpc\nprint Form2.EditL\n"
            "print Form2.EditBit\nprint Form2.RadioGroup2\nprint Form2.RadioGroupEquip\n"
            "print Form2.RadioGroup1\nprint Form2.EditWdth\nprint Form2.EditStrt\nprint Form2.EditBaseL\n"
            "print Form2.EditBaseR\nprint Form2.EditPrfPk\nprint Form2.Memo1\nprint Form2.MemoPRF\n"
            "print Form2.MemoWork\nprint Form2.PageControl1\nprint Form2.CheckBoxUseHDC\n"
            "print Form2.RadioButton1\nprint Form2.Image1\nprint Form2.Image5\nprint Form2.Image2\n"
            "print Form2.Image8\n"),
        "17\n17\n1\n1\n7\n7\n0.1\n4\n12\n-1\n0\n-1\n12\n1\n0\n0\n7\nMemo1\n \nMemoPRF\nMemoWor\nk\n"
        "TabSheetPixelProf\n0\n1\n1 45 22 105 105\n1 45 150 105 105\n0 45 22 105 105\n0 45 150 105 105\n");
    // The pixel table starts empty with 257 columns and 256 rows.
    const std::string table = Run("print Form2.StringGrid1");
    std::string emptyRows;
    for (int r = 0; r < 256; ++r) emptyRows += std::string(256, '\t') + "\n";
    EXPECT_EQ(table, emptyRows);
}

TEST_F(AnalysisWindow, PresetsApplyOnAChangeOfSelection)
{
    EXPECT_EQ(
        Run("set Form2.RadioGroupEquip 1\nprint Form2.EditPxlSpc\nprint Form2.EditBit\nprint Form2.EditL\n"
            "set Form2.RadioGroupEquip 0\nprint Form2.EditPxlSpc\nprint Form2.EditBit\nprint Form2.EditL\n"
            "set Form2.EditBit 14\nset Form2.RadioGroupEquip 0\nprint Form2.EditBit\n"
            "set Form2.RadioGroupEquip -1\nprint Form2.EditBit\n"),
        "0.0875\n12\n4.0\n0.1\n10\n4.0\n14\n14\n");
}

TEST_F(AnalysisWindow, CountersFollowTypedValues)
{
    // Each step rebuilds the profile, which fails on the empty table.
    const std::string rebuildFailure = "message: '' は整数ではありません\n";
    // Untouched edit: the step is written into the edit.
    EXPECT_EQ(Run("step Form2.UpDownMALine up\nprint Form2.UpDownMALine\nprint Form2.EditMALine\n"),
              rebuildFailure + "18\n18\n");
    // A typed value two or more away wins and moves the counter.
    EXPECT_EQ(Run("set Form2.EditMALine 40\nstep Form2.UpDownMALine up\nprint Form2.UpDownMALine\n"
                  "print Form2.EditMALine\n"),
              rebuildFailure + "40\n40\n");
    // A typed value one away counts as a step.
    EXPECT_EQ(Run("set Form2.EditMALine 39\nstep Form2.UpDownMALine down\nprint Form2.UpDownMALine\n"
                  "print Form2.EditMALine\n"),
              rebuildFailure + "39\n39\n");
    EXPECT_EQ(Run("set Form2.EditMALine 18\nset Form2.UpDownMALine 17\nset Form2.EditMALine 19\n"
                  "step Form2.UpDownMALine up\nprint Form2.UpDownMALine\nprint Form2.EditMALine\n"),
              rebuildFailure + "18\n18\n");
    EXPECT_EQ(Run("set Form2.EditMALine x\nstep Form2.UpDownMALine up\nprint ProfileCount\n"),
              "message: 'x' は整数ではありません\n0\n");
    EXPECT_EQ(
        Run("step Form2.UpDown1 up\nprint Form2.Editn\nstep Form2.UpDown1 down\nstep Form2.UpDown1 down\n"
            "print Form2.Editn\nstep Form2.UpDownBaseL up\nprint Form2.EditBaseL\n"),
        "8\n6\n1\n");
    EXPECT_EQ(Run("set Form2.EditMALine 23\nclick Form2.CheckBoxSync\nprint Form2.EditSmth\n"
                  "set Form2.EditMALine 9\nclick Form2.CheckBoxSync\nprint Form2.EditSmth\n"),
              "23\n9\n");
}

TEST_F(AnalysisWindow, OrientationButtonsShowTheirPictures)
{
    for (int button = 1; button <= 4; ++button) {
        std::string script = "set Form2.RadioButton" + std::to_string(button) + " 1\n";
        for (int picture = 1; picture <= 8; ++picture)
            script += "print Form2.Image" + std::to_string(picture) + "\n";
        const std::string out = Run(script);
        std::string expected;
        for (int picture = 1; picture <= 8; ++picture) {
            const bool shown = picture == button || picture == button + 4;
            expected += std::string(shown ? "1" : "0") + " 45 " + (picture > 4 ? "150" : "22") + " 105 105\n";
        }
        EXPECT_EQ(out, expected) << "button " << button;
    }
}

}  // namespace
}  // namespace radmtf::testing
