#include "report/dqe_report.h"
#include "report/report.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

struct Series {
    const std::vector<double>* x;
    const std::vector<double>* y;
    QColor colour;
    QString name;
};

// A step of 1, 2 or 5 times a power of ten that divides `span` into about
// `parts` intervals.
double NiceStep(double span, int parts)
{
    const double rough = span / parts;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    return (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * magnitude;
}

QString Tick(double v)
{
    return QString::fromStdString(FloatToStrRounded(v, 6));
}

// A framed plot with its axes; a logarithmic y axis spans whole decades.
// Values that are not finite (or not > 0 on a log axis) break the line.
void PaintPlot(QPainter& painter, const QRectF& box, const QString& title, const QString& xLabel,
               const QString& yLabel, const std::vector<Series>& series, bool logY, double unit)
{
    double x0 = std::numeric_limits<double>::infinity(), x1 = -x0, y0 = x0, y1 = -x0;
    const auto usable = [&](double y) { return std::isfinite(y) && (!logY || y > 0); };
    for (const Series& s : series)
        for (std::size_t i = 0; i < s.x->size() && i < s.y->size(); ++i)
            if (std::isfinite((*s.x)[i]) && usable((*s.y)[i])) {
                x0 = std::min(x0, (*s.x)[i]);
                x1 = std::max(x1, (*s.x)[i]);
                const double y = logY ? std::log10((*s.y)[i]) : (*s.y)[i];
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();
    painter.setPen(QPen(Qt::black, unit * 0.2));
    painter.drawText(QRectF(box.left(), box.top(), box.width(), line), Qt::AlignCenter, title);
    const QRectF plot(box.left() + 12 * unit, box.top() + line * 1.3, box.width() - 15 * unit,
                      box.height() - line * 1.3 - 9 * unit);
    painter.drawRect(plot);
    if (!(x1 > x0)) {
        painter.drawText(plot, Qt::AlignCenter, QCoreApplication::translate("radmtf::Report", "データなし"));
        return;
    }
    if (logY) {
        y0 = std::floor(y0);
        y1 = std::max(std::ceil(y1), y0 + 1);
    } else {
        y0 = std::min(0.0, y0);
        y1 = y1 > y0 ? y1 * 1.05 : y0 + 1;
    }
    if (x0 > 0 && x0 < 0.2 * x1) x0 = 0;
    const auto px = [&](double x) { return plot.left() + (x - x0) / (x1 - x0) * plot.width(); };
    const auto py = [&](double y) { return plot.bottom() - (y - y0) / (y1 - y0) * plot.height(); };
    // Grid and ticks.
    QPen grid(QColor(200, 200, 200), unit * 0.1);
    const double xStep = NiceStep(x1 - x0, 8);
    for (double x = std::ceil(x0 / xStep) * xStep; x <= x1 + 1e-9 * xStep; x += xStep) {
        painter.setPen(grid);
        painter.drawLine(QPointF(px(x), plot.top()), QPointF(px(x), plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(px(x) - 8 * unit, plot.bottom(), 16 * unit, line), Qt::AlignCenter, Tick(x));
    }
    const double yStep = logY ? 1.0 : NiceStep(y1 - y0, 5);
    for (double y = std::ceil(y0 / yStep) * yStep; y <= y1 + 1e-9 * yStep; y += yStep) {
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), py(y)), QPointF(plot.right(), py(y)));
        painter.setPen(Qt::black);
        const QString text = logY ? QStringLiteral("1e%1").arg(static_cast<int>(std::lround(y))) : Tick(y);
        painter.drawText(QRectF(box.left(), py(y) - line / 2, 11 * unit, line),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + line, plot.width(), line), Qt::AlignCenter, xLabel);
    painter.save();
    painter.translate(box.left() + line * 0.1, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, -line * 0.1, plot.height(), line), Qt::AlignCenter, yLabel);
    painter.restore();
    // The curves and their legend.
    painter.save();
    painter.setClipRect(plot);
    for (const Series& s : series) {
        QPainterPath path;
        bool open = false;
        for (std::size_t i = 0; i < s.x->size() && i < s.y->size(); ++i) {
            const double y = (*s.y)[i];
            if (!std::isfinite((*s.x)[i]) || !usable(y)) {
                open = false;
                continue;
            }
            const QPointF p(px((*s.x)[i]), py(logY ? std::log10(y) : y));
            if (open)
                path.lineTo(p);
            else
                path.moveTo(p);
            open = true;
        }
        painter.setPen(QPen(s.colour, unit * 0.35));
        painter.drawPath(path);
    }
    painter.restore();
    double legendY = plot.top() + line * 0.3;
    for (const Series& s : series) {
        if (s.name.isEmpty()) continue;
        painter.setPen(QPen(s.colour, unit * 0.6));
        painter.drawLine(QPointF(plot.right() - 25 * unit, legendY + line / 2),
                         QPointF(plot.right() - 19 * unit, legendY + line / 2));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.right() - 18 * unit, legendY, 17 * unit, line), Qt::AlignLeft, s.name);
        legendY += line;
    }
}

// Label-value rows from `y`; returns the y below them.
double PaintRows(QPainter& painter, double x, double y, double width, const QString& heading,
                 const QList<QPair<QString, QString>>& rows, double unit)
{
    QFont font = painter.font();
    font.setPointSizeF(8.5);
    font.setBold(true);
    painter.setFont(font);
    const double line = QFontMetricsF(font, painter.device()).height();
    painter.drawText(QRectF(x, y, width, line), Qt::AlignLeft, heading);
    y += line * 1.1;
    font.setBold(false);
    font.setPointSizeF(8);
    painter.setFont(font);
    for (const auto& [label, value] : rows) {
        painter.drawText(QRectF(x, y, 40 * unit, line), Qt::AlignLeft, label);
        const QRectF valueBox(x + 40 * unit, y, width - 40 * unit, line * 3);
        const QRectF used = painter.boundingRect(valueBox, Qt::AlignLeft | Qt::TextWrapAnywhere, value);
        painter.drawText(valueBox, Qt::AlignLeft | Qt::TextWrapAnywhere, value);
        y += std::max(line, std::min(used.height(), line * 3));
    }
    return y + line * 0.5;
}

QString Value(double v, int digits)
{
    return std::isfinite(v) ? QString::number(v, 'f', digits) : QStringLiteral("-");
}

// "DQE ± u", the DQE alone where u is unknown, "-" where the DQE is.
QString WithUncertainty(double dqe, double u)
{
    if (!std::isfinite(dqe)) return QStringLiteral("-");
    return std::isfinite(u) ? Value(dqe, 3) + " ± " + Value(u, 3) : Value(dqe, 3);
}

void PaintHeader(QPainter& painter, const QRectF& area, const DqeReportData& d, int page, double unit)
{
    QFont font = painter.font();
    font.setPointSizeF(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), 8 * unit),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QCoreApplication::translate("radmtf::Report", "DQE 報告書 (IEC 62220-1-1)"));
    font.setPointSizeF(8);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), 8 * unit),
                     Qt::AlignRight | Qt::AlignVCenter,
                     d.date.toString(Qt::ISODate) + "  " + d.version + "  " + QString::number(page) + "/" +
                         QString::number(d.failure.isEmpty() ? 2 : 1));
    painter.setPen(QPen(Qt::black, unit * 0.3));
    painter.drawLine(QPointF(area.left(), area.top() + 9 * unit),
                     QPointF(area.right(), area.top() + 9 * unit));
}

void PaintFirstPage(QPainter& painter, const QRectF& area, const DqeReportData& d, double unit)
{
    PaintHeader(painter, area, d, 1, unit);
    const double half = (area.width() - 6 * unit) / 2;
    double y = area.top() + 12 * unit;
    double left = PaintRows(painter, area.left(), y, half,
                            QCoreApplication::translate("radmtf::Report", "設定"), d.settings, unit);
    if (!d.qa.isEmpty())
        left = PaintRows(painter, area.left(), left, half,
                         QCoreApplication::translate("radmtf::Report", "QA 情報 (1 枚目の平坦画像)"), d.qa,
                         unit);
    const double right = PaintRows(painter, area.left() + half + 6 * unit, y, half,
                                   QCoreApplication::translate("radmtf::Report", "ファイル"), d.files, unit);
    y = std::max(left, right);
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    const double line = QFontMetricsF(font, painter.device()).height();
    QStringList notes = d.messages;
    if (!d.failure.isEmpty())
        notes.prepend(QCoreApplication::translate("radmtf::Report", "測定できませんでした: ") + d.failure);
    for (const QString& note : notes) {
        const QRectF box(area.left(), y, area.width(), line * 4);
        const QRectF used = painter.boundingRect(box, Qt::AlignLeft | Qt::TextWordWrap, note);
        painter.setPen(QColor(160, 60, 0));
        painter.drawText(box, Qt::AlignLeft | Qt::TextWordWrap, note);
        y += std::min(used.height(), line * 4) + line * 0.3;
    }
    painter.setPen(Qt::black);
    if (!d.failure.isEmpty()) return;
    const double plotHeight = std::min(80 * unit, (area.bottom() - y - 4 * unit) / 2);
    const Series conversion{&d.conversionKerma, &d.conversionPv, Qt::black, QString()};
    PaintPlot(painter, QRectF(area.left(), y + 2 * unit, area.width(), plotHeight),
              QCoreApplication::translate("radmtf::Report", "変換関数"),
              QCoreApplication::translate("radmtf::Report", "空気カーマ K (µGy)"),
              QCoreApplication::translate("radmtf::Report", "画素値"), {conversion}, false, unit);
    y += plotHeight + 4 * unit;
    PaintPlot(
        painter, QRectF(area.left(), y, area.width(), plotHeight),
        QCoreApplication::translate("radmtf::Report", "MTF"),
        QCoreApplication::translate("radmtf::Report", "空間周波数 (cycles/mm)"),
        QCoreApplication::translate("radmtf::Report", "MTF"),
        {{&d.frequency, &d.mtfU, QColor(0, 80, 200), "u"}, {&d.frequency, &d.mtfV, QColor(200, 40, 0), "v"}},
        false, unit);
}

void PaintSecondPage(QPainter& painter, const QRectF& area, const DqeReportData& d, double unit)
{
    PaintHeader(painter, area, d, 2, unit);
    double y = area.top() + 12 * unit;
    const double plotHeight = 70 * unit;
    PaintPlot(painter, QRectF(area.left(), y, area.width(), plotHeight),
              QCoreApplication::translate("radmtf::Report", "NNPS"),
              QCoreApplication::translate("radmtf::Report", "空間周波数 (cycles/mm)"),
              QCoreApplication::translate("radmtf::Report", "NNPS (mm²)"),
              {{&d.frequency, &d.nnpsU, QColor(0, 80, 200), "u"},
               {&d.frequency, &d.nnpsV, QColor(200, 40, 0), "v"}},
              true, unit);
    y += plotHeight + 3 * unit;
    PaintPlot(
        painter, QRectF(area.left(), y, area.width(), plotHeight),
        QCoreApplication::translate("radmtf::Report", "DQE"),
        QCoreApplication::translate("radmtf::Report", "空間周波数 (cycles/mm)"),
        QCoreApplication::translate("radmtf::Report", "DQE"),
        {{&d.frequency, &d.dqeU, QColor(0, 80, 200), "u"}, {&d.frequency, &d.dqeV, QColor(200, 40, 0), "v"}},
        false, unit);
    y += plotHeight + 4 * unit;
    // The table at 0.5 cycles/mm steps: the NNPS frequencies nearest them.
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    const double line = QFontMetricsF(font, painter.device()).height();
    const QStringList heads = {QCoreApplication::translate("radmtf::Report", "cycles/mm"),
                               QCoreApplication::translate("radmtf::Report", "MTF u"),
                               QCoreApplication::translate("radmtf::Report", "MTF v"),
                               QCoreApplication::translate("radmtf::Report", "NNPS u (mm²)"),
                               QCoreApplication::translate("radmtf::Report", "NNPS v (mm²)"),
                               QCoreApplication::translate("radmtf::Report", "DQE u ± u"),
                               QCoreApplication::translate("radmtf::Report", "DQE v ± u")};
    const double widths[] = {20, 18, 18, 30, 30, 32, 32};
    double x = area.left();
    font.setBold(true);
    painter.setFont(font);
    for (int i = 0; i < heads.size(); ++i) {
        painter.drawText(QRectF(x, y, widths[i] * unit, line), Qt::AlignRight, heads[i]);
        x += widths[i] * unit;
    }
    font.setBold(false);
    painter.setFont(font);
    y += line * 1.2;
    const double top = d.frequency.empty() ? 0 : d.frequency.back();
    for (double f = 0.5; f <= top + 1e-9 && y + line < area.bottom(); f += 0.5) {
        std::size_t at = 0;
        for (std::size_t i = 1; i < d.frequency.size(); ++i)
            if (std::fabs(d.frequency[i] - f) < std::fabs(d.frequency[at] - f)) at = i;
        const QString cells[] = {Value(d.frequency[at], 2),
                                 Value(d.mtfU[at], 3),
                                 Value(d.mtfV[at], 3),
                                 QString::number(d.nnpsU[at], 'e', 3),
                                 QString::number(d.nnpsV[at], 'e', 3),
                                 WithUncertainty(d.dqeU[at], d.uDqeU[at]),
                                 WithUncertainty(d.dqeV[at], d.uDqeV[at])};
        x = area.left();
        for (int i = 0; i < 7; ++i) {
            painter.drawText(QRectF(x, y, widths[i] * unit, line), Qt::AlignRight, cells[i]);
            x += widths[i] * unit;
        }
        y += line;
    }
}

}  // namespace

void WriteDqeReportPdf(const QString& path, const DqeReportData& data)
{
    WriteA4Pdf(path, QCoreApplication::translate("radmtf::Report", "DQE 報告書 (IEC 62220-1-1)"),
               data.failure.isEmpty() ? 2 : 1,
               [&](QPainter& painter, const QRectF& area, std::size_t page, double unit) {
                   if (page == 0)
                       PaintFirstPage(painter, area, data, unit);
                   else
                       PaintSecondPage(painter, area, data, unit);
               });
}

}  // namespace radmtf
