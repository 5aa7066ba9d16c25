#include "report/noise_report_data.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/messages.h"
#include "core/numtext.h"
#include "report/report_page.h"

namespace radmtf {

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("radmtf::Report", text);
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// The conversion function over the pixel values the flat fields hold (a
// decade below to a decade above their mean kerma), for the report's plot.
void SampleConversion(const Conversion& conversion, double kerma, std::vector<double>& pv,
                      std::vector<double>& k)
{
    constexpr int kSamples = 81;
    for (int i = 0; i < kSamples; ++i) {
        const double kermaAt = kerma * std::pow(10.0, -1.0 + 2.0 * i / (kSamples - 1));
        const double value = conversion.PixelValue(kermaAt);
        if (conversion.kind() == Conversion::Kind::kCurve || !std::isfinite(value)) continue;
        pv.push_back(value);
        k.push_back(kermaAt);
    }
}

}  // namespace

QString RefusalText(const std::vector<NoiseRefusal>& refusals)
{
    QString text;
    for (const NoiseRefusal& r : refusals) {
        if (!text.isEmpty()) text += ' ';
        if (!r.file.empty()) text += Q(r.file) + ": ";
        text += FailureText(r.failure);
    }
    return text;
}

QStringList FailureTexts(const std::vector<Failure>& failures)
{
    QStringList texts;
    for (const Failure& f : failures) texts.append(FailureText(f));
    return texts;
}

NnpsReportData MakeNnpsReportData(const NnpsSession& session, const NoiseSettings& settings,
                                  const ReportNotes& notes)
{
    NnpsReportData d;
    d.date = QDateTime::currentDateTime();
    d.version = QStringLiteral("radmtf " RADMTF_VERSION);
    d.qa = QaRows(session.qa, notes);
    for (const std::string& f : session.files)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "平坦画像")), Q(f)});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "変換関数")), Q(session.conversion)});
    if (settings.kerma)
        d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "空気カーマ K (µGy)")),
                           Q(FloatToStr(static_cast<double>(*settings.kerma)))});
    if (session.refusal) {
        d.failure = RefusalText({*session.refusal});
        return d;
    }
    const NnpsResult& r = *session.result;
    d.settings.append(
        {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "画素間隔 (mm)")),
         Q(FloatToStr(r.dx)) + (settings.pixelSpacing ? QString() : QStringLiteral(" (DICOM)"))});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "ROI (画素)")),
                       QStringLiteral("%1 × %1, %2").arg(kNnpsRoi).arg(kNnpsStep)});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "解析範囲 (mm)")),
                       Q(FloatToStr(r.settings.areaMm)) + " × " + Q(FloatToStr(r.settings.areaMm))});
    d.figures.append(
        {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "平均信号 (µGy)")), Q(FloatToStr(r.meanSignal))});
    d.figures.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "ROI の数")), QString::number(r.rois)});
    d.figures.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "独立な画素")), QString::number(r.pixels)});
    for (const NnpsPoint& p : r.points) {
        d.frequency.push_back(p.frequency);
        d.nnpsU.push_back(p.nnpsU);
        d.nnpsV.push_back(p.nnpsV);
        d.uNnpsU.push_back(p.uNnpsU);
        d.uNnpsV.push_back(p.uNnpsV);
    }
    d.nnps2d = r.nnps2d;
    d.dx = r.dx;
    d.dy = r.dy;
    d.messages = FailureTexts(r.warnings);
    return d;
}

DqeReportData MakeDqeReportData(const DqeSession& s, const ReportNotes& notes)
{
    DqeReportData d;
    d.date = QDateTime::currentDateTime();
    d.version = QStringLiteral("radmtf " RADMTF_VERSION);
    d.qa = QaRows(s.qa, notes);
    const DqeInputs& in = s.inputs;
    for (const std::string& f : in.flats)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "平坦画像")), Q(f)});
    for (const std::string& f : s.edgesU)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジ画像 u")), Q(f)});
    for (const std::string& f : s.edgesV)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "エッジ画像 v")), Q(f)});
    if (in.mtfFileU)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "MTF ファイル u")), Q(*in.mtfFileU)});
    if (in.mtfFileV)
        d.files.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "MTF ファイル v")), Q(*in.mtfFileV)});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "変換関数")), Q(s.conversion)});
    d.settings.append(
        {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "空気カーマ K (µGy)")), Q(FloatToStr(s.kerma))});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "線質")), Q(in.quality)});
    d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "SNR²_in の表の版")), Q(in.snrTable)});
    if (in.snr2) d.settings.append({QStringLiteral("--snr2"), Q(FloatToStr(*in.snr2))});
    const QString message = RefusalText(s.refusals);
    if (s.result) {
        d.settings.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "SNR²_in (1/(mm² µGy))")),
                           Q(FloatToStr(s.result->snr2In))});
        d.settings.append(
            {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "q = K SNR²_in (1/mm²)")), Q(FloatToStr(s.result->q))});
        if (s.usedConversion) SampleConversion(*s.usedConversion, s.kerma, d.conversionPv, d.conversionKerma);
        for (const DqePoint& p : s.result->points) {
            d.frequency.push_back(p.frequency);
            d.mtfU.push_back(p.mtfU);
            d.mtfV.push_back(p.mtfV);
            d.nnpsU.push_back(p.nnpsU);
            d.nnpsV.push_back(p.nnpsV);
            d.dqeU.push_back(p.dqeU);
            d.dqeV.push_back(p.dqeV);
            d.uDqeU.push_back(p.uDqeU);
            d.uDqeV.push_back(p.uDqeV);
        }
        if (!message.isEmpty()) d.messages.append(message);
    } else {
        d.failure = message;
    }
    d.messages.append(FailureTexts(s.warnings));
    return d;
}

ConversionReportData MakeConversionReportData(const ConversionFit& fit, const DicomQaFields& qa,
                                              const ReportNotes& notes)
{
    ConversionReportData d;
    d.date = QDateTime::currentDateTime();
    d.version = QStringLiteral("radmtf " RADMTF_VERSION);
    d.qa = QaRows(qa, notes);
    const auto number = [](double v) { return Q(FloatToStr(v)); };
    d.figures.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "採用したモデル")),
                      fit.logChosen ? Tr(QT_TRANSLATE_NOOP("radmtf::Report", "対数"))
                                    : Tr(QT_TRANSLATE_NOOP("radmtf::Report", "線形"))});
    // The figures as the conversion file gives them.
    d.figures.append(
        {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "線形")), QStringLiteral("PV = OFFSET + GAIN K")});
    d.figures.append({QStringLiteral("OFFSET"), number(fit.offset)});
    d.figures.append({QStringLiteral("GAIN"), number(fit.gain)});
    d.figures.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "R² (線形)")), number(fit.r2Linear)});
    d.figures.append(
        {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "対数")), QStringLiteral("PV = C0 + C1 log10(K / KREF)")});
    d.figures.append({QStringLiteral("C0"), number(fit.c0)});
    d.figures.append({QStringLiteral("C1"), number(fit.c1)});
    d.figures.append({QStringLiteral("KREF"), number(fit.kref)});
    d.figures.append({Tr(QT_TRANSLATE_NOOP("radmtf::Report", "R² (対数)")), number(fit.r2Log)});
    for (std::size_t i = 0; i < fit.samples.size(); ++i) {
        const ConversionSample& s = fit.samples[i];
        d.files.append(
            {Tr(QT_TRANSLATE_NOOP("radmtf::Report", "平坦画像")),
             Q(s.name) + QStringLiteral(" (K %1 µGy, PV %2)").arg(number(s.kerma), number(s.meanValue))});
        d.names.append(QString::fromStdString(std::filesystem::path(s.name).filename().string()));
        d.kerma.push_back(s.kerma);
        d.meanValue.push_back(s.meanValue);
    }
    d.residualLinear = fit.residualLinear;
    d.residualLog = fit.residualLog;
    // Both fits a little beyond the kermas measured (the log one has no
    // value at 0); past the highest, so that the legend hides no point.
    if (d.kerma.empty()) return d;
    const auto [lowest, highest] = std::minmax_element(d.kerma.begin(), d.kerma.end());
    const double low = 0.8 * *lowest, high = 1.25 * *highest;
    constexpr int kSamples = 101;
    for (int i = 0; i < kSamples; ++i) {
        const double k = low + (high - low) * i / (kSamples - 1);
        d.curveKerma.push_back(k);
        d.linearPv.push_back(fit.offset + fit.gain * k);
        d.logPv.push_back(fit.c0 + fit.c1 * std::log10(k / fit.kref));
    }
    return d;
}

}  // namespace radmtf
