// The conversion function's report: one A4 page of the flat fields' mean
// pixel values against kerma with both fitted models, their R², the model
// chosen, the residuals and the first flat field's QA fields. The data is
// Qt Core only; the drawing (QPainter) lives in the report library.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

namespace radmtf {

struct ConversionReportData {
    QDateTime date;
    QString version;                                  // the program's, as --version gives it
    QList<QPair<QString, QString>> qa;                // the first flat field's QA fields and the notes typed
    QList<QPair<QString, QString>> files;             // (role, path with its kerma and mean PV)
    QList<QPair<QString, QString>> figures;           // both fits, their R², the model chosen
    std::vector<double> kerma, meanValue;             // per flat field (uGy, PV)
    std::vector<double> residualLinear, residualLog;  // measured - fitted PV
    QStringList names;                                // the flat fields' file names
    std::vector<double> curveKerma, linearPv, logPv;  // both fits, sampled
};

// Writes the report as an A4 PDF, replaced only when complete. Fails with the
// cannot-create failure naming `path`.
void WriteConversionReportPdf(const QString& path, const ConversionReportData& data);

}  // namespace radmtf
