// The NNPS report: one A4 page of the 1-D NNPS along u and v (log axis), a
// table at 0.5 cycles/mm steps, the 2-D NNPS as an image, the settings, the
// files and the first flat field's QA fields; and the 2-D NNPS alone as a
// PNG. The data is Qt Core only, so the command line fills it without any
// GUI library; the drawing (QPainter) lives in the report library.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

class QImage;

namespace radmtf {

struct NnpsReportData {
    QDateTime date;
    QString version;                          // the program's, as --version gives it
    QList<QPair<QString, QString>> qa;        // the first flat field's QA fields and the notes typed
    QList<QPair<QString, QString>> files;     // (role, path)
    QList<QPair<QString, QString>> settings;  // (label, value)
    QList<QPair<QString, QString>> figures;   // mean signal, ROIs, pixels
    std::vector<double> frequency, nnpsU, nnpsV, uNnpsU, uNnpsV;
    // The 2-D NNPS as NnpsResult::nnps2d lays it out (n x n, zero frequency
    // at [n/2][n/2]) and the pixel spacing it was measured at; empty when
    // nothing was measured.
    std::vector<double> nnps2d;
    double dx = 0.0, dy = 0.0;
    QStringList messages;  // the warnings
    QString failure;       // set when nothing was measured: the page says why
};

// The 2-D NNPS on a log grey scale, u along x and v up along y, zero
// frequency at the centre, with its frequency axes and a scale of decades.
// A null image when there is no 2-D NNPS.
QImage NnpsSpectrumImage(const NnpsReportData& data);

// Writes the report as an A4 PDF, or the image as a PNG, replaced only when
// complete. Fails with the cannot-create failure naming `path`.
void WriteNnpsReportPdf(const QString& path, const NnpsReportData& data);
void WriteNnpsImagePng(const QString& path, const NnpsReportData& data);

}  // namespace radmtf
