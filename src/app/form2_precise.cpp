// Automatic geometry, the precise slit and chart modes and the one-click
// runs of the analysis window. The kernels live in precise/; these handlers
// read the controls, call them and show the results.
#include <QCheckBox>
#include <QtCharts/QLineSeries>

#include "analysis/exposure.h"
#include "analysis/pixel_table.h"
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/kernel_output.h"
#include "app/layout_helpers.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "app/window_numbers.h"
#include "core/failure.h"
#include "measure/measurement.h"
#include "measure/precise_steps.h"

namespace radmtf {

namespace {

QList<QPointF> PointsOf(const std::vector<PreciseMtfPoint>& points)
{
    QList<QPointF> list;
    for (const PreciseMtfPoint& p : points) list.append(QPointF(p.frequency, p.mtf));
    return list;
}

QList<QPointF> PointsOf(const std::vector<std::pair<double, double>>& points)
{
    QList<QPointF> list;
    for (const auto& [x, y] : points)
        if (y > 0) list.append(QPointF(x, y));  // the LSF chart's axis is logarithmic
    return list;
}

QStringList LinesOf(const std::vector<PreciseMtfPoint>& points)
{
    QStringList list;
    for (const std::string& line : PreciseMtfLines(points)) list.append(QString::fromStdString(line));
    return list;
}

}  // namespace

void TForm2::buildPreciseControls()
{
    // Below the MA-Line# group: the button and the estimate it shows.
    ButtonAutoGeometry = MakeButton(TabSheetPixelProf, "ButtonAutoGeometry", tr("Auto"), 8, 552, 50, 24);
    EditAutoGeometry = MakeEdit(TabSheetPixelProf, "EditAutoGeometry", "", 62, 553, 168);
    EditAutoGeometry->setReadOnly(true);
    // Below ToExp.
    ComboConversion = new QComboBox(TabSheetPixelProf);
    ComboConversion->setObjectName("ComboConversion");
    ComboConversion->addItems({"model", "linear", "log", "file"});
    ComboConversion->setGeometry(160, 530, 66, 20);
    EditConversion = MakeEdit(TabSheetPixelProf, "EditConversion", "", 8, 578, 218);
    // Beside the SWC panel.
    CheckBoxPreciseSwc = new QCheckBox(tr("Precise"), TabSheetPixelProf);
    CheckBoxPreciseSwc->setObjectName("CheckBoxPreciseSwc");
    CheckBoxPreciseSwc->setGeometry(594, 482, 96, 18);
    ButtonChartMtf = MakeButton(TabSheetPixelProf, "ButtonChartMtf", tr("Chart MTF"), 594, 504, 96, 26);
    // Beside the slit panel.
    CheckBoxPreciseSlit = new QCheckBox(tr("Precise"), TabSheetProfMTF);
    CheckBoxPreciseSlit->setObjectName("CheckBoxPreciseSlit");
    CheckBoxPreciseSlit->setGeometry(560, 524, 70, 18);
    ButtonSlitMtf = MakeButton(TabSheetProfMTF, "ButtonSlitMtf", tr("Slit MTF"), 634, 498, 60, 26);
    MakeLabel(TabSheetProfMTF, tr("Slit (mm)"), 430, 556, 60);
    EditSlitWidth = MakeEdit(TabSheetProfMTF, "EditSlitWidth", "0.01", 490, 554, 50);
    MakeLabel(TabSheetProfMTF, tr("LSF ± (mm)"), 560, 556, 70);
    EditLsfRange = MakeEdit(TabSheetProfMTF, "EditLsfRange", "2.5", 634, 554, 50);

    SetToolTips(
        this,
        {
            {"ButtonAutoGeometry", tr("画素値の表から線の向きと傾きを推定し、向きと MA-Line# を設定する")},
            {"EditAutoGeometry", tr("Auto が推定した MA-Line# と向き")},
            {"CheckBoxPreciseSwc",
             tr("チャートの CalMTF を全行・正確な位置・整数周期で測る精密モードにする")},
            {"ButtonChartMtf", tr("Auto から CalMTF までチャート法を一度に実行する")},
            {"CheckBoxPreciseSlit", tr("スリットの CalMTF を全行・正確な位置で測る精密モードにする")},
            {"ButtonSlitMtf", tr("Auto から CalMTF までスリット法を一度に実行する")},
            {"EditSlitWidth", tr("スリット幅 (mm): 精密モードでその開口の影響を除く (0 で除かない)")},
            {"EditLsfRange", tr("精密モードで使う LSF の範囲: ピークから ± この距離 (mm)")},
            {"ComboConversion", tr("露光量への変換関数: model (L と BitsStored), linear, log, file "
                                   "(測定した変換関数のファイル)")},
            {"EditConversion", tr("変換関数のパラメーター (linear: OFFSET,GAIN / log: C0,C1[,KREF]) "
                                  "またはファイルのパス")},
        });

    connect(ButtonAutoGeometry, &QPushButton::clicked, this, &TForm2::ButtonAutoGeometryClick);
    connect(ButtonSlitMtf, &QPushButton::clicked, this, &TForm2::ButtonSlitMtfClick);
    connect(ButtonChartMtf, &QPushButton::clicked, this, &TForm2::ButtonChartMtfClick);
}

void TForm2::setErrorBars(const std::vector<PreciseMtfPoint>& points)
{
    QChart* chart = ChartMTF->chart();
    for (QLineSeries* bar : errorBars_) {
        chart->removeSeries(bar);
        delete bar;
    }
    errorBars_.clear();
    for (const auto& [low, high] : ErrorBars(points)) {
        auto* bar = new QLineSeries;
        bar->setObjectName("SeriesErrorBar");
        bar->setPen(QPen(QColor(0, 100, 0), 1));
        chart->addSeries(bar);
        for (QAbstractAxis* axis : chart->axes()) bar->attachAxis(axis);
        setSeries(bar, {QPointF(low.first, low.second), QPointF(high.first, high.second)});
        errorBars_.push_back(bar);
    }
}

void TForm2::ButtonAutoGeometryClick()
{
    const LineGeometry g = session.AutoGeometry(exposureEntry());
    EditAutoGeometry->setText(QString::fromStdString(GeometryText(g)));
    EditMALine->setText(Text(g.LinesSetting()));
    UpDownMALine->setPosition(g.LinesSetting());
    QRadioButton* buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    buttons[static_cast<int>(g.Orientation()) - 1]->setChecked(true);
}

// After the traditional CalMTF: the orientation and MA-Line# it used against
// the estimate Auto would make. The result stays; a table without a clear
// object gives no estimate and no warning here.
void TForm2::warnIfGeometryDisagrees()
{
    if (const std::optional<LineGeometry> estimate =
            session.CheckGeometry(exposureEntry(), checkedOrientation(), EnteredInt(StdText(EditMALine))))
        CurrentPrompter().message(FailureText(FailureCode::kGeometryMismatch, {GeometryText(*estimate)}));
}

void TForm2::runPreciseSlit()
{
    const PreciseSlitEntry numbers{EnteredFloat(StdText(EditPxlSpc)), EnteredFloat(StdText(EditSlitWidth)),
                                   EnteredFloat(StdText(EditLsfRange)), EnteredFloat(StdText(EditMALine))};
    PreciseSlitOutput out;
    RunAndShow([&] { session.PreciseSlit(exposureEntry(), numbers, out); },
               [&] {
                   if (out.geometry)
                       EditAutoGeometry->setText(QString::fromStdString(GeometryText(*out.geometry)));
               });
    MemoMTF->setLines(LinesOf(out.slit.listed));
    MemoMTF2->setLines(LinesOf(out.slit.halfSteps));
    setSeries(Series2, PointsOf(out.slit.lsf));
    setSeries(Series4, PointsOf(out.slit.listed));
    setSeries(Series7, PointsOf(out.slit.halfSteps));
    setErrorBars(out.slit.halfSteps);
    showSummary(out.summary);
    PageControl1->setCurrentWidget(TabSheetMTF);
}

QStringList TForm2::withChartMarks(QStringList lines,
                                   const std::vector<std::pair<double, double>>& points) const
{
    // Each group's marks at the end of its line, as the command marks them.
    const long double spacing = FloatOf(EditPxlSpc);
    for (std::size_t i = 0; i < points.size() && i < static_cast<std::size_t>(lines.size()); ++i) {
        const ChartGroupMarks marks = MarkChartGroup(points[i].first, points[i].second, spacing);
        QStringList shown;
        if (marks.beyondNyquist) shown.append(tr("ナイキスト周波数より上"));
        if (marks.lowModulation) shown.append(tr("変調度が低い"));
        if (!shown.isEmpty()) lines[static_cast<int>(i)] += "\t(" + shown.join(", ") + ")";
    }
    return lines;
}

void TForm2::runPreciseChart(const SwcFeatures& features)
{
    PreciseChartOutput out;
    RunAndShow(
        [&] {
            session.PreciseChart(exposureEntry(), features, EnteredFloat(StdText(EditPxlSpc)),
                                 checkedOrientation(), EnteredInt(StdText(EditMALine)), out);
        },
        [&] {
            if (out.geometry) EditAutoGeometry->setText(QString::fromStdString(GeometryText(*out.geometry)));
        });
    clearSeries(Series4);
    setSeries(Series7, PointsOf(out.chart.points));
    setErrorBars(out.chart.points);
    MemoMTF2->setLines(withChartMarks(LinesOf(out.chart.points), CurvePoints(out.chart.points)));
    showSummary(out.summary);
    PageControl1->setCurrentWidget(TabSheetMTF);
}

void TForm2::ButtonSlitMtfClick()
{
    form1_->findForFirstRun(MeasureMethod::kSlit);
    ButtonAutoGeometryClick();
    Button2Dto1DClick();
    ButtonSmoothClick();
    ButtonExtractClick();
    ButtonToExpClick();
    ButtonSlitClick();
}

void TForm2::ButtonChartMtfClick()
{
    form1_->findForFirstRun(MeasureMethod::kChart);
    ButtonAutoGeometryClick();
    Button2Dto1DClick();
    ButtonSmoothClick();
    ButtonSWCClick();
}

}  // namespace radmtf
