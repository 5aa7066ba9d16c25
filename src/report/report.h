// The one-page measurement report: what was measured, how, the MTF chart, a
// table at 0.5 cycles/mm steps and the summary figures. Drawn with QPainter
// only (no widgets), so the windows and the command line write the same
// pages, also without a display.
#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "report/report_page.h"

class QPainter;
class QRectF;

namespace radmtf {

// Lays one page out in `area` (device pixels of `painter`'s device).
void PaintReportPage(QPainter& painter, const QRectF& area, const ReportPage& page);

// An A4 PDF of `pageCount` pages, each drawn by paint(painter, area, page,
// device pixels per millimetre); `path` is replaced only when it is
// complete. Fails with the cannot-create failure naming `path`.
void WriteA4Pdf(const QString& path, const QString& title, std::size_t pageCount,
                const std::function<void(QPainter&, const QRectF&, std::size_t, double)>& paint);

// Writes an A4 PDF, one page per entry; the file is replaced only when it is
// complete. Fails with the cannot-create failure naming `path`.
void WriteReportPdf(const QString& path, const std::vector<ReportPage>& pages);

}  // namespace radmtf
