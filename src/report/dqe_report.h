// The DQE report: two A4 pages of the whole characterisation (the conversion
// function, MTF, NNPS and DQE along u and v, a table at 0.5 cycles/mm steps,
// the files, the settings and the first flat field's QA fields). The data is
// Qt Core only, so the command line fills it without any GUI library; the
// drawing (QPainter) lives in the report library.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

namespace radmtf {

struct DqeReportData {
    QDateTime date;
    QString version;                          // the program's, as --version gives it
    QList<QPair<QString, QString>> qa;        // the first flat field's QA fields and the notes typed
    QList<QPair<QString, QString>> files;     // (role, path): flat fields, edge images, MTF files
    QList<QPair<QString, QString>> settings;  // (label, value)
    std::vector<double> conversionPv, conversionKerma;  // the conversion function, sampled
    // Per NNPS frequency; NaN where a direction has no value.
    std::vector<double> frequency, mtfU, mtfV, nnpsU, nnpsV, dqeU, dqeV, uDqeU, uDqeV;
    QStringList messages;  // the refusal of a direction, the warnings
    QString failure;       // set when nothing was measured: the pages say why
};

// Writes the report as an A4 PDF, replaced only when complete. Fails with the
// cannot-create failure naming `path`.
void WriteDqeReportPdf(const QString& path, const DqeReportData& data);

}  // namespace radmtf
