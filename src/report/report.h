// The one-page measurement report: what was measured, how, the MTF chart, a
// table at 0.5 cycles/mm steps and the summary figures. Drawn with QPainter
// only (no widgets), so the windows and the command line write the same
// pages, also without a display.
#pragma once

#include <QString>

#include <vector>

#include "report/report_page.h"

class QPainter;
class QRectF;

namespace radmtf {

// Lays one page out in `area` (device pixels of `painter`'s device).
void PaintReportPage(QPainter& painter, const QRectF& area, const ReportPage& page);

// Writes an A4 PDF, one page per entry; the file is replaced only when it is
// complete. Fails with the cannot-create failure naming `path`.
void WriteReportPdf(const QString& path, const std::vector<ReportPage>& pages);

}  // namespace radmtf
