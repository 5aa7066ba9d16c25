// The report library's entries (see report_library.h).
#include <QGuiApplication>

#include "app/report_library.h"

extern "C" QCoreApplication* RadmtfMakeReportApplication(int& argc, char** argv)
{
    return new QGuiApplication(argc, argv);
}

extern "C" void RadmtfWriteReportPdf(const QString& path, const std::vector<radmtf::ReportPage>& pages)
{
    radmtf::WriteReportPdf(path, pages);
}

extern "C" void RadmtfWriteDqeReportPdf(const QString& path, const radmtf::DqeReportData& data)
{
    radmtf::WriteDqeReportPdf(path, data);
}
