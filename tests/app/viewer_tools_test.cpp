// The viewer's tools through the window: the element table, the pointer
// tools and the ROI frames, magnification, flips and turns, trimming and the
// picture on the clipboard.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <random>

#include "app_fixture.h"
#include "core/numtext.h"
#include "dicom/dicom_builder.h"

namespace radmtf::testing {
namespace {

using testdata::BuildDicom;
using testdata::DicomImageFields;
using testdata::DicomWriter;
using Image = std::vector<std::uint16_t>;

Image Random(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> value(0, 65535);
    Image samples(static_cast<std::size_t>(count));
    for (std::uint16_t& s : samples) s = static_cast<std::uint16_t>(value(rng));
    return samples;
}

// Direct references: out(r, c) of a w x h image, row by row.
template <class Source>
Image Build(int w, int h, Source source)
{
    Image out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) out[std::size_t(r) * std::size_t(w) + std::size_t(c)] = source(r, c);
    return out;
}

// The square of side n at (row0, col0) turned a quarter clockwise (or not).
Image TurnBlock(const Image& in, int w, int row0, int col0, int n, bool clockwise)
{
    Image out = in;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const int toR = clockwise ? c : n - 1 - c;
            const int toC = clockwise ? n - 1 - r : r;
            out[std::size_t(row0 + toR) * std::size_t(w) + std::size_t(col0 + toC)] =
                in[std::size_t(row0 + r) * std::size_t(w) + std::size_t(col0 + c)];
        }
    return out;
}

class ViewerTools : public WindowTest {
protected:
    // Loads a raw 16-bit file (after `header` bytes of 0xEE) and shows it as
    // w x h through level 512, width 1024.
    std::string LoadRaw(const std::string& name, int w, int h, const Image& samples, int header = 0)
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(header), 0xEE);
        const std::vector<std::uint8_t> words = Words(samples);
        bytes.insert(bytes.end(), words.begin(), words.end());
        header_ = header;
        width_ = w;
        const std::string path = WriteFile(name, bytes);
        EXPECT_EQ(Run("set Form1.RadioGroupMode 1\nset Form1.EditPxlSpc 0.1\nset Form1.EditMF 1.0\n"
                      "set Form1.EditImgSftX 0\nset Form1.EditImgSftY 0\nanswer " +
                      path + "\nclick Form1.BitBtnLoad\nset Form1.EditHeader " + std::to_string(header) +
                      "\nset Form1.EditImgSizeX " + std::to_string(w) + "\nset Form1.EditImgSizeY " +
                      std::to_string(h) + "\nclick Form1.ButtonDisp\n"),
                  "");
        return path;
    }

    // The samples of the buffer as the window now holds them.
    Image Held(int count) const
    {
        Image out(static_cast<std::size_t>(count));
        const std::vector<std::uint8_t>& buffer = form1->state.fileBuffer;
        for (int i = 0; i < count; ++i) {
            const std::size_t at = std::size_t(header_) + 2 * std::size_t(i);
            out[std::size_t(i)] = static_cast<std::uint16_t>(buffer[at] | buffer[at + 1] << 8);
        }
        return out;
    }

    std::vector<std::uint8_t> Shown() const { return form1->displayBitmap.pixels; }

    static std::vector<std::uint8_t> ReadAll(const std::string& path)
    {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QByteArray bytes = file.readAll();
        return {bytes.begin(), bytes.end()};
    }

    int header_ = 0;
    int width_ = 0;
};

// Rows of the element table as "No|Group|Element|VR|CHR#|Name|Value".
std::vector<std::string> TableRows(const std::string& printed)
{
    std::vector<std::string> rows;
    std::size_t start = 0;
    while (start < printed.size()) {
        const std::size_t end = printed.find('\n', start);
        std::string line = printed.substr(start, end - start);
        std::string row;
        std::size_t cellStart = 0;
        for (int c = 0; c < 7; ++c) {
            const std::size_t tab = line.find('\t', cellStart);
            row += (c ? "|" : "") + line.substr(cellStart, tab - cellStart);
            cellStart = tab + 1;
        }
        rows.push_back(row);
        start = end + 1;
    }
    return rows;
}

TEST_F(ViewerTools, ElementTableShowsSequencesAndGrowsOnDoubleClick)
{
    auto file = [](bool delimited) {
        DicomWriter item1(true), item2(true);
        item1.Element(0x0008, 0x0100, "SH", "CODE01").Element(0x0008, 0x0102, "SH", "DCM ");
        item2.Element(0x0008, 0x0100, "SH", "CODE02");
        DicomWriter w(true);
        w.Preamble().MetaHeader("1.2.840.10008.1.2.1");
        w.Sequence(0x0008, 0x1032, {item1.bytes(), item2.bytes()}, !delimited, false);
        w.US(0x0028, 0x0010, 16).US(0x0028, 0x0011, 16).Element(0x0028, 0x0030, "DS", "0.1\\0.1 ");
        w.PixelData(Image(256, 3));
        return w.bytes();
    };
    const std::string delimited = WriteFile("delimited.dcm", file(true));
    const std::string defined = WriteFile("defined.dcm", file(false));
    const std::vector<std::string> sequence = {"|0008|1032|SQ|||", "  5|0008|0100|SH|0006|CodeValue|CODE01",
                                               "  6|0008|0102|SH|0004|CodingSchemeDesignator|DCM ",
                                               "  7|0008|0100|SH|0006|CodeValue|CODE02"};

    Run("answer " + delimited + "\nclick Form1.BitBtnLoad");
    std::vector<std::string> rows = TableRows(Run("print Form1.StringGridDICOM"));
    ASSERT_GE(rows.size(), 13u);
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 4, rows.begin() + 8), sequence);
    EXPECT_EQ(rows[8], "|||SQ|||");
    EXPECT_EQ(rows[9], "  9|0028|0010|US|0002|Rows|16");
    EXPECT_EQ(rows[12].substr(0, 16), " 12|7FE0|0010|OW");
    EXPECT_EQ(rows.size(), 13u);

    // The sequence of defined length has no end row, and the table holds
    // nothing of the earlier, longer one.
    Run("answer " + defined + "\nclick Form1.BitBtnLoad");
    rows = TableRows(Run("print Form1.StringGridDICOM"));
    ASSERT_GE(rows.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 4, rows.begin() + 8), sequence);
    EXPECT_EQ(rows[8], "  8|0028|0010|US|0002|Rows|16");
    EXPECT_EQ(rows[11].substr(0, 16), " 11|7FE0|0010|OW");
    EXPECT_EQ(rows.size(), 12u);

    const QWidget* table = form1->StringGridDICOM;
    EXPECT_EQ(table->geometry(), QRect(0, 536, 516, 109));
    Run("dblclick Form1.StringGridDICOM");
    EXPECT_EQ(table->geometry(), QRect(0, 22, 516, 618));
    // The large table survives a load; the next double click shrinks it.
    Run("answer " + delimited + "\nclick Form1.BitBtnLoad\ndblclick Form1.StringGridDICOM");
    EXPECT_EQ(table->geometry(), QRect(0, 536, 516, 109));
}

TEST_F(ViewerTools, PointerToolsDragTheRoiPanAndSetTheWindow)
{
    auto value = [](int r, int c) { return static_cast<std::uint16_t>((r * 7 + c * 3) % 4096); };
    LoadRaw("ramp.raw", 512, 512, Build(512, 512, value));
    double sd = 0;
    const std::string roi64 =
        "set Form1.EditROIPosX 256\nset Form1.EditROIPosY 256\n"
        "set Form1.EditROISizeX 64\nset Form1.EditROISizeY 64\nclick Form1.ButtonDisp\n";

    // A press above and left of the ROI drags its top-left corner.
    EXPECT_EQ(
        Run(roi64 +
            "print RoiBitmapRect\nmouse Form1.Image1 press left 10 10\nprint DragRoiTopLeft\n"
            "mouse Form1.Image1 move left 100 120\nprint RoiBitmapRect\nprint Form1.EditROISizeX\n"
            "print Form1.EditROISizeY\nprint Form1.EditROIPosX\nmouse Form1.Image1 release left 100 120\n"
            "print DragButton\nprint DragRoiTopLeft\n"),
        "224 224 287 287\n1\n100 120 287 287\n188\n168\n256\n\n0\n");
    // The release measured the block one column left of the ROI.
    auto measured = [&](int r0, int c0, int w, int h) {
        double sum = 0;
        int maximum = value(r0, c0), minimum = value(r0, c0);
        for (int r = r0; r < r0 + h; ++r)
            for (int c = c0; c < c0 + w; ++c) {
                sum += value(r, c);
                maximum = std::max<int>(maximum, value(r, c));
                minimum = std::min<int>(minimum, value(r, c));
            }
        const double mean = sum / w / h;
        double squares = 0;
        for (int r = r0; r < r0 + h; ++r)
            for (int c = c0; c < c0 + w; ++c) squares += (value(r, c) - mean) * (value(r, c) - mean);
        sd = std::sqrt(squares / w / h);
        return FloatToStr(mean) + "\n" + std::to_string(maximum) + "\n" + std::to_string(minimum) + "\n";
    };
    EXPECT_EQ(Run("print Form1.EditAve\nprint Form1.EditMax\nprint Form1.EditMin"),
              measured(120, 99, 188, 168));
    EXPECT_NEAR(std::stod(Run("print Form1.EditSD")), sd, 1e-9 * sd);

    // Below and right: the bottom-right corner. Left of the ROI but below its
    // top: no flag, moving does nothing, the release still measures.
    const std::string centred = measured(224, 223, 64, 64);
    EXPECT_EQ(Run(roi64 +
                  "mouse Form1.Image1 press left 400 300\nmouse Form1.Image1 move left 300 310\n"
                  "mouse Form1.Image1 release left 300 310\nprint RoiBitmapRect\n" +
                  roi64 +
                  "set Form1.EditAve x\nmouse Form1.Image1 press left 10 250\nprint DragRoiTopLeft\n"
                  "print DragRoiWhole\nmouse Form1.Image1 move left 50 50\nprint RoiBitmapRect\n"
                  "mouse Form1.Image1 release left 50 50\nprint Form1.EditAve\n"),
              "224 224 300 310\n0\n0\n224 224 287 287\n" + centred.substr(0, centred.find('\n') + 1));

    // The whole ROI follows the pointer; the centre goes to the position edits.
    EXPECT_EQ(
        Run(roi64 +
            "mouse Form1.Image1 press left 250 250\nprint DragRoiWhole\n"
            "mouse Form1.Image1 move left 200 190\nprint RoiBitmapRect\nprint Form1.EditROIPosX\n"
            "print Form1.EditROIPosY\nprint Form1.EditROISizeX\nmouse Form1.Image1 release left 200 190\n" +
            roi64 +
            "set Form1.EditROISizeX 65\nset Form1.EditROISizeY 65\nclick Form1.ButtonDisp\n"
            "mouse Form1.Image1 press left 250 250\nmouse Form1.Image1 move left 200 190\n"
            "print RoiBitmapRect\nmouse Form1.Image1 release left 200 190\n"),
        "1\n168 158 231 221\n200\n190\n64\n168 158 232 222\n");

    // Pan at magnification 2: half a bitmap pixel per control pixel.
    EXPECT_EQ(Run("set Form1.EditMF 2.0\nclick Form1.ButtonDisp\nset Form1.RadioGroupTool 1\nprint ViewRect\n"
                  "mouse Form1.Image1 press left 100 100\nmouse Form1.Image1 move left 110 100\n"
                  "print Form1.EditImgSftX\nprint ViewRect\nmouse Form1.Image1 move left 110 96\n"
                  "print Form1.EditImgSftY\nprint ViewRect\nmouse Form1.Image1 release left 110 96\n"
                  "print DragButton\n"),
              "128 383 128 383\n5\n118 373 128 383\n2\n118 373 132 387\n\n");

    // Right drag with "Range" 10: right widens, up raises the level; a width
    // that would reach 0 stays while the level still follows.
    EXPECT_EQ(
        Run("set Form1.RadioGroupRange 2\nmouse Form1.Image1 press right 100 100\nprint DragButton\n"
            "mouse Form1.Image1 move right 104 98\nprint Form1.EditWindowWidth\nprint Form1.EditWindowLevel\n"
            "mouse Form1.Image1 move right -3 108\nprint Form1.EditWindowWidth\nprint Form1.EditWindowLevel\n"
            "mouse Form1.Image1 release right -3 108\nprint DragButton\n"),
        "Right\n1064\n532\n1064\n432\n\n");
}

TEST_F(ViewerTools, RoiFramesAreExclusiveOrOutlines)
{
    LoadRaw("random.raw", 512, 512, Random(512 * 512, 1));
    const std::string roi64 =
        "set Form1.EditROIPosX 256\nset Form1.EditROIPosY 256\n"
        "set Form1.EditROISizeX 64\nset Form1.EditROISizeY 64\n";
    Run(roi64 + "set Form1.RadioGroupTool 2\nclick Form1.ButtonDisp");
    const std::vector<std::uint8_t> bare = Shown();
    Run("set Form1.RadioGroupTool 0\nclick Form1.ButtonDisp");
    const std::vector<std::uint8_t> framed = Shown();
    // Three nested frames on a 512-row bitmap, (224, 224)-(287, 287) in the
    // middle, right and bottom edges exclusive; every changed pixel is inverted.
    int changed = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const std::size_t at = std::size_t(y) * 512 + std::size_t(x);
            if (framed[at] == bare[at]) continue;
            ++changed;
            EXPECT_EQ(framed[at], 255 - bare[at]) << x << " " << y;
            auto onEdge = [](int v) { return (v >= 223 && v <= 225) || (v >= 285 && v <= 287); };
            EXPECT_TRUE(x >= 223 && x <= 287 && y >= 223 && y <= 287 && (onEdge(x) || onEdge(y)))
                << x << " " << y;
        }
    EXPECT_GT(changed, 300);

    // The menu's change notification draws the same frames again: they go.
    form1->PopupMenu1Change();
    EXPECT_EQ(Shown(), bare);
    form1->PopupMenu1Change();
    EXPECT_EQ(Shown(), framed);
    // A corner dragged away and back leaves the same picture.
    Run("mouse Form1.Image1 press left 10 10\nmouse Form1.Image1 move left 100 120\n"
        "mouse Form1.Image1 move left 224 224\nmouse Form1.Image1 release left 224 224");
    EXPECT_EQ(Shown(), framed);

    // A menu size from another tool: a square ROI around the same centre, tool "ROI".
    EXPECT_EQ(Run("set Form1.RadioGroupTool 1\npopup Form1.EditROISizeY N1281\nprint Form1.RadioGroupTool\n"
                  "print Form1.EditROISizeX\nprint Form1.EditROISizeY\nprint RoiRect\n"),
              "0\n128\n128\n192 192 319 319\n");
    // "OFF" shows the picture without frames and keeps the rectangles.
    EXPECT_EQ(Run("set Form1.RadioGroupTool 2\nprint RoiRect\n"), "192 192 319 319\n");
    EXPECT_EQ(Shown(), bare);
}

TEST_F(ViewerTools, MagnificationStepsAndHome)
{
    LoadRaw("flat.raw", 512, 512, Image(512 * 512, 600));
    std::string plus;
    for (int i = 0; i < 10; ++i) plus += "click Form1.Button1\n";
    EXPECT_EQ(Run(plus + "print Form1.EditMF\nprint ViewRect\nclick Form1.Button2\nprint Form1.EditMF\n"),
              "2\n128 383 128 383\n1.9\n");
    // Arriving at 1 by "-", or pressing "-" at 1, clears the shift.
    EXPECT_EQ(
        Run("set Form1.EditMF 1.1\nset Form1.EditImgSftX 7\nset Form1.EditImgSftY 3\nclick Form1.Button2\n"
            "print Form1.EditMF\nprint Form1.EditImgSftX\nprint Form1.EditImgSftY\n"
            "set Form1.EditImgSftX 7\nclick Form1.Button2\nprint Form1.EditMF\nprint Form1.EditImgSftX\n"),
        "1.0\n0\n0\n1.0\n0\n");
    EXPECT_EQ(Run("set Form1.EditMF 2\nset Form1.EditImgSftX 3\nclick Form1.ButtonDisp\nset "
                  "Form1.RadioGroupTool 3\n"
                  "print Form1.EditMF\nprint Form1.EditImgSftX\nprint ViewRect\nprint DisplayBitmap\n"),
              "1.0\n0\n0 511 0 511\n512 512\n");
}

TEST_F(ViewerTools, FlipsAndTurnsMatchADirectReference)
{
    // Odd sizes, a header before the samples and bytes after them.
    const int w = 37, h = 23;
    Image image = Random(w * h, 2);
    Image withTail = image;
    withTail.insert(withTail.end(), {0x1111, 0x2222});
    LoadRaw("odd.raw", w, h, withTail, 10);
    const std::vector<std::uint8_t> before = form1->state.fileBuffer;
    auto outsideKept = [&] {
        const std::vector<std::uint8_t>& now = form1->state.fileBuffer;
        return now.size() == before.size() && std::equal(now.begin(), now.begin() + 10, before.begin()) &&
               std::equal(now.end() - 4, now.end(), before.end() - 4);
    };
    Run("click Form1.ButtonVert");
    image = Build(w, h, [&](int r, int c) { return image[std::size_t(h - 1 - r) * w + std::size_t(c)]; });
    EXPECT_EQ(Held(w * h), image);
    Run("click Form1.ButtonHoriz");
    image = Build(w, h, [&](int r, int c) { return image[std::size_t(r) * w + std::size_t(w - 1 - c)]; });
    EXPECT_EQ(Held(w * h), image);
    EXPECT_TRUE(outsideKept());
    Run("click Form1.ButtonHoriz\nclick Form1.ButtonVert");
    EXPECT_EQ(form1->state.fileBuffer, before);

    // Square, at magnification 1: the whole image turns; four turns restore it.
    const int n = 32;
    Image square = Random(n * n, 3);
    LoadRaw("square.raw", n, n, square, 6);
    Run("click Form1.ButtonCW");
    EXPECT_EQ(Held(n * n), TurnBlock(square, n, 0, 0, n, true));
    Run("click Form1.ButtonCCW\nclick Form1.ButtonCCW");
    EXPECT_EQ(Held(n * n), TurnBlock(square, n, 0, 0, n, false));
    Run("click Form1.ButtonCW\nclick Form1.ButtonCW\nclick Form1.ButtonCW\nclick Form1.ButtonCW\nclick "
        "Form1.ButtonCW");
    EXPECT_EQ(Held(n * n), square);
    // Magnification 2: only the shown quarter, rows and columns 8..23.
    Run("set Form1.EditMF 2\nclick Form1.ButtonDisp\nclick Form1.ButtonCW");
    EXPECT_EQ(Held(n * n), TurnBlock(square, n, 8, 8, 16, true));
    // Magnification 0.5: the view reaches past every edge; the image itself turns.
    EXPECT_EQ(Run("set Form1.EditMF 0.5\nclick Form1.ButtonDisp\nclick Form1.ButtonCCW\nprint ViewRect"),
              "-16 47 -16 47\n");
    EXPECT_EQ(Held(n * n), TurnBlock(TurnBlock(square, n, 8, 8, 16, true), n, 0, 0, n, false));

    // A wide image turns its central square only; a tall one, whose view is
    // the whole image, turns the largest square centred in it.
    Image wide = Random(1024 * 512, 4);
    LoadRaw("wide.raw", 1024, 512, wide);
    EXPECT_EQ(Run("click Form1.ButtonCW\nprint ViewRect"), "256 767 0 511\n");
    EXPECT_EQ(Held(1024 * 512), TurnBlock(wide, 1024, 0, 256, 512, true));
    Image tall = Random(32 * 64, 5);
    LoadRaw("tall.raw", 32, 64, tall);
    EXPECT_EQ(Run("click Form1.ButtonCCW\nprint ViewRect"), "0 31 0 63\n");
    EXPECT_EQ(Held(32 * 64), TurnBlock(tall, 32, 16, 0, 32, false));
}

TEST_F(ViewerTools, EightBitImagesMoveSingleBytes)
{
    // 5 x 3 bytes; the file ends two bytes into a fourth row.
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    const std::string path = WriteFile("small8.raw", bytes);
    Run("set Form1.RadioGroupMode 0\nset Form1.EditPxlSpc 0.1\nanswer " + path +
        "\nclick Form1.BitBtnLoad\nset Form1.EditImgSizeX 5\nset Form1.EditImgSizeY 3\nclick "
        "Form1.ButtonDisp\n"
        "click Form1.ButtonVert");
    EXPECT_EQ(form1->state.fileBuffer,
              (std::vector<std::uint8_t>{11, 12, 13, 14, 15, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 16, 17}));
    Run("click Form1.ButtonHoriz");
    EXPECT_EQ(form1->state.fileBuffer,
              (std::vector<std::uint8_t>{15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 16, 17}));
    // The view is 5 x 3: the centred 3 x 3 square (columns 1..3) turns.
    Run("click Form1.ButtonCW");
    EXPECT_EQ(form1->state.fileBuffer,
              (std::vector<std::uint8_t>{15, 4, 9, 14, 11, 10, 3, 8, 13, 6, 5, 2, 7, 12, 1, 16, 17}));
    // Declared larger than the file: only pairs of samples that exist move.
    Run("set Form1.EditImgSizeY 4\nclick Form1.ButtonDisp\nclick Form1.ButtonVert");
    EXPECT_EQ(form1->state.fileBuffer,
              (std::vector<std::uint8_t>{16, 17, 9, 14, 11, 5, 2, 7, 12, 1, 10, 3, 8, 13, 6, 15, 4}));
}

TEST_F(ViewerTools, ExchangingTheCountsReadsTheSameSamplesAnew)
{
    const Image samples = Random(48 * 32, 6);
    LoadRaw("wide.raw", 48, 32, samples);
    const std::vector<std::uint8_t> before = form1->state.fileBuffer;
    // "Auto" on 32 columns by 48 rows: rows 12..35, columns 8..23.
    int maximum = -65536, minimum = 65536;
    for (int r = 12; r < 36; ++r)
        for (int c = 8; c < 24; ++c) {
            const int v = static_cast<std::int16_t>(samples[std::size_t(r) * 32 + std::size_t(c)]);
            maximum = std::max(maximum, v);
            minimum = std::min(minimum, v);
        }
    EXPECT_EQ(Run("click Form1.ButtonRowCulm\nprint Form1.EditImgSizeX\nprint Form1.EditImgSizeY\nprint "
                  "ImageWidth\n"
                  "print ImageHeight\nprint DisplayBitmap\nprint Form1.EditWindowWidth\nprint "
                  "Form1.EditWindowLevel\n"),
              "32\n48\n32\n48\n32 48\n" + std::to_string(maximum - minimum - 1) + "\n" +
                  std::to_string((maximum + minimum) / 2) + "\n");
    EXPECT_EQ(form1->state.fileBuffer, before);
}

TEST_F(ViewerTools, TrimmingWritesTheBlockUnderTheShownFilesName)
{
    // Two 32 x 32 images; the wheel steps from a to b before the trim.
    auto write = [&](const std::string& name, const Image& pixels) {
        DicomImageFields fields;
        fields.rows = fields.columns = 32;
        fields.pixelSpacing = "0.1\\0.1";
        fields.pixels = pixels;
        return WriteFile(name, BuildDicom(fields));
    };
    write("a.dcm", Random(32 * 32, 7));
    const Image b = Random(32 * 32, 8);
    const std::string pathB = write("b.dcm", b);
    const std::string trimmed = Path("trimmed.bin");
    EXPECT_EQ(
        Run("activate Form1\nanswer " + Path("a.dcm") +
            "\nclick Form1.BitBtnLoad\nwheel up\nwheel up\nprint Form1.EditFileName\nprint RoiBitmapRect\n"
            "set Form1.CheckBoxSwp 1\nset Form1.EditOffst 5\nanswer cancel\nclick Form1.ButtonTriming\n"),
        pathB + "\n8 8 23 23\n");
    // Offered under the shown file's name, not the one chosen in the dialog.
    EXPECT_EQ(form1->openDialogFileName.toStdString(), pathB + " 16 16.bin");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pathB + " 16 16.bin")));
    EXPECT_EQ(Run("answer " + trimmed + "\nclick Form1.ButtonTriming\n"),
              "message: トリミングした画像を保存しました。\n");
    // Rows 8..23, columns 7..22 (one left of the ROI), words as stored.
    EXPECT_EQ(
        ReadAll(trimmed),
        Words(Build(16, 16, [&](int r, int c) { return b[std::size_t(r + 8) * 32 + std::size_t(c + 7)]; })));

    // A block past the edges: zero words where there is no sample.
    EXPECT_EQ(Run("set Form1.EditROIPosX 2\nset Form1.EditROIPosY 30\nset Form1.EditROISizeX 4\n"
                  "set Form1.EditROISizeY 4\nclick Form1.ButtonDisp\nanswer " +
                  trimmed + "\nclick Form1.ButtonTriming\n"),
              "message: トリミングした画像を保存しました。\n");
    EXPECT_EQ(ReadAll(trimmed), Words(Build(4, 4, [&](int r, int c) {
                  return (r + 28 < 32 && c - 1 >= 0) ? b[std::size_t(r + 28) * 32 + std::size_t(c - 1)]
                                                     : std::uint16_t(0);
              })));

    // An empty ROI is refused before the dialog.
    EXPECT_EQ(Run("set Form1.EditROISizeX 0\nclick Form1.ButtonDisp\nclick Form1.ButtonTriming\n"),
              "message: トリミングする範囲がありません。\n");
}

TEST_F(ViewerTools, NothingIsTrimmedBeforeTheFirstLoad)
{
    EXPECT_EQ(Run("click Form1.ButtonTriming\n"), "message: トリミングする画像がありません。\n");
}

TEST_F(ViewerTools, EightBitTrimsLoadAgainAsSixteenBitImages)
{
    std::vector<std::uint8_t> bytes(8 * 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(200 + i);
    const std::string path = WriteFile("small8.raw", bytes);
    const std::string trimmed = Path("small8.bin");
    EXPECT_EQ(Run("set Form1.RadioGroupMode 0\nset Form1.EditPxlSpc 0.1\nanswer " + path +
                  "\nclick Form1.BitBtnLoad\nset Form1.EditImgSizeX 8\nset Form1.EditImgSizeY 8\n"
                  "set Form1.EditROIPosX 4\nset Form1.EditROIPosY 4\nset Form1.EditROISizeX 2\n"
                  "set Form1.EditROISizeY 2\nclick Form1.ButtonDisp\nanswer " +
                  trimmed + "\nclick Form1.ButtonTriming\n"),
              "message: トリミングした画像を保存しました。\n");
    // Rows 3..4, columns 2..3: each byte as the low byte of a word.
    EXPECT_EQ(ReadAll(trimmed), Words({226, 227, 234, 235}));
}

TEST_F(ViewerTools, AFailedWriteLeavesTheExistingFile)
{
    LoadRaw("img.raw", 32, 32, Random(32 * 32, 9));
    const std::string missing = Path("no-such-folder/x.bin");
    EXPECT_EQ(Run("answer " + missing + "\nclick Form1.ButtonTriming\n"),
              "message: ファイル " + missing + " を作成できません\n");

    // A write that fails halfway (the file-size limit) must not leave a
    // truncated file in place of the earlier one.
    const std::vector<std::uint8_t> earlier(1000, 0xAB);
    const std::string kept = WriteFile("kept.bin", earlier);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string out = Run("answer " + kept + "\nclick Form1.ButtonTriming\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(out, "message: ファイル " + kept + " を作成できません\n");
    EXPECT_EQ(ReadAll(kept), earlier);
}

TEST_F(ViewerTools, PictureGoesToTheClipboardAtItsOwnSize)
{
    LoadRaw("img.raw", 512, 512, Random(512 * 512, 10));
    for (const char* tool : {"0", "2"}) {
        Run(std::string("set Form1.EditMF 2\nset Form1.RadioGroupTool ") + tool +
            "\nclick Form1.ButtonDisp\nclick Form1.ButtonSaveBMP");
        const QImage picture = QGuiApplication::clipboard()->image();
        ASSERT_EQ(picture.size(), QSize(256, 256));
        const std::vector<std::uint8_t> shown = Shown();
        int differ = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                differ += qGray(picture.pixel(x, y)) != shown[std::size_t(y) * 256 + std::size_t(x)];
        EXPECT_EQ(differ, 0) << tool;
    }
}

// Extreme typed values and pointer positions: nothing wraps, nothing reads
// outside the buffer, nothing loops over samples the file does not hold.
TEST_F(ViewerTools, ExtremeValuesStayInRange)
{
    LoadRaw("img.raw", 64, 64, Random(64 * 64, 5));
    // The popup menu forms the ROI with the kernel's 32-bit arithmetic.
    EXPECT_EQ(Run("set Form1.EditROIPosX 2147483647\nset Form1.EditROISizeX 0\nset Form1.EditImgSftX 10\n"
                  "popup Form1.EditROISizeX N641\nprint RoiRect\n"
                  "set Form1.EditROIPosX 32\nset Form1.EditImgSftX 0\nclick Form1.ButtonDisp\n"),
              "2147483615 32 -2147483618 95\n");
    // A right drag to the far edge: the new width (1024 + 3 × (2^31 − 1)) is
    // refused like a typed one, and the failure ends the drag, so a later
    // plain move changes nothing although no release came.
    EXPECT_EQ(Run("set Form1.RadioGroupRange 1\nmouse Form1.Image1 press right 0 0\n"
                  "mouse Form1.Image1 move right 2147483647 0\nprint Form1.EditWindowWidth\nprint DragButton\n"
                  "set Form1.EditWindowWidth 100\nmouse Form1.Image1 move right 10 10\n"
                  "print Form1.EditWindowWidth\n"),
              "message: '6442451965' は整数ではありません\n1024\n\n100\n");
    // A size refused by "Disp" is not the image's: Stat, flips and turns
    // keep working on the 64 × 64 image, at once.
    const std::string stat = "click Form1.ButtonStat\nprint Form1.EditAve\n";
    const std::string before = Run(stat);
    const Image held = Held(64 * 64);
    EXPECT_EQ(Run("set Form1.EditImgSizeX 300000\nset Form1.EditImgSizeY 2147483647\nclick Form1.ButtonDisp\n"
                  "print ImageWidth\nclick Form1.ButtonHoriz\nclick Form1.ButtonHoriz\nclick Form1.ButtonVert\n"
                  "click Form1.ButtonVert\n" + stat),
              std::string("message: 表示する画像が大きすぎます。\n64\n") +
                  "message: 表示する画像が大きすぎます。\nmessage: 表示する画像が大きすぎます。\n"
                  "message: 表示する画像が大きすぎます。\nmessage: 表示する画像が大きすぎます。\n" + before);
    EXPECT_EQ(Held(64 * 64), held);
    // The most negative header: no sample exists, Stat and Auto leave the edits.
    EXPECT_EQ(Run("set Form1.EditImgSizeX 64\nset Form1.EditImgSizeY 64\nset Form1.EditHeader -2147483648\n"
                  "click Form1.ButtonAutoWL\nprint Form1.EditWindowLevel\n" + stat),
              "512\n" + before);
}

}  // namespace
}  // namespace radmtf::testing
