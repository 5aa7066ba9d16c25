#include "app/form2.h"
#include "app/dispatch.h"

#include <QtCharts/QLogValueAxis>
#include <QtCharts/QValueAxis>

#include <cmath>
#include <limits>

#include "analysis/chart_axes.h"
#include "analysis/composite_profile.h"
#include "app/edit_text.h"
#include "app/form1.h"
#include "core/failure.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

void SetValueRange(QValueAxis* axis, const AxisRange& range)
{
    if (axis->min() != range.low || axis->max() != range.high) axis->setRange(range.low, range.high);
    if (axis->tickCount() != range.ticks) axis->setTickCount(range.ticks);
}

// Fits the chart's axes to the points of all its series, so every chart
// scales itself to its data (the MTF axis starts at 0). `replaced` is about
// to receive `points`: the axes are set first, so a large series is laid out
// once, in its final scale.
void RescaleChart(QChart* chart, const QXYSeries* replaced, const QList<QPointF>& points)
{
    DataBounds bounds;
    for (QAbstractSeries* abstract : chart->series()) {
        const auto* series = static_cast<QXYSeries*>(abstract);
        for (const QPointF& p : series == replaced ? points : series->points()) bounds.Add(p.x(), p.y());
    }
    if (bounds.Empty()) return;
    const QList<QAbstractAxis*> horizontal = chart->axes(Qt::Horizontal);
    const QList<QAbstractAxis*> vertical = chart->axes(Qt::Vertical);
    if (!horizontal.isEmpty())
        if (auto* axis = qobject_cast<QValueAxis*>(horizontal.first()))
            SetValueRange(axis, HorizontalRange(bounds));
    if (vertical.isEmpty()) return;
    if (auto* logAxis = qobject_cast<QLogValueAxis*>(vertical.first())) {
        DecadeRange decades;
        if (!LogarithmicRange(bounds, decades)) return;
        if (logAxis->min() != decades.low || logAxis->max() != decades.high)
            logAxis->setRange(decades.low, decades.high);
    } else if (auto* valueAxis = qobject_cast<QValueAxis*>(vertical.first())) {
        SetValueRange(valueAxis, VerticalRange(bounds, chart->property(kAxisFromZero).toBool()));
    }
}

}  // namespace

TForm2::TForm2(TForm1* form1, QWidget* parent) : QWidget(parent), form1_(form1)
{
    buildControls();
    buildPreciseControls();
    setFixedSize(918, 636);
    // The grid's empty cells are the session's table until a transfer fills it.
    PixelTable empty;
    empty.columns = StringGrid1->grid()->cols() - 1;
    empty.rows = StringGrid1->grid()->rows() - 1;
    session.TakeTable(std::move(empty), 0, 0, {});

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RunHandler([this] { RadioButton1Click(); });
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RunHandler([this] { RadioButton2Click(); });
    });
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RunHandler([this] { RadioButton3Click(); });
    });
    connect(RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RunHandler([this] { RadioButton4Click(); });
    });
    connect(RadioGroupEquip, &RadioGroup::clicked, this, Guarded(this, &TForm2::RadioGroupEquipClick));
    connect(RadioGroup1, &RadioGroup::clicked, this, Guarded(this, &TForm2::RadioGroup1Click));
    connect(UpDownMALine, &UpDown::clicked, this, Guarded(this, &TForm2::UpDownMALineClick));
    connect(UpDownBaseL, &UpDown::clicked, this, Guarded(this, &TForm2::UpDownBaseLClick));
    connect(UpDownBaseR, &UpDown::clicked, this, Guarded(this, &TForm2::UpDownBaseRClick));
    connect(UpDown1, &UpDown::clicked, this, Guarded(this, &TForm2::UpDown1Changing));
    connect(CheckBoxSync, &QCheckBox::toggled, this, Guarded(this, &TForm2::CheckBoxSyncClick));
    connect(ButtonForm1, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonForm1Click));
    connect(Button2Dto1D, &QPushButton::clicked, this, Guarded(this, &TForm2::Button2Dto1DClick));
    connect(ButtonSmooth, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonSmoothClick));
    connect(ButtonToExp, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonToExpClick));
    connect(ButtonExtract, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonExtractClick));
    connect(ButtonToCB_SG, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonToCB_SGClick));
    connect(ButtonPrfToCB, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonPrfToCBClick));
    connect(MemoWork, &Memo::clicked, this, Guarded(this, &TForm2::MemoWorkClick));
    connect(ButtonSWC, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonSWCClick));
    connect(ButtonSlit, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonSlitClick));
    connect(ButtonFitting, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonFittingClick));
    connect(ButtonTrancation, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonTrancationClick));
    connect(ButtonEdge, &QPushButton::clicked, this, Guarded(this, &TForm2::ButtonEdgeClick));
    for (QXYSeries* series : {static_cast<QXYSeries*>(Series2), static_cast<QXYSeries*>(Series3),
                              static_cast<QXYSeries*>(Series9)}) {
        connect(series, &QXYSeries::clicked, this, [this, series](const QPointF& point) {
            // The chart reports a position; the nearest point is the one clicked.
            const QList<QPointF> points = series->points();
            int best = -1;
            double bestDistance = std::numeric_limits<double>::infinity();
            for (int i = 0; i < points.size(); ++i) {
                const double distance = std::abs(points[i].x() - point.x());
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            if (best >= 0) RunHandler([&] { ChartLSFClickSeries(series, best); });
        });
    }

    FormCreate();
}

void TForm2::FormCreate()
{
    EditWdth->setText(Text(UpDownWdth->position()));
    EditStrt->setText(Text(UpDownStrt->position()));
    EditBaseL->setText(Text(UpDownBaseL->position()));
    EditBaseR->setText(Text(UpDownBaseR->position()));
    EditMALine->setText(Text(UpDownMALine->position()));
    RadioButton2->setChecked(true);
    RadioButton1->setChecked(true);
}

void TForm2::showOrientation(int button)
{
    ImageControl* pictures[] = {Image1, Image2, Image3, Image4, Image5, Image6, Image7, Image8};
    for (int i = 0; i < 8; ++i) pictures[i]->setVisible(i == button - 1 || i == button + 3);
}

void TForm2::RadioButton1Click()
{
    showOrientation(1);
}
void TForm2::RadioButton2Click()
{
    showOrientation(2);
}
void TForm2::RadioButton3Click()
{
    showOrientation(3);
}
void TForm2::RadioButton4Click()
{
    showOrientation(4);
}

void TForm2::RadioGroupEquipClick()
{
    switch (RadioGroupEquip->itemIndex()) {
        case 0:
            EditBit->setText("10");
            EditPxlSpc->setText("0.1");
            EditL->setText("4.0");
            break;
        case 1:
            EditBit->setText("12");
            EditPxlSpc->setText("0.0875");
            EditL->setText("4.0");
            break;
        case 2:
            EditBit->setText("12");
            EditPxlSpc->setText("0.1");
            EditL->setText("4.0");
            break;
        default:
            break;
    }
}

void TForm2::RadioGroup1Click()
{
    session.ClearProfile();
}

void TForm2::UpDownMALineClick(bool)
{
    const long long typed = IntOf(EditMALine);
    const int position = UpDownMALine->position();
    if (std::llabs(typed - position) >= 2)
        UpDownMALine->setPosition(static_cast<int>(std::clamp<long long>(typed, INT32_MIN, INT32_MAX)));
    else
        EditMALine->setText(Text(position));
    Button2Dto1DClick();
    ButtonSmoothClick();
}

void TForm2::UpDownBaseLClick(bool)
{
    EditBaseL->setText(Text(UpDownBaseL->position()));
}
void TForm2::UpDownBaseRClick(bool)
{
    EditBaseR->setText(Text(UpDownBaseR->position()));
}
void TForm2::UpDown1Changing(bool)
{
    Editn->setText(Text(UpDown1->position()));
}
void TForm2::CheckBoxSyncClick()
{
    EditSmth->setText(EditMALine->text());
}

void TForm2::ButtonForm1Click()
{
    form1_->show();
    BringToFront(form1_);
}

void TForm2::setSeries(QXYSeries* series, const QList<QPointF>& points)
{
    RescaleChart(series->chart(), series, points);
    series->replace(points);
}

}  // namespace radmtf
