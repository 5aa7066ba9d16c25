// Builds the noise and DQE window's controls with their names, captions and
// initial values.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>

#include "app/form3.h"
#include "app/layout_helpers.h"

namespace radmtf {

namespace {

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

RadioGroup* Radios(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                   int columns, int index)
{
    auto* group = new RadioGroup(caption, items, columns, parent);
    group->setObjectName(name);
    group->setItemIndex(index);
    return group;
}

QLineSeries* Line(const char* name, const QString& legend, const QColor& colour)
{
    auto* series = new QLineSeries;
    series->setObjectName(name);
    series->setName(legend);
    QPen pen(colour);
    pen.setWidth(2);
    series->setPen(pen);
    return series;
}

// A chart of the u and v curves against frequency; the NNPS on a log axis.
QChartView* Chart(QWidget* parent, const char* name, const QString& title, const QString& leftTitle,
                  bool logarithmic, const QList<QLineSeries*>& series)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* bottom = new QValueAxis;
    bottom->setLabelFormat("%g");
    bottom->setTitleText(TForm3::tr("空間周波数 (cycles/mm)"));
    chart->addAxis(bottom, Qt::AlignBottom);
    QAbstractAxis* left = nullptr;
    if (logarithmic) {
        auto* axis = new QLogValueAxis;
        axis->setBase(10);
        axis->setLabelFormat("%g");
        axis->setMinorTickCount(8);
        left = axis;
    } else {
        auto* axis = new QValueAxis;
        axis->setLabelFormat("%g");
        left = axis;
    }
    left->setTitleText(leftTitle);
    chart->addAxis(left, Qt::AlignLeft);
    for (QLineSeries* s : series) {
        chart->addSeries(s);
        s->attachAxis(bottom);
        s->attachAxis(left);
    }
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setMinimumHeight(260);
    return view;
}

StringGrid* Grid(QWidget* parent, const char* name, int columns)
{
    auto* grid = new StringGrid(columns, 1, parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->setDefaultSectionSize(88);
    grid->setFixedHeight(170);
    return grid;
}

Memo* Notes(QWidget* parent, const char* name)
{
    auto* memo = new Memo(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setFixedHeight(170);
    return memo;
}

// A page: its buttons in a row, the chart, then the table beside the notes.
QWidget* Page(const char* name, const QList<QPushButton*>& buttons, QChartView* chart, StringGrid* grid,
              Memo* memo)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* column = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons) row->addWidget(b);
    row->addStretch();
    column->addLayout(row);
    column->addWidget(chart, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(grid, 3);
    bottom->addWidget(memo, 2);
    column->addLayout(bottom);
    for (QWidget* w : std::initializer_list<QWidget*>{chart, grid, memo}) w->setParent(page);
    for (QPushButton* b : buttons) b->setParent(page);
    return page;
}

}  // namespace

void TForm3::buildControls()
{
    setObjectName("Form3");
    setWindowTitle(tr("ノイズと DQE"));
    auto* left = new QVBoxLayout;

    auto* flats = new QGroupBox(tr("平坦画像"), this);
    auto* flatsColumn = new QVBoxLayout(flats);
    ListFlats = new QListWidget(flats);
    ListFlats->setObjectName("ListFlats");
    ListFlats->setSelectionMode(QAbstractItemView::ExtendedSelection);
    flatsColumn->addWidget(ListFlats);
    auto* flatButtons = new QHBoxLayout;
    ButtonAddFiles = Button(flats, "ButtonAddFiles", tr("ファイルを追加"));
    ButtonAddFolder = Button(flats, "ButtonAddFolder", tr("フォルダーを追加"));
    ButtonRemove = Button(flats, "ButtonRemove", tr("削除"));
    ButtonClear = Button(flats, "ButtonClear", tr("すべて削除"));
    for (QPushButton* b : {ButtonAddFiles, ButtonAddFolder, ButtonRemove, ButtonClear})
        flatButtons->addWidget(b);
    flatsColumn->addLayout(flatButtons);
    left->addWidget(flats, 1);

    auto* conversion = new QGroupBox(tr("変換関数 (画素値 → 空気カーマ)"), this);
    auto* grid = new QGridLayout(conversion);
    RadioGroupConversion =
        Radios(conversion, "RadioGroupConversion", QString(),
               {tr("モデル"), tr("線形"), tr("対数"), tr("特性曲線"), tr("ファイル")}, 5, 0);
    grid->addWidget(RadioGroupConversion, 0, 0, 1, 4);
    EditLatitude = Edit(conversion, "EditLatitude", "4");
    EditBits = Edit(conversion, "EditBits", "12");
    EditConvA = Edit(conversion, "EditConvA", "");
    EditConvB = Edit(conversion, "EditConvB", "");
    EditConvKref = Edit(conversion, "EditConvKref", "");
    EditConvFile = Edit(conversion, "EditConvFile", "");
    ButtonConvFile = Button(conversion, "ButtonConvFile", tr("参照…"));
    const auto labelled = [&](int row, int column, const QString& caption, QWidget* control) {
        grid->addWidget(new QLabel(caption, conversion), row, column);
        grid->addWidget(control, row, column + 1);
    };
    labelled(1, 0, tr("L (桁)"), EditLatitude);
    labelled(1, 2, tr("BitsStored"), EditBits);
    labelled(2, 0, tr("オフセット / C0"), EditConvA);
    labelled(2, 2, tr("ゲイン / C1"), EditConvB);
    labelled(3, 0, tr("KREF (µGy)"), EditConvKref);
    grid->addWidget(new QLabel(tr("ファイル"), conversion), 4, 0);
    grid->addWidget(EditConvFile, 4, 1, 1, 2);
    grid->addWidget(ButtonConvFile, 4, 3);
    left->addWidget(conversion);

    auto* common = new QGridLayout;
    EditPixelSpacing = Edit(this, "EditPixelSpacing", "");
    EditKerma = Edit(this, "EditKerma", "");
    common->addWidget(new QLabel(tr("画素間隔 (mm)"), this), 0, 0);
    common->addWidget(EditPixelSpacing, 0, 1);
    common->addWidget(new QLabel(tr("空気カーマ K (µGy)"), this), 1, 0);
    common->addWidget(EditKerma, 1, 1);
    left->addLayout(common);

    auto* mtf = new QGroupBox(tr("DQE の MTF と線質"), this);
    auto* mtfGrid = new QGridLayout(mtf);
    const QStringList sources = {tr("MTF ファイル"), tr("エッジ画像"), tr("解析ウィンドウの MTF")};
    RadioGroupMtfU = Radios(mtf, "RadioGroupMtfU", tr("MTF u"), sources, 3, 0);
    RadioGroupMtfV = Radios(mtf, "RadioGroupMtfV", tr("MTF v"), sources, 3, 0);
    EditMtfU = Edit(mtf, "EditMtfU", "");
    EditMtfV = Edit(mtf, "EditMtfV", "");
    ButtonMtfU = Button(mtf, "ButtonMtfU", tr("参照…"));
    ButtonMtfV = Button(mtf, "ButtonMtfV", tr("参照…"));
    mtfGrid->addWidget(RadioGroupMtfU, 0, 0, 1, 2);
    mtfGrid->addWidget(EditMtfU, 1, 0);
    mtfGrid->addWidget(ButtonMtfU, 1, 1);
    mtfGrid->addWidget(RadioGroupMtfV, 2, 0, 1, 2);
    mtfGrid->addWidget(EditMtfV, 3, 0);
    mtfGrid->addWidget(ButtonMtfV, 3, 1);
    RadioGroupQuality = Radios(mtf, "RadioGroupQuality", tr("線質"), {"RQA3", "RQA5", "RQA7", "RQA9"}, 4, 1);
    mtfGrid->addWidget(RadioGroupQuality, 4, 0, 1, 2);
    RadioGroupSnr = Radios(mtf, "RadioGroupSnr", tr("SNR²_in"),
                           {tr("2015 年版の表"), tr("2003 年版の表"), tr("入力")}, 3, 0);
    mtfGrid->addWidget(RadioGroupSnr, 5, 0, 1, 2);
    EditSnr2 = Edit(mtf, "EditSnr2", "");
    mtfGrid->addWidget(EditSnr2, 6, 0, 1, 2);
    left->addWidget(mtf);

    SeriesNnpsU = Line("SeriesNnpsU", "u", QColor(0, 80, 200));
    SeriesNnpsV = Line("SeriesNnpsV", "v", QColor(200, 40, 0));
    ChartNnps = Chart(this, "ChartNnps", tr("NNPS"), tr("NNPS (mm²)"), true, {SeriesNnpsU, SeriesNnpsV});
    ButtonNnps = Button(this, "ButtonNnps", tr("NNPS"));
    ButtonNnpsCsv = Button(this, "ButtonNnpsCsv", tr("CSV 保存"));
    ButtonNnpsReport = Button(this, "ButtonNnpsReport", tr("報告書 PDF"));
    ButtonNnpsImage = Button(this, "ButtonNnpsImage", tr("2 次元 NNPS の PNG"));
    GridNnps = Grid(this, "GridNnps", 5);
    MemoNnps = Notes(this, "MemoNnps");
    SeriesDqeU = Line("SeriesDqeU", "u", QColor(0, 80, 200));
    SeriesDqeV = Line("SeriesDqeV", "v", QColor(200, 40, 0));
    ChartDqe = Chart(this, "ChartDqe", tr("DQE"), tr("DQE"), false, {SeriesDqeU, SeriesDqeV});
    ButtonDqe = Button(this, "ButtonDqe", tr("DQE"));
    ButtonDqeCsv = Button(this, "ButtonDqeCsv", tr("CSV 保存"));
    ButtonDqeReport = Button(this, "ButtonDqeReport", tr("報告書 PDF"));
    GridDqe = Grid(this, "GridDqe", 7);
    MemoDqe = Notes(this, "MemoDqe");

    PageControlNoise = new QTabWidget(this);
    PageControlNoise->setObjectName("PageControlNoise");
    PageControlNoise->addTab(
        Page("TabSheetNnps", {ButtonNnps, ButtonNnpsCsv, ButtonNnpsReport, ButtonNnpsImage}, ChartNnps,
             GridNnps, MemoNnps),
        tr("NNPS"));
    PageControlNoise->addTab(
        Page("TabSheetDqe", {ButtonDqe, ButtonDqeCsv, ButtonDqeReport}, ChartDqe, GridDqe, MemoDqe),
        tr("DQE"));

    auto* whole = new QHBoxLayout(this);
    whole->addLayout(left, 0);
    whole->addWidget(PageControlNoise, 1);
    resize(1100, 720);

    SetToolTips(
        this,
        {
            {"ListFlats", tr("NNPS と DQE に使う平坦画像 (同じ大きさと画素間隔)")},
            {"ButtonAddFiles", tr("平坦画像のファイルを一覧に加える")},
            {"ButtonAddFolder", tr("選んだファイルのフォルダーにあるすべてのファイルを加える")},
            {"ButtonRemove", tr("選んだファイルを一覧から外す")},
            {"ButtonClear", tr("一覧を空にする")},
            {"RadioGroupConversion", tr("画素値を空気カーマに変換する関数")},
            {"EditLatitude", tr("モデル: 画素値の範囲が表す露光量の桁数 L")},
            {"EditBits", tr("モデル: BitsStored B")},
            {"EditConvA", tr("線形: PV = OFFSET + GAIN K の OFFSET、対数: PV = C0 + C1 log10(K/KREF) の C0")},
            {"EditConvB", tr("線形の GAIN、対数の C1")},
            {"EditConvKref", tr("対数の KREF (空欄: 1 µGy)")},
            {"EditConvFile", tr("特性曲線ファイル、または conversion で測った変換関数のファイル")},
            {"ButtonConvFile", tr("変換関数のファイルを選ぶ")},
            {"EditPixelSpacing", tr("画素間隔 (mm、空欄: ファイルの値)")},
            {"EditKerma", tr("検出器面の空気カーマ (µGy、DQE には必須)")},
            {"PageControlNoise", tr("NNPS と DQE のページ")},
            {"RadioGroupMtfU",
             tr("u 方向の MTF: measure の CSV/JSON、縦のエッジの画像、または解析ウィンドウの最後の測定")},
            {"RadioGroupMtfV",
             tr("v 方向の MTF: measure の CSV/JSON、横のエッジの画像、または解析ウィンドウの最後の測定")},
            {"EditMtfU", tr("u 方向の MTF のファイル (空欄: なし)")},
            {"EditMtfV", tr("v 方向の MTF のファイル (空欄: なし)")},
            {"ButtonMtfU", tr("u 方向の MTF のファイルを選ぶ")},
            {"ButtonMtfV", tr("v 方向の MTF のファイルを選ぶ")},
            {"RadioGroupQuality", tr("線質 (SNR²_in の表の行)")},
            {"RadioGroupSnr", tr("SNR²_in: IEC 62220-1-1 の表の版、または入力した値")},
            {"EditSnr2", tr("入力する SNR²_in (1/(mm²·µGy))")},
            {"ButtonNnps", tr("平坦画像の NNPS を測る")},
            {"ButtonNnpsCsv", tr("NNPS を measure nnps と同じ CSV で保存する")},
            {"ButtonNnpsReport", tr("NNPS の報告書を PDF で保存する")},
            {"ButtonNnpsImage", tr("2 次元 NNPS を PNG で保存する")},
            {"ChartNnps", tr("u と v の NNPS")},
            {"GridNnps", tr("NNPS の値と標準不確かさ")},
            {"MemoNnps", tr("平均信号、ROI と画素の数、警告")},
            {"ButtonDqe", tr("平坦画像と MTF から DQE を求める")},
            {"ButtonDqeCsv", tr("DQE を measure dqe と同じ CSV で保存する")},
            {"ButtonDqeReport", tr("DQE の報告書を PDF で保存する")},
            {"ChartDqe", tr("u と v の DQE")},
            {"GridDqe", tr("MTF、NNPS と DQE の値")},
            {"MemoDqe", tr("SNR²_in、q、使ったエッジ画像、警告")},
        });
}

}  // namespace radmtf
