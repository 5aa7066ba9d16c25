// The analysis handlers that run the profile and MTF kernels. Each one reads
// its controls in the program's order and shows whatever the kernel reached,
// also when it stopped with a failure.
#include <QApplication>
#include <QClipboard>
#include <QFile>

#include "analysis/composite_profile.h"
#include "analysis/exposure.h"
#include "analysis/extraction.h"
#include "analysis/pixel_table.h"
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/kernel_output.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "app/window_numbers.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "core/text_lines.h"
#include "measure/measurement.h"
#include "mtf/fitting.h"
#include "mtf/slit.h"
#include "mtf/swc.h"
#include "mtf/truncation.h"

namespace radmtf {

namespace {

// Runs `action`; shows what it reached with `apply`, also on a failure.
template <typename Action, typename Apply>
void RunAndShow(Action action, Apply apply)
{
    try {
        action();
    } catch (...) {
        apply();
        throw;
    }
    apply();
}

}  // namespace

PixelTableView TForm2TableView(const GridModel* grid)
{
    PixelTableView view;
    view.dataColumns = std::max(grid->cols() - 1, 0);
    view.dataRows = std::max(grid->rows() - 1, 0);
    view.cell = [grid](int column, int row) { return grid->cellValue(column, row); };
    return view;
}

// ------------------------------------------------------------ profile

ProfileOrientation TForm2::checkedOrientation() const
{
    if (RadioButton1->isChecked()) return ProfileOrientation::kRowsLastToFirst;
    if (RadioButton2->isChecked()) return ProfileOrientation::kRowsFirstToLast;
    if (RadioButton3->isChecked()) return ProfileOrientation::kColumnsLastToFirst;
    if (RadioButton4->isChecked()) return ProfileOrientation::kColumnsFirstToLast;
    return ProfileOrientation::kNone;
}

void TForm2::Button2Dto1DClick()
{
    const std::int32_t lines = IntOf(EditMALine);
    const ProfileOrientation orientation = checkedOrientation();
    if (geometryEstimate_ && GeometryDisagrees(*geometryEstimate_, orientation, lines))
        CurrentPrompter().message(
            FailureText(FailureCode::kGeometryMismatch, {GeometryText(*geometryEstimate_)}));
    BuildCompositeProfile(profile, orientation, lines, TForm2TableView(StringGrid1->grid()));
    stepSettings_.orientation = static_cast<int>(orientation);
    stepSettings_.maLines = lines;
    stepSettings_.extract = false;
}

void TForm2::ButtonSmoothClick()
{
    profile.sampleSpacing = SampleSpacingFromTexts(StdText(EditPxlSpc), StdText(EditMALine));
    if (CheckBoxSync->isChecked()) EditSmth->setText(Text(IntOf(EditMALine)));
    SmoothProfile(profile, IntOf(EditSmth));
    setSeries(Series1, Points(ProfileSeries(profile)));
    stepSettings_.pixelSpacing = FloatOf(EditPxlSpc);
    stepSettings_.smoothing = IntOf(EditSmth);
}

// The characteristic-curve file of the loaded image, shown in Memo1.
CurveFile TForm2::loadCurveFile()
{
    CurveFile curve;
    curve.path = CurveFilePath(form1_->EditFileName->text().toStdString());
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(QFile::encodeName(QString::fromStdString(curve.path)).toStdString(), bytes))
        ThrowCannotOpen(curve.path);
    curve.lines = SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    QStringList shown;
    for (const std::string& line : curve.lines) shown.append(QString::fromLocal8Bit(line));
    Memo1->setLines(shown);
    return curve;
}

void TForm2::ButtonToExpClick()
{
    std::vector<ChartPoint> points;
    if (CheckBoxUseHDC->isChecked()) {
        const CurveFile curve = loadCurveFile();
        points = ConvertToExposureByCurve(profile, curve.lines, curve.path);
        stepSettings_.curveFile = curve.path;
    } else {
        points = ExposureByModelTexts(profile, StdText(EditL), StdText(EditBit),
                                      form1_->EditOffst->text().toStdString());
        stepSettings_.curveFile.reset();
        stepSettings_.latitude = FloatOf(EditL);
        stepSettings_.bitsStored = FloatOf(EditBit);
    }
    clearSeries(Series2);
    setSeries(Series3, Points(points));
    clearSeries(Series9);
    PageControl1->setCurrentWidget(TabSheetProfMTF);
    EditNDLSF->setText(Text(profile.exposureCount));
    EditPosN->clear();
    EditPosX->clear();
    EditPosY->clear();
}

void TForm2::ButtonExtractClick()
{
    const ExtractionOutput out = ExtractProfileFromTexts(profile, StdText(EditPxlSpc), StdText(EditMALine));
    MemoPRF->setLines(Lines(out.listing));
    setSeries(Series1, Points(out.points));
    stepSettings_.extract = true;
}

void TForm2::ButtonToCB_SGClick()
{
    StringGrid1->selectDataCells();
    const std::string text =
        PixelTableClipboardText(TForm2TableView(StringGrid1->grid()), CheckBoxSwapRC->isChecked());
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void TForm2::ButtonPrfToCBClick()
{
    QApplication::clipboard()->setText(QString::fromStdString(ProfileClipboardText(profile)));
}

void TForm2::MemoWorkClick()
{
    MemoWork->setText(QString::fromStdString(ProfileCountText(profile)));
}

// ------------------------------------------------------------ MTF methods

void TForm2::ButtonSWCClick()
{
    SwcFeatures features;
    RunAndShow(
        [&] { SwcLocateFeaturesFromTexts(profile, mtf, StdText(EditPxlSpc), StdText(EditMALine), features); },
        [&] {
            if (!features.profileSeriesCleared) return;
            setSeries(Series5, Points(features.centreMarkers));
            setSeries(Series6, Points(features.squareMarkers));
            setSeries(Series8, Points(features.groupStartMarkers));
        });
    ButtonToExpClick();
    if (CheckBoxPreciseSwc->isChecked()) {
        runPreciseChart(features);
        return;
    }
    SwcResult result;
    RunAndShow([&] { ChartMeasureStep(profile, mtf, features, result); },
               [&] {
                   if (result.fitFrequencyItem) RadioGroup2->setItemIndex(*result.fitFrequencyItem);
                   if (!result.written) return;
                   clearSeries(Series4);
                   setErrorBars({});
                   setSeries(Series7, Points(result.points));
                   MemoMTF2->setLines(withChartMarks(Lines(result.listing), result.points));
                   // The groups were found with the spacing and MA-Line# read above.
                   MeasureSettings used = stepSettings_;
                   used.method = MeasureMethod::kChart;
                   used.pixelSpacing = FloatOf(EditPxlSpc);
                   used.maLines = IntOf(EditMALine);
                   MeasurementRecord record = recordOf(used);
                   for (const auto& [f, m] : result.points) record.points.push_back({f, m, "", std::nullopt});
                   showSummary(result.points, std::move(record));
               });
    PageControl1->setCurrentWidget(TabSheetMTF);
    ButtonFittingClick();
    if (result.written) warnIfGeometryDisagrees();
}

void TForm2::ButtonSlitClick()
{
    if (CheckBoxPreciseSlit->isChecked()) {
        runPreciseSlit();
        return;
    }
    SlitOutput out;
    SlitStep(profile, mtf, out);
    if (!out.written) return;
    MemoMTF->setLines(Lines(out.listing));
    setErrorBars({});
    setSeries(Series4, Points(out.points));
    // The summary's MTF at Nyquist measured there, not read between bins.
    std::vector<std::pair<double, double>> summary = out.points;
    long double spacing = 0;
    try {
        spacing = FloatOf(EditPxlSpc);
    } catch (const Failure&) {
        // no spacing, no Nyquist figure: as the summary itself
    }
    if (const auto nyquist = SlitNyquistPoint(profile, spacing)) {
        const auto at = std::lower_bound(summary.begin(), summary.end(), *nyquist);
        if (at == summary.end() || at->first != nyquist->first) summary.insert(at, *nyquist);
    }
    MeasureSettings used = stepSettings_;
    used.method = MeasureMethod::kSlit;
    MeasurementRecord record = recordOf(used);
    for (const auto& [f, m] : summary) record.points.push_back({f, m, "", std::nullopt});
    showSummary(summary, std::move(record));
    PageControl1->setCurrentWidget(TabSheetMTF);
    warnIfGeometryDisagrees();
}

void TForm2::ButtonFittingClick()
{
    FittingOutput out;
    RunAndShow(
        [&] { RunFittingFromTexts(mtf, RadioGroup2->itemIndex(), StdText(Editn), StdText(EditPxlSpc), out); },
        [&] {
            if (out.fitPointsCleared) clearSeries(Series10);
            if (out.tableWritten) {
                setSeries(Series4, Points(out.curve));
                MemoMTF->setLines(Lines(out.listing));
            }
            if (out.refitListingCleared) MemoMTF3->clearLines();
            if (out.refitListingAdded) MemoMTF3->addText(QString::fromStdString(out.refitListingText));
        });
}

// ------------------------------------------------------------ LSF tails

void TForm2::ChartLSFClickSeries(QXYSeries*, int valueIndex)
{
    const PickOutput pick = PickTailStart(profile, valueIndex);
    EditPosN->setText(QString::fromStdString(pick.posN));
    EditPosX->setText(QString::fromStdString(pick.posX));
    EditPosY->setText(QString::fromStdString(pick.posY));
    setSeries(Series9, {QPointF(pick.marker.first, pick.marker.second)});
}

void TForm2::ButtonTrancationClick()
{
    TruncationOutput out;
    TruncationStatus status = TruncationStatus::kDone;
    RunAndShow(
        [&] { status = RunTruncationFromTexts(profile, mtf, StdText(EditPosN), StdText(EditPosY), out); },
        [&] {
            if (out.markersCleared) setSeries(Series9, Points(out.markers));
            if (out.curveDrawn) setSeries(Series2, Points(out.curve));
        });
    if (status == TruncationStatus::kNoStartPoint)
        CurrentPrompter().message(NoticeText(Notice::kNoStartPoint));
}

}  // namespace radmtf
