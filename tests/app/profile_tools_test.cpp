// Profile extraction, the clipboard exports and the sample counter, and the
// LSF tools of the "LSF" page (picking a start point, tail truncation),
// through the windows. Every table comes from a small raw 16-bit image handed
// over with "toMTF".
#include <QItemSelectionModel>

#include <cmath>
#include <sstream>

#include "analysis/composite_profile.h"
#include "app_fixture.h"

namespace radmtf::testing {
namespace {

constexpr int kSide = 256;
constexpr int kFirstRow = 10;
constexpr int kFirstColumn = 5;

class ProfileTools : public WindowTest {
protected:
    // Writes `block` (rows of signed 16-bit values) into a raw image at
    // kFirstRow, kFirstColumn, loads it in "16bit" mode and hands exactly
    // that block to the pixel table.
    void Table(const std::vector<std::vector<int>>& block)
    {
        std::vector<std::uint16_t> samples(std::size_t(kSide) * kSide, 0);
        for (std::size_t r = 0; r < block.size(); ++r)
            for (std::size_t c = 0; c < block[r].size(); ++c)
                samples[(kFirstRow + r) * kSide + kFirstColumn + c] = static_cast<std::uint16_t>(block[r][c]);
        const std::string path = WriteFile("table" + std::to_string(++files_) + ".raw", Words(samples));
        const int width = static_cast<int>(block[0].size());
        const int height = static_cast<int>(block.size());
        const int left = kFirstColumn + 1;  // the table starts one column left of the ROI
        Run("set Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\nanswer " + path +
            "\nclick Form1.BitBtnLoad\nset Form1.EditImgSizeX 256\nset Form1.EditImgSizeY 256\n"
            "set Form1.EditROIPosX " +
            std::to_string(left + width / 2) + "\nset Form1.EditROIPosY " +
            std::to_string(kFirstRow + height / 2) + "\nset Form1.EditROISizeX " + std::to_string(width) +
            "\nset Form1.EditROISizeY " + std::to_string(height) +
            "\nclick Form1.ButtonDisp\nclick Form1.ButtonToTable\n");
        ASSERT_EQ(form2->StringGrid1->grid()->cols(), width + 1);
        ASSERT_EQ(form2->StringGrid1->grid()->rows(), height + 1);
    }

    // The table's rows read along x as the profile (RadioButton2), M lines merged.
    void Profile(int lines)
    {
        Run("set Form2.RadioButton2 1\nset Form2.EditMALine " + std::to_string(lines) +
            "\nclick Form2.Button2Dto1D\nclick Form2.ButtonSmooth\n");
    }

private:
    int files_ = 0;
};

TEST_F(ProfileTools, ExtractCutsTheFlatEndsAndListsTheProfile)
{
    Table({{100, 100, 105, 120, 150, 120, 104, 100}});
    Profile(1);
    // Built with one line; the spacing of the listing follows MA-Line# as it
    // reads when Extract runs.
    EXPECT_EQ(
        Run("set Form2.EditMALine 17\nclick Form2.ButtonExtract\nprint CompositeProfile\nprint ProfileCount\n"
            "print Form2.MemoPRF\nprint Form2.Series1\nprint SampleSpacing\n"),
        "120\n150\n120\n3\n0\t120\n0.00588235294117647\t150\n0\t120\n0.00588235294117647\t150\n"
        "0.00588235294117647\n");

    // A difference of exactly 10 does not count.
    Table({{100, 110, 111, 130, 100}});
    Profile(1);
    EXPECT_EQ(Run("click Form2.ButtonExtract\nprint CompositeProfile\nprint Form2.MemoPRF\n"),
              "111\n130\n0\t111\n");

    // Nothing stands out: refused, the profile stays as it was.
    Table({{100, 105, 110, 104, 100}});
    Profile(1);
    EXPECT_EQ(
        Run("set Form2.MemoPRF kept\nclick Form2.ButtonExtract\nprint ProfileCount\nprint Form2.MemoPRF\n"),
        "message: 抽出する信号がありません。\n5\nkept\n");

    // A bad MA-Line# stops after the cuts.
    Table({{100, 100, 150, 150, 100}});
    Profile(1);
    EXPECT_EQ(Run("set Form2.EditMALine 0\nclick Form2.ButtonExtract\nprint CompositeProfile\n"),
              "message: 0 による浮動小数点数除算\n150\n150\n");
}

TEST_F(ProfileTools, ExtractHalvesALongProfileToAtMost2048Samples)
{
    // 20 rows by 251 columns, merged 20 lines at a time: 5020 samples, ten
    // flat ones at each end and 5000 of signal between them.
    constexpr int kLines = 20;
    constexpr int kColumns = 251;
    std::vector<int> profile(kLines * kColumns, 0);
    for (int j = 10; j < kLines * kColumns - 10; ++j) profile[j] = 1000 + (j * 37) % 101;
    std::vector<std::vector<int>> block(kLines, std::vector<int>(kColumns));
    for (int c = 0; c < kColumns; ++c)
        for (int k = 0; k < kLines; ++k) block[k][c] = profile[c * kLines + k];
    Table(block);
    Profile(kLines);
    ASSERT_EQ(Run("print ProfileCount\n"), "5020\n");

    // Reference: cut, then two halvings by truncating pair means.
    std::vector<int> expected(profile.begin() + 10, profile.end() - 10);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<int> half(expected.size() / 2);
        for (std::size_t l = 0; l < half.size(); ++l) half[l] = (expected[2 * l] + expected[2 * l + 1]) / 2;
        expected = half;
    }
    ASSERT_EQ(expected.size(), 1250u);
    Run("click Form2.ButtonExtract\n");
    EXPECT_EQ(Run("print ProfileCount\nprint SampleSpacing\n"), "1250\n0.02\n");
    const std::vector<std::string> values = SplitLines(Run("print CompositeProfile"));
    ASSERT_EQ(values.size(), 1250u);
    for (std::size_t l = 0; l < values.size(); ++l) ASSERT_EQ(values[l], std::to_string(expected[l])) << l;
    // Every retained sample but the last is listed and drawn.
    const QStringList memo = form2->MemoPRF->lines();
    ASSERT_EQ(memo.size(), 1249);
    EXPECT_EQ(memo[1].toStdString(), "0.02\t" + std::to_string(expected[1]));
    EXPECT_EQ(memo[1248].toStdString(), "24.96\t" + std::to_string(expected[1248]));
    EXPECT_EQ(form2->Series1->points().size(), 1249);
}

TEST_F(ProfileTools, CopiesTheTableAndTheProfileAsText)
{
    Table({{1, 2}, {3, 4}});
    // Every line ends with CR LF; `print` adds its own line end.
    EXPECT_EQ(Run("click Form2.ButtonToCB_SG\nprint clipboard\n"), "1\t2\r\n3\t4\r\n\n");
    EXPECT_EQ(form2->StringGrid1->selectionModel()->selectedIndexes().size(), 4);
    EXPECT_EQ(Run("set Form2.CheckBoxSwapRC 1\nclick Form2.ButtonToCB_SG\nprint clipboard\n"),
              "1\t3\r\n2\t4\r\n\n");

    // The profile: a TAB before each value, no line end.
    Table({{5, -2, 7}});
    Profile(1);
    EXPECT_EQ(Run("click Form2.ButtonPrfToCB\nprint clipboard\n"), "\t5\t-2\t7\n");
    EXPECT_EQ(
        Run("set Form2.EditMALine 0\nclick Form2.Button2Dto1D\nclick Form2.ButtonPrfToCB\nprint clipboard\n"),
        "\n");
}

TEST_F(ProfileTools, MemoWorkShowsTheSampleCount)
{
    Table({{11, 12, 13}, {21, 22, 23}});
    EXPECT_EQ(Run("set Form2.RadioButton1 1\nset Form2.EditMALine 2\nclick Form2.Button2Dto1D\n"
                  "click Form2.MemoWork\nprint Form2.MemoWork\nprint CompositeProfile\n"),
              "6\n21\n11\n22\n12\n23\n13\n");
}

// "Smooth" with a window wider than the profile (Sync copies MA-Line# into
// the width) empties it; every method then stops in the program's words,
// never on an internal check, and leaves the windows as they were.
TEST_F(ProfileTools, MethodsRefuseAnEmptiedProfile)
{
    Table({{11, 12, 13}});
    const std::string profileRefused =
        "message: " + std::string("プロファイルがありません。2Dto1D を実行してください。") + "\n";
    const std::string lsfRefused =
        "message: " + std::string("LSF がありません。ToExp を実行してください。") + "\n";
    EXPECT_EQ(
        Run("set Form2.RadioButton2 1\nset Form2.EditMALine 1\nclick Form2.Button2Dto1D\n"
            "set Form2.CheckBoxSync 1\nset Form2.EditMALine 9\nclick Form2.ButtonSmooth\n"
            "click Form2.MemoWork\nprint Form2.MemoWork\nclick Form2.ButtonSWC\nclick Form2.ButtonSlit\n"
            "click Form2.ButtonToExp\nclick Form2.ButtonExtract\nprint Form2.EditNDLSF\n"),
        "0\n" + profileRefused + lsfRefused + profileRefused + "message: 抽出する信号がありません。\n\n");
    // The shortest way there: a width of 3 on the empty profile.
    EXPECT_EQ(Run("set Form2.EditSmth 3\nclick Form2.ButtonSmooth\nclick Form2.ButtonSWC\n"), profileRefused);
}

// An LSF whose tails are exact exponentials down to a floor: pixel values fall
// by 20 per sample from 3000 at sample 100 (exposure falls by 20 / 1024 of a
// decade per sample, L = 4 over 12 bits), flat at 1800 beyond 60 samples.
class LsfTools : public ProfileTools {
protected:
    static constexpr int kCount = 200;
    static constexpr int kPeak = 100;

    void SetUp() override
    {
        ProfileTools::SetUp();
        std::vector<int> row(kCount);
        for (int i = 0; i < kCount; ++i) row[i] = std::max(1800, 3000 - 20 * std::abs(i - kPeak));
        Table({row});
        Profile(1);
    }

    static double Exposure(int offset) { return 1000.0 * std::pow(10.0, -20.0 * std::abs(offset) / 1024.0); }
};

TEST_F(LsfTools, PickingShowsTheSampleAndTruncationNeedsAPick)
{
    EXPECT_EQ(
        Run("click Form2.ButtonToExp\nprint PeakIndex\nprint Form2.EditPosN\nclick Form2.ButtonTrancation\n"
            "print ExposureCount\n"),
        "100\n\nmessage: 外挿開始点が指定されていません。\n200\n");
    EXPECT_TRUE(form2->Series2->points().isEmpty());

    const std::string y = SplitLines(Run("print ExposureProfile"))[50] + "\n";
    EXPECT_EQ(
        Run("chartclick Form2.Series3 50\nprint Form2.EditPosN\nprint Form2.EditPosX\nprint Form2.EditPosY\n"
            "print Form2.Series9\n"),
        "50\n-5\n" + y + "-5\t" + y);
    EXPECT_NEAR(std::stod(y), Exposure(50), 1e-9);

    // A point that is not a sample of the LSF is refused; the pick stays.
    EXPECT_EQ(Run("chartclick Form2.Series3 200\nprint Form2.EditPosN\nprint Form2.Series9\n"),
              "message: 選択した点は LSF の範囲外です。\n50\n-5\t" + y);
}

TEST_F(LsfTools, TruncationReplacesBothTailsByTheirExponentials)
{
    // From sample 50 the left line reaches three decades below the peak 154
    // samples out, beyond the array's start: everything moves up by 55 and the
    // right tail grows to the same depth.
    Run("click Form2.ButtonToExp\nchartclick Form2.Series3 50\n");
    const double mirrored = form2->session.profile().exposureProfile[150];
    EXPECT_EQ(
        Run("click Form2.ButtonTrancation\nprint ExposureCount\nprint PeakIndex\nprint Form2.EditNDLSF\n"),
        "310\n155\n200\n");
    const std::vector<std::string> values = SplitLines(Run("print ExposureProfile"));
    ASSERT_EQ(values.size(), 310u);
    for (int i = 0; i < 310; ++i) ASSERT_NEAR(std::stod(values[i]) / Exposure(i - 155), 1.0, 1e-9) << i;
    EXPECT_GT(-std::log10(Exposure(154) / 1000), 3.0);
    EXPECT_LT(-std::log10(Exposure(153) / 1000), 3.0);

    // The corrected LSF drawn around the new peak; the measured one kept.
    const QList<QPointF> curve = form2->Series2->points();
    ASSERT_EQ(curve.size(), 310);
    EXPECT_NEAR(curve.front().x(), -15.5, 1e-12);
    EXPECT_NEAR(curve.back().x(), 15.4, 1e-12);
    EXPECT_EQ(form2->Series3->points().size(), kCount);
    // The ends of both fit ranges: 50 and 63 on the left (before the move);
    // on the right, the start and the sample 13 before it. The right start
    // is found by the exposure shown in EditPosY, whose 15 digits round just
    // below the sample 50 right of the peak, so it lies 51 samples out.
    EXPECT_LT(std::stod(Run("print Form2.EditPosY")), mirrored);
    const QList<QPointF> marks = form2->Series9->points();
    ASSERT_EQ(marks.size(), 4);
    EXPECT_NEAR(marks[0].x(), -5.0, 1e-12);
    EXPECT_NEAR(marks[1].x(), -3.7, 1e-12);
    EXPECT_NEAR(marks[2].x(), 5.1, 1e-12);
    EXPECT_NEAR(marks[3].x(), 3.8, 1e-12);
}

TEST_F(LsfTools, TruncationRefusesStartsItCannotExtendFrom)
{
    // At or right of the peak there is no left tail; on the flat floor the
    // fitted line never falls three decades. Each refusal changes nothing.
    const std::pair<int, const char*> cases[] = {
        {100, "外挿開始点はピークより左側で指定してください。"},
        {103, "外挿開始点はピークより左側で指定してください。"},
        {150, "外挿開始点はピークより左側で指定してください。"},
        {20, "左側の裾が外側に向かって減少していないため、外挿できません。"},
    };
    for (const auto& [start, message] : cases) {
        Run("click Form2.ButtonToExp\nchartclick Form2.Series3 " + std::to_string(start) + "\n");
        const std::string before = Run("print ExposureProfile\nprint Form2.Series9\nprint FitCoefficients\n");
        EXPECT_EQ(Run("click Form2.ButtonTrancation\nprint ExposureCount\nprint PeakIndex\n"),
                  "message: " + std::string(message) + "\n200\n100\n")
            << start;
        EXPECT_EQ(Run("print ExposureProfile\nprint Form2.Series9\nprint FitCoefficients\n"), before)
            << start;
        EXPECT_TRUE(form2->Series2->points().isEmpty());
    }
}

}  // namespace
}  // namespace radmtf::testing
