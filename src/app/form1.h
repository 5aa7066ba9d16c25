// The viewer window: loading, display, ROI tools, statistics, transforms,
// trimming, the DICOM element table and the folder list.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/controls.h"
#include "core/file_bytes.h"
#include "dicom/dicom_reader.h"
#include "measure/object_search.h"
#include "viewer/load_geometry.h"
#include "viewer/render.h"
#include "viewer/sample_reader.h"
#include "viewer/view_types.h"

namespace radmtf {

class TForm2;
struct DicomLoad;

// The module-level viewer state; everything starts at zero.
struct ViewerState {
    std::vector<std::uint8_t> fileBuffer;
    QString currentFileName;
    FileStamp fileStamp;  // the file's size and modification time when it was read
    std::int32_t loadState = 0;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    ViewRect viewRect;
    PixelRect roiRect;
    PixelRect roiBitmapRect;
    QString dragButton;
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;
    bool dragRoiTopLeft = false;
    bool dragRoiBottomRight = false;
    bool dragRoiWhole = false;
    // What the loaded DICOM file says of its samples; empty for a raw file.
    DicomImageFacts dicomFacts;
    bool unsignedSamples = false;  // PixelRepresentation 0 (or decoded unsigned words)
    bool bitsNoticeShown = false;  // the BitsStored notice is shown once per image
    // What "Find" found in this image, the one it shows next, and their
    // frames; the ROI the load proposed and whether its table was taken.
    std::vector<FoundObject> found;
    std::size_t nextFound = 0;
    std::vector<PixelRect> foundRects;
    std::optional<std::array<QString, 4>> proposedRoi;
    bool tableTaken = false;
};

// The 8-bit gray bitmap that is shown; palette entry k is gray k.
struct DisplayBitmap {
    std::int32_t width = 512;
    std::int32_t height = 512;
    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(512 * 512, 0);
    QImage toImage() const;  // Indexed8 with the gray palette
    GrayBitmapView view() { return {pixels.data(), width, height, width}; }
    void resize(std::int32_t newWidth, std::int32_t newHeight);
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    void setForm2(TForm2* form2) { form2_ = form2; }
    TForm2* form2() const { return form2_; }

    ViewerState state;
    DisplayBitmap displayBitmap;

    // Event handlers, named after their control and event.
    void FormCreate();
    void BitBtnLoadClick();
    void StringGridDICOMDblClick();
    void ButtonFileListClick();
    // The application-wide hook for one mouse-wheel notch; returns whether
    // the message was handled.
    bool ApplicationEvents1Message(int wheelDelta);
    void ButtonDispClick();
    void CheckBoxSwpClick();
    void CheckBoxInvrtClick();
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(int x, int y);
    void Image1MouseUp(Qt::MouseButton button, int x, int y);
    void RadioGroupToolClick();
    void Button1Click();
    void Button2Click();
    void PopupMenu1Change();
    void N641Click();
    void N1281Click();
    void N2561Click();
    void N5121Click();
    void N10241Click();
    void N20481Click();
    void ButtonAutoWLClick();
    void ButtonStatClick();
    void ButtonVertClick();
    void ButtonHorizClick();
    void ButtonCWClick();
    void ButtonCCWClick();
    void ButtonRowCulmClick();
    void ButtonTrimingClick();
    void ButtonSaveBMPClick();
    void ButtonToTableClick();
    void ButtonToForm2Click();
    void ButtonFindObjectClick();

    // Controls (object names as the logic knows them).
    QLineEdit* EditFileName;
    QScrollArea* ScrollBox1;
    ImageControl* Image1;
    ImageControl* Image2;
    ImageControl* Image3;
    QLineEdit* EditMF;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* ButtonCW;
    RadioGroup* RadioGroupTool;
    QPushButton* ButtonCCW;
    QPushButton* ButtonVert;
    QPushButton* ButtonHoriz;
    QPushButton* ButtonTriming;
    QPushButton* ButtonSaveBMP;
    Memo* Memo1;
    RadioGroup* RadioGroupMode;
    QLineEdit* EditWindowLevel;
    QLineEdit* EditWindowWidth;
    QPushButton* ButtonDisp;
    QPushButton* ButtonAutoWL;
    QCheckBox* CheckBoxSwp;
    QCheckBox* CheckBoxInvrt;
    RadioGroup* RadioGroupRange;
    QLineEdit* EditROIPosX;
    QLineEdit* EditROIPosY;
    QLineEdit* EditROISizeX;
    QLineEdit* EditROISizeY;
    QLineEdit* EditAve;
    QLineEdit* EditSD;
    QLineEdit* EditMax;
    QLineEdit* EditMin;
    QPushButton* BitBtnLoad;
    QPushButton* ButtonToTable;
    QPushButton* ButtonFindObject;
    QPushButton* ButtonToForm2;
    QPushButton* ButtonStat;
    QPushButton* BitBtn1;
    StringGrid* StringGridDICOM;
    Memo* Memo_DICOMTag;
    QListWidget* ListBox1;
    QPushButton* ButtonFileList;
    QLineEdit* EditFileSize;
    QLineEdit* EditHeader;
    QLineEdit* EditFOVSize;
    QLineEdit* EditImgSizeX;
    QLineEdit* EditImgSizeY;
    QPushButton* ButtonRowCulm;
    QLineEdit* EditOffst;
    QLineEdit* EditPxlSpc;
    QLineEdit* EditImgSftX;
    QLineEdit* EditImgSftY;
    QLineEdit* EditFListNo;
    QMenu* PopupMenu1;
    QCheckBox* CheckBoxLockPara;
    QCheckBox* CheckBoxSign;
    QCheckBox* CheckBoxWide;
    QCheckBox* CheckBoxRoiSet;
    QRadioButton* RadioButtonSizeOrg;
    QRadioButton* RadioButtonSize512;

    // The file name the open dialog holds (the last one chosen in it).
    QString openDialogFileName;

    // Loads `path` as "⇒" loads a file chosen in the open dialog (a file
    // named on the command line, or dropped on the window); a failure is
    // shown as any action's.
    void OpenFile(const QString& path);

    // The one-click runs' start on a freshly loaded image: when neither a
    // ROI was chosen nor a table taken since loading, the ROI is set on the
    // first object `method` measures and its table taken. Returns whether it
    // did; fails with kObjectNotFound when the image shows none.
    bool findForFirstRun(MeasureMethod method);

    // Where the pixel spacing edit's value came from: the loaded file's
    // "imager" (0018,1164), "detector" (0018,7022) or "pixel" (0028,0030)
    // element, or "typed" (asked, kept from before, or changed since).
    std::string pixelSpacingSource() const;

    // Popup menu of the ROI size edits: runs its change notification, then
    // the item named `itemName` (e.g. "N1281"); false when there is no such item.
    bool popupChoose(const QString& itemName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What a load puts back when the file cannot be decoded.
    struct LoadBefore {
        QString fileName;
        QString sizeX;
        QString sizeY;
    };
    QString chooseLoadFile(const QString& previousFileName);
    std::vector<std::uint8_t> readLoadFile();
    std::optional<DicomLoad> prepareDicomLoad(const std::vector<std::uint8_t>& bytes,
                                              const LoadBefore& before);
    void takeLoadFile(std::vector<std::uint8_t>& bytes, std::optional<DicomLoad>& dicom);
    void showLoadedImage(const ImageLoad& load);
    void finishLoad(const ImageLoad& load);
    void buildControls();
    void RenderImage();
    void DrawRoiFrames();
    void ReadDicomHeader(DicomLoad& load);
    // A notice when the file's Imager Pixel Spacing and Pixel Spacing differ.
    void noticeSpacings();
    // The measurement's notices of the table the ROI transfer fills.
    // Returns what a report of the table's measurement warns about (the inversion).
    QStringList noticeTransfer(std::vector<std::int32_t>& values);
    MeasurementRecord tableSource(const QString& processed, const QStringList& warnings) const;
    void refreshImage1();
    void drawFrames();
    std::int32_t imageMode() const { return RadioGroupMode->itemIndex(); }
    SampleReader measurementReader() const;
    SampleLayout sampleLayout() const;
    DisplayWindow displayWindow() const;
    void roiSizeMenuItem(const QString& caption);
    void dragTo(int x, int y);
    void stepFileNumber(int from, int wheelDelta);
    void endDrag();
    void placeTable(bool large);
    SearchedImage searchedImage() const;
    std::array<QString, 4> roiTexts() const;
    void showFound(const RoiSetting& roi);
    void drawFoundFrames(const ViewRect& view);

    TForm2* form2_ = nullptr;
    // The file the next load takes instead of asking with the open dialog.
    std::optional<QString> fileToOpen_;
    QString tableStyle_;
    // The pixel spacing as the last load left it, and where it came from.
    struct LoadedSpacing {
        QString text;
        std::string source = "typed";
    };
    LoadedSpacing loadedSpacing_;
};

}  // namespace radmtf
