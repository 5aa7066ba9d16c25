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

extern "C" void RadmtfWriteNnpsReportPdf(const QString& path, const radmtf::NnpsReportData& data)
{
    radmtf::WriteNnpsReportPdf(path, data);
}

extern "C" void RadmtfWriteNnpsImagePng(const QString& path, const radmtf::NnpsReportData& data)
{
    radmtf::WriteNnpsImagePng(path, data);
}

extern "C" void RadmtfWriteConversionReportPdf(const QString& path, const radmtf::ConversionReportData& data)
{
    radmtf::WriteConversionReportPdf(path, data);
}
