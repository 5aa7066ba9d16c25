// The viewer handlers that run the image kernels. Each reads its edits in a
// fixed order, so that a text that is not a number stops the action at a
// known point and leaves exactly what was done before.
#include <QFile>

#include <memory>

#include "analysis/pixel_table.h"
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "dicom/dicom_load.h"
#include "dicom/dicom_reader.h"
#include "dicom/dictionary.h"
#include "measure/measurement.h"
#include "viewer/render.h"
#include "viewer/roi_frames.h"
#include "viewer/roi_measure.h"
#include "viewer/sample_reader.h"
#include "viewer/transforms.h"
#include "viewer/trimming.h"

namespace radmtf {

// ------------------------------------------------------------- rendering

void TForm1::RenderImage()
{
    if (state.loadState <= 0) return;
    Image3->show();
    Image2->hide();
    Image1->show();

    const long double mf = FloatOf(EditMF);
    const std::int32_t w = IntOf(EditImgSizeX);
    const std::int32_t h = IntOf(EditImgSizeY);
    DisplayWindow window = displayWindow();

    const ViewExtent extent = ComputeViewExtent(mf, w, h);
    const std::int32_t shiftX = IntOf(EditImgSftX);
    const std::int32_t shiftY = IntOf(EditImgSftY);
    const ViewGeometry geometry = ShiftViewExtent(extent, shiftX, shiftY);
    // The typed size becomes the image's only once a view of it is accepted.
    state.imageWidth = w;
    state.imageHeight = h;
    displayBitmap.resize(geometry.bitmapWidth, geometry.bitmapHeight);

    // Unsigned words (PixelRepresentation 0) shown as the measurement reads them.
    const SampleLayout layout = sampleLayout();
    window.offset = IntOf(EditOffst);
    RenderView(state.fileBuffer, layout, window, geometry.view, displayBitmap.view());

    const ImagePlacement placement = ComputeImagePlacement(mf, w, h);
    Image1->setGeometry(placement.left, 0, placement.width, 512);

    if (RadioGroupTool->itemIndex() == 0) {
        state.roiRect = RoiRectFromEdits(IntOf(EditROIPosX), IntOf(EditROIPosY), IntOf(EditROISizeX),
                                         IntOf(EditROISizeY));
        state.roiBitmapRect = RoiToBitmap(state.roiRect, geometry.view);
        drawFoundFrames(geometry.view);
        drawFrames();
    }
    state.viewRect = geometry.view;
    refreshImage1();
}

void TForm1::drawFrames()
{
    if (state.loadState <= 0) return;
    radmtf::DrawRoiFrames(displayBitmap.view(), state.roiBitmapRect);
}

void TForm1::DrawRoiFrames()
{
    if (state.loadState <= 0) return;
    drawFoundFrames(state.viewRect);
    drawFrames();
    refreshImage1();
}

// ------------------------------------------------------------- DICOM header

namespace {

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Integer>
QString IntegerText(const std::optional<Integer>& number)
{
    return number ? Text(*number) : QString();
}

// A window value as the file writes it, else the reader's rounded number.
QString WindowText(const DicomWindowValue& value)
{
    if (value.written) return Latin1(*value.written);
    return value.number ? Text(static_cast<long long>(*value.number)) : QString();
}

}  // namespace

void TForm1::ReadDicomHeader(DicomLoad& load)
{
    const DicomHeaderOutput& out = load.header;
    // Whatever the walk reached is shown, also when it stopped at an element
    // whose number could not be read.
    EditHeader->setText(IntegerText(out.headerOffset));
    if (out.fovWritten) EditFOVSize->setText(Latin1(*out.fovWritten));
    EditImgSizeX->setText(IntegerText(out.columns));
    EditImgSizeY->setText(IntegerText(out.rows));
    if (out.valueOffset) EditOffst->setText(Text(*out.valueOffset));
    if (out.pixelSpacingWritten) EditPxlSpc->setText(Latin1(*out.pixelSpacingWritten));
    if (out.windowLevel) EditWindowLevel->setText(WindowText(*out.windowLevel));
    if (out.windowWidth) EditWindowWidth->setText(WindowText(*out.windowWidth));
    if (out.swap) {
        // The reader only records the byte order; the load renders at its end.
        const QSignalBlocker blocker(CheckBoxSwp);
        CheckBoxSwp->setChecked(*out.swap);
    }
    if (out.tableReplaced) {
        GridModel* grid = StringGridDICOM->grid();
        grid->setSize(17, 1);
        grid->setSize(17, std::max(out.rowCount, 1));
        // A header may list hundreds of thousands of elements: the cells are
        // made when the table shows or reads them.
        auto table = std::make_shared<const DicomTable>(std::move(load.header.table));
        grid->setTextSource(kDicomTableColumns, [table](int column, int row) {
            const std::string cell = table->Cell(row, column);
            return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
        });
    }
    if (out.summaryWritten) Memo1->setText(Latin1(out.summary));
    if (load.headerFailure) std::rethrow_exception(load.headerFailure);
}

// ------------------------------------------------------- statistics, Auto

// The measurement reading of the loaded samples; Header is read before the
// offset, so a bad text stops the action before any edit is written.
SampleReader TForm1::measurementReader() const
{
    SampleReader reader;
    reader.layout = sampleLayout();
    reader.offset = IntOf(EditOffst);
    reader.buffer = state.fileBuffer;
    reader.swap = CheckBoxSwp->isChecked();
    return reader;
}

// Where the samples of the loaded image lie; reads Header.
// The display window's level and width, swap and invert (the value offset
// is read after the header, as a rendering reads them).
DisplayWindow TForm1::displayWindow() const
{
    DisplayWindow window;
    window.level = IntOf(EditWindowLevel);
    window.width = IntOf(EditWindowWidth);
    window.swap = CheckBoxSwp->isChecked();
    window.invert = CheckBoxInvrt->isChecked();
    return window;
}

SampleLayout TForm1::sampleLayout() const
{
    return {IntOf(EditHeader), state.imageWidth, state.imageHeight, imageMode() == 0,
            state.unsignedSamples && imageMode() == 2};
}

void TForm1::ButtonStatClick()
{
    if (RadioGroupTool->itemIndex() != 0) return;
    const SampleReader reader = measurementReader();
    const std::optional<RoiStatistics> stats = MeasureRoi(reader, state.viewRect, state.roiBitmapRect);
    if (!stats) return;
    EditAve->setText(Real(stats->mean));
    EditMax->setText(Text(stats->maximum));
    EditMin->setText(Text(stats->minimum));
    EditSD->setText(Real(stats->sd));
}

void TForm1::ButtonAutoWLClick()
{
    const SampleReader reader = measurementReader();
    if (const std::optional<AutoWindow> window = FindAutoWindow(reader)) {
        EditWindowWidth->setText(Text(window->width));
        EditWindowLevel->setText(Text(window->level));
    }
    RenderImage();
}

// ------------------------------------------------------------- transforms

void TForm1::ButtonVertClick()
{
    const SampleLayout layout = sampleLayout();
    FlipVertical(state.fileBuffer, layout);
    RenderImage();
}

void TForm1::ButtonHorizClick()
{
    const SampleLayout layout = sampleLayout();
    FlipHorizontal(state.fileBuffer, layout);
    RenderImage();
}

void TForm1::ButtonCWClick()
{
    const SampleLayout layout = sampleLayout();
    TurnClockwise(state.fileBuffer, layout, state.viewRect);
    RenderImage();
}

void TForm1::ButtonCCWClick()
{
    const SampleLayout layout = sampleLayout();
    TurnCounterClockwise(state.fileBuffer, layout, state.viewRect);
    RenderImage();
}

// ------------------------------------------------------------- trimming

void TForm1::ButtonTrimingClick()
{
    // Before the first load there is no image to cut from.
    if (state.loadState <= 0) ThrowFailure(FailureCode::kNothingToTrim);
    const SampleLayout layout = sampleLayout();
    IntOf(EditOffst);  // read as always, though the trimmed words carry no offset
    const std::vector<std::uint8_t> bytes =
        BuildTrimmedImage(state.fileBuffer, layout, state.viewRect, state.roiBitmapRect);
    // Offered under the shown file's name, so a trim never lands on the name
    // of a file that the wheel has stepped away from.
    const QString offered = QString::fromStdString(
        TrimmedFileName(EditFileName->text().toStdString(), state.viewRect, state.roiBitmapRect));
    openDialogFileName = offered;
    const std::optional<QString> chosen = CurrentPrompter().openFile(offered);
    if (!chosen) return;
    openDialogFileName = *chosen;
    // Replaced only when complete, so a failed write never leaves a truncated
    // file in place of an earlier trim.
    ReplaceFile(QFile::encodeName(*chosen).toStdString(),
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    CurrentPrompter().message(NoticeText(Notice::kTrimSaved));
}

// ------------------------------------------------------------- ROI transfer

QStringList TForm1::noticeTransfer(std::vector<std::int32_t>& values)
{
    if (imageMode() != 2) return {};
    const DicomImageFacts& facts = state.dicomFacts;
    std::optional<long double> editBits;
    try {
        editBits = FloatOf(form2_->EditBit);
    } catch (const Failure&) {
    }
    if (facts.bitsStored && editBits && *editBits != *facts.bitsStored && !state.bitsNoticeShown) {
        state.bitsNoticeShown = true;
        CurrentPrompter().message(FailureText(FailureCode::kBitsStoredDiffers,
                                              {IntToStr(*facts.bitsStored), FloatToStr(*editBits)}));
    }
    // A conversion function chosen in the analysis window relates the stored
    // values to kerma as they are, as the command's --conversion does.
    if (facts.InvertedPhotometric() && form2_->ComboConversion->currentIndex() == 0) {
        // As the command measures it: more exposure, higher value.
        const long double bits = editBits.value_or(facts.bitsStored.value_or(16));
        const QString inverted =
            FailureText(FailureCode::kInvertedValues, {IntToStr(InvertValues(values, bits))});
        CurrentPrompter().message(inverted);
        return {inverted};
    }
    return {};
}

// What the table came from, for the report of what is measured on it: the
// processed image's warning first, as the command lists it.
MeasurementRecord TForm1::tableSource(const QString& processed, const QStringList& warnings) const
{
    MeasurementRecord source;
    source.file =
        (state.currentFileName.isEmpty() ? EditFileName->text() : state.currentFileName).toStdString();
    source.source = state.fileStamp;
    source.settings.format = static_cast<ImageFormat>(imageMode());
    // The ROI as its edits gave it when they last placed it.
    source.settings.roi = RoiOfRect(state.roiRect);
    if (imageMode() == 2) {
        for (const QString& line : Memo1->lines()) source.acquisition += line.toStdString() + "\r\n";
        source.qa = state.dicomFacts.qa;
    }
    // Where the viewer's spacing came from; the session calls a spacing
    // typed anew in the analysis window "typed".
    source.pixelSpacingSource = pixelSpacingSource();
    try {
        source.settings.pixelSpacing = FloatOf(EditPxlSpc);
    } catch (const Failure&) {
        source.pixelSpacingSource = "typed";
    }
    if (!processed.isEmpty()) source.warnings.push_back(processed.toStdString());
    for (const QString& warning : warnings) source.warnings.push_back(warning.toStdString());
    return source;
}

void TForm1::ButtonToTableClick()
{
    TForm2* f2 = form2_;
    SourceImage image;
    image.bytes = state.fileBuffer;
    image.layout = sampleLayout();
    const SampleBlock block = RoiBlock(state.viewRect, state.roiBitmapRect);
    CheckTableBlock(image, block);
    image.offset = IntOf(EditOffst);
    image.swap = CheckBoxSwp->isChecked();
    PixelTable table = ReadPixelTable(image, block);
    const QStringList warnings = table.filled ? noticeTransfer(table.values) : QStringList();
    const QString processed =
        imageMode() == 2 && state.dicomFacts.Processed()
            ? FailureText(FailureCode::kProcessedImage, {ProcessingText(state.dicomFacts)})
            : QString();
    f2->session.TakeTable(std::move(table), state.roiBitmapRect.left, state.roiBitmapRect.top,
                          tableSource(processed, warnings));
    f2->showTable();
    for (QXYSeries* series :
         std::initializer_list<QXYSeries*>{f2->Series1, f2->Series2, f2->Series3, f2->Series4, f2->Series5,
                                           f2->Series6, f2->Series7, f2->Series8, f2->Series9})
        f2->clearSeries(series);
    if (!EditPxlSpc->text().isEmpty()) f2->EditPxlSpc->setText(EditPxlSpc->text());
    f2->setMeasurementWarning(processed);
    f2->RadioGroup1->setItemIndex(0);
    f2->UpDownMALine->setMaximum(IntOf(EditROISizeY));
    f2->EditSmth->setText("1");
    f2->UpDownFlt->setPosition(1);
    state.tableTaken = true;
    ButtonToForm2Click();
}

}  // namespace radmtf
