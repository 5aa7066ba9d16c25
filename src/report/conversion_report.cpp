#include "report/conversion_report.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

#include "report/plot.h"
#include "report/report.h"

namespace radmtf {

namespace {

// Six significant digits: the residuals' table (the figures carry all).
QString Short(double v)
{
    return QString::number(v, 'g', 6);
}

void PaintPage(QPainter& painter, const QRectF& area, const ConversionReportData& d, double unit)
{
    PaintPageHeader(painter, area, QCoreApplication::translate("radmtf::Report", "変換関数"), d.date,
                    d.version, 1, 1, unit);
    const double half = (area.width() - 6 * unit) / 2;
    const double top = area.top() + 12 * unit;
    const double left = PaintRows(painter, area.left(), top, half,
                                  QCoreApplication::translate("radmtf::Report", "結果"), d.figures, unit);
    double right = area.left() + half + 6 * unit;
    right = d.qa.isEmpty()
                ? top
                : PaintRows(painter, right, top, half,
                            QCoreApplication::translate("radmtf::Report", "QA 情報 (1 枚目の平坦画像)"), d.qa,
                            unit);
    double y = PaintRows(painter, area.left(), std::max(left, right), area.width(),
                         QCoreApplication::translate("radmtf::Report", "ファイル"), d.files, unit);
    const double plotHeight = std::min(90 * unit, (area.bottom() - y) / 2);
    PaintPlot(
        painter, QRectF(area.left(), y + 2 * unit, area.width(), plotHeight),
        QCoreApplication::translate("radmtf::Report", "変換関数"),
        QCoreApplication::translate("radmtf::Report", "空気カーマ K (µGy)"),
        QCoreApplication::translate("radmtf::Report", "平均画素値"),
        {{&d.kerma, &d.meanValue, Qt::black, QCoreApplication::translate("radmtf::Report", "測定値"), true},
         {&d.curveKerma, &d.linearPv, QColor(0, 80, 200),
          QCoreApplication::translate("radmtf::Report", "線形"), false},
         {&d.curveKerma, &d.logPv, QColor(200, 40, 0), QCoreApplication::translate("radmtf::Report", "対数"),
          false}},
        false, unit);
    y += plotHeight + 6 * unit;
    QFont font = painter.font();
    font.setPointSizeF(8);
    const double line = QFontMetricsF(font, painter.device()).height();
    const double widths[] = {60, 26, 30, 30, 30};
    const auto row = [&](const QStringList& cells, double at) {
        double x = area.left();
        for (int i = 0; i < 5; ++i) {
            painter.drawText(QRectF(x, at, widths[i] * unit, line), i == 0 ? Qt::AlignLeft : Qt::AlignRight,
                             cells[i]);
            x += widths[i] * unit;
        }
    };
    font.setBold(true);
    painter.setFont(font);
    row({QCoreApplication::translate("radmtf::Report", "ファイル"),
         QCoreApplication::translate("radmtf::Report", "K (µGy)"),
         QCoreApplication::translate("radmtf::Report", "平均画素値"),
         QCoreApplication::translate("radmtf::Report", "残差 (線形)"),
         QCoreApplication::translate("radmtf::Report", "残差 (対数)")},
        y);
    font.setBold(false);
    painter.setFont(font);
    y += line * 1.2;
    for (std::size_t i = 0; i < d.kerma.size() && y + line < area.bottom(); ++i, y += line)
        row({d.names.value(static_cast<qsizetype>(i)), Short(d.kerma[i]), Short(d.meanValue[i]),
             Short(d.residualLinear[i]), Short(d.residualLog[i])},
            y);
}

}  // namespace

void WriteConversionReportPdf(const QString& path, const ConversionReportData& data)
{
    WriteA4Pdf(path, QCoreApplication::translate("radmtf::Report", "変換関数"), 1,
               [&](QPainter& painter, const QRectF& area, std::size_t, double unit) {
                   PaintPage(painter, area, data, unit);
               });
}

}  // namespace radmtf
