// The NNPS and DQE reports' data made from a session, as the command line
// and the noise window both make it (Qt Core only).
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "measure/noise_session.h"
#include "measure/settings.h"
#include "nps/conversion.h"
#include "report/conversion_report.h"
#include "report/dqe_report.h"
#include "report/nnps_report.h"

namespace radmtf {

// "FILE: text" (or the text alone), several joined by spaces.
QString RefusalText(const std::vector<NoiseRefusal>& refusals);
QStringList FailureTexts(const std::vector<Failure>& failures);

// Dated now; `settings` as the session ran.
NnpsReportData MakeNnpsReportData(const NnpsSession& session, const NoiseSettings& settings,
                                  const ReportNotes& notes);
DqeReportData MakeDqeReportData(const DqeSession& session, const ReportNotes& notes);
// `qa` the first flat field's.
ConversionReportData MakeConversionReportData(const ConversionFit& fit, const DicomQaFields& qa,
                                              const ReportNotes& notes);

}  // namespace radmtf
