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

struct ReportPage {
    QString fileName;
    QDateTime date;
    QStringList acquisition;                  // DICOM summary lines (model, kV, mAs, ...)
    QString method;                           // the method's name as the user knows it
    QList<QPair<QString, QString>> settings;  // label, value
    std::vector<CurvePoint> measured;           // the method's measured points
    bool drawPointsOnly = false;              // a few points (bar chart): markers, not a line
    double pixelSpacingMm = 0.0;
};

// Lays one page out in `area` (device pixels of `painter`'s device).
void PaintReportPage(QPainter& painter, const QRectF& area, const ReportPage& page);

// Writes an A4 PDF, one page per entry; the file is replaced only when it is
// complete. Fails with the cannot-create failure naming `path`.
void WriteReportPdf(const QString& path, const std::vector<ReportPage>& pages);

}  // namespace radmtf
