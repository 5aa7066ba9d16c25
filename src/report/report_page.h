// What a report page says, and the one way to make it: from the record of
// what produced the curve (the file, the settings as used, the points), never
// from what a window shows now. Qt Core only, so the command line makes its
// pages without any GUI library.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

#include "measure/measurement.h"
#include "measure/settings.h"
#include "mtf/mtf_summary.h"

namespace radmtf {

// The settings a measurement used; a row left empty is one the method does
// not use, and the page leaves it out.
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
ReportMethod PageMethod(const MeasureSettings& settings);

struct ReportPage {
    QString fileName;
    QDateTime date;
    QString version;          // the program's, as --version gives it
    QStringList acquisition;  // DICOM summary lines (model, kV, mAs ...)
    // The QA block: the file's institution, device, exposure and date and
    // the notes typed for the report, only those that are given.
    QList<QPair<QString, QString>> qa;
    ReportMethod method = ReportMethod::kSlit;
    ReportSettings settings;
    std::vector<CurvePoint> measured;       // the method's measured points
    std::vector<CurvePoint> uncertainties;  // (frequency, standard uncertainty) where the method gives one
    double pixelSpacingMm = 0.0;
    QString failure;       // set when the file could not be measured: the page says why
    QStringList warnings;  // what the measurement warned about (processed or inverted data ...)
};

// The QA block's rows: the file's fields, then the notes, those given.
QList<QPair<QString, QString>> QaRows(const DicomQaFields& qa, const ReportNotes& notes);

// The page of one record, dated now.
ReportPage MakeReportPage(const MeasurementRecord& record, const ReportNotes& notes);

}  // namespace radmtf
