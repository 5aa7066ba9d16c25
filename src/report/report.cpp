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

#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"

namespace radmtf {

namespace {

QString Number(double value)
{
    return QString::fromStdString(FloatToStr(value));
}

QString Mtf3(const std::optional<double>& value)
{
    return value ? QString::fromStdString(FloatToStrRounded(*value, 3))
                 : QCoreApplication::translate("radmtf::Report", "到達せず");
}

QString Frequency(const std::optional<double>& value)
{
    return value ? QString::fromStdString(FloatToStrRounded(*value, 3)) + " " +
                       QCoreApplication::translate("radmtf::Report", "cycles/mm")
                 : QCoreApplication::translate("radmtf::Report", "到達せず");
}

// Device pixels per millimetre of the painter's device.
double PixelsPerMm(const QPainter& painter)
{
    return painter.device()->logicalDpiX() / 25.4;
}

// A step of 1, 2 or 5 times a power of ten that divides `span` into about
// `parts` intervals.
double RoundStep(double span, int parts)
{
    const double rough = span / parts;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    return (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * magnitude;
}

void PaintChart(QPainter& painter, const QRectF& box, const ReportPage& page, const MtfSummary& summary)
{
    const double mm = PixelsPerMm(painter);
    double fMax = 0.0;
    double mMax = 1.0;
    for (const auto& [f, m] : page.measured) {
        if (!std::isfinite(f) || !std::isfinite(m)) continue;
        fMax = std::max(fMax, f);
        mMax = std::max(mMax, m);
    }
    if (summary.nyquist) fMax = std::max(fMax, *summary.nyquist);
    if (fMax <= 0) fMax = 1;
    const double fStep = RoundStep(fMax, 10);
    fMax = std::ceil(fMax / fStep - 1e-9) * fStep;
    const double mStep = RoundStep(mMax, 10);
    mMax = std::ceil(mMax / mStep - 1e-9) * mStep;

    const QRectF plot = box.adjusted(14 * mm, 2 * mm, -2 * mm, -12 * mm);
    auto toX = [&](double f) { return plot.left() + plot.width() * f / fMax; };
    auto toY = [&](double m) { return plot.bottom() - plot.height() * m / mMax; };

    QFont small = painter.font();
    small.setPointSizeF(7.5);
    painter.setFont(small);
    const QFontMetricsF metrics(small);
    painter.setPen(QPen(QColor(210, 210, 210), 0.15 * mm));
    for (double f = 0; f <= fMax + fStep / 2; f += fStep) {
        painter.drawLine(QPointF(toX(f), plot.top()), QPointF(toX(f), plot.bottom()));
    }
    for (double m = 0; m <= mMax + mStep / 2; m += mStep) {
        painter.drawLine(QPointF(plot.left(), toY(m)), QPointF(plot.right(), toY(m)));
    }
    painter.setPen(QPen(Qt::black, 0.2 * mm));
    painter.drawRect(plot);
    for (double f = 0; f <= fMax + fStep / 2; f += fStep) {
        const QString label = Number(std::round(f / fStep) * fStep);
        painter.drawText(QRectF(toX(f) - 10 * mm, plot.bottom() + 1 * mm, 20 * mm, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, label);
    }
    for (double m = 0; m <= mMax + mStep / 2; m += mStep) {
        const QString label = Number(std::round(m / mStep) * mStep);
        painter.drawText(
            QRectF(plot.left() - 13 * mm, toY(m) - metrics.height() / 2, 12 * mm, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, label);
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 5 * mm, plot.width(), metrics.height() * 1.5),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QCoreApplication::translate("radmtf::Report", "空間周波数 (cycles/mm)"));
    painter.save();
    painter.translate(box.left() + 1 * mm, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-20 * mm, 0, 40 * mm, metrics.height() * 1.5), Qt::AlignHCenter | Qt::AlignTop,
                     "MTF");
    painter.restore();

    // Reference lines: the two levels and the Nyquist frequency.
    painter.setPen(QPen(QColor(90, 90, 90), 0.2 * mm, Qt::DashLine));
    for (double level : {0.5, 0.1})
        painter.drawLine(QPointF(plot.left(), toY(level)), QPointF(plot.right(), toY(level)));
    if (summary.nyquist) {
        painter.drawLine(QPointF(toX(*summary.nyquist), plot.top()),
                         QPointF(toX(*summary.nyquist), plot.bottom()));
        // Right of the line, or left of it at the plot's right edge.
        const bool atRight = toX(*summary.nyquist) + 31 * mm > plot.right();
        painter.drawText(QRectF(atRight ? toX(*summary.nyquist) - 31 * mm : toX(*summary.nyquist) + 1 * mm,
                                plot.top() + 1 * mm, 30 * mm, metrics.height()),
                         (atRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop,
                         QCoreApplication::translate("radmtf::Report", "ナイキスト"));
    }

    painter.save();
    painter.setClipRect(plot);
    QPainterPath curve;
    bool started = false;
    for (const auto& [f, m] : page.measured) {
        if (!std::isfinite(f) || !std::isfinite(m) || f > fMax) continue;
        const QPointF point(toX(f), toY(m));
        if (!started)
            curve.moveTo(point);
        else
            curve.lineTo(point);
        started = true;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::red, 0.4 * mm));
    painter.drawPath(curve);
    if (page.method == ReportMethod::kChart || page.method == ReportMethod::kPreciseChart) {
        painter.setBrush(QColor(0, 160, 0));
        painter.setPen(Qt::NoPen);
        for (const auto& [f, m] : page.measured)
            if (std::isfinite(f) && std::isfinite(m))
                painter.drawRect(QRectF(toX(f) - mm, toY(m) - mm, 2 * mm, 2 * mm));
    }
    painter.restore();
}

// The rows the method used; an empty one it does not use.
QList<QPair<QString, QString>> SettingsRows(const ReportSettings& s)
{
    const QList<QPair<QString, QString>> all = {
        {QCoreApplication::translate("radmtf::Report", "ROI 中心"), s.roiCentre},
        {QCoreApplication::translate("radmtf::Report", "ROI サイズ"), s.roiSize},
        {QCoreApplication::translate("radmtf::Report", "方向"), s.orientation},
        {"MA-Line#", s.maLines},
        {QCoreApplication::translate("radmtf::Report", "平滑化"), s.smoothing},
        {QCoreApplication::translate("radmtf::Report", "画素間隔 (mm)"), s.pixelSpacing},
        {QCoreApplication::translate("radmtf::Report", "特性曲線"), s.curveFile},
        {"L", s.curveFile.isEmpty() ? s.latitude : QString()},
        {"BitsStored", s.curveFile.isEmpty() ? s.bitsStored : QString()},
    };
    QList<QPair<QString, QString>> rows;
    for (const auto& row : all)
        if (!row.second.isEmpty()) rows.append(row);
    rows.append(s.methodRows);
    return rows;
}

// A label and value table with a fixed first column; returns the bottom.
double PaintPairs(QPainter& painter, double x, double y, double labelWidth, double width,
                  const QList<QPair<QString, QString>>& pairs)
{
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.lineSpacing();
    for (const auto& [label, value] : pairs) {
        painter.drawText(QRectF(x, y, labelWidth, line), Qt::AlignLeft | Qt::AlignVCenter, label);
        const QString shown = metrics.elidedText(value, Qt::ElideMiddle, width - labelWidth);
        painter.drawText(QRectF(x + labelWidth, y, width - labelWidth, line),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
        y += line;
    }
    return y;
}

}  // namespace

void PaintReportPage(QPainter& painter, const QRectF& area, const ReportPage& page)
{
    const double mm = PixelsPerMm(painter);
    const MtfSummary summary = SummarizeMtf(page.measured, page.pixelSpacingMm);
    painter.save();
    painter.setPen(Qt::black);

    QFont title = painter.font();
    title.setPointSizeF(15);
    title.setBold(true);
    painter.setFont(title);
    const double titleHeight = QFontMetricsF(title).lineSpacing();
    painter.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QCoreApplication::translate("radmtf::Report", "プリサンプリング MTF 報告書"));
    double y = area.top() + titleHeight + 3 * mm;

    QFont body = painter.font();
    body.setPointSizeF(9);
    body.setBold(false);
    painter.setFont(body);
    const double half = area.width() / 2;
    QList<QPair<QString, QString>> head = {
        {QCoreApplication::translate("radmtf::Report", "ファイル"), page.fileName},
        {QCoreApplication::translate("radmtf::Report", "作成日時"), page.date.toString("yyyy-MM-dd HH:mm")},
        {QCoreApplication::translate("radmtf::Report", "プログラム"), page.version},
    };
    if (!page.acquisition.isEmpty())
        head.append({QCoreApplication::translate("radmtf::Report", "撮影条件"), page.acquisition.join(", ")});
    head.append({QCoreApplication::translate("radmtf::Report", "測定法"), ReportMethodName(page.method)});
    y = PaintPairs(painter, area.left(), y, 30 * mm, area.width(), head) + 2 * mm;
    // The QA block: who measured what device, in two columns.
    if (!page.qa.isEmpty()) {
        const qsizetype firstQa = (page.qa.size() + 1) / 2;
        const double qaLeft =
            PaintPairs(painter, area.left(), y, 40 * mm, half - 2 * mm, page.qa.mid(0, firstQa));
        const double qaRight =
            PaintPairs(painter, area.left() + half, y, 40 * mm, half, page.qa.mid(firstQa));
        y = std::max(qaLeft, qaRight) + 2 * mm;
    }
    // Settings in two columns.
    const QList<QPair<QString, QString>> settings = SettingsRows(page.settings);
    const qsizetype firstColumn = (settings.size() + 1) / 2;
    const double left =
        PaintPairs(painter, area.left(), y, 40 * mm, half - 2 * mm, settings.mid(0, firstColumn));
    const double right = PaintPairs(painter, area.left() + half, y, 40 * mm, half, settings.mid(firstColumn));
    y = std::max(left, right) + 3 * mm;
    if (!page.warnings.isEmpty()) {
        const QString text = page.warnings.join("\n");
        const QRectF box = painter.boundingRect(QRectF(area.left(), y, area.width(), area.bottom() - y),
                                                Qt::AlignLeft | Qt::TextWordWrap, text);
        painter.drawText(box, Qt::AlignLeft | Qt::TextWordWrap, text);
        y = box.bottom() + 3 * mm;
    }
    if (!page.failure.isEmpty()) {
        painter.drawText(
            QRectF(area.left(), y, area.width(), area.bottom() - y), Qt::AlignLeft | Qt::TextWordWrap,
            QCoreApplication::translate("radmtf::Report", "測定できませんでした: %1").arg(page.failure));
        painter.restore();
        return;
    }

    const QRectF chartBox(area.left(), y, area.width(), 95 * mm);
    PaintChart(painter, chartBox, page, summary);
    y = chartBox.bottom() + 4 * mm;
    painter.setFont(body);

    // Table at 0.5 cycles/mm steps up to Nyquist, in blocks of rows side by side.
    const QFontMetricsF metrics(body);
    const double line = metrics.lineSpacing() * 1.15;
    const std::vector<double> steps =
        summary.nyquist ? HalfCycleSteps(*summary.nyquist) : std::vector<double>{};
    const int rowsPerBlock = 12;
    // A method with uncertainties gives them where it measured at a step.
    const bool withU = !page.uncertainties.empty();
    const double cell = 22 * mm;                 // frequency, MTF
    const double uCell = withU ? 18 * mm : 0.0;  // ±u
    QFont bold = body;
    bold.setBold(true);
    const int blocks = std::max(1, static_cast<int>((steps.size() + rowsPerBlock - 1) / rowsPerBlock));
    // A chart measures its groups only; between them the table reads the
    // line joining two measured groups, and says so.
    const bool chart = page.method == ReportMethod::kChart || page.method == ReportMethod::kPreciseChart;
    const double blockWidth = 2 * cell + uCell + 4 * mm;
    const auto uncertaintyAt = [&](double f) -> QString {
        for (const auto& [at, u] : page.uncertainties)
            if (std::abs(at - f) <= 1e-9 * std::max(1.0, f))
                return QString(QChar(0x00B1)) + QString::fromStdString(FormatFixed(u, 3));
        return "-";
    };
    bool anyInterpolated = false;
    for (int b = 0; b < blocks; ++b) {
        const double x = area.left() + b * blockWidth;
        painter.setFont(bold);
        painter.drawText(QRectF(x, y, cell, line), Qt::AlignLeft | Qt::AlignVCenter,
                         QCoreApplication::translate("radmtf::Report", "cycles/mm"));
        painter.drawText(QRectF(x + cell, y, cell, line), Qt::AlignLeft | Qt::AlignVCenter, "MTF");
        if (withU)
            painter.drawText(QRectF(x + 2 * cell, y, uCell, line), Qt::AlignLeft | Qt::AlignVCenter,
                             QString(QChar(0x00B1)) + "u");
        painter.setFont(body);
        painter.drawLine(QPointF(x, y + line), QPointF(x + 2 * cell + uCell - 2 * mm, y + line));
        for (int r = 0; r < rowsPerBlock; ++r) {
            const std::size_t i = static_cast<std::size_t>(b * rowsPerBlock + r);
            if (i >= steps.size()) break;
            const double rowY = y + (r + 1) * line;
            painter.drawText(QRectF(x, rowY, cell, line), Qt::AlignLeft | Qt::AlignVCenter, Number(steps[i]));
            const std::optional<double> value = ValueAt(page.measured, steps[i]);
            const bool interpolated = chart && value &&
                                      std::none_of(page.measured.begin(), page.measured.end(),
                                                   [&](const CurvePoint& p) { return p.first == steps[i]; });
            anyInterpolated = anyInterpolated || interpolated;
            painter.drawText(QRectF(x + cell, rowY, cell, line), Qt::AlignLeft | Qt::AlignVCenter,
                             Mtf3(value) + (interpolated ? " *" : ""));
            if (withU)
                painter.drawText(QRectF(x + 2 * cell, rowY, uCell, line), Qt::AlignLeft | Qt::AlignVCenter,
                                 value ? uncertaintyAt(steps[i]) : QString("-"));
        }
    }
    if (anyInterpolated) {
        const std::size_t rows = std::min<std::size_t>(steps.size(), rowsPerBlock);
        painter.drawText(
            QRectF(area.left(), y + (static_cast<double>(rows) + 1.3) * line, area.width(), line),
            Qt::AlignLeft | Qt::AlignVCenter,
            QCoreApplication::translate("radmtf::Report", "* 測定したバー群の間を補間した値"));
    }
    // The summary figures to the right of the table, or below it where the
    // table leaves them too little room.
    const double labelWidth = 45 * mm;
    double summaryX = area.left() + std::min(blocks, 2) * blockWidth + 6 * mm;
    if (area.right() - summaryX < labelWidth + 30 * mm) {
        summaryX = area.left();
        y += (static_cast<double>(std::min<std::size_t>(steps.size(), rowsPerBlock)) + 2.5) * line;
    }
    QList<QPair<QString, QString>> figures = {
        {"MTF50", Frequency(summary.mtf50)},
        {"MTF10", Frequency(summary.mtf10)},
        {QCoreApplication::translate("radmtf::Report", "ナイキスト周波数"),
         summary.nyquist
             ? Number(*summary.nyquist) + " " + QCoreApplication::translate("radmtf::Report", "cycles/mm")
             : "-"},
        {QCoreApplication::translate("radmtf::Report", "ナイキスト周波数での MTF"), Mtf3(summary.atNyquist)},
    };
    painter.setFont(bold);
    PaintPairs(painter, summaryX, y, labelWidth, area.right() - summaryX, figures);
    painter.restore();
}

void WriteA4Pdf(const QString& path, const QString& title, std::size_t pageCount,
                const std::function<void(QPainter&, const QRectF&, std::size_t, double)>& paint)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setCreator("radmtf");
        writer.setTitle(title);
        QPainter painter;
        if (!painter.begin(&writer)) ThrowCannotCreate(path.toStdString());
        const QRectF area(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
        const double unit = writer.logicalDpiX() / 25.4;  // device pixels per millimetre
        for (std::size_t i = 0; i < pageCount; ++i) {
            if (i > 0) writer.newPage();
            paint(painter, area, i, unit);
        }
        painter.end();
    }
    ReplaceFile(QFile::encodeName(path).toStdString(),
                std::string_view(pdf.data().constData(), static_cast<std::size_t>(pdf.size())));
}

void WriteReportPdf(const QString& path, const std::vector<ReportPage>& pages)
{
    WriteA4Pdf(path, QCoreApplication::translate("radmtf::Report", "プリサンプリング MTF 報告書"),
               pages.size(), [&](QPainter& painter, const QRectF& area, std::size_t i, double) {
                   PaintReportPage(painter, area, pages[i]);
               });
}

}  // namespace radmtf
