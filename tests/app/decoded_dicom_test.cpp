// Compressed, big-endian and damaged DICOM files through the viewer window,
// and files dropped on it.
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "app_fixture.h"
#include "dicom/pixel_decoder.h"

namespace radmtf::testing {
namespace {

class DecodedDicom : public WindowTest {
protected:
    void SetUp() override
    {
        if (!QDir(RADMTF_DICOM_CORPUS).exists()) GTEST_SKIP() << "no pydicom corpus";
        WindowTest::SetUp();
    }
    static std::string Corpus(const std::string& name)
    {
        return std::string(RADMTF_DICOM_CORPUS) + "/" + name;
    }

    // Loads with "⇒" and measures a fixed ROI: the size edits, the spacing,
    // the value offset, the mean and the SD.
    std::string LoadAndMeasure(const std::string& path, int x, int y, int w, int h)
    {
        return Run("answer " + path + "\nclick Form1.BitBtnLoad\n" + "set Form1.EditROIPosX " +
                   std::to_string(x) + "\nset Form1.EditROIPosY " + std::to_string(y) +
                   "\nset Form1.EditROISizeX " + std::to_string(w) + "\nset Form1.EditROISizeY " +
                   std::to_string(h) +
                   "\nclick Form1.ButtonDisp\nclick Form1.ButtonStat\n"
                   "print Form1.EditImgSizeX\nprint Form1.EditImgSizeY\nprint Form1.EditPxlSpc\n"
                   "print Form1.EditOffst\nprint Form1.EditAve\nprint Form1.EditSD\n");
    }
};

TEST_F(DecodedDicom, CompressedAndBigEndianTwinsMeasureAsTheUncompressedFile)
{
    const std::string expected = LoadAndMeasure(Corpus("MR_small.dcm"), 30, 34, 20, 16);
    EXPECT_EQ(expected.substr(0, 15), "64\n64\n0.3125\n0\n");
    for (const char* twin : {"MR_small_RLE.dcm", "MR_small_jpeg_ls_lossless.dcm", "MR_small_jp2klossless.dcm",
                             "MR_small_bigendian.dcm", "MR_small_expb.dcm"})
        EXPECT_EQ(LoadAndMeasure(Corpus(twin), 30, 34, 20, 16), expected) << twin;
    EXPECT_EQ(Run("print Form1.EditHeader\nprint Form1.CheckBoxSwp\nprint FileBuffer\n"), "0\n0\n8192\n");
}

TEST_F(DecodedDicom, LossyFilesMeasureWithinTheirCompressionError)
{
    // The same 256 x 1024 scan, JPEG extended (12 bit) and JPEG 2000 lossy:
    // the ROI mean agrees within 3 % and the SD within 10 %.
    auto measure = [&](const char* name) {
        const QStringList lines =
            QString::fromStdString(LoadAndMeasure(Corpus(name), 128, 320, 128, 384)).split('\n');
        EXPECT_EQ(lines.mid(0, 3).join(' ').toStdString(), "256 1024 2.260000") << name;
        return std::pair{lines[4].toDouble(), lines[5].toDouble()};
    };
    const auto [jpegMean, jpegSd] = measure("JPGExtended.dcm");
    const auto [j2kMean, j2kSd] = measure("JPEG2000.dcm");
    EXPECT_GT(jpegMean, 30.0);
    EXPECT_NEAR(j2kMean, jpegMean, 0.03 * jpegMean);
    EXPECT_NEAR(j2kSd, jpegSd, 0.10 * jpegSd);
}

TEST_F(DecodedDicom, ADamagedCompressedFileIsRefusedAndThePreviousImageStays)
{
    const std::string before = LoadAndMeasure(Corpus("MR_small.dcm"), 30, 34, 20, 16);
    QFile source(QString::fromStdString(Corpus("MR_small_RLE.dcm")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    const std::string damaged = WriteFile("damaged.dcm", {bytes.begin(), bytes.end() - 300});
    EXPECT_EQ(
        Run("answer " + damaged + "\nclick Form1.BitBtnLoad\nprint Form1.EditFileName\nprint FileBuffer\n"),
        std::string("message: 転送構文 1.2.840.10008.1.2.5 (RLE Lossless) の画素データを読み込めません。\n") +
            Corpus("MR_small.dcm") + "\n9830\n");
    // A decoder that dies on a sound file refuses it, naming it.
    qputenv("RADMTF_DECODER_TEST_FAULT", "abort");
    EXPECT_EQ(Run("answer " + Corpus("MR_small_RLE.dcm") + "\nclick Form1.BitBtnLoad\nprint FileBuffer\n"),
              "message: " + Corpus("MR_small_RLE.dcm") +
                  " の画素データ (転送構文 1.2.840.10008.1.2.5 (RLE Lossless)) "
                  "の復号中にデコーダーが異常終了しました。"
                  "このファイルは読み込みません。\n9830\n");
    qunsetenv("RADMTF_DECODER_TEST_FAULT");
    EXPECT_EQ(Run("click Form1.ButtonStat\nprint Form1.EditImgSizeX\nprint Form1.EditImgSizeY\n"
                  "print Form1.EditPxlSpc\nprint Form1.EditOffst\nprint Form1.EditAve\nprint Form1.EditSD\n"),
              before);
}

TEST_F(DecodedDicom, AFileDroppedOnTheViewerLoadsAsTheLoadButtonWould)
{
    const QString path = QString::fromStdString(Corpus("MR_small_jp2klossless.dcm"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form1.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form1.get(), &drop);
    EXPECT_EQ(Run("print Form1.EditFileName\nprint Form1.EditImgSizeX\nprint LoadState\n"),
              path.toStdString() + "\n64\n1\n");
}

}  // namespace
}  // namespace radmtf::testing
