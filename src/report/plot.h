// The report pages' drawing pieces: plots, label-value rows, the header.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

class QPainter;
class QRectF;

namespace radmtf {

struct Series {
    const std::vector<double>* x;
    const std::vector<double>* y;
    QColor colour;
    QString name;         // empty: no legend entry
    bool points = false;  // circles at the values, not a line
};

// A framed plot with its axes in `box` (`unit`: device pixels per mm); a
// logarithmic y axis spans whole decades. Values that are not finite (or
// not > 0 on a log axis) break the line.
void PaintPlot(QPainter& painter, const QRectF& box, const QString& title, const QString& xLabel,
               const QString& yLabel, const std::vector<Series>& series, bool logY, double unit);

// The 1-D NNPS along u and v on a log axis, as the NNPS and DQE reports plot it.
void PaintNnpsPlot(QPainter& painter, const QRectF& box, const std::vector<double>& frequency,
                   const std::vector<double>& nnpsU, const std::vector<double>& nnpsV, double unit);

// Label-value rows from `y` under a bold heading; returns the y below them.
double PaintRows(QPainter& painter, double x, double y, double width, const QString& heading,
                 const QList<QPair<QString, QString>>& rows, double unit);

// The title on the left; date, version and "page/pages" on the right; a rule
// below (the header takes 9 mm).
void PaintPageHeader(QPainter& painter, const QRectF& area, const QString& title, const QDateTime& date,
                     const QString& version, int page, int pages, double unit);

// The warnings across `area` from `y`, the failure (when there is one)
// first, in a warning colour; returns the y below them.
double PaintNotes(QPainter& painter, const QRectF& area, double y, const QStringList& messages,
                  const QString& failure);

// `v` with `digits` decimals, "-" when it is not finite.
QString Value(double v, int digits);

// The index of the value nearest `target` (0 for none): the table rows at
// 0.5 cycles/mm steps take the measured frequency nearest each.
std::size_t NearestIndex(const std::vector<double>& values, double target);

}  // namespace radmtf
