#include "report/plot.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numtext.h"

namespace radmtf {

namespace {

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

}  // namespace

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
            if (s.points) {
                path.addEllipse(p, unit * 0.8, unit * 0.8);
                continue;
            }
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
        if (s.points)
            painter.drawEllipse(QPointF(plot.right() - 22 * unit, legendY + line / 2), unit * 0.8,
                                unit * 0.8);
        else
            painter.drawLine(QPointF(plot.right() - 25 * unit, legendY + line / 2),
                             QPointF(plot.right() - 19 * unit, legendY + line / 2));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.right() - 18 * unit, legendY, 17 * unit, line), Qt::AlignLeft, s.name);
        legendY += line;
    }
}

void PaintNnpsPlot(QPainter& painter, const QRectF& box, const std::vector<double>& frequency,
                   const std::vector<double>& nnpsU, const std::vector<double>& nnpsV, double unit)
{
    PaintPlot(painter, box, QCoreApplication::translate("radmtf::Report", "NNPS"),
              QCoreApplication::translate("radmtf::Report", "空間周波数 (cycles/mm)"),
              QCoreApplication::translate("radmtf::Report", "NNPS (mm²)"),
              {{&frequency, &nnpsU, QColor(0, 80, 200), "u"}, {&frequency, &nnpsV, QColor(200, 40, 0), "v"}},
              true, unit);
}

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

void PaintPageHeader(QPainter& painter, const QRectF& area, const QString& title, const QDateTime& date,
                     const QString& version, int page, int pages, double unit)
{
    QFont font = painter.font();
    font.setPointSizeF(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), 8 * unit),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPointSizeF(8);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), 8 * unit),
                     Qt::AlignRight | Qt::AlignVCenter,
                     date.toString(Qt::ISODate) + "  " + version + "  " + QString::number(page) + "/" +
                         QString::number(pages));
    painter.setPen(QPen(Qt::black, unit * 0.3));
    painter.drawLine(QPointF(area.left(), area.top() + 9 * unit),
                     QPointF(area.right(), area.top() + 9 * unit));
}

double PaintNotes(QPainter& painter, const QRectF& area, double y, const QStringList& messages,
                  const QString& failure)
{
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    const double line = QFontMetricsF(font, painter.device()).height();
    QStringList notes = messages;
    if (!failure.isEmpty())
        notes.prepend(QCoreApplication::translate("radmtf::Report", "測定できませんでした: ") + failure);
    for (const QString& note : notes) {
        const QRectF box(area.left(), y, area.width(), line * 4);
        const QRectF used = painter.boundingRect(box, Qt::AlignLeft | Qt::TextWordWrap, note);
        painter.setPen(QColor(160, 60, 0));
        painter.drawText(box, Qt::AlignLeft | Qt::TextWordWrap, note);
        y += std::min(used.height(), line * 4) + line * 0.3;
    }
    painter.setPen(Qt::black);
    return y;
}

std::size_t NearestIndex(const std::vector<double>& values, double target)
{
    std::size_t at = 0;
    for (std::size_t i = 1; i < values.size(); ++i)
        if (std::fabs(values[i] - target) < std::fabs(values[at] - target)) at = i;
    return at;
}

}  // namespace radmtf
