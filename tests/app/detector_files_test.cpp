// Real detectors' DICOM files measured as their headers declare them:
// unsigned 16-bit samples, BitsStored, Imager Pixel Spacing, processed and
// MONOCHROME1 images; in the measurement, the command and the windows.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <memory>
#include <sstream>

#include "app_fixture.h"
#include "command_runner.h"
#include "dicom/dicom_builder.h"
#include "measure/measurement.h"
#include "report/report_page.h"
#include "synth/edge_scene.h"

namespace radmtf::testing {
namespace {

using testdata::BuildDicom;
using testdata::DicomImageFields;

// A noise-free edge of a 16-bit detector: values 27853 .. 49152.
const synth::Radiograph& Edge()
{
    static const synth::Radiograph image = [] {
        const synth::EdgeScene scene{.across = 400, .along = 500, .tilt = 3.0, .pedestal = 0.05};
        return synth::RenderEdge(scene, synth::DetectorModel{}, {.poisson = false},
                                 {.latitude = 4, .bitsStored = 16, .headroom = 1.0});
    }();
    return image;
}

// The edge as a DICOM file, each value v stored as value(v).
template <typename Value>
std::vector<std::uint8_t> EdgeFile(DicomImageFields fields, Value value)
{
    const synth::Radiograph& image = Edge();
    fields.columns = static_cast<std::uint16_t>(image.columns);
    fields.rows = static_cast<std::uint16_t>(image.rows);
    fields.bitsStored = 16;
    if (fields.imagerSpacing.empty() && fields.pixelSpacing.empty()) fields.imagerSpacing = "0.1\\0.1";
    for (std::uint16_t v : image.pixels) fields.pixels.push_back(static_cast<std::uint16_t>(value(v)));
    return BuildDicom(fields);
}

DicomImageFields Unsigned()
{
    DicomImageFields fields;
    fields.pixelRepresentation = 0;
    return fields;
}

const auto kAsIs = [](int v) { return v; };

MeasureSettings EdgeSettings()
{
    MeasureSettings settings;
    settings.method = MeasureMethod::kEdge;
    settings.roi = RoiSetting{200, 250, 200, 400};
    settings.bitsFromFile = true;
    return settings;
}

MeasureResult Measure(const std::vector<std::uint8_t>& bytes,
                      const MeasureSettings& settings = EdgeSettings())
{
    auto copy = std::make_shared<std::vector<std::uint8_t>>(bytes);
    return MeasureImage(SourceImageFromBytes(copy, *copy, settings), settings);
}

std::vector<double> Values(const MeasureResult& result)
{
    std::vector<double> values;
    for (const MtfPoint& point : result.points) values.push_back(point.value);
    return values;
}

bool Warned(const MeasureResult& result, FailureCode code)
{
    return std::any_of(result.warnings.begin(), result.warnings.end(),
                       [&](const Failure& warning) { return warning.code() == code; });
}

void ExpectSameMtf(const MeasureResult& a, const MeasureResult& b)
{
    const std::vector<double> x = Values(a), y = Values(b);
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(x[i], y[i], 1e-9) << i;
}

TEST(DetectorFiles, UnsignedSamplesAcross32768MeasureAsTheSameEdgeShiftedDown)
{
    // The exposure scale drops out of the MTF, so a shift of every value by
    // a constant changes nothing: the unsigned edge straddling 32768 must
    // give the MTF of the signed one shifted below it.
    const MeasureResult straddling = Measure(EdgeFile(Unsigned(), kAsIs));
    DicomImageFields signedFields;
    signedFields.pixelRepresentation = 1;
    const MeasureResult shifted = Measure(EdgeFile(signedFields, [](int v) { return v - 20000; }));
    ExpectSameMtf(straddling, shifted);
    const synth::DetectorModel model;
    for (const MtfPoint& point : straddling.points) {
        if (point.frequency > 0 && point.frequency <= 5) {
            EXPECT_NEAR(point.value, model.PresampledMtf(point.frequency), 0.02) << point.frequency;
        }
    }

    // Signed samples stay signed: the same words declared signed wrap.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(EdgeFile(signedFields, kAsIs));
    const SourceImage image = SourceImageFromBytes(bytes, *bytes, EdgeSettings());
    const PixelTable table = ReadPixelTable(image, RoiTableBlock(*EdgeSettings().roi));
    EXPECT_LT(*std::min_element(table.values.begin(), table.values.end()), 0);
}

TEST(DetectorFiles, BitsStoredAndImagerPixelSpacingComeFromTheFile)
{
    DicomImageFields fields = Unsigned();
    fields.imagerSpacing = "0.1\\0.1";
    fields.pixelSpacing = "0.08\\0.08";
    const std::vector<std::uint8_t> bytes = EdgeFile(fields, kAsIs);
    const MeasureResult fromFile = Measure(bytes);
    EXPECT_EQ(fromFile.settings.bitsStored, 16);
    EXPECT_EQ(fromFile.settings.pixelSpacing, 0.1L);
    EXPECT_EQ(fromFile.pixelSpacingSource, "imager");

    MeasureSettings told = EdgeSettings();
    told.bitsFromFile = false;
    told.pixelSpacing = 0.1L;
    const MeasureResult byOptions = Measure(bytes, told);
    EXPECT_EQ(byOptions.settings.bitsStored, 12);
    EXPECT_EQ(byOptions.pixelSpacingSource, "option");
    EXPECT_NE(Values(byOptions), Values(fromFile));

    fields.imagerSpacing.clear();
    const MeasureResult pixelOnly = Measure(EdgeFile(fields, kAsIs));
    EXPECT_EQ(pixelOnly.settings.pixelSpacing, 0.08L);
    EXPECT_EQ(pixelOnly.pixelSpacingSource, "pixel");
}

TEST(DetectorFiles, ProcessedImagesAreMeasuredWithAWarning)
{
    EXPECT_TRUE(Measure(EdgeFile(Unsigned(), kAsIs)).warnings.empty());
    DicomImageFields fields = Unsigned();
    fields.presentationIntent = "FOR PRESENTATION";
    const MeasureResult processed = Measure(EdgeFile(fields, kAsIs));
    EXPECT_TRUE(Warned(processed, FailureCode::kProcessedImage));
    EXPECT_FALSE(processed.points.empty());
}

TEST(DetectorFiles, Monochrome1IsMeasuredInverted)
{
    DicomImageFields fields = Unsigned();
    fields.photometric = "MONOCHROME1";
    const std::vector<std::uint8_t> bytes = EdgeFile(fields, [](int v) { return 65535 - v; });
    const MeasureResult inverted = Measure(bytes);
    EXPECT_TRUE(Warned(inverted, FailureCode::kInvertedValues));
    ExpectSameMtf(inverted, Measure(EdgeFile(Unsigned(), kAsIs)));
    // A characteristic curve cannot say which way such values run.
    MeasureSettings withCurve = EdgeSettings();
    withCurve.curveFile = "hdc.txt";
    try {
        Measure(bytes, withCurve);
        ADD_FAILURE() << "measured";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::kInvertedWithCurve);
    }
}

TEST(DetectorFiles, TheCommandSaysWhereTheSpacingCameFromAndWhatItWarnedAbout)
{
    QTemporaryDir folder;
    DicomImageFields fields = Unsigned();
    fields.presentationIntent = "FOR PRESENTATION";
    const QString path = folder.filePath("processed.dcm");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::vector<std::uint8_t> bytes = EdgeFile(fields, kAsIs);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();
    const CommandRun run = RunMeasure({"edge", path, "--roi", "200,250,200,400", "--format", "json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array()[0].toObject();
    EXPECT_EQ(report["pixel_spacing_source"].toString(), "imager");
    EXPECT_EQ(report["settings"].toObject()["bits"].toDouble(), 16);
    EXPECT_EQ(report["warnings"].toArray().size(), 1);
    EXPECT_NE(run.err.find("FOR PRESENTATION"), std::string::npos);
}

class DetectorFilesWindow : public WindowTest {};

const std::string kEdgeRoi =
    "set Form1.EditROIPosX 200\nset Form1.EditROIPosY 250\nset Form1.EditROISizeX 200\n"
    "set Form1.EditROISizeY 400\nclick Form1.ButtonDisp\n";

TEST_F(DetectorFilesWindow, ShowsAndMeasuresUnsignedSamplesUnwrappedWithItsNotices)
{
    DicomImageFields fields = Unsigned();
    fields.imagerSpacing = "0.1\\0.1";
    fields.pixelSpacing = "0.08\\0.08";
    fields.photometric = "MONOCHROME1";
    const std::string path = WriteFile("sensor.dcm", EdgeFile(fields, kAsIs));
    const std::string out =
        Run("answer " + path +
            "\nclick Form1.BitBtnLoad\nprint Form1.EditPxlSpc\n"
            "click Form1.ButtonStat\nprint Form1.EditMax\nprint Form1.EditMin\n"
            "set Form1.EditROIPosX 200\nset Form1.EditROIPosY 250\n"
            "set Form1.EditROISizeX 200\nset Form1.EditROISizeY 400\n"
            "click Form1.ButtonDisp\nclick Form1.ButtonToTable\nclick Form1.ButtonToTable\n");
    const auto [low, high] = std::minmax_element(Edge().pixels.begin(), Edge().pixels.end());
    std::istringstream lines(out);
    std::string line;
    // The load: Pixel Spacing kept, with a notice that Imager Pixel Spacing differs.
    std::getline(lines, line);
    EXPECT_NE(line.find("message: Imager Pixel Spacing (0.1 mm)"), std::string::npos) << line;
    std::getline(lines, line);
    EXPECT_EQ(line, "0.08");
    // Statistics of the values as stored, not wrapped.
    std::getline(lines, line);
    EXPECT_LE(std::stoi(line), *high);
    EXPECT_GT(std::stoi(line), 32768);
    std::getline(lines, line);
    EXPECT_GE(std::stoi(line), *low);
    // toMTF: the BitsStored notice once per image, the inversion each time.
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("message: ファイルの BitsStored は 16", 0), 0u) << line;
    for (int i = 0; i < 2; ++i) {
        std::getline(lines, line);
        EXPECT_EQ(line.rfind("message: MONOCHROME1", 0), 0u) << line;
    }
    EXPECT_FALSE(std::getline(lines, line)) << line;
    // Inverted with the analysis window's BitsStored (12): 4095 - v.
    const GridModel* grid = form2->StringGrid1->grid();
    const int column = grid->cell(1, 0).toInt();
    const int row = grid->cell(0, 1).toInt();
    EXPECT_EQ(grid->cell(1, 1).toInt(), 4095 - Edge().At(row, column));
}

TEST_F(DetectorFilesWindow, TheReportOfAProcessedOrInvertedImageSaysSo)
{
    DicomImageFields fields = Unsigned();
    fields.presentationIntent = "FOR PRESENTATION";
    fields.photometric = "MONOCHROME1";
    const std::string path = WriteFile("processed.dcm", EdgeFile(fields, kAsIs));
    Run("answer " + path + "\nclick Form1.BitBtnLoad\n" + kEdgeRoi +
        "click Form1.ButtonToTable\nclick Form2.ButtonEdge\n");
    const std::optional<ReportPage> page = form2->reportPage();
    ASSERT_TRUE(page);
    ASSERT_EQ(page->warnings.size(), 2);  // in the command's order
    EXPECT_TRUE(page->warnings[0].contains("FOR PRESENTATION")) << page->warnings[0].toStdString();
    EXPECT_TRUE(page->warnings[1].startsWith("MONOCHROME1")) << page->warnings[1].toStdString();
}

// A QA report states the device, the exposure and the date the file gives and
// the notes typed for it, from the window as from the command.
TEST_F(DetectorFilesWindow, QaReportFromTheFilesFieldsAndTheNotes)
{
    QStandardPaths::setTestModeEnabled(true);  // the notes are kept in the settings
    DicomImageFields fields = Unsigned();
    fields.institution = "North Clinic";
    fields.manufacturer = "Acme";
    fields.modelName = "FPD-9";
    fields.serialNumber = "SN4711";
    fields.detectorId = "DET-3";
    fields.kvp = "70";
    fields.exposureUAs = "2500";
    fields.studyDate = "20261130";
    fields.acquisitionDate = "20261201";
    const std::string path = WriteFile("qa.dcm", EdgeFile(fields, kAsIs));
    const std::string pdf = Path("qa.pdf");
    Run("answer " + path + "\nclick Form1.BitBtnLoad\n" + kEdgeRoi +
        "click Form1.ButtonToTable\nclick Form2.ButtonEdge\n"
        "answer Physics Lab\nanswer R. Tanaka\nanswer yearly test\nmenu Form2.ChartMTF ActionReportNotes\n"
        "answer " +
        pdf + "\nclick Form2.ButtonReport\n");
    const std::string text = Tool("pdftotext", {QString::fromStdString(pdf), "-"});
    for (const char* shown : {"North Clinic", "Acme", "FPD-9", "SN4711", "DET-3", "2500", "2026-12-01",
                              "Physics Lab", "R. Tanaka", "yearly test", "radmtf 0."})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    EXPECT_EQ(text.find("2026-11-30"), std::string::npos) << text;
    // The edge page: its direction, and the ±u column of the edge method's uncertainties.
    EXPECT_NE(text.find("エッジの向き"), std::string::npos) << text;
    EXPECT_NE(text.find("±u"), std::string::npos) << text;
    EXPECT_EQ(text.find("MA-Line#"), std::string::npos) << text;  // no profile: no empty rows

    const QString commandPdf = QString::fromStdString(Path("command.pdf"));
    const CommandRun run = RunMeasure({"edge", QString::fromStdString(path), "--roi", "200,250,200,400",
                                       "--report", commandPdf, "--format", "csv", "--operator", "K. Sato"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string commandText = Tool("pdftotext", {commandPdf, "-"});
    for (const char* shown : {"North Clinic", "SN4711", "2026-12-01", "K. Sato"})
        EXPECT_NE(commandText.find(shown), std::string::npos) << shown << "\n" << commandText;
}

}  // namespace
}  // namespace radmtf::testing
