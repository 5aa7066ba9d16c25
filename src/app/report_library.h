// The PDF report draws with Qt Gui, so the measure command reaches it through
// a library of its own beside the program, loaded only for --report.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <vector>

#include "report/conversion_report.h"
#include "report/dqe_report.h"
#include "report/nnps_report.h"
#include "report/report.h"

namespace radmtf {

// The application object a report needs for its fonts (no display).
using MakeReportApplication = QCoreApplication* (*)(int& argc, char** argv);
inline constexpr char kMakeReportApplicationName[] = "RadmtfMakeReportApplication";

// WriteReportPdf, failures included.
using WriteReport = void (*)(const QString& path, const std::vector<ReportPage>& pages);
inline constexpr char kWriteReportName[] = "RadmtfWriteReportPdf";

// WriteDqeReportPdf, failures included.
using WriteDqeReport = void (*)(const QString& path, const DqeReportData& data);
inline constexpr char kWriteDqeReportName[] = "RadmtfWriteDqeReportPdf";

// WriteNnpsReportPdf and WriteNnpsImagePng, failures included.
using WriteNnpsFile = void (*)(const QString& path, const NnpsReportData& data);
inline constexpr char kWriteNnpsReportName[] = "RadmtfWriteNnpsReportPdf";
inline constexpr char kWriteNnpsImageName[] = "RadmtfWriteNnpsImagePng";

// WriteConversionReportPdf, failures included.
using WriteConversionReport = void (*)(const QString& path, const ConversionReportData& data);
inline constexpr char kWriteConversionReportName[] = "RadmtfWriteConversionReportPdf";

}  // namespace radmtf

extern "C" QCoreApplication* RadmtfMakeReportApplication(int& argc, char** argv);
extern "C" void RadmtfWriteReportPdf(const QString& path, const std::vector<radmtf::ReportPage>& pages);
extern "C" void RadmtfWriteDqeReportPdf(const QString& path, const radmtf::DqeReportData& data);
extern "C" void RadmtfWriteNnpsReportPdf(const QString& path, const radmtf::NnpsReportData& data);
extern "C" void RadmtfWriteNnpsImagePng(const QString& path, const radmtf::NnpsReportData& data);
extern "C" void RadmtfWriteConversionReportPdf(const QString& path, const radmtf::ConversionReportData& data);
