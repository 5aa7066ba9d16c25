#include "report/dqe_report.h"
#include "report/plot.h"
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

// "DQE ± u", the DQE alone where u is unknown, "-" where the DQE is.
QString WithUncertainty(double dqe, double u)
{
    if (!std::isfinite(dqe)) return QStringLiteral("-");
    return std::isfinite(u) ? Value(dqe, 3) + " ± " + Value(u, 3) : Value(dqe, 3);
}

void PaintHeader(QPainter& painter, const QRectF& area, const DqeReportData& d, int page, double unit)
{
    PaintPageHeader(painter, area,
                    QCoreApplication::translate("radmtf::Report", "DQE 報告書 (IEC 62220-1-1)"), d.date,
                    d.version, page, d.failure.isEmpty() ? 2 : 1, unit);
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
    y = PaintNotes(painter, area, y, d.messages, d.failure);
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
    PaintNnpsPlot(painter, QRectF(area.left(), y, area.width(), plotHeight), d.frequency, d.nnpsU, d.nnpsV,
                  unit);
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
        const std::size_t at = NearestIndex(d.frequency, f);
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
