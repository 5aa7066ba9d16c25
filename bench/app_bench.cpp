// Timings of whole window actions on realistic sizes: a 3072 x 3072 16-bit
// DICOM radiograph loaded with "⇒" (also JPEG lossless and JPEG 2000
// lossless copies, next to the DICOM library's bare decode, and their decode
// in this process against the decoder process), rendering, a pan step, "toMTF" of a
// 2048 x 2048 ROI, "2Dto1D" + "Smooth" of 10^5 samples with their chart, and
// the slit "CalMTF". Runs headless; prints the median of several runs.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/dispatch.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/prompter.h"
#include "bench_timing.h"
#include "dicom/decoder_process.h"
#include "dicom/dicom_builder.h"
#include "dicom/pixel_decoder.h"
#include "tiny_element_header.h"

#include <gdcmImage.h>
#include <gdcmImageChangeTransferSyntax.h>
#include <gdcmImageReader.h>
#include <gdcmImageWriter.h>
#include <gdcmTrace.h>

namespace {

using radmtf::bench::MedianMilliseconds;

class FixedAnswers : public radmtf::Prompter {
public:
    QString path;
    std::optional<QString> openFile(const QString&) override { return path; }
    QString inputBox(const QString&, const QString&, const QString& proposed) override { return proposed; }
    void message(const QString& text) override { std::printf("message: %s\n", text.toUtf8().constData()); }
};

// The image encoded by the library into `syntax`, written to `path`.
bool WriteCompressed(const std::vector<std::uint16_t>& pixels, int side, gdcm::TransferSyntax::TSType syntax,
                     const QString& path)
{
    gdcm::Trace::SetWarning(false);
    gdcm::SmartPointer<gdcm::Image> image = new gdcm::Image;
    image->SetNumberOfDimensions(2);
    image->SetDimension(0, static_cast<unsigned int>(side));
    image->SetDimension(1, static_cast<unsigned int>(side));
    image->SetPixelFormat(gdcm::PixelFormat(gdcm::PixelFormat::UINT16));
    image->SetPhotometricInterpretation(gdcm::PhotometricInterpretation::MONOCHROME2);
    image->SetTransferSyntax(gdcm::TransferSyntax::ExplicitVRLittleEndian);
    gdcm::DataElement pixelData(gdcm::Tag(0x7FE0, 0x0010));
    pixelData.SetByteValue(reinterpret_cast<const char*>(pixels.data()),
                           static_cast<std::uint32_t>(pixels.size() * 2));
    image->SetDataElement(pixelData);
    gdcm::ImageChangeTransferSyntax change;
    change.SetTransferSyntax(syntax);
    change.SetInput(*image);
    if (!change.Change()) return false;
    gdcm::ImageWriter writer;
    writer.SetImage(change.GetOutput());
    writer.SetFileName(path.toLocal8Bit().constData());
    return writer.Write();
}

// The library's own read and decode of the file, as a program using it directly would.
void BareDecode(const QString& path)
{
    gdcm::ImageReader reader;
    reader.SetFileName(path.toLocal8Bit().constData());
    if (!reader.Read()) return;
    std::vector<char> buffer(reader.GetImage().GetBufferLength());
    reader.GetImage().GetBuffer(buffer.data());
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    radmtf::Application app(argc, argv);
    QTemporaryDir folder;

    constexpr int kSide = 3072;
    radmtf::testdata::DicomImageFields fields;
    fields.rows = kSide;
    fields.columns = kSide;
    fields.pixelSpacing = "0.1\\0.1";
    fields.pixels.resize(std::size_t(kSide) * kSide);
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c)
            fields.pixels[std::size_t(r) * kSide + std::size_t(c)] =
                static_cast<std::uint16_t>(500 + (r + c) / 2 + ((r * 7 + c * 13) % 41));
    const std::vector<std::uint8_t> bytes = radmtf::testdata::BuildDicom(fields);
    const QString path = folder.filePath("flatpanel.dcm");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }

    FixedAnswers answers;
    answers.path = path;
    radmtf::SetPrompter(&answers);
    radmtf::TForm1 form1;
    radmtf::TForm2 form2(&form1);
    form1.setForm2(&form2);
    form1.show();

    std::printf("window actions (median ms)\n");
    const double uncompressedLoad =
        MedianMilliseconds(7, [&] { radmtf::Dispatch([&] { form1.BitBtnLoadClick(); }); });
    std::printf("  load 3072x3072 DICOM (read, walk, render, Auto, list): %.1f  (target 100)\n",
                uncompressedLoad);
    // A crafted header of 400,000 tiny elements, all of them in the element table.
    {
        const std::vector<std::uint8_t> header = radmtf::bench::TinyElementHeader(400000);
        answers.path = folder.filePath("tiny_elements.dcm");
        QFile file(answers.path);
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(header.data()), static_cast<qint64>(header.size()));
    }
    std::printf("  load a header of 400,000 tiny elements (with the table): %.1f  (target 500)\n",
                MedianMilliseconds(3, [&] { radmtf::Dispatch([&] { form1.BitBtnLoadClick(); }); }));
    answers.path = path;
    // Compressed copies of the same image, made with the library's own
    // encoder; the whole load is compared with the library's bare decode.
    for (const auto& [syntax, name] :
         {std::pair{gdcm::TransferSyntax::JPEGLosslessProcess14_1, "JPEG lossless"},
          std::pair{gdcm::TransferSyntax::JPEG2000Lossless, "JPEG 2000 lossless"}}) {
        const QString compressed = folder.filePath(QString("compressed%1.dcm").arg(int(syntax)));
        if (!WriteCompressed(fields.pixels, kSide, syntax, compressed)) {
            std::printf("  %s: the encoder failed\n", name);
            continue;
        }
        answers.path = compressed;
        const double load =
            MedianMilliseconds(3, [&] { radmtf::Dispatch([&] { form1.BitBtnLoadClick(); }); });
        const double bare = MedianMilliseconds(3, [&] { BareDecode(compressed); });
        // The decode alone, as it ran inside the program before and as it runs
        // in the decoder process now (start, request, decode, reply), alternated.
        QFile file(compressed);
        file.open(QIODevice::ReadOnly);
        const QByteArray stream = file.readAll();
        const auto* data = reinterpret_cast<const std::uint8_t*>(stream.constData());
        std::vector<double> inProcess, child;
        for (int run = 0; run < 7; ++run) {
            inProcess.push_back(MedianMilliseconds(
                1, [&] { radmtf::DecodeDicomPixels(data, static_cast<std::size_t>(stream.size()), true); }));
            child.push_back(MedianMilliseconds(
                1, [&] { radmtf::DecodeInChild(data, static_cast<std::size_t>(stream.size()), true, {}); }));
        }
        std::sort(inProcess.begin(), inProcess.end());
        std::sort(child.begin(), child.end());
        std::printf(
            "  decode 3072x3072 %s in this process %.1f; in the decoder process %.1f  (target %.1f)\n", name,
            inProcess[3], child[3], 1.1 * inProcess[3]);
        std::printf(
            "  load 3072x3072 %s: %.1f; bare library decode %.1f  (target %.1f = 1.3 x decode + "
            "uncompressed load)\n",
            name, load, bare, 1.3 * bare + uncompressedLoad);
    }
    answers.path = path;
    radmtf::Dispatch([&] { form1.BitBtnLoadClick(); });
    std::printf("  render at MF 1 (Disp):                                  %.1f  (target 10)\n",
                MedianMilliseconds(15, [&] { radmtf::Dispatch([&] { form1.ButtonDispClick(); }); }));
    form1.EditMF->setText("2.0");
    form1.RadioGroupTool->setItemIndex(1);
    int step = 0;
    std::printf("  pan step at MF 2 (mouse move with render):              %.1f\n",
                MedianMilliseconds(15, [&] {
                    radmtf::Dispatch([&] {
                        form1.Image1MouseDown(Qt::LeftButton, 200, 200);
                        form1.Image1MouseMove(200 + (++step % 2 ? 4 : -4), 200);
                        form1.Image1MouseUp(Qt::LeftButton, 200, 200);
                    });
                }));
    form1.RadioGroupTool->setItemIndex(3);  // Home
    form1.RadioGroupTool->setItemIndex(0);
    form1.EditROIPosX->setText("1536");
    form1.EditROIPosY->setText("1536");
    form1.EditROISizeX->setText("2048");
    form1.EditROISizeY->setText("2048");
    radmtf::Dispatch([&] { form1.ButtonDispClick(); });
    std::printf("  toMTF of a 2048x2048 ROI:                               %.1f  (target 150)\n",
                MedianMilliseconds(5, [&] { radmtf::Dispatch([&] { form1.ButtonToTableClick(); }); }));

    // 2000 columns x 50 lines = 10^5 profile samples.
    form1.EditROISizeX->setText("2000");
    form1.EditROISizeY->setText("50");
    radmtf::Dispatch([&] { form1.ButtonDispClick(); });
    radmtf::Dispatch([&] { form1.ButtonToTableClick(); });
    form2.EditMALine->setText("50");
    form2.EditSmth->setText("5");
    std::printf("  2Dto1D + Smooth of 10^5 samples with the chart:         %.1f  (target 50)\n",
                MedianMilliseconds(7, [&] {
                    radmtf::Dispatch([&] {
                        form2.Button2Dto1DClick();
                        form2.ButtonSmoothClick();
                    });
                }));

    // A Gaussian LSF of 2048 samples for the slit method.
    form2.session.profile().profileCount = 2048;
    for (int i = 0; i < 2048; ++i)
        form2.session.profile().compositeProfile[std::size_t(i)] =
            static_cast<std::int32_t>(std::lround(3000 * std::exp(-0.5 * std::pow((i - 1024) / 30.0, 2))));
    form2.session.profile().sampleSpacing = 0.1 / 17;
    radmtf::Dispatch([&] { form2.ButtonToExpClick(); });
    std::printf("  slit CalMTF (2048-point transform, memo, chart):         %.1f  (target 5)\n",
                MedianMilliseconds(9, [&] { radmtf::Dispatch([&] { form2.ButtonSlitClick(); }); }));
    radmtf::SetPrompter(nullptr);
    return 0;
}
