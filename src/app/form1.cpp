#include "app/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>

#include "app/dispatch.h"
#include "app/edit_text.h"
#include "app/form2.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "core/paths.h"
#include "dicom/dicom_load.h"
#include "dicom/dictionary.h"
#include "viewer/load_geometry.h"
#include "viewer/render.h"
#include "viewer/roi_frames.h"

namespace radmtf {

namespace {

// The application-wide message hook (the form's ApplicationEvents1): it sees
// every message that the message loop takes in, before it is dispatched. The
// loop hands a wheel message to a window first; what the window then passes on
// to its widgets is the same message again, so only the first is acted on.
class ApplicationEvents : public QObject {
public:
    explicit ApplicationEvents(TForm1* form1) : QObject(form1), form1_(form1)
    {
        setObjectName("ApplicationEvents1");
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || !watched->isWindowType()) return false;
        if (QApplication::activeWindow() != form1_) return false;
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint turn = wheel->angleDelta();
        const int delta = turn.y() != 0 ? turn.y() : turn.x();
        // The toolkit's begin and end notes of a scroll gesture carry no turn.
        if (delta == 0) return false;
        // Ctrl + wheel over the picture zooms like "+" and "-".
        if ((wheel->modifiers() & Qt::ControlModifier) &&
            form1_->ScrollBox1->geometry().contains(wheel->position().toPoint())) {
            Dispatch([&] { delta > 0 ? form1_->Button1Click() : form1_->Button2Click(); });
            return true;
        }
        if (form1_->StringGridDICOM->height() >= 200) return false;
        bool handled = false;
        Dispatch([&] { handled = form1_->ApplicationEvents1Message(delta); });
        return handled;
    }

private:
    TForm1* form1_;
};

}  // namespace

QImage DisplayBitmap::toImage() const
{
    if (width <= 0 || height <= 0) return {};
    QImage image(pixels.data(), width, height, width, QImage::Format_Indexed8);
    QList<QRgb> palette(256);
    for (int k = 0; k < 256; ++k) palette[k] = qRgb(k, k, k);
    image.setColorTable(palette);
    return image.copy();
}

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    buildControls();
    setFixedSize(716, 684);
    setAcceptDrops(true);

    connect(BitBtnLoad, &QPushButton::clicked, this, Guarded(this, &TForm1::BitBtnLoadClick));
    connect(StringGridDICOM, &StringGrid::doubleClicked, this,
            Guarded(this, &TForm1::StringGridDICOMDblClick));
    connect(ButtonFileList, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonFileListClick));
    connect(ButtonDisp, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonDispClick));
    connect(CheckBoxSwp, &QCheckBox::toggled, this, Guarded(this, &TForm1::CheckBoxSwpClick));
    connect(CheckBoxInvrt, &QCheckBox::toggled, this, Guarded(this, &TForm1::CheckBoxInvrtClick));
    connect(Image1, &ImageControl::mousePressed, this, Guarded(this, &TForm1::Image1MouseDown));
    connect(Image1, &ImageControl::mouseMoved, this, Guarded(this, &TForm1::Image1MouseMove));
    connect(Image1, &ImageControl::mouseReleased, this, Guarded(this, &TForm1::Image1MouseUp));
    connect(RadioGroupTool, &RadioGroup::clicked, this, Guarded(this, &TForm1::RadioGroupToolClick));
    connect(Button1, &QPushButton::clicked, this, Guarded(this, &TForm1::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Guarded(this, &TForm1::Button2Click));
    connect(PopupMenu1, &QMenu::aboutToShow, this, Guarded(this, &TForm1::PopupMenu1Change));
    const QList<QAction*> items = PopupMenu1->actions();
    connect(items[0], &QAction::triggered, this, Guarded(this, &TForm1::N641Click));
    connect(items[1], &QAction::triggered, this, Guarded(this, &TForm1::N1281Click));
    connect(items[2], &QAction::triggered, this, Guarded(this, &TForm1::N2561Click));
    connect(items[3], &QAction::triggered, this, Guarded(this, &TForm1::N5121Click));
    connect(items[4], &QAction::triggered, this, Guarded(this, &TForm1::N10241Click));
    connect(items[5], &QAction::triggered, this, Guarded(this, &TForm1::N20481Click));
    for (QLineEdit* edit : {EditROISizeX, EditROISizeY}) {
        connect(edit, &QLineEdit::customContextMenuRequested, this, [this, edit](const QPoint& pos) {
            RunHandler([&] { PopupMenu1->popup(edit->mapToGlobal(pos)); });
        });
    }
    connect(ButtonAutoWL, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonAutoWLClick));
    connect(ButtonStat, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonStatClick));
    connect(ButtonVert, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonVertClick));
    connect(ButtonHoriz, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonHorizClick));
    connect(ButtonCW, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonCWClick));
    connect(ButtonCCW, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonCCWClick));
    connect(ButtonRowCulm, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonRowCulmClick));
    connect(ButtonTriming, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonTrimingClick));
    connect(ButtonSaveBMP, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonSaveBMPClick));
    connect(ButtonToTable, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonToTableClick));
    connect(ButtonToForm2, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonToForm2Click));
    connect(ButtonFindObject, &QPushButton::clicked, this, Guarded(this, &TForm1::ButtonFindObjectClick));
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    QApplication::instance()->installEventFilter(new ApplicationEvents(this));

    FormCreate();
}

void TForm1::OpenFile(const QString& path)
{
    fileToOpen_ = path;
    Dispatch([&] { BitBtnLoadClick(); });
    fileToOpen_.reset();
}

// A file dropped anywhere on the viewer loads as if chosen in the open dialog.
void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    OpenFile(QFileInfo(urls.first().toLocalFile()).absoluteFilePath());
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The viewer is the main window: closing it ends the program.
    event->accept();
    QApplication::quit();
}

void TForm1::FormCreate()
{
    state.loadState = 0;
    state.fileBuffer.clear();
    move(51, 20);
    state.dragRoiTopLeft = state.dragRoiBottomRight = state.dragRoiWhole = false;
    Image3->resize(512, 512);
    Image1->hide();
    GridModel* grid = StringGridDICOM->grid();
    const QString headers[] = {tr(" No"),  tr("Group"), tr("Erement"), tr("VR"),
                               tr("CHR#"), tr("Name"),  tr("Value")};
    for (int c = 0; c < 7; ++c) grid->setCell(c, 0, headers[c]);
    {
        const std::string_view dictionary = DicomDictionaryText();
        Memo_DICOMTag->setText(
            QString::fromLatin1(dictionary.data(), static_cast<qsizetype>(dictionary.size())));
    }
}

// ------------------------------------------------------------------ loading

void TForm1::BitBtnLoadClick()
{
    const LoadBefore before{state.currentFileName, EditImgSizeX->text(), EditImgSizeY->text()};
    state.currentFileName.clear();
    EditImgSizeX->setText("0");
    EditImgSizeY->setText("0");
    state.currentFileName = chooseLoadFile(before.fileName);
    if (state.currentFileName.isEmpty()) return;
    std::vector<std::uint8_t> bytes = readLoadFile();
    std::optional<DicomLoad> dicom = prepareDicomLoad(bytes, before);
    takeLoadFile(bytes, dicom);

    LoadInput input{static_cast<LoadMode>(imageMode()), state.fileBuffer.size(),
                    dicom ? &dicom->header : nullptr, StdText(EditPxlSpc), std::nullopt};
    ImageLoad load = DecideImageLoad(input);
    if (load.sizeProposal) {
        input.sizeAnswer = CurrentPrompter()
                               .inputBox("", NoticeText(Notice::kMatrixSizePrompt),
                                         QString::fromStdString(*load.sizeProposal))
                               .toStdString();
        load = DecideImageLoad(input);
    }
    showLoadedImage(load);
    finishLoad(load);
}

// The file a load takes: the one dropped or named on the command line, else
// the open dialog's choice; the folder list's entry when the wheel steps.
QString TForm1::chooseLoadFile(const QString& previousFileName)
{
    QString fileName;
    if (state.loadState < 2) {
        std::optional<QString> chosen;
        if (fileToOpen_)
            chosen = std::exchange(fileToOpen_, std::nullopt);
        else
            chosen = CurrentPrompter().openFile(previousFileName.isEmpty() ? openDialogFileName
                                                                           : previousFileName);
        if (chosen) {
            fileName = *chosen;
            openDialogFileName = *chosen;
        }
    }
    if (state.loadState == 2) fileName = EditFileName->text();
    return fileName;
}

std::vector<std::uint8_t> TForm1::readLoadFile()
{
    std::vector<std::uint8_t> bytes;
    if (!ReadRegularFile(QFile::encodeName(state.currentFileName).toStdString(), bytes)) {
        state.fileBuffer.clear();
        state.fileBuffer.shrink_to_fit();
        EditFileName->setText(state.currentFileName);
        ThrowCannotOpen(state.currentFileName.toStdString());
    }
    return bytes;
}

// The pixels are decoded before anything changes: a file that cannot be
// decoded leaves the image loaded before as it was.
std::optional<DicomLoad> TForm1::prepareDicomLoad(const std::vector<std::uint8_t>& bytes,
                                                  const LoadBefore& before)
{
    if (imageMode() != 2) return std::nullopt;
    DecodeOptions options;
    options.fileName = state.currentFileName.toStdString();
    std::string libraryMessages;
    options.libraryMessages = &libraryMessages;
    try {
        DicomLoad load = PrepareDicomLoad(bytes.data(), bytes.size(), DicomDictionaryText(),
                                          EditWindowWidth->text().toStdString(), options);
        std::fputs(PrefixedLines(options.fileName, libraryMessages).c_str(), stderr);
        return load;
    } catch (...) {
        std::fputs(PrefixedLines(options.fileName, libraryMessages).c_str(), stderr);
        state.currentFileName = before.fileName;
        if (state.loadState == 2) EditFileName->setText(before.fileName);
        EditImgSizeX->setText(before.sizeX);
        EditImgSizeY->setText(before.sizeY);
        throw;
    }
}

// The file's samples replace the image; a DICOM file's header fills the edits.
void TForm1::takeLoadFile(std::vector<std::uint8_t>& bytes, std::optional<DicomLoad>& dicom)
{
    const std::size_t fileSize = bytes.size();
    if (dicom && dicom->decoded)
        state.fileBuffer = std::move(dicom->decoded->words);
    else
        state.fileBuffer = std::move(bytes);
    // The version read, for the report of what is measured on it.
    state.fileStamp = StampOfFile(QFile::encodeName(state.currentFileName).toStdString());
    state.fileStamp.size = fileSize;
    EditFileName->setText(state.currentFileName);
    EditFileSize->setText(Text(static_cast<long long>(fileSize)));
    Image1->show();
    CheckBoxRoiSet->setChecked(true);

    // Decoded words carry the decoder's signedness, stored ones the header's;
    // raw files stay signed.
    state.dicomFacts = dicom ? dicom->header.facts : DicomImageFacts{};
    state.unsignedSamples = dicom && (dicom->decoded ? !dicom->decoded->signedSamples
                                                     : dicom->header.facts.pixelRepresentation == 0);
    state.bitsNoticeShown = false;
    loadedSpacing_ = {};
    if (dicom) ReadDicomHeader(*dicom);
}

void TForm1::showLoadedImage(const ImageLoad& load)
{
    if (load.sizeAnswered) {
        EditHeader->setText("0");
        EditMF->setText("1.0");
    }
    state.imageWidth = load.columns;
    state.imageHeight = load.rows;
    displayBitmap.resize(load.bitmapWidth.value_or(0), load.bitmapHeight.value_or(0));
    EditImgSizeX->setText(Text(state.imageWidth));
    EditImgSizeY->setText(Text(state.imageHeight));
    EditWindowLevel->setText(Text(load.windowLevel));
    EditWindowWidth->setText(Text(load.windowWidth));

    state.found.clear();
    state.foundRects.clear();
    state.nextFound = 0;
    state.tableTaken = false;
    state.proposedRoi.reset();
    state.loadState = 1;
    loadedSpacing_ = {EditPxlSpc->text(), load.spacingSource};
    // A raw file has no geometry until the user types it; render only when
    // there is an image to show. The ROI is centred on what is shown.
    if (load.HasImage()) {
        RenderImage();
        const RoiEdits roi = DefaultRoiOn(state.viewRect, displayBitmap.width, displayBitmap.height);
        EditROIPosX->setText(Text(roi.centreX));
        EditROIPosY->setText(Text(roi.centreY));
        EditROISizeX->setText(Text(roi.width));
        EditROISizeY->setText(Text(roi.height));
        state.proposedRoi = roiTexts();
    }
}

// The spacing asked where the load found none, the automatic window, and the
// folder list of the file.
void TForm1::finishLoad(const ImageLoad& load)
{
    if (load.spacingFailure) std::rethrow_exception(load.spacingFailure);
    if (load.spacingPrompt) {
        EditPxlSpc->setText(
            CurrentPrompter().inputBox("InputBox", NoticeText(Notice::kPixelSpacingPrompt), "0.1"));
        loadedSpacing_ = {EditPxlSpc->text(), "typed"};
    }
    if (load.HasImage()) ButtonAutoWLClick();
    noticeSpacings();
    ButtonFileListClick();
}

std::string TForm1::pixelSpacingSource() const
{
    return EditPxlSpc->text() == loadedSpacing_.text ? loadedSpacing_.source : "typed";
}

void TForm1::noticeSpacings()
{
    // The window keeps Pixel Spacing, as it always read it; the detector's
    // MTF belongs to the detector plane (Imager Pixel Spacing).
    const DicomImageFacts& facts = state.dicomFacts;
    if (facts.imagerPixelSpacing.empty() || facts.pixelSpacing.empty()) return;
    try {
        if (StrToFloat(facts.imagerPixelSpacing) == StrToFloat(facts.pixelSpacing)) return;
    } catch (const Failure&) {
        return;
    }
    CurrentPrompter().message(
        FailureText(FailureCode::kSpacingsDiffer, {facts.imagerPixelSpacing, facts.pixelSpacing}));
}

// ------------------------------------------------------- element table size

void TForm1::StringGridDICOMDblClick()
{
    const int height = StringGridDICOM->height();
    if (height < 200)
        StringGridDICOM->setGeometry(StringGridDICOM->x(), 22, StringGridDICOM->width(), 618);
    else if (height > 200)
        StringGridDICOM->setGeometry(StringGridDICOM->x(), 536, StringGridDICOM->width(), 109);
    StringGridDICOM->raise();
}

// ------------------------------------------------------ folder list & wheel

void TForm1::ButtonFileListClick()
{
    ListBox1->clear();
    const QString folder = QString::fromStdString(std::string(FolderPart(StdText(EditFileName))));
    // Name order, as the file systems the program's users know enumerate.
    const QDir dir(folder.isEmpty() ? QString(".") : folder);
    const QStringList names =
        // Regular files and links to them only: a pipe, device or socket
        // could block the load, a dangling link can never be opened.
        dir.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    QStringList entries;
    entries.reserve(names.size());
    for (const QString& name : names) entries.append(folder + name);
    ListBox1->addItems(entries);
    const QString current = EditFileName->text();
    int index = 0;
    while (true) {
        if (index >= ListBox1->count()) ThrowListIndex(index);
        if (ListBox1->item(index)->text() == current) break;
        ++index;
    }
    EditFListNo->setText(Text(index));
}

bool TForm1::ApplicationEvents1Message(int wheelDelta)
{
    const int n = IntOf(EditFListNo);
    if (n < 0 || n >= ListBox1->count()) ThrowListIndex(n);
    EditFileName->setText(ListBox1->item(n)->text());
    state.loadState = 2;
    try {
        BitBtnLoadClick();
    } catch (...) {
        // An entry that fails (a file removed since the list was made) is
        // stepped past all the same, so the next notch reaches the next file
        // instead of showing the same message again.
        state.loadState = 1;
        stepFileNumber(n, wheelDelta);
        throw;
    }
    state.loadState = 1;
    stepFileNumber(IntOf(EditFListNo), wheelDelta);
    return true;
}

void TForm1::stepFileNumber(int from, int wheelDelta)
{
    if (wheelDelta > 0 && from < ListBox1->count() - 1)
        EditFListNo->setText(Text(from + 1));
    else if (wheelDelta <= 0 && from > 0)
        EditFListNo->setText(Text(from - 1));
}

// ------------------------------------------------------------ display

void TForm1::ButtonDispClick()
{
    RenderImage();
}
void TForm1::CheckBoxSwpClick()
{
    ButtonDispClick();
}
void TForm1::CheckBoxInvrtClick()
{
    ButtonDispClick();
}

void DisplayBitmap::resize(std::int32_t newWidth, std::int32_t newHeight)
{
    // No clearing: every rendering writes each pixel of the bitmap.
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    pixels.resize(std::size_t(width) * std::size_t(height));
}

// Shows the bitmap stretched into Image1. The picture is sampled down (or up)
// to the control's size once here, so painting and dragging stay cheap on
// large images.
void TForm1::refreshImage1()
{
    const int controlWidth = Image1->width();
    const int controlHeight = Image1->height();
    if (displayBitmap.width <= 0 || displayBitmap.height <= 0 || controlWidth <= 0 || controlHeight <= 0) {
        Image1->setPicture(QImage());
        return;
    }
    QImage shown(controlWidth, controlHeight, QImage::Format_Grayscale8);
    ScalePicture(displayBitmap.view(), {shown.bits(), controlWidth, controlHeight, shown.bytesPerLine()});
    Image1->setStretch(false);
    Image1->setPicture(shown);
}

// ------------------------------------------------------------ pointer tools

void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y)
{
    state.dragRoiTopLeft = state.dragRoiBottomRight = state.dragRoiWhole = false;
    const int tool = RadioGroupTool->itemIndex();
    if (tool == 0 && button == Qt::LeftButton) {
        state.dragButton = "Left";
        const RoiGrip grip = GripRoi(state.roiBitmapRect, displayBitmap.height, x, y,
                                     x != state.lastMouseX || y != state.lastMouseY);
        state.dragRoiTopLeft = grip.topLeft;
        state.dragRoiBottomRight = grip.bottomRight;
        state.dragRoiWhole = grip.whole;
    } else if (tool == 1 && button == Qt::LeftButton) {
        state.dragButton = "Left";
        state.lastMouseX = x;
        state.lastMouseY = y;
    }
    if (button == Qt::RightButton) {
        state.dragButton = "Right";
        state.lastMouseX = x;
        state.lastMouseY = y;
    }
}

void TForm1::Image1MouseMove(int x, int y)
{
    // A failure ends the drag: its message box takes the pointer, so the
    // button's release may never reach the image and the drag would go on
    // with the next plain move.
    try {
        dragTo(x, y);
    } catch (...) {
        endDrag();
        throw;
    }
}

void TForm1::endDrag()
{
    state.dragRoiTopLeft = state.dragRoiBottomRight = state.dragRoiWhole = false;
    state.dragButton.clear();
}

// Pointer deltas are formed in 64 bits; every value the drag writes must
// read back as a 32-bit integer, like a typed one.
void TForm1::dragTo(int x, int y)
{
    const int tool = RadioGroupTool->itemIndex();

    if (tool == 0 && state.dragButton == "Left") {
        const RoiGrip grip{state.dragRoiTopLeft, state.dragRoiBottomRight, state.dragRoiWhole};
        if (const auto moved =
                DragRoi(state.roiBitmapRect, state.viewRect, displayBitmap.height, x, y, grip)) {
            DrawRoiFrames();
            state.roiBitmapRect = moved->roiBitmapRect;
            DrawRoiFrames();
            if (moved->sizeX) EditROISizeX->setText(Text(*moved->sizeX));
            if (moved->sizeY) EditROISizeY->setText(Text(*moved->sizeY));
            if (moved->posX) EditROIPosX->setText(Text(*moved->posX));
            if (moved->posY) EditROIPosY->setText(Text(*moved->posY));
        }
    }

    if (tool == 1 && state.dragButton == "Left") {
        const PanMove pan = PanView(state.viewRect, state.imageWidth, state.imageHeight, displayBitmap.height,
                                    state.lastMouseX, state.lastMouseY, x, y);
        if (pan.panX) EditImgSftX->setText(Text(PannedShift(IntOf(EditImgSftX), pan.moveX, pan.scale)));
        if (pan.panY) EditImgSftY->setText(Text(PannedShift(IntOf(EditImgSftY), pan.moveY, pan.scale)));
        RenderImage();
        state.lastMouseX = x;
        state.lastMouseY = y;
    }

    if (state.dragButton == "Right") {
        const int range = RadioGroupRange->itemIndex();
        if (const auto width = DraggedWindowWidth(IntOf(EditWindowWidth), range, state.lastMouseX, x))
            EditWindowWidth->setText(Text(*width));
        EditWindowLevel->setText(
            Text(DraggedWindowLevel(IntOf(EditWindowLevel), range, state.lastMouseY, y)));
        RenderImage();
        state.lastMouseX = x;
        state.lastMouseY = y;
    }
}

void TForm1::Image1MouseUp(Qt::MouseButton button, int, int)
{
    const int tool = RadioGroupTool->itemIndex();
    if (tool == 0 && button == Qt::LeftButton) {
        state.dragRoiTopLeft = state.dragRoiBottomRight = state.dragRoiWhole = false;
        state.dragButton.clear();
        ButtonStatClick();
    } else if (tool == 1 && button == Qt::LeftButton) {
        state.dragRoiTopLeft = state.dragRoiBottomRight = state.dragRoiWhole = false;
        state.dragButton.clear();
    }
    if (button == Qt::RightButton) state.dragButton.clear();
}

void TForm1::RadioGroupToolClick()
{
    switch (RadioGroupTool->itemIndex()) {
        case 2:
            RenderImage();
            break;
        case 3:
            EditMF->setText("1.0");
            EditImgSftX->setText("0");
            EditImgSftY->setText("0");
            RenderImage();
            break;
        default:
            break;
    }
}

void TForm1::Button1Click()
{
    const long double mf = FloatOf(EditMF) + 0.1L;
    EditMF->setText(QString::fromStdString(FloatToStr(mf)));
    if (FloatOf(EditMF) == 1.0L) {
        EditMF->setText("1.0");
        EditImgSftY->setText("0");
        EditImgSftX->setText("0");
    }
    RenderImage();
}

void TForm1::Button2Click()
{
    const long double mf = FloatOf(EditMF);
    if (mf > 1.0L) EditMF->setText(QString::fromStdString(FloatToStr(mf - 0.1L)));
    if (FloatOf(EditMF) == 1.0L) {
        EditMF->setText("1.0");
        EditImgSftY->setText("0");
        EditImgSftX->setText("0");
    }
    RenderImage();
}

void TForm1::PopupMenu1Change()
{
    const std::int32_t posX = IntOf(EditROIPosX);
    const std::int32_t posY = IntOf(EditROIPosY);
    const std::int32_t sizeX = IntOf(EditROISizeX);
    const std::int32_t sizeY = IntOf(EditROISizeY);
    state.roiRect = RoiRectFromEdits(posX, posY, sizeX, sizeY);
    state.roiBitmapRect = RoiToBitmap(state.roiRect, state.viewRect);
    DrawRoiFrames();
}

void TForm1::roiSizeMenuItem(const QString& caption)
{
    EditROISizeX->setText(caption);
    EditROISizeY->setText(caption);
    RadioGroupTool->setItemIndex(2);
    RadioGroupTool->setItemIndex(0);
    RenderImage();
}

void TForm1::N641Click()
{
    roiSizeMenuItem("64");
}
void TForm1::N1281Click()
{
    roiSizeMenuItem("128");
}
void TForm1::N2561Click()
{
    roiSizeMenuItem("256");
}
void TForm1::N5121Click()
{
    roiSizeMenuItem("512");
}
void TForm1::N10241Click()
{
    roiSizeMenuItem("1024");
}
void TForm1::N20481Click()
{
    roiSizeMenuItem("2048");
}

bool TForm1::popupChoose(const QString& itemName)
{
    QAction* chosen = nullptr;
    for (QAction* action : PopupMenu1->actions())
        if (action->objectName() == itemName) chosen = action;
    if (!chosen) return false;
    PopupMenu1Change();
    chosen->trigger();
    return true;
}

// ------------------------------------------------------------ transforms

void TForm1::ButtonRowCulmClick()
{
    const QString columns = EditImgSizeX->text();
    EditImgSizeX->setText(EditImgSizeY->text());
    EditImgSizeY->setText(columns);
    ButtonDispClick();
    ButtonAutoWLClick();
}

void TForm1::ButtonSaveBMPClick()
{
    QApplication::clipboard()->setImage(displayBitmap.toImage());
}

void TForm1::ButtonToForm2Click()
{
    if (!form2_) return;
    form2_->show();
    BringToFront(form2_);
}

}  // namespace radmtf
