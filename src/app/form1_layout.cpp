// Builds the viewer window's controls with their names, captions and
// initial values.
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>

#include "app/form1.h"
#include "app/form3.h"
#include "app/layout_helpers.h"

namespace radmtf {

namespace {

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, int x, int y, int w,
                     bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(x, y, w, 18);
    box->setChecked(checked);
    return box;
}

// The start-up card: a sample edge profile and an MTF curve.
QImage TitlePicture()
{
    QImage image(512, 512, QImage::Format_RGB32);
    image.fill(QColor(16, 24, 40));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 90, 120), 1));
    for (int i = 0; i <= 10; ++i) {
        painter.drawLine(56, 96 + i * 32, 456, 96 + i * 32);
        painter.drawLine(56 + i * 40, 96, 56 + i * 40, 416);
    }
    QPainterPath lsf;
    QPainterPath mtf;
    for (int x = 0; x <= 400; ++x) {
        const double u = (x - 200) / 30.0;
        const double f = x / 400.0 * 5.0;
        const double sinc = f == 0 ? 1.0 : std::abs(std::sin(M_PI * 0.1 * f) / (M_PI * 0.1 * f));
        const QPointF p(56 + x, 416 - 300 * std::exp(-u * u / 2));
        const QPointF q(56 + x, 416 - 300 * std::exp(-2 * M_PI * M_PI * 0.0036 * f * f) * sinc);
        if (x == 0) {
            lsf.moveTo(p);
            mtf.moveTo(q);
        } else {
            lsf.lineTo(p);
            mtf.lineTo(q);
        }
    }
    painter.setPen(QPen(QColor(240, 80, 80), 3));
    painter.drawPath(lsf);
    painter.setPen(QPen(QColor(90, 200, 120), 3));
    painter.drawPath(mtf);
    painter.setPen(QColor(230, 230, 240));
    QFont font("sans", 30, QFont::Bold);
    painter.setFont(font);
    painter.drawText(QRect(0, 20, 512, 60), Qt::AlignCenter, "radmtf");
    painter.setFont(QFont("sans", 10));
    painter.drawText(QRect(0, 430, 512, 60), Qt::AlignCenter,
                     "Presampled MTF  /  DICOM and raw image viewer");
    return image;
}

}  // namespace

void TForm1::buildControls()
{
    setObjectName("Form1");
    setWindowTitle(tr("Viewer"));

    EditFileName = MakeEdit(this, "EditFileName", "FileName", 2, 0, 400, 19);
    EditMF = MakeEdit(this, "EditMF", "1.0", 406, 0, 36, 19);
    Button1 = MakeButton(this, "Button1", "+", 444, 0, 22, 19);
    Button2 = MakeButton(this, "Button2", "-", 467, 0, 22, 19);
    ButtonCW = MakeButton(this, "ButtonCW", "CW", 490, 0, 28, 19);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setGeometry(0, 20, 516, 516);
    auto* display = new QWidget;
    display->setFixedSize(512, 512);
    ScrollBox1->setWidget(display);
    ScrollBox1->setFrameShape(QFrame::Box);
    Image3 = new ImageControl(display, 512, 512);
    Image3->setObjectName("Image3");
    {
        QImage blank(512, 512, QImage::Format_Grayscale8);
        blank.fill(Qt::white);
        Image3->setPicture(blank);
    }
    Image2 = new ImageControl(display, 512, 512);
    Image2->setObjectName("Image2");
    Image2->setPicture(TitlePicture());
    Image1 = new ImageControl(display, 512, 512);
    Image1->setObjectName("Image1");

    // Right column.
    auto* readPanel = new QGroupBox(tr("Reading image file "), this);
    readPanel->setGeometry(522, 0, 190, 46);
    BitBtnLoad = MakeButton(readPanel, "BitBtnLoad", QString::fromUtf8("⇒"), 8, 17, 44, 24);
    ButtonFileList = MakeButton(readPanel, "ButtonFileList", tr("FileList"), 58, 17, 60, 24);
    ButtonToForm2 = MakeButton(readPanel, "ButtonToForm2", tr("Form2"), 124, 17, 58, 24);

    RadioGroupMode = new RadioGroup(tr("Mode"), {tr(" 8bit"), tr("16bit"), "DICOM"}, 3, this);
    RadioGroupMode->setObjectName("RadioGroupMode");
    RadioGroupMode->setGeometry(522, 48, 190, 40);
    RadioGroupMode->setItemIndex(2);

    Memo1 = new Memo(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(522, 90, 190, 96);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* windowing = new QGroupBox(tr("Windowing"), this);
    windowing->setGeometry(522, 188, 190, 124);
    MakeLabel(windowing, tr("Lebel"), 6, 18, 40);
    MakeLabel(windowing, tr("Width"), 6, 40, 40);
    EditWindowLevel = MakeEdit(windowing, "EditWindowLevel", "", 46, 16, 60);
    EditWindowWidth = MakeEdit(windowing, "EditWindowWidth", "", 46, 38, 60);
    ButtonDisp = MakeButton(windowing, "ButtonDisp", tr("Disp"), 112, 16, 70, 21);
    ButtonAutoWL = MakeButton(windowing, "ButtonAutoWL", tr("Auto"), 112, 38, 70, 21);
    CheckBoxSwp = MakeCheck(windowing, "CheckBoxSwp", tr("Swap"), 6, 60, 60, false);
    CheckBoxInvrt = MakeCheck(windowing, "CheckBoxInvrt", tr("Invert"), 70, 60, 70, false);
    RadioGroupRange = new RadioGroup(tr("Range"), {"1", "3", "10", "30"}, 4, windowing);
    RadioGroupRange->setObjectName("RadioGroupRange");
    RadioGroupRange->setGeometry(4, 78, 182, 42);
    RadioGroupRange->setItemIndex(1);

    auto* roiPanel = new QGroupBox("ROI", this);
    roiPanel->setGeometry(522, 314, 190, 112);
    MakeLabel(roiPanel, tr("Position"), 4, 18, 50);
    MakeLabel(roiPanel, tr("Size"), 4, 40, 50);
    MakeLabel(roiPanel, tr("Ave./SD"), 4, 62, 50);
    MakeLabel(roiPanel, tr("Max/Min"), 4, 84, 50);
    EditROIPosX = MakeEdit(roiPanel, "EditROIPosX", "64", 56, 16, 62);
    EditROIPosY = MakeEdit(roiPanel, "EditROIPosY", "64", 122, 16, 62);
    EditROISizeX = MakeEdit(roiPanel, "EditROISizeX", "64", 56, 38, 62);
    EditROISizeY = MakeEdit(roiPanel, "EditROISizeY", "64", 122, 38, 62);
    EditAve = MakeEdit(roiPanel, "EditAve", "", 56, 60, 62);
    EditSD = MakeEdit(roiPanel, "EditSD", "", 122, 60, 62);
    EditMax = MakeEdit(roiPanel, "EditMax", "", 56, 82, 62);
    EditMin = MakeEdit(roiPanel, "EditMin", "", 122, 82, 62);

    RadioGroupTool = new RadioGroup("", {"ROI", tr("Move"), tr("OFF"), tr("Home")}, 2, this);
    RadioGroupTool->setObjectName("RadioGroupTool");
    RadioGroupTool->setGeometry(522, 428, 190, 48);
    RadioGroupTool->setItemIndex(0);

    ButtonStat = MakeButton(this, "ButtonStat", tr("Stat"), 522, 480, 60, 23);
    ButtonCCW = MakeButton(this, "ButtonCCW", "CCW", 586, 480, 40, 23);
    ButtonVert = MakeButton(this, "ButtonVert", "V", 630, 480, 38, 23);
    ButtonHoriz = MakeButton(this, "ButtonHoriz", "H", 672, 480, 38, 23);
    ButtonTriming = MakeButton(this, "ButtonTriming", tr("Triming"), 522, 506, 92, 23);
    ButtonSaveBMP = MakeButton(this, "ButtonSaveBMP", tr("imgToCB"), 618, 506, 92, 23);
    MakeLabel(this, tr("Calculation"), 524, 536, 70);
    ButtonToTable = MakeButton(this, "ButtonToTable", tr("toMTF"), 596, 532, 70, 23);
    auto* toWS = MakeButton(this, "ButtonToWS", tr("toWS"), 670, 532, 40, 23);
    toWS->setEnabled(true);

    CheckBoxLockPara = MakeCheck(this, "CheckBoxLockPara", tr("LockPara"), 524, 560, 80, true);
    CheckBoxSign = MakeCheck(this, "CheckBoxSign", tr("Sign"), 606, 560, 50, false);
    CheckBoxWide = MakeCheck(this, "CheckBoxWide", tr("Wide"), 658, 560, 54, false);
    CheckBoxRoiSet = MakeCheck(this, "CheckBoxRoiSet", tr("Use"), 524, 580, 50, false);
    RadioButtonSizeOrg = new QRadioButton(tr("Org"), this);
    RadioButtonSizeOrg->setObjectName("RadioButtonSizeOrg");
    RadioButtonSizeOrg->setGeometry(580, 580, 50, 18);
    RadioButtonSizeOrg->setChecked(true);
    RadioButtonSize512 = new QRadioButton("512", this);
    RadioButtonSize512->setObjectName("RadioButtonSize512");
    RadioButtonSize512->setGeometry(634, 580, 50, 18);
    auto* smallMemo = new Memo(this);
    smallMemo->setObjectName("Memo2");
    smallMemo->setGeometry(524, 602, 100, 40);
    smallMemo->hide();  // unused; its place holds "Find"
    ButtonFindObject = MakeButton(this, "ButtonFindObject", tr("検出"), 524, 610, 100, 26);
    auto* dbGrid = new QTableView(this);
    dbGrid->setObjectName("DBGrid1");
    dbGrid->hide();

    BitBtn1 = MakeButton(this, "BitBtn1", tr("Close"), 632, 610, 78, 26);

    // Bottom area: the list box and the dictionary lie under the table.
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(0, 536, 258, 109);
    Memo_DICOMTag = new Memo(this);
    Memo_DICOMTag->setObjectName("Memo_DICOMTag");
    Memo_DICOMTag->setGeometry(258, 536, 258, 109);
    Memo_DICOMTag->setReadOnly(true);
    Memo_DICOMTag->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_DICOMTag->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGridDICOM = new StringGrid(17, 512, this);
    StringGridDICOM->setObjectName("StringGridDICOM");
    StringGridDICOM->setGeometry(0, 536, 516, 109);
    StringGridDICOM->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int widths[] = {32, 39, 39, 32, 36, 149, 160};
    for (int c = 0; c < 17; ++c) StringGridDICOM->setColumnWidth(c, c < 7 ? widths[c] : 32);
    StringGridDICOM->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StringGridDICOM->raise();

    MakeLabel(
        this,
        tr("File      Header      FOV       Colum      Row      Offset     Pixel    ShiftX ShiftY  FNo"), 4,
        646, 600);
    int x = 2;
    auto bottomEdit = [&](const char* name, const QString& text) {
        QLineEdit* edit = MakeEdit(this, name, text, x, 662, 50, 20);
        x += 52;
        return edit;
    };
    EditFileSize = bottomEdit("EditFileSize", "0");
    EditHeader = bottomEdit("EditHeader", "0");
    EditFOVSize = bottomEdit("EditFOVSize", "0");
    EditImgSizeX = bottomEdit("EditImgSizeX", "0");
    EditImgSizeY = bottomEdit("EditImgSizeY", "0");
    ButtonRowCulm = MakeButton(this, "ButtonRowCulm", QString::fromUtf8("⇔"), x, 662, 24, 20);
    x += 26;
    EditOffst = bottomEdit("EditOffst", "0");
    EditPxlSpc = bottomEdit("EditPxlSpc", "0");
    EditImgSftX = bottomEdit("EditImgSftX", "0");
    EditImgSftY = bottomEdit("EditImgSftY", "0");
    EditFListNo = bottomEdit("EditFListNo", "1");

    // The noise and DQE window, a window of its own that closes with this one.
    auto* noiseWindow = new TForm3(this);
    auto* toNoise = MakeButton(this, "ButtonToNoise", tr("ノイズ/DQE"), 606, 658, 104, 24);
    connect(toNoise, &QPushButton::clicked, noiseWindow, &TForm3::ShowWindow);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    const char* itemNames[] = {"N641", "N1281", "N2561", "N5121", "N10241", "N20481"};
    const char* captions[] = {"64", "128", "256", "512", "1024", "2048"};
    for (int i = 0; i < 6; ++i) {
        QAction* action = PopupMenu1->addAction(captions[i]);
        action->setObjectName(itemNames[i]);
    }
    for (QLineEdit* edit : {EditROISizeX, EditROISizeY}) edit->setContextMenuPolicy(Qt::CustomContextMenu);

    SetToolTips(
        this,
        {
            {"EditFileName", tr("表示しているファイルのパス")},
            {"EditMF", tr("表示倍率")},
            {"Button1", tr("表示倍率を 0.1 上げる (画像の上で Ctrl + ホイールでも)")},
            {"Button2", tr("表示倍率を 0.1 下げる (画像の上で Ctrl + ホイールでも)")},
            {"ButtonCW", tr("表示中の正方形の部分を時計回りに 90° 回す")},
            {"ButtonCCW", tr("表示中の正方形の部分を反時計回りに 90° 回す")},
            {"ButtonVert", tr("画像を上下に反転する")},
            {"ButtonHoriz", tr("画像を左右に反転する")},
            {"ButtonRowCulm", tr("列数と行数を入れ替える")},
            {"ScrollBox1",
             tr("画像: ROI ツールの左ドラッグで ROI を移動・変形、右ドラッグでウィンドウを変える")},
            {"Image1", tr("画像: ROI ツールの左ドラッグで ROI を移動・変形、右ドラッグでウィンドウを変える")},
            {"Image2", tr("画像: ROI ツールの左ドラッグで ROI を移動・変形、右ドラッグでウィンドウを変える")},
            {"Image3", tr("画像: ROI ツールの左ドラッグで ROI を移動・変形、右ドラッグでウィンドウを変える")},
            {"BitBtnLoad", tr("選んだ形式でファイルを開く")},
            {"ButtonFileList", tr("フォルダーのファイル一覧を作る (ホイールで順に表示)")},
            {"ButtonToForm2", tr("解析ウィンドウを表示する")},
            {"RadioGroupMode", tr("ファイルの形式: 8 ビット raw、16 ビット raw、DICOM")},
            {"Memo1", tr("DICOM ファイルの撮影条件の要約 (機種、kV、mAs など)")},
            {"EditWindowLevel", tr("ウィンドウレベル: 灰色の中央になる画素値")},
            {"EditWindowWidth", tr("ウィンドウ幅: 黒から白までの画素値の幅")},
            {"ButtonDisp", tr("入力した値で表示し直す")},
            {"ButtonAutoWL", tr("画像の中央部からウィンドウを決める")},
            {"CheckBoxSwp", tr("16 ビット画素のバイト順を入れ替える")},
            {"CheckBoxInvrt", tr("白黒を反転して表示する")},
            {"RadioGroupRange", tr("右ドラッグでウィンドウを変えるときの刻み")},
            {"EditROIPosX", tr("ROI の中心の列")},
            {"EditROIPosY", tr("ROI の中心の行")},
            {"EditROISizeX", tr("ROI の幅 (右クリックで正方形の大きさを選ぶ)")},
            {"EditROISizeY", tr("ROI の高さ (右クリックで正方形の大きさを選ぶ)")},
            {"EditAve", tr("ROI の平均値")},
            {"EditSD", tr("ROI の標準偏差")},
            {"EditMax", tr("ROI の最大値")},
            {"EditMin", tr("ROI の最小値")},
            {"RadioGroupTool", tr("左ボタンの働き: ROI の操作、表示の移動、ROI を隠す、倍率 1 に戻す")},
            {"ButtonStat", tr("ROI の統計を計算する")},
            {"ButtonTriming", tr("ROI の部分をヘッダーなしの 16 ビットファイルに保存する")},
            {"ButtonSaveBMP", tr("表示している画像をクリップボードにコピーする")},
            {"ButtonToTable", tr("ROI の画素値を解析ウィンドウに渡す")},
            {"ButtonFindObject", tr("画像の中のエッジ・スリット・チャートを探して ROI を置く (押すたびに次の候補)")},
            {"ButtonToWS", tr("使われていません")},
            {"CheckBoxLockPara", tr("使われていません")},
            {"CheckBoxSign", tr("使われていません (16 ビット画素は常に符号付き)")},
            {"CheckBoxWide", tr("使われていません")},
            {"CheckBoxRoiSet", tr("使われていません")},
            {"RadioButtonSizeOrg", tr("使われていません")},
            {"RadioButtonSize512", tr("使われていません")},
            {"Memo2", tr("使われていません")},
            {"BitBtn1", tr("プログラムを終了する")},
            {"ListBox1", tr("フォルダーのファイル一覧")},
            {"Memo_DICOMTag", tr("DICOM 辞書")},
            {"StringGridDICOM", tr("DICOM 要素の一覧 (ダブルクリックで拡大・縮小)")},
            {"EditFileSize", tr("ファイルの大きさ (バイト)")},
            {"EditHeader", tr("画素データの前のバイト数")},
            {"EditFOVSize", tr("DICOM の撮影視野")},
            {"EditImgSizeX", tr("画像の列数")},
            {"EditImgSizeY", tr("画像の行数")},
            {"EditOffst", tr("画素値に加える値 (rescale intercept)")},
            {"EditPxlSpc", tr("画素間隔 (mm)")},
            {"EditImgSftX", tr("表示の横方向のずれ")},
            {"EditImgSftY", tr("表示の縦方向のずれ")},
            {"EditFListNo", tr("ホイールで次に表示する一覧の番号")},
            {"ButtonToNoise", tr("ノイズと DQE のウィンドウを表示する")},
        });
}

}  // namespace radmtf
