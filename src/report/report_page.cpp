#include "report/report_page.h"

#include <QCoreApplication>

#include <algorithm>

#include "core/numtext.h"
#include "mtf/edge.h"

#ifndef RADMTF_VERSION
#error "RADMTF_VERSION must be defined"
#endif

namespace radmtf {

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("radmtf::Report", text);
}

// A header's text as the file wrote it: UTF-8 where it is that, else the
// bytes as Latin-1 (ISO_IR 100, the common character set of such headers).
QString HeaderText(const std::string& text)
{
    const QByteArray bytes = QByteArray::fromStdString(text);
    const QString utf8 = QString::fromUtf8(bytes);
    return utf8.toUtf8() == bytes ? utf8 : QString::fromLatin1(bytes);
}

// A DICOM date (YYYYMMDD) as 2026-12-10; anything else as written.
QString DateText(const std::string& date)
{
    if (date.size() == 8 &&
        std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return QString::fromStdString(date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2));
    return HeaderText(date);
}

// "linear:100,6.566813726637767" with six significant digits, to fit its
// cell; the CSV and JSON keep every digit.
QString ShortConversionText(const std::string& text)
{
    const QString whole = QString::fromStdString(text);
    const qsizetype colon = whole.indexOf(':');
    if (colon < 0) return whole;
    QStringList numbers = whole.mid(colon + 1).split(',');
    for (QString& number : numbers) {
        bool ok = false;
        const double value = number.toDouble(&ok);
        if (ok) number = QString::number(value, 'g', 6);
    }
    return whole.left(colon + 1) + numbers.join(',');
}

QList<QPair<QString, QString>> MethodRows(ReportMethod method, const MeasurementRecord& record)
{
    QList<QPair<QString, QString>> rows;
    const auto row = [&](const char* label, const std::string& value) {
        if (!value.empty()) rows.append({Tr(label), QString::fromStdString(value)});
    };
    using M = ReportMethod;
    if (method == M::kPreciseSlit || method == M::kPreciseChart)
        row(QT_TRANSLATE_NOOP("radmtf::Report", "幾何 (Auto)"), record.geometry);
    if (method == M::kPreciseSlit) {
        row(QT_TRANSLATE_NOOP("radmtf::Report", "スリット幅 (mm)"), FloatToStr(record.settings.slitWidth));
        row(QT_TRANSLATE_NOOP("radmtf::Report", "LSF 範囲 ± (mm)"), FloatToStr(record.settings.lsfRange));
    }
    if (method == M::kEdge) {
        if (record.edgeDirection == "vertical")
            rows.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジの向き")),
                         Tr(QT_TRANSLATE_NOOP("radmtf::Report", "縦"))});
        if (record.edgeDirection == "horizontal")
            rows.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジの向き")),
                         Tr(QT_TRANSLATE_NOOP("radmtf::Report", "横"))});
        if (record.edgeAngle) {
            EdgeResult edge;  // the angle as the edge page shows it
            edge.angle = *record.edgeAngle;
            row(QT_TRANSLATE_NOOP("radmtf::Report", "エッジ角度 (度)"), EdgeAngleText(edge));
        }
        const EdgeMethodSettings& e = record.settings.edge;
        row(QT_TRANSLATE_NOOP("radmtf::Report", "ESF ビン (画素)"), FloatToStr(e.binWidth));
        row(QT_TRANSLATE_NOOP("radmtf::Report", "LSF 範囲 ± (mm)"), FloatToStr(record.settings.lsfRange));
        row(QT_TRANSLATE_NOOP("radmtf::Report", "LSF テーパー"), FloatToStr(e.lsfTaper));
        row(QT_TRANSLATE_NOOP("radmtf::Report", "LSF コア ± (mm)"), FloatToStr(e.coreHalfWidth));
        row(QT_TRANSLATE_NOOP("radmtf::Report", "裾の遮断周波数 (c/mm)"), FloatToStr(e.tailCutoff));
        row(QT_TRANSLATE_NOOP("radmtf::Report", "MTF 平滑化 (c/mm)"), FloatToStr(e.smoothingInterval));
    }
    return rows;
}

}  // namespace

QList<QPair<QString, QString>> QaRows(const DicomQaFields& qa, const ReportNotes& notes)
{
    QList<QPair<QString, QString>> rows;
    const auto row = [&](const char* label, const QString& value) {
        if (!value.trimmed().isEmpty()) rows.append({Tr(label), value.trimmed()});
    };
    row(QT_TRANSLATE_NOOP("radmtf::Report", "測定施設"), QString::fromStdString(notes.institution));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "測定者"), QString::fromStdString(notes.operatorName));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "施設名 (画像)"), HeaderText(qa.institution));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "製造者"), HeaderText(qa.manufacturer));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "型式"), HeaderText(qa.model));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "装置シリアル番号"), HeaderText(qa.serialNumber));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "検出器 ID"), HeaderText(qa.detectorId));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "管電圧 (kV)"), HeaderText(qa.kvp));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "曝射量 (µAs)"), HeaderText(qa.exposureUAs));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "撮影日"), DateText(qa.Date()));
    row(QT_TRANSLATE_NOOP("radmtf::Report", "備考"), QString::fromStdString(notes.note));
    return rows;
}

QString ReportMethodName(ReportMethod method)
{
    switch (method) {
        case ReportMethod::kSlit:
            return Tr(QT_TRANSLATE_NOOP("radmtf::Report", "スリット"));
        case ReportMethod::kChart:
            return Tr(QT_TRANSLATE_NOOP("radmtf::Report", "矩形波チャート"));
        case ReportMethod::kPreciseSlit:
            return Tr(QT_TRANSLATE_NOOP("radmtf::Report", "スリット (精密)"));
        case ReportMethod::kPreciseChart:
            return Tr(QT_TRANSLATE_NOOP("radmtf::Report", "矩形波チャート (精密)"));
        case ReportMethod::kEdge:
            return Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジ"));
    }
    return {};
}

ReportMethod PageMethod(const MeasureSettings& s)
{
    switch (s.method) {
        case MeasureMethod::kEdge:
            return ReportMethod::kEdge;
        case MeasureMethod::kChart:
            return s.precise ? ReportMethod::kPreciseChart : ReportMethod::kChart;
        default:
            return s.precise ? ReportMethod::kPreciseSlit : ReportMethod::kSlit;
    }
}

ReportPage MakeReportPage(const MeasurementRecord& record, const ReportNotes& notes)
{
    ReportPage page;
    page.fileName = QString::fromStdString(record.file);
    // The version measured: a later copy under the same name differs here.
    if (!record.source.modified.empty())
        page.fileName +=
            QStringLiteral("  (%1 bytes, %2)")
                .arg(QString::number(record.source.size), QString::fromStdString(record.source.modified));
    page.date = QDateTime::currentDateTime();
    page.version = QStringLiteral("radmtf " RADMTF_VERSION);
    for (const QString& line : QString::fromStdString(record.acquisition).split("\r\n", Qt::SkipEmptyParts))
        if (!line.trimmed().isEmpty()) page.acquisition.append(line.trimmed());
    page.qa = QaRows(record.qa, notes);
    const MeasureSettings& s = record.settings;
    page.method = PageMethod(s);
    ReportSettings& out = page.settings;
    if (s.roi) {
        out.roiCentre = QString::number(s.roi->centreX) + ", " + QString::number(s.roi->centreY);
        out.roiSize = QString::number(s.roi->width) + " × " + QString::number(s.roi->height);
    }
    // The precise slit mode reads every line of the table, no profile: its
    // geometry estimate orients them and nothing is smoothed.
    if (s.method != MeasureMethod::kEdge) {  // the edge method has no profile
        if (page.method != ReportMethod::kPreciseSlit) out.orientation = QString::number(s.orientation);
        out.maLines = QString::number(s.maLines);
        if (page.method != ReportMethod::kPreciseSlit) out.smoothing = QString::number(s.smoothing);
    }
    if (s.pixelSpacing) out.pixelSpacing = QString::fromStdString(FloatToStr(*s.pixelSpacing));
    if (record.pixelSpacingSource == "imager") out.pixelSpacing += " (Imager Pixel Spacing)";
    if (record.pixelSpacingSource == "pixel") out.pixelSpacing += " (Pixel Spacing)";
    if (s.curveFile) {
        out.curveFile = QString::fromStdString(*s.curveFile);
    } else if (!s.conversion) {
        out.latitude = QString::fromStdString(FloatToStr(s.latitude));
        out.bitsStored = QString::fromStdString(FloatToStr(s.bitsStored));
    }
    out.methodRows = MethodRows(page.method, record);
    if (s.conversion)
        out.methodRows.prepend(
            {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "変換関数")), ShortConversionText(*s.conversion)});
    for (const std::string& warning : record.warnings) page.warnings.append(QString::fromStdString(warning));
    if (!record.summaryCurve.empty())
        page.measured = record.summaryCurve;
    else
        for (const MtfPoint& point : record.points)
            if (!point.notFound) page.measured.emplace_back(point.frequency, point.value);
    for (const MtfPoint& point : record.points)
        if (point.uncertainty && !point.notFound)
            page.uncertainties.emplace_back(point.frequency, *point.uncertainty);
    page.pixelSpacingMm = static_cast<double>(s.pixelSpacing.value_or(0.0L));
    page.failure = QString::fromStdString(record.failure);
    return page;
}

}  // namespace radmtf
