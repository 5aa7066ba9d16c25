#include "app/form3.h"

#include <QtCharts/QAbstractAxis>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "app/dispatch.h"
#include "app/form1.h"
#include "app/form2.h"
#include "core/failure.h"
#include "core/numtext.h"
#include "measure/measurement.h"
#include "report/noise_report_data.h"

namespace radmtf {

namespace {

long double Number(const QLineEdit* edit)
{
    return StrToFloat(edit->text().trimmed().toStdString());
}

// The points of a curve that a chart can draw: finite, and > 0 on a log axis.
QList<QPointF> Drawable(const std::vector<double>& x, const std::vector<double>& y, bool logarithmic)
{
    QList<QPointF> points;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i)
        if (std::isfinite(x[i]) && std::isfinite(y[i]) && (!logarithmic || y[i] > 0))
            points.append({x[i], y[i]});
    return points;
}

// Axes spanning the points: from 0 along x; a log axis in whole decades.
void FitAxes(QChartView* view, bool logarithmic)
{
    double x1 = 0, y0 = INFINITY, y1 = -INFINITY;
    for (QAbstractSeries* abstract : view->chart()->series())
        for (const QPointF& p : static_cast<QXYSeries*>(abstract)->points()) {
            x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y());
            y1 = std::max(y1, p.y());
        }
    if (!(y1 >= y0)) return;
    auto* bottom = static_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
    bottom->setRange(0.0, x1 > 0 ? x1 : 1.0);
    bottom->applyNiceNumbers();
    QAbstractAxis* left = view->chart()->axes(Qt::Vertical).front();
    if (logarithmic) {
        left->setRange(std::pow(10.0, std::floor(std::log10(y0))), std::pow(10.0, std::ceil(std::log10(y1))));
    } else {
        left->setRange(std::min(0.0, y0), y1 > 0 ? y1 : 1.0);
        static_cast<QValueAxis*>(left)->applyNiceNumbers();
    }
}

QString Cell(double v, char format, int digits)
{
    return std::isfinite(v) ? QString::number(v, format, digits) : QStringLiteral("-");
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window)
{
    buildControls();
    connectControls();
}

void TForm3::connectControls()
{
    const std::pair<QPushButton*, void (TForm3::*)()> buttons[] = {
        {ButtonAddFiles, &TForm3::ButtonAddFilesClick},   {ButtonAddFolder, &TForm3::ButtonAddFolderClick},
        {ButtonRemove, &TForm3::ButtonRemoveClick},       {ButtonClear, &TForm3::ButtonClearClick},
        {ButtonConvFile, &TForm3::ButtonConvFileClick},   {ButtonMtfU, &TForm3::ButtonMtfUClick},
        {ButtonMtfV, &TForm3::ButtonMtfVClick},           {ButtonNnps, &TForm3::ButtonNnpsClick},
        {ButtonNnpsCsv, &TForm3::ButtonNnpsCsvClick},     {ButtonNnpsReport, &TForm3::ButtonNnpsReportClick},
        {ButtonNnpsImage, &TForm3::ButtonNnpsImageClick}, {ButtonDqe, &TForm3::ButtonDqeClick},
        {ButtonDqeCsv, &TForm3::ButtonDqeCsvClick},       {ButtonDqeReport, &TForm3::ButtonDqeReportClick},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, Guarded(this, handler));
}

void TForm3::ShowWindow()
{
    show();
    BringToFront(this);
}

std::vector<std::string> TForm3::flatFiles() const
{
    std::vector<std::string> files;
    for (int i = 0; i < ListFlats->count(); ++i) files.push_back(ListFlats->item(i)->text().toStdString());
    if (files.empty()) ThrowFailure(FailureCode::kNoFlatFields);
    return files;
}

NoiseSettings TForm3::readSettings(bool kermaNeeded) const
{
    NoiseSettings s;
    const QString a = EditConvA->text().trimmed(), b = EditConvB->text().trimmed();
    const QString kref = EditConvKref->text().trimmed(), file = EditConvFile->text().trimmed();
    // The conversion as the command's --conversion spells it.
    const QString texts[] = {"model", "linear:" + a + "," + b,
                             "log:" + a + "," + b + (kref.isEmpty() ? "" : "," + kref), "hdc:" + file,
                             "file:" + file};
    s.conversion = texts[std::clamp(RadioGroupConversion->itemIndex(), 0, 4)].toStdString();
    s.latitude = Number(EditLatitude);
    s.bitsStored = StrToInt(EditBits->text().trimmed().toStdString());
    if (!(s.latitude > 0) || s.bitsStored < 1 || s.bitsStored > 32)
        ThrowFailure(FailureCode::kConversionSettings, {s.conversion});
    if (!EditPixelSpacing->text().trimmed().isEmpty()) {
        s.pixelSpacing = Number(EditPixelSpacing);
        CheckPixelSpacing(*s.pixelSpacing);
    }
    const QString kerma = EditKerma->text().trimmed();
    if (!kerma.isEmpty() || kermaNeeded) {
        try {
            s.kerma = Number(EditKerma);
        } catch (const Failure&) {
            ThrowFailure(FailureCode::kDqeSettings, {"K = " + kerma.toStdString()});
        }
    }
    return s;
}

DqeInputs::Curve TForm3::AnalysisMtf(const char* direction) const
{
    const auto* viewer = qobject_cast<const TForm1*>(parentWidget());
    const TForm2* analysis = viewer ? viewer->form2() : nullptr;
    if (!analysis || !analysis->session.lastRecord())
        ThrowFailure(FailureCode::kDqeNoAnalysisMtf, {direction});
    return RecordMtfCurve(*analysis->session.lastRecord());
}

DqeInputs TForm3::readDqeInputs() const
{
    DqeInputs in;
    in.flats = flatFiles();
    const auto source = [&](RadioGroup* kind, QLineEdit* edit, std::optional<std::string>& mtfFile,
                            std::optional<DqeInputs::Curve>& curve, const char* direction) {
        if (kind->itemIndex() == 2) {
            curve = AnalysisMtf(direction);
            return;
        }
        const std::string path = edit->text().trimmed().toStdString();
        if (path.empty()) return;
        if (kind->itemIndex() == 1)
            in.edges.push_back(path);  // its direction decides which MTF it gives
        else
            mtfFile = path;
    };
    source(RadioGroupMtfU, EditMtfU, in.mtfFileU, in.mtfCurveU, "u");
    source(RadioGroupMtfV, EditMtfV, in.mtfFileV, in.mtfCurveV, "v");
    in.quality = RadioGroupQuality->items().value(RadioGroupQuality->itemIndex(), "RQA5").toStdString();
    in.snrTable = RadioGroupSnr->itemIndex() == 1 ? "2003" : "2015";
    if (RadioGroupSnr->itemIndex() == 2) {
        try {
            in.snr2 = static_cast<double>(Number(EditSnr2));
        } catch (const Failure&) {
            ThrowFailure(FailureCode::kDqeSettings, {"SNR2 = " + EditSnr2->text().toStdString()});
        }
    }
    return in;
}

void TForm3::showNnps()
{
    const bool measured = nnps && nnps->result;
    const std::vector<NnpsPoint> none;
    const std::vector<NnpsPoint>& points = measured ? nnps->result->points : none;
    std::vector<double> f, u, v;
    for (const NnpsPoint& p : points) {
        f.push_back(p.frequency);
        u.push_back(p.nnpsU);
        v.push_back(p.nnpsV);
    }
    SeriesNnpsU->replace(Drawable(f, u, true));
    SeriesNnpsV->replace(Drawable(f, v, true));
    FitAxes(ChartNnps, true);
    GridModel* grid = GridNnps->grid();
    grid->setSize(5, static_cast<int>(points.size()) + 1);
    const QStringList heads = {tr("cycles/mm"), tr("NNPS u (mm²)"), tr("u(NNPS u)"), tr("NNPS v (mm²)"),
                               tr("u(NNPS v)")};
    for (int c = 0; c < heads.size(); ++c) grid->setCell(c, 0, heads[c]);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const NnpsPoint& p = points[i];
        const QString cells[] = {Cell(p.frequency, 'f', 2), Cell(p.nnpsU, 'e', 4), Cell(p.uNnpsU, 'e', 2),
                                 Cell(p.nnpsV, 'e', 4), Cell(p.uNnpsV, 'e', 2)};
        for (int c = 0; c < 5; ++c) grid->setCell(c, static_cast<int>(i) + 1, cells[c]);
    }
    QStringList notes;
    if (nnps && nnps->refusal) notes << RefusalText({*nnps->refusal});
    if (measured) {
        notes << tr("平均信号 %1 µGy、ROI %2 個、独立な画素 %3 個")
                     .arg(nnps->result->meanSignal, 0, 'g', 6)
                     .arg(nnps->result->rois)
                     .arg(nnps->result->pixels);
        notes << tr("変換関数 %1").arg(QString::fromStdString(nnps->conversion));
        notes << FailureTexts(nnps->result->warnings);
    }
    MemoNnps->setLines(notes);
}

void TForm3::showDqe()
{
    const bool measured = dqe && dqe->result;
    const std::vector<DqePoint> none;
    const std::vector<DqePoint>& points = measured ? dqe->result->points : none;
    std::vector<double> f, u, v;
    for (const DqePoint& p : points) {
        f.push_back(p.frequency);
        u.push_back(p.dqeU);
        v.push_back(p.dqeV);
    }
    SeriesDqeU->replace(Drawable(f, u, false));
    SeriesDqeV->replace(Drawable(f, v, false));
    FitAxes(ChartDqe, false);
    GridModel* grid = GridDqe->grid();
    grid->setSize(7, static_cast<int>(points.size()) + 1);
    const QStringList heads = {tr("cycles/mm"),    tr("MTF u"),     tr("MTF v"),    tr("NNPS u (mm²)"),
                               tr("NNPS v (mm²)"), tr("DQE u ± u"), tr("DQE v ± u")};
    for (int c = 0; c < heads.size(); ++c) grid->setCell(c, 0, heads[c]);
    const auto withU = [](double d, double uncertainty) {
        return std::isfinite(uncertainty) ? Cell(d, 'f', 4) + " ± " + Cell(uncertainty, 'f', 4)
                                          : Cell(d, 'f', 4);
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        const DqePoint& p = points[i];
        const QString cells[] = {Cell(p.frequency, 'f', 2), Cell(p.mtfU, 'f', 4),  Cell(p.mtfV, 'f', 4),
                                 Cell(p.nnpsU, 'e', 4),     Cell(p.nnpsV, 'e', 4), withU(p.dqeU, p.uDqeU),
                                 withU(p.dqeV, p.uDqeV)};
        for (int c = 0; c < 7; ++c) grid->setCell(c, static_cast<int>(i) + 1, cells[c]);
    }
    QStringList notes;
    if (dqe) notes << RefusalText(dqe->refusals);
    if (measured)
        notes << tr("SNR²_in %1 /(mm² µGy)、q %2 /mm²")
                     .arg(QString::fromStdString(FloatToStr(dqe->result->snr2In)),
                          QString::fromStdString(FloatToStr(dqe->result->q)));
    if (dqe) {
        for (const std::string& e : dqe->edgesU)
            notes << tr("エッジ画像 u: %1").arg(QString::fromStdString(e));
        for (const std::string& e : dqe->edgesV)
            notes << tr("エッジ画像 v: %1").arg(QString::fromStdString(e));
        notes << FailureTexts(dqe->warnings);
    }
    notes.removeAll(QString());
    MemoDqe->setLines(notes);
}

}  // namespace radmtf
