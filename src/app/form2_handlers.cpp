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
#include "nps/conversion.h"

namespace radmtf {

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
    if (const std::optional<LineGeometry> estimate = session.GeometryWarning(orientation, lines))
        CurrentPrompter().message(FailureText(FailureCode::kGeometryMismatch, {GeometryText(*estimate)}));
    session.BuildProfile(orientation, lines);
}

void TForm2::ButtonSmoothClick()
{
    session.SetSampleSpacing(EnteredFloat(StdText(EditPxlSpc)), EnteredFloat(StdText(EditMALine)));
    if (CheckBoxSync->isChecked()) EditSmth->setText(Text(IntOf(EditMALine)));
    setSeries(Series1, Points(session.Smooth(IntOf(EditSmth))));
}

// The characteristic-curve file of the loaded image, shown in Memo1.
CurveFile TForm2::loadCurveFile()
{
    CurveFile curve = ReadCurveFile(CurveFilePath(form1_->EditFileName->text().toStdString()));
    QStringList shown;
    for (const std::string& line : curve.lines) shown.append(QString::fromLocal8Bit(line));
    Memo1->setLines(shown);
    return curve;
}

ExposureEntry TForm2::exposureEntry()
{
    ExposureEntry entry;
    if (CheckBoxUseHDC->isChecked()) {
        entry.curve = Entered<CurveFile>::Of([this] { return loadCurveFile(); });
        return entry;
    }
    const std::string latitude = StdText(EditL);
    const std::string bits = StdText(EditBit);
    const std::string offset = StdText(form1_->EditOffst);
    entry.chosen = ComboConversion->currentIndex() > 0;
    const std::string chosen = ComboConversion->currentText().toStdString() + ":" + StdText(EditConversion);
    entry.conversion = Entered<Conversion>::Of(
        [&] { return entry.chosen ? ParseConversion(chosen) : ModelFromTexts(latitude, bits, offset); });
    entry.latitude = EnteredFloat(latitude);
    entry.bitsStored = EnteredFloat(bits);
    return entry;
}

void TForm2::ButtonToExpClick()
{
    const std::vector<ChartPoint> points = session.ToExposure(exposureEntry());
    clearSeries(Series2);
    setSeries(Series3, Points(points));
    clearSeries(Series9);
    PageControl1->setCurrentWidget(TabSheetProfMTF);
    EditNDLSF->setText(Text(session.profile().exposureCount));
    EditPosN->clear();
    EditPosX->clear();
    EditPosY->clear();
}

void TForm2::ButtonExtractClick()
{
    const ExtractionOutput out =
        session.Extract(EnteredFloat(StdText(EditPxlSpc)), EnteredFloat(StdText(EditMALine)));
    MemoPRF->setLines(Lines(out.listing));
    setSeries(Series1, Points(out.points));
}

void TForm2::ButtonToCB_SGClick()
{
    StringGrid1->selectDataCells();
    const std::string text = PixelTableClipboardText(session.tableView(), CheckBoxSwapRC->isChecked());
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void TForm2::ButtonPrfToCBClick()
{
    QApplication::clipboard()->setText(QString::fromStdString(ProfileClipboardText(session.profile())));
}

void TForm2::MemoWorkClick()
{
    MemoWork->setText(QString::fromStdString(ProfileCountText(session.profile())));
}

// ------------------------------------------------------------ MTF methods

void TForm2::showChartFeatures(const SwcFeatures& features)
{
    if (!features.profileSeriesCleared) return;
    setSeries(Series5, Points(features.centreMarkers));
    setSeries(Series6, Points(features.squareMarkers));
    setSeries(Series8, Points(features.groupStartMarkers));
}

void TForm2::showChartMtf(const ChartMtfOutput& out)
{
    if (out.chart.fitFrequencyItem) RadioGroup2->setItemIndex(*out.chart.fitFrequencyItem);
    if (!out.chart.written) return;
    clearSeries(Series4);
    setErrorBars({});
    setSeries(Series7, Points(out.chart.points));
    MemoMTF2->setLines(withChartMarks(Lines(out.chart.listing), out.chart.points));
    if (out.recorded) showSummary(out.summary);
}

void TForm2::ButtonSWCClick()
{
    SwcFeatures features;
    RunAndShow(
        [&] {
            session.LocateChart(EnteredFloat(StdText(EditPxlSpc)), EnteredFloat(StdText(EditMALine)),
                                features);
        },
        [&] { showChartFeatures(features); });
    ButtonToExpClick();
    if (CheckBoxPreciseSwc->isChecked()) {
        runPreciseChart(features);
        return;
    }
    ChartMtfOutput out;
    RunAndShow([&] { session.ChartMtf(features, EnteredInt(StdText(EditMALine)), out); },
               [&] { showChartMtf(out); });
    PageControl1->setCurrentWidget(TabSheetMTF);
    ButtonFittingClick();
    if (out.chart.written) warnIfGeometryDisagrees();
}

void TForm2::ButtonSlitClick()
{
    if (CheckBoxPreciseSlit->isChecked()) {
        runPreciseSlit();
        return;
    }
    const SlitMtfOutput out = session.SlitMtf(EnteredFloat(StdText(EditPxlSpc)));
    if (!out.slit.written) return;
    MemoMTF->setLines(Lines(out.slit.listing));
    setErrorBars({});
    setSeries(Series4, Points(out.slit.points));
    showSummary(out.summary);
    PageControl1->setCurrentWidget(TabSheetMTF);
    warnIfGeometryDisagrees();
}

void TForm2::ButtonFittingClick()
{
    FittingOutput out;
    RunAndShow(
        [&] {
            session.Fit(RadioGroup2->itemIndex(), EnteredInt(StdText(Editn)),
                        EnteredFloat(StdText(EditPxlSpc)), out);
        },
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
    const PickOutput pick = session.PickTail(valueIndex);
    EditPosN->setText(QString::fromStdString(pick.posN));
    EditPosX->setText(QString::fromStdString(pick.posX));
    EditPosY->setText(QString::fromStdString(pick.posY));
    setSeries(Series9, {QPointF(pick.marker.first, pick.marker.second)});
}

void TForm2::ButtonTrancationClick()
{
    // No start picked: nothing changes.
    if (EditPosN->text().isEmpty()) {
        CurrentPrompter().message(NoticeText(Notice::kNoStartPoint));
        return;
    }
    TruncationOutput out;
    RunAndShow([&] { session.Truncate(EnteredInt(StdText(EditPosN)), EnteredFloat(StdText(EditPosY)), out); },
               [&] {
                   if (out.markersCleared) setSeries(Series9, Points(out.markers));
                   if (out.curveDrawn) setSeries(Series2, Points(out.curve));
               });
}

}  // namespace radmtf
