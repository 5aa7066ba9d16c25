// The one-page measurement report: what was measured, how, the MTF chart, a
// table at 0.5 cycles/mm steps and the summary figures. Drawn with QPainter
// only (no widgets), so the windows and the command line write the same
// pages, also without a display.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

#include "mtf/mtf_summary.h"

class QPainter;

namespace radmtf {

// The settings a measurement used, as the user typed or the file gave them.
struct ReportSettings {
    QString roiCentre;  // "X, Y"
    QString roiSize;    // "W × H"
    QString orientation;
    QString maLines;
    QString smoothing;
    QString pixelSpacing;
    QString curveFile;  // the characteristic curve; empty: L and BitsStored
    QString latitude;
    QString bitsStored;
    QList<QPair<QString, QString>> methodRows;  // the method's own settings and findings (label, value)
};

// The method whose points a page shows; the chart methods' points are
// marked, the others' are a curve only.
enum class ReportMethod { kSlit, kChart, kPreciseSlit, kPreciseChart, kEdge };
QString ReportMethodName(ReportMethod method);

struct ReportPage {
    QString fileName;
    QDateTime date;
    QStringList acquisition;  // DICOM summary lines (model, kV, mAs, ...)
    ReportMethod method = ReportMethod::kSlit;
    ReportSettings settings;
    std::vector<CurvePoint> measured;  // the method's measured points
    double pixelSpacingMm = 0.0;
    QString failure;       // set when the file could not be measured: the page says why
    QStringList warnings;  // what the measurement warned about (processed or inverted data ...)
};

// Lays one page out in `area` (device pixels of `painter`'s device).
void PaintReportPage(QPainter& painter, const QRectF& area, const ReportPage& page);

// Writes an A4 PDF, one page per entry; the file is replaced only when it is
// complete. Fails with the cannot-create failure naming `path`.
void WriteReportPdf(const QString& path, const std::vector<ReportPage>& pages);

}  // namespace radmtf
