#include "report/nnps_report.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "core/file_bytes.h"
#include "report/plot.h"
#include "report/report.h"

namespace radmtf {

namespace {

// The figure's layout in image pixels: each frequency bin a kScale square.
constexpr int kScale = 2, kLeft = 56, kTop = 28, kRight = 96, kBottom = 48;

// The decades the grey scale spans: up to the largest value, down to the
// 1st percentile of the positive ones (the few near zero frequency, which
// the detrending empties, would leave the rest one grey), at least one.
std::pair<double, double> Decades(const std::vector<double>& values)
{
    std::vector<double> logs;
    for (double v : values)
        if (std::isfinite(v) && v > 0) logs.push_back(std::log10(v));
    if (logs.empty()) return {0.0, 1.0};
    std::sort(logs.begin(), logs.end());
    const double top = std::ceil(logs.back());
    const double bottom = std::min(std::floor(logs[logs.size() / 100]), top - 1);
    return {bottom, top};
}

// Tick frequencies: a step of 1, 2 or 5 cycles/mm (or tenths) giving a few.
double TickStep(double nyquist)
{
    for (double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0})
        if (nyquist / step <= 4) return step;
    return 20.0;
}

QString TickText(double f)
{
    return QString::number(f, 'g', 3);
}

}  // namespace

QImage NnpsSpectrumImage(const NnpsReportData& d)
{
    const int n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(d.nnps2d.size()))));
    if (n < 2 || static_cast<std::size_t>(n) * n != d.nnps2d.size() || !(d.dx > 0) || !(d.dy > 0)) return {};
    const int side = n * kScale;
    QImage image(kLeft + side + kRight, kTop + side + kBottom, QImage::Format_RGB32);
    image.fill(Qt::white);
    const auto [low, high] = Decades(d.nnps2d);
    const auto grey = [&](double v) {
        if (!std::isfinite(v) || v <= 0) return 0;
        return static_cast<int>(
            std::lround(255 * std::clamp((std::log10(v) - low) / (high - low), 0.0, 1.0)));
    };
    // Row l + n/2 of the spectrum is v = l / (n dy): drawn with v rising upwards.
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column) {
            const int g = grey(d.nnps2d[static_cast<std::size_t>(row) * n + column]);
            const QRgb rgb = qRgb(g, g, g);
            const int y = kTop + (n - 1 - row) * kScale, x = kLeft + column * kScale;
            for (int dy = 0; dy < kScale; ++dy)
                for (int dx = 0; dx < kScale; ++dx) image.setPixel(x + dx, y + dy, rgb);
        }
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawRect(kLeft - 1, kTop - 1, side + 1, side + 1);
    // The centre of the bin of frequency f along u (x) and v (y).
    const auto xOf = [&](double f) { return kLeft + (f * n * d.dx + n / 2 + 0.5) * kScale; };
    const auto yOf = [&](double f) { return kTop + (n / 2 - 1 - f * n * d.dy + 0.5) * kScale; };
    const double nyquistU = 0.5 / d.dx, nyquistV = 0.5 / d.dy;
    const double stepU = TickStep(nyquistU), stepV = TickStep(nyquistV);
    for (double f = -std::floor(nyquistU / stepU) * stepU; f <= nyquistU * 0.999; f += stepU) {
        const double x = xOf(f);
        painter.drawLine(QPointF(x, kTop + side), QPointF(x, kTop + side + 5));
        painter.drawText(QRectF(x - 30, kTop + side + 6, 60, 16), Qt::AlignCenter, TickText(f));
    }
    for (double f = -std::floor(nyquistV / stepV) * stepV; f <= nyquistV * 0.999; f += stepV) {
        const double y = yOf(f);
        painter.drawLine(QPointF(kLeft - 6, y), QPointF(kLeft - 1, y));
        painter.drawText(QRectF(0, y - 8, kLeft - 8, 16), Qt::AlignRight | Qt::AlignVCenter, TickText(f));
    }
    painter.drawText(QRectF(kLeft, kTop + side + 24, side, 18), Qt::AlignCenter,
                     QCoreApplication::translate("radmtf::Report", "u (cycles/mm)"));
    painter.drawText(QRectF(0, 4, kLeft + side, 18), Qt::AlignLeft,
                     QCoreApplication::translate("radmtf::Report", "v (cycles/mm)"));
    painter.drawText(QRectF(kLeft, 4, side, 18), Qt::AlignRight,
                     QCoreApplication::translate("radmtf::Report", "NNPS (mm²)"));
    // The scale: a bar from the lowest decade (bottom) to the highest.
    const QRectF bar(kLeft + side + 16, kTop, 18, side);
    for (int y = 0; y < side; ++y) {
        const int g = static_cast<int>(std::lround(255.0 * (side - 1 - y) / (side - 1)));
        painter.setPen(QColor(g, g, g));
        painter.drawLine(QPointF(bar.left(), bar.top() + y + 0.5), QPointF(bar.right(), bar.top() + y + 0.5));
    }
    painter.setPen(Qt::black);
    painter.drawRect(bar);
    for (double e = low; e <= high + 0.5; e += 1.0) {
        const double y = bar.bottom() - (e - low) / (high - low) * side;
        painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + 4, y));
        painter.drawText(QRectF(bar.right() + 6, y - 8, kRight - 40, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("1e%1").arg(static_cast<int>(std::lround(e))));
    }
    return image;
}

void WriteNnpsImagePng(const QString& path, const NnpsReportData& data)
{
    const QImage image = NnpsSpectrumImage(data);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&png, "PNG")) ThrowCannotCreate(path.toStdString());
    ReplaceFile(QFile::encodeName(path).toStdString(),
                std::string_view(png.data().constData(), static_cast<std::size_t>(png.size())));
}

namespace {

// "NNPS ± u" in three significant digits.
QString WithUncertainty(double v, double u)
{
    if (!std::isfinite(v)) return QStringLiteral("-");
    return QString::number(v, 'e', 2) + " ± " + QString::number(u, 'e', 1);
}

void PaintPage(QPainter& painter, const QRectF& area, const NnpsReportData& d, double unit)
{
    PaintPageHeader(painter, area,
                    QCoreApplication::translate("radmtf::Report", "NNPS 報告書 (IEC 62220-1-1)"), d.date,
                    d.version, 1, 1, unit);
    const double half = (area.width() - 6 * unit) / 2;
    double y = area.top() + 12 * unit;
    double left = PaintRows(painter, area.left(), y, half,
                            QCoreApplication::translate("radmtf::Report", "設定"), d.settings, unit);
    if (!d.figures.isEmpty())
        left = PaintRows(painter, area.left(), left, half,
                         QCoreApplication::translate("radmtf::Report", "結果"), d.figures, unit);
    double right = PaintRows(painter, area.left() + half + 6 * unit, y, half,
                             QCoreApplication::translate("radmtf::Report", "ファイル"), d.files, unit);
    if (!d.qa.isEmpty())
        right = PaintRows(painter, area.left() + half + 6 * unit, right, half,
                          QCoreApplication::translate("radmtf::Report", "QA 情報 (1 枚目の平坦画像)"), d.qa,
                          unit);
    y = PaintNotes(painter, area, std::max(left, right), d.messages, d.failure);
    if (!d.failure.isEmpty()) return;
    const double plotHeight = std::min(75 * unit, (area.bottom() - y) / 2);
    PaintNnpsPlot(painter, QRectF(area.left(), y + 2 * unit, area.width(), plotHeight), d.frequency, d.nnpsU,
                  d.nnpsV, unit);
    y += plotHeight + 6 * unit;
    // The table at 0.5 cycles/mm steps on the left, the 2-D NNPS on the right.
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    const double line = QFontMetricsF(font, painter.device()).height();
    const QString heads[] = {QCoreApplication::translate("radmtf::Report", "cycles/mm"),
                             QCoreApplication::translate("radmtf::Report", "NNPS u ± u (mm²)"),
                             QCoreApplication::translate("radmtf::Report", "NNPS v ± u (mm²)")};
    const double widths[] = {18, 36, 36};
    const auto row = [&](const QString* cells, double at) {
        double x = area.left();
        for (int i = 0; i < 3; ++i) {
            painter.drawText(QRectF(x, at, widths[i] * unit, line), Qt::AlignRight, cells[i]);
            x += widths[i] * unit;
        }
    };
    font.setBold(true);
    painter.setFont(font);
    row(heads, y);
    font.setBold(false);
    painter.setFont(font);
    double tableY = y + line * 1.2;
    const double top = d.frequency.empty() ? 0 : d.frequency.back();
    for (double f = 0.5; f <= top + 1e-9 && tableY + line < area.bottom(); f += 0.5) {
        const std::size_t at = NearestIndex(d.frequency, f);
        const QString cells[] = {Value(d.frequency[at], 2), WithUncertainty(d.nnpsU[at], d.uNnpsU[at]),
                                 WithUncertainty(d.nnpsV[at], d.uNnpsV[at])};
        row(cells, tableY);
        tableY += line;
    }
    const QImage image = NnpsSpectrumImage(d);
    if (image.isNull()) return;
    const double imageLeft = area.left() + 96 * unit;
    const double width =
        std::min(area.right() - imageLeft, (area.bottom() - y) * image.width() / image.height());
    painter.drawImage(QRectF(imageLeft, y, width, width * image.height() / image.width()), image);
}

}  // namespace

void WriteNnpsReportPdf(const QString& path, const NnpsReportData& data)
{
    WriteA4Pdf(path, QCoreApplication::translate("radmtf::Report", "NNPS 報告書 (IEC 62220-1-1)"), 1,
               [&](QPainter& painter, const QRectF& area, std::size_t, double unit) {
                   PaintPage(painter, area, data, unit);
               });
}

}  // namespace radmtf
