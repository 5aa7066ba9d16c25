// Builds the analysis window's controls with their names, captions and
// initial values.
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>

#include "app/form2.h"
#include "app/language.h"
#include "app/layout_helpers.h"

namespace radmtf {

namespace {

Memo* MakeMemo(QWidget* parent, const char* name, int x, int y, int w, int h, bool blue)
{
    auto* memo = new Memo(parent);
    memo->setObjectName(name);
    memo->setGeometry(x, y, w, h);
    if (blue) memo->setStyleSheet("color: blue;");
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

// A marker drawn into a brush texture, for the point styles the chart
// component has no shape for.
QBrush MarkerBrush(int size, const QColor& line, const QColor& fill, bool diagonal)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (fill.isValid()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawEllipse(QRectF(size * 0.3, size * 0.3, size * 0.4, size * 0.4));
    }
    painter.setPen(QPen(line, 1.5));
    if (diagonal) {
        painter.drawLine(QPointF(1, 1), QPointF(size - 1, size - 1));
        painter.drawLine(QPointF(1, size - 1), QPointF(size - 1, 1));
    } else {
        painter.drawLine(QPointF(size / 2.0, 0), QPointF(size / 2.0, size));
        painter.drawLine(QPointF(0, size / 2.0), QPointF(size, size / 2.0));
    }
    return QBrush(image);
}

QScatterSeries* MakePoints(const char* name, QScatterSeries::MarkerShape shape, const QColor& color,
                           double size)
{
    auto* series = new QScatterSeries;
    series->setObjectName(name);
    series->setName(name);
    series->setMarkerShape(shape);
    series->setMarkerSize(size);
    series->setColor(color);
    return series;
}

QLineSeries* MakeLine(const char* name, const QColor& color)
{
    auto* series = new QLineSeries;
    series->setObjectName(name);
    series->setName(name);
    QPen pen(color);
    pen.setWidth(2);
    series->setPen(pen);
    return series;
}

QChartView* MakeChart(QWidget* parent, const char* name, const QString& title, const QString& bottomTitle,
                      const QString& leftTitle, bool logarithmic, const QList<QXYSeries*>& series)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* bottom = new QValueAxis;
    bottom->setLabelFormat("%g");
    bottom->setTitleText(bottomTitle);
    bottom->setObjectName("BottomAxis");
    chart->addAxis(bottom, Qt::AlignBottom);
    QAbstractAxis* left = nullptr;
    if (logarithmic) {
        auto* logAxis = new QLogValueAxis;
        logAxis->setBase(10);
        logAxis->setLabelFormat("%g");
        logAxis->setMinorTickCount(8);
        left = logAxis;
    } else {
        auto* valueAxis = new QValueAxis;
        valueAxis->setLabelFormat("%g");
        left = valueAxis;
    }
    left->setTitleText(leftTitle);
    left->setObjectName("LeftAxis");
    chart->addAxis(left, Qt::AlignLeft);
    for (QXYSeries* s : series) {
        chart->addSeries(s);
        s->attachAxis(bottom);
        s->attachAxis(left);
    }
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing, false);
    return view;
}

// The orientation pictures: a bar chart above, a slit below, tilted as the
// test object lies in each orientation.
QImage OrientationPicture(int button, bool slit)
{
    QImage image(105, 105, QImage::Format_RGB32);
    image.fill(QColor(230, 230, 230));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(52.5, 52.5);
    // Buttons 1 and 2 have nearly vertical lines, 3 and 4 nearly horizontal.
    const bool alongX = button == 1 || button == 2;
    // Positive turns clockwise: button 1's slit leans with its top to the
    // left, button 2's to the right, button 3's right end is lower, 4's higher.
    const double tilt = (button == 1 || button == 4) ? -6.0 : 6.0;
    painter.rotate(alongX ? tilt : 90.0 + tilt);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 30));
    if (slit) {
        painter.drawRect(QRectF(-1.5, -46, 3, 92));
    } else {
        double x = -46;
        double width = 8;
        while (x < 44 && width >= 1.5) {
            painter.drawRect(QRectF(x, -30, width, 60));
            x += 2 * width;
            width *= 0.8;
        }
    }
    painter.resetTransform();
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, 104, 104);
    painter.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

}  // namespace

void TForm2::buildControls()
{
    setObjectName("Form2");
    setWindowTitle(tr("Form2"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(0, 0, 704, 612);

    // Page 1: the pixel table.
    PixelValue = new QWidget;
    PixelValue->setObjectName("PixelValue");
    StringGrid1 = new StringGrid(257, 256, PixelValue);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setGeometry(2, 2, 694, 548);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ButtonToCB_SG = MakeButton(PixelValue, "ButtonToCB_SG", tr("toCB"), 4, 554, 60, 24);

    // Page 2: the composite profile.
    TabSheetPixelProf = new QWidget;
    TabSheetPixelProf->setObjectName("TabSheetPixelProf");
    Series1 = MakeLine("Series1", Qt::red);
    Series5 = MakePoints("Series5", QScatterSeries::MarkerShapeRectangle, Qt::blue, 8);
    Series5->setBrush(MarkerBrush(8, Qt::blue, QColor(), false));
    Series5->setPen(Qt::NoPen);
    Series6 = MakePoints("Series6", QScatterSeries::MarkerShapeRectangle, QColor(0, 255, 0), 8);
    Series6->setBrush(MarkerBrush(8, QColor(0, 255, 0), Qt::blue, true));
    Series6->setPen(Qt::NoPen);
    Series8 = MakePoints("Series8", QScatterSeries::MarkerShapeStar, QColor(0, 128, 0), 10);
    Series8->setBrush(Qt::red);
    Series8->setPen(QPen(QColor(0, 128, 0)));
    ChartPixelProf = MakeChart(TabSheetPixelProf, "ChartPixelProf", tr("Profile"), tr("Distance (mm)"),
                               tr("Pixel value"), false, {Series1, Series5, Series6, Series8});
    ChartPixelProf->setGeometry(0, 0, 698, 470);
    MemoWork = MakeMemo(TabSheetPixelProf, "MemoWork", 620, 8, 70, 36, false);
    MemoWork->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The internal names the memos start with are left out in English.
    if (!EnglishInterface()) MemoWork->setLines({"MemoWor", "k"});
    MemoWork->setReadOnly(true);
    ButtonPrfToCB = MakeButton(TabSheetPixelProf, "ButtonPrfToCB", tr("toCB"), 620, 48, 70, 22);
    CheckBoxSync = new QCheckBox(tr("Sync"), TabSheetPixelProf);
    CheckBoxSync->setObjectName("CheckBoxSync");
    CheckBoxSync->setGeometry(8, 476, 60, 18);
    EditSmth = MakeEdit(TabSheetPixelProf, "EditSmth", "1", 8, 498, 40);
    UpDownFlt = new UpDown(1, 200, 1, TabSheetPixelProf, EditSmth);
    UpDownFlt->setObjectName("UpDownFlt");
    UpDownFlt->move(49, 498);
    ButtonSmooth = MakeButton(TabSheetPixelProf, "ButtonSmooth", tr("Smooth"), 8, 524, 66, 24);
    MakeLabel(TabSheetPixelProf, tr("MA-Line#"), 84, 478, 70);
    EditMALine = MakeEdit(TabSheetPixelProf, "EditMALine", "", 84, 498, 44);
    UpDownMALine = new UpDown(1, 200, 17, TabSheetPixelProf);
    UpDownMALine->setObjectName("UpDownMALine");
    UpDownMALine->move(129, 498);
    Button2Dto1D = MakeButton(TabSheetPixelProf, "Button2Dto1D", tr("2Dto1D"), 84, 524, 66, 24);
    ButtonExtract = MakeButton(TabSheetPixelProf, "ButtonExtract", tr("Extract"), 160, 476, 66, 24);
    ButtonToExp = MakeButton(TabSheetPixelProf, "ButtonToExp", tr("ToExp"), 160, 504, 66, 24);
    MemoPRF = MakeMemo(TabSheetPixelProf, "MemoPRF", 236, 476, 220, 104, true);
    if (!EnglishInterface()) MemoPRF->setLines({"MemoPRF"});
    auto* panel2 = new QGroupBox(tr("SWC-Method"), TabSheetPixelProf);
    panel2->setObjectName("Panel2");
    panel2->setGeometry(466, 476, 120, 56);
    ButtonSWC = MakeButton(panel2, "ButtonSWC", tr("CalMTF"), 10, 22, 100, 26);

    // Page 3: the MTF.
    TabSheetMTF = new QWidget;
    TabSheetMTF->setObjectName("TabSheetMTF");
    Series4 = MakeLine("Series4", Qt::red);
    Series7 = MakePoints("Series7", QScatterSeries::MarkerShapeRectangle, QColor(0, 160, 0), 8);
    Series10 = MakePoints("Series10", QScatterSeries::MarkerShapeRectangle, Qt::yellow, 8);
    ChartMTF = MakeChart(TabSheetMTF, "ChartMTF", tr("MTF"), tr("Spatial frequency (cycles/mm)"), tr("MTF"),
                         false, {Series4, Series7, Series10});
    ChartMTF->setGeometry(0, 0, 698, 420);
    ChartMTF->chart()->setProperty(kAxisFromZero, true);
    MemoMTF = MakeMemo(TabSheetMTF, "MemoMTF", 4, 424, 150, 156, true);
    // Narrow tab stops, so the edge method's ± column shows beside f and MTF.
    MemoMTF->setTabStopDistance(40);
    MemoMTF2 = MakeMemo(TabSheetMTF, "MemoMTF2", 158, 424, 150, 156, true);
    MemoMTF3 = MakeMemo(TabSheetMTF, "MemoMTF3", 312, 424, 150, 156, true);
    RadioGroup2 = new RadioGroup(tr("Freqency"), {"2.0", "2.5", "3.0", "4.0", "5.0", "6.0"}, 3, TabSheetMTF);
    RadioGroup2->setObjectName("RadioGroup2");
    RadioGroup2->setGeometry(468, 424, 180, 62);
    MakeLabel(TabSheetMTF, tr("Power(n)"), 468, 494, 60);
    Editn = MakeEdit(TabSheetMTF, "Editn", "7", 530, 492, 36);
    UpDown1 = new UpDown(1, 15, 7, TabSheetMTF);
    UpDown1->setObjectName("UpDown1");
    UpDown1->move(567, 492);
    ButtonFitting = MakeButton(TabSheetMTF, "ButtonFitting", tr("Fitting"), 468, 520, 100, 26);

    // Page 4: the line spread function.
    TabSheetProfMTF = new QWidget;
    TabSheetProfMTF->setObjectName("TabSheetProfMTF");
    Series2 = MakeLine("Series2", QColor(0, 160, 0));
    Series3 = MakeLine("Series3", Qt::red);
    Series9 = MakePoints("Series9", QScatterSeries::MarkerShapeCircle, Qt::yellow, 9);
    Series9->setBorderColor(Qt::black);
    ChartLSF = MakeChart(TabSheetProfMTF, "ChartLSF", tr("Line spread function"), tr("Position (mm)"),
                         tr("Log Exposure"), true, {Series2, Series3, Series9});
    ChartLSF->setGeometry(0, 0, 698, 490);
    ButtonTrancation = MakeButton(TabSheetProfMTF, "ButtonTrancation", tr("Trancation"), 8, 498, 90, 26);
    MakeLabel(TabSheetProfMTF, "N / X / Y", 108, 500, 60);
    EditPosN = MakeEdit(TabSheetProfMTF, "EditPosN", "", 170, 498, 60);
    EditPosX = MakeEdit(TabSheetProfMTF, "EditPosX", "", 234, 498, 90);
    EditPosY = MakeEdit(TabSheetProfMTF, "EditPosY", "", 328, 498, 90);
    auto* panel3 = new QGroupBox(tr("Slit-Method"), TabSheetProfMTF);
    panel3->setObjectName("Panel3");
    panel3->setGeometry(430, 494, 120, 56);
    ButtonSlit = MakeButton(panel3, "ButtonSlit", tr("CalMTF"), 10, 22, 100, 26);
    EditNDLSF = MakeEdit(TabSheetProfMTF, "EditNDLSF", "", 560, 498, 70);

    PageControl1->addTab(PixelValue, tr("PixelValue"));
    PageControl1->addTab(TabSheetPixelProf, tr("Profile"));
    PageControl1->addTab(TabSheetMTF, tr("MTF"));
    PageControl1->addTab(TabSheetProfMTF, tr("LSF"));
    buildEdgePage();
    PageControl1->setCurrentWidget(TabSheetPixelProf);

    // Settings column.
    const int sx = 710;
    MakeLabel(this, tr("PixelDist"), sx, 6, 90);
    EditPxlSpc = MakeEdit(this, "EditPxlSpc", "0.1", sx + 96, 4, 100);
    MakeLabel(this, tr("Log(Exp.Area)"), sx, 30, 90);
    EditL = MakeEdit(this, "EditL", "4", sx + 96, 28, 100);
    MakeLabel(this, tr("BitsStored"), sx, 54, 90);
    EditBit = MakeEdit(this, "EditBit", "12", sx + 96, 52, 100);
    CheckBoxUseHDC = new QCheckBox(tr("UseHDC"), this);
    CheckBoxUseHDC->setObjectName("CheckBoxUseHDC");
    CheckBoxUseHDC->setGeometry(sx, 78, 90, 18);
    CheckBoxSuso = new QCheckBox(tr("Trancation"), this);
    CheckBoxSuso->setObjectName("CheckBoxSuso");
    CheckBoxSuso->setGeometry(sx + 96, 78, 100, 18);
    Memo1 = MakeMemo(this, "Memo1", sx, 100, 196, 80, false);
    if (!EnglishInterface()) Memo1->setLines({"Memo1", " "});
    ButtonForm1 = MakeButton(this, "ButtonForm1", tr("ToForm1"), sx, 184, 196, 24);

    RadioGroupEquip = new RadioGroup(
        tr("Equip."),
        {tr("0.1mm       10bit   L4.0"), tr("0.0875mm   12bit  L4.0"), tr("0.1mm       12bit   L4.0   ")}, 1,
        this);
    RadioGroupEquip->setObjectName("RadioGroupEquip");
    RadioGroupEquip->setGeometry(sx, 212, 196, 80);
    {
        const QSignalBlocker blocker(RadioGroupEquip);
        RadioGroupEquip->setItemIndex(0);
    }
    CheckBoxSwapRC = new QCheckBox(tr("swapX/Y"), this);
    CheckBoxSwapRC->setObjectName("CheckBoxSwapRC");
    CheckBoxSwapRC->setGeometry(sx, 296, 100, 18);

    Panel1 = new QGroupBox(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(sx, 318, 196, 268);
    MakeLabel(Panel1, tr("SWC"), 6, 4, 40);
    MakeLabel(Panel1, tr("SLIT"), 6, 136, 40);
    ImageControl** pictures[] = {&Image1, &Image2, &Image3, &Image4, &Image5, &Image6, &Image7, &Image8};
    for (int i = 0; i < 8; ++i) {
        const int button = i % 4 + 1;
        const bool slit = i >= 4;
        auto* picture = new ImageControl(Panel1, 105, 105);
        picture->setObjectName(QString("Image%1").arg(i + 1));
        picture->move(45, slit ? 150 : 22);
        picture->setPicture(OrientationPicture(button, slit));
        *pictures[i] = picture;
    }
    RadioButton1 = new QRadioButton("1", Panel1);
    RadioButton2 = new QRadioButton("2", Panel1);
    RadioButton3 = new QRadioButton("3", Panel1);
    RadioButton4 = new QRadioButton("4", Panel1);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton2->setObjectName("RadioButton2");
    RadioButton3->setObjectName("RadioButton3");
    RadioButton4->setObjectName("RadioButton4");
    RadioButton1->setGeometry(156, 22, 36, 18);   // upper right
    RadioButton2->setGeometry(156, 236, 36, 18);  // lower right
    RadioButton3->setGeometry(4, 236, 36, 18);    // lower left
    RadioButton4->setGeometry(4, 22, 36, 18);     // upper left

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setGeometry(0, 614, 916, 20);
    for (int width : {100, 100, 50}) {
        auto* panel = new QLabel(StatusBar1);
        panel->setFixedWidth(width);
        StatusBar1->addWidget(panel);
    }

    // Controls beneath the page control (no user-facing role).
    RadioGroup1 =
        new RadioGroup(tr("Image"), {tr("Slt_XCW"), tr("Slt_YCW"), tr("Slt_XCCW"), tr("Slt_YCCW")}, 1, this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setGeometry(20, 60, 120, 90);
    EditWdth = MakeEdit(this, "EditWdth", "", 20, 160, 40);
    UpDownWdth = new UpDown(1, 200, 12, this);
    UpDownWdth->setObjectName("UpDownWdth");
    UpDownWdth->move(61, 160);
    EditStrt = MakeEdit(this, "EditStrt", "", 20, 186, 40);
    UpDownStrt = new UpDown(1, 100, 1, this);
    UpDownStrt->setObjectName("UpDownStrt");
    UpDownStrt->move(61, 186);
    EditBaseL = MakeEdit(this, "EditBaseL", "", 20, 212, 40);
    UpDownBaseL = new UpDown(0, 100, 0, this);
    UpDownBaseL->setObjectName("UpDownBaseL");
    UpDownBaseL->move(61, 212);
    EditBaseR = MakeEdit(this, "EditBaseR", "", 90, 212, 40);
    UpDownBaseR = new UpDown(0, 100, 0, this);
    UpDownBaseR->setObjectName("UpDownBaseR");
    UpDownBaseR->move(131, 212);
    EditROIX = MakeEdit(this, "EditROIX", "", 20, 238, 40);
    EditPrfPk = MakeEdit(this, "EditPrfPk", "7", 20, 264, 40);
    UpDownn = new UpDown(0, 21, 7, this);
    UpDownn->setObjectName("UpDownn");
    UpDownn->move(61, 264);
    PageControl1->raise();
    StatusBar1->raise();
    buildResultControls();

    SetToolTips(
        this,
        {
            {"StringGrid1", tr("ROI の画素値の表")},
            {"ButtonToCB_SG", tr("画素値の表をクリップボードにコピーする")},
            {"ChartPixelProf", tr("合成プロファイル (右クリックで保存・コピー)")},
            {"MemoWork", tr("クリックでプロファイルの点数を表示する")},
            {"ButtonPrfToCB", tr("プロファイルをクリップボードにコピーする")},
            {"CheckBoxSync", tr("平滑化の幅を MA-Line# に合わせる")},
            {"EditSmth", tr("平滑化 (移動平均) の幅")},
            {"UpDownFlt", tr("平滑化の幅を増減する")},
            {"ButtonSmooth", tr("プロファイルを平滑化して表示する")},
            {"EditMALine", tr("MA-Line#: スリットやチャートが 1 画素ずれるまでの行数")},
            {"UpDownMALine", tr("MA-Line# を増減してプロファイルを作り直す")},
            {"Button2Dto1D", tr("画素値の表から細かく標本化したプロファイルを作る")},
            {"ButtonExtract", tr("平坦な両端を切り、2048 点以下に間引く")},
            {"ButtonToExp", tr("プロファイルを露光量に変換して LSF を表示する")},
            {"MemoPRF", tr("抽出したプロファイルの一覧")},
            {"ButtonSWC", tr("矩形波チャート法で MTF を計算する")},
            {"ChartMTF", tr("MTF (右クリックで保存・コピー・レポート)")},
            {"MemoMTF", tr("スリット法またはフィッティングの MTF (右クリックで CSV に保存)")},
            {"MemoMTF2", tr("矩形波チャート法の MTF (右クリックで CSV に保存)")},
            {"MemoMTF3", tr("フィッティングした MTF の細かい表 (右クリックで CSV に保存)")},
            {"RadioGroup2", tr("フィッティングする周波数の上限")},
            {"Editn", tr("フィッティングする多項式の次数")},
            {"UpDown1", tr("多項式の次数を増減する")},
            {"ButtonFitting", tr("測定した MTF に多項式を当てはめる")},
            {"ChartLSF", tr("LSF (点をクリックすると裾の外挿開始点になる; 右クリックで保存・コピー)")},
            {"ButtonTrancation", tr("LSF の両裾を指数関数で置き換える")},
            {"EditPosN", tr("選んだ点の番号")},
            {"EditPosX", tr("選んだ点の位置 (mm)")},
            {"EditPosY", tr("選んだ点の値")},
            {"ButtonSlit", tr("スリット法で MTF を計算する")},
            {"EditNDLSF", tr("LSF の点数")},
            {"EditPxlSpc", tr("画素間隔 (mm)")},
            {"EditL", tr("L: 画素値の全範囲が表す露光量の桁数")},
            {"EditBit", tr("BitsStored: 画素値のビット数")},
            {"CheckBoxUseHDC", tr("画像と同じフォルダーの hdc.txt (特性曲線) で露光量に変換する")},
            {"CheckBoxSuso", tr("使われていません")},
            {"Memo1", tr("特性曲線ファイルの内容")},
            {"ButtonForm1", tr("ビューアウィンドウを表示する")},
            {"RadioGroupEquip", tr("装置の設定 (画素間隔、ビット数、L) をまとめて選ぶ")},
            {"CheckBoxSwapRC", tr("画素値の表を行と列を入れ替えてコピーする")},
            {"RadioButton1", tr("向き 1: スリットとチャートに共通 (線はほぼ縦、下の行ほど右へ)")},
            {"RadioButton2", tr("向き 2: スリットとチャートに共通 (線はほぼ縦、下の行ほど左へ)")},
            {"RadioButton3", tr("向き 3: スリットとチャートに共通 (線はほぼ横、右の列ほど下へ)")},
            {"RadioButton4", tr("向き 4: スリットとチャートに共通 (線はほぼ横、右の列ほど上へ)")},
            {"MemoSummary",
             tr("MTF50、MTF10: MTF が 0.5、0.1 に下がる周波数 (cycles/mm)、Nyq.: ナイキスト周波数での MTF")},
            {"ButtonReport", tr("測定の 1 ページの PDF レポートを保存する")},
            {"RadioGroup1", tr("使われていません")},
            {"EditWdth", tr("使われていません")},
            {"EditStrt", tr("使われていません")},
            {"EditBaseL", tr("使われていません")},
            {"EditBaseR", tr("使われていません")},
            {"EditROIX", tr("使われていません")},
            {"EditPrfPk", tr("使われていません")},
            {"UpDownWdth", tr("使われていません")},
            {"UpDownStrt", tr("使われていません")},
            {"UpDownBaseL", tr("使われていません")},
            {"UpDownBaseR", tr("使われていません")},
            {"UpDownn", tr("使われていません")},
        });
    for (int i = 1; i <= 8; ++i)
        findChild<QWidget*>(QString("Image%1").arg(i))
            ->setToolTip(tr("選んだ向きのチャート (上) とスリット (下)"));
}

// Page 5: the edge method, its ESF and LSF charts and its settings. The
// MTF goes to the MTF page like the other methods' results.
void TForm2::buildEdgePage()
{
    TabSheetEdge = new QWidget;
    TabSheetEdge->setObjectName("TabSheetEdge");
    SeriesESF = MakeLine("SeriesESF", Qt::blue);
    ChartESF = MakeChart(TabSheetEdge, "ChartESF", tr("Edge spread function"), tr("Position (mm)"),
                         tr("Exposure"), false, {SeriesESF});
    ChartESF->setGeometry(0, 0, 698, 250);
    SeriesEdgeLSF = MakeLine("SeriesEdgeLSF", Qt::red);
    ChartEdgeLSF = MakeChart(TabSheetEdge, "ChartEdgeLSF", tr("Line spread function"), tr("Position (mm)"),
                             tr("LSF"), false, {SeriesEdgeLSF});
    ChartEdgeLSF->setGeometry(0, 250, 698, 236);

    auto* panel = new QGroupBox(tr("Edge-Method"), TabSheetEdge);
    panel->setObjectName("PanelEdge");
    panel->setGeometry(8, 492, 120, 56);
    ButtonEdge = MakeButton(panel, "ButtonEdge", tr("CalMTF"), 10, 22, 100, 26);
    MakeLabel(TabSheetEdge, tr("Angle(deg)"), 140, 496, 70);
    EditEdgeAngle = MakeEdit(TabSheetEdge, "EditEdgeAngle", "", 140, 514, 70);
    EditEdgeAngle->setReadOnly(true);

    // Settings: label above edit, two rows of four.
    struct Setting {
        QLineEdit** edit;
        const char* name;
        const char* label;
        const char* text;
    };
    const Setting settings[] = {
        {&EditEdgeBin, "EditEdgeBin", QT_TR_NOOP("Bin(pixel)"), "0.1"},
        {&EditEdgeLsfWidth, "EditEdgeLsfWidth", QT_TR_NOOP("LSF±(mm)"), "2.5"},
        {&EditEdgeTaper, "EditEdgeTaper", QT_TR_NOOP("Taper"), "0.5"},
        {&EditEdgeCore, "EditEdgeCore", QT_TR_NOOP("Core±(mm)"), "1"},
        {&EditEdgeCutoff, "EditEdgeCutoff", QT_TR_NOOP("Tail fc(c/mm)"), "2"},
        {&EditEdgeSmoothing, "EditEdgeSmoothing", QT_TR_NOOP("Smooth(c/mm)"), "0"},
        {&EditEdgeAdaptive, "EditEdgeAdaptive", QT_TR_NOOP("Adaptive"), "0"},
        {&EditEdgeReach, "EditEdgeReach", QT_TR_NOOP("Reach×"), "3"},
    };
    for (int i = 0; i < 8; ++i) {
        const int x = 228 + (i % 4) * 96;
        const int y = 490 + (i / 4) * 44;
        MakeLabel(TabSheetEdge, tr(settings[i].label), x, y, 92);
        *settings[i].edit = MakeEdit(TabSheetEdge, settings[i].name, settings[i].text, x, y + 18, 80);
    }
    PageControl1->addTab(TabSheetEdge, tr("Edge"));
    SetToolTips(this,
                {
                    {"ChartESF", tr("エッジ広がり関数 (右クリックで保存・コピー)")},
                    {"ChartEdgeLSF", tr("ESF を微分した LSF (右クリックで保存・コピー)")},
                    {"ButtonEdge", tr("エッジ法で MTF を計算する")},
                    {"EditEdgeAngle", tr("推定したエッジの傾き (度)")},
                    {"EditEdgeBin", tr("ESF のビン幅 (画素)")},
                    {"EditEdgeLsfWidth", tr("使う LSF の範囲: エッジから ± この距離 (mm)")},
                    {"EditEdgeTaper", tr("LSF の窓の外側でコサインで減衰させる割合 (0～1)")},
                    {"EditEdgeCore", tr("すべての周波数で全重みで数える LSF の範囲 ± (mm); 0 で全範囲")},
                    {"EditEdgeCutoff", tr("芯の外の LSF の重みを半分にする周波数 (cycles/mm)")},
                    {"EditEdgeSmoothing", tr("MTF を平均する周波数の幅 (cycles/mm); 0 で平均しない")},
                    {"EditEdgeAdaptive", tr("周波数 f で ± C / f mm の LSF を使う窓の C; 0 で使わない")},
                    {"EditEdgeReach", tr("LSF の窓を LSF の届く距離のこの倍にする; 0 で LSF の範囲全体")},
                });
}

}  // namespace radmtf
