// The noise and DQE window's handlers: read the controls, run the session
// the command runs, show its result.
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "app/command_files.h"
#include "app/dqe_command.h"
#include "app/form3.h"
#include "app/noise_command.h"
#include "app/prompter.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "report/dqe_report.h"
#include "report/nnps_report.h"
#include "report/noise_report_data.h"

namespace radmtf {

namespace {

// The notes the analysis window keeps for its reports.
ReportNotes KeptNotes()
{
    const QSettings settings("radmtf", "radmtf");
    ReportNotes notes;
    notes.institution = settings.value("report/institution").toString().toStdString();
    notes.operatorName = settings.value("report/operator").toString().toStdString();
    notes.note = settings.value("report/note").toString().toStdString();
    return notes;
}

// The path to save to, or nothing when cancelled; never one of the files read.
std::optional<QString> SavePath(const QString& name, const QString& filter,
                                const std::vector<std::string>& read)
{
    const std::optional<QString> chosen = CurrentPrompter().saveFile(name, filter);
    if (!chosen) return std::nullopt;
    if (const std::optional<Failure> refusal = OutputRefusal(QFile::encodeName(*chosen).toStdString(), read))
        throw *refusal;
    return chosen;
}

void WriteText(const QString& path, const std::string& text)
{
    ReplaceFile(QFile::encodeName(path).toStdString(), text);
}

std::vector<std::string> ReadFiles(const DqeInputs& in)
{
    std::vector<std::string> read = in.flats;
    read.insert(read.end(), in.edges.begin(), in.edges.end());
    for (const auto& f : {in.mtfFileU, in.mtfFileV})
        if (f) read.push_back(*f);
    return read;
}

}  // namespace

void TForm3::ButtonAddFilesClick()
{
    if (const std::optional<QString> chosen = CurrentPrompter().openFile(QString()))
        ListFlats->addItem(*chosen);
}

void TForm3::ButtonAddFolderClick()
{
    // The folder of the file chosen, every file in it in the command's order.
    const std::optional<QString> chosen = CurrentPrompter().openFile(QString());
    if (!chosen) return;
    const std::string folder = QFileInfo(*chosen).absolutePath().toStdString();
    for (const std::string& file : ExpandInputs({folder}, {}, true))
        ListFlats->addItem(QString::fromStdString(file));
}

void TForm3::ButtonRemoveClick()
{
    qDeleteAll(ListFlats->selectedItems());
}

void TForm3::ButtonClearClick()
{
    ListFlats->clear();
}

void TForm3::ButtonConvFileClick()
{
    if (const std::optional<QString> chosen = CurrentPrompter().openFile(EditConvFile->text()))
        EditConvFile->setText(*chosen);
}

void TForm3::ButtonMtfUClick()
{
    if (const std::optional<QString> chosen = CurrentPrompter().openFile(EditMtfU->text()))
        EditMtfU->setText(*chosen);
}

void TForm3::ButtonMtfVClick()
{
    if (const std::optional<QString> chosen = CurrentPrompter().openFile(EditMtfV->text()))
        EditMtfV->setText(*chosen);
}

void TForm3::ButtonNnpsClick()
{
    const std::vector<std::string> files = flatFiles();
    nnpsSettings = readSettings(false);
    nnps = MeasureNnpsFiles(files, nnpsSettings);
    showNnps();
}

void TForm3::ButtonNnpsCsvClick()
{
    if (!nnps) ThrowFailure(FailureCode::kNoiseNotMeasured, {"NNPS"});
    if (const std::optional<QString> path = SavePath("nnps.csv", "CSV (*.csv)", nnps->files))
        WriteText(*path, NnpsResultText(*nnps, nnpsSettings, "csv"));
}

void TForm3::ButtonNnpsReportClick()
{
    if (!nnps) ThrowFailure(FailureCode::kNoiseNotMeasured, {"NNPS"});
    if (const std::optional<QString> path = SavePath("nnps_report.pdf", "PDF (*.pdf)", nnps->files))
        WriteNnpsReportPdf(*path, MakeNnpsReportData(*nnps, nnpsSettings, KeptNotes()));
}

void TForm3::ButtonNnpsImageClick()
{
    if (!nnps || !nnps->result) ThrowFailure(FailureCode::kNoiseNotMeasured, {"NNPS"});
    if (const std::optional<QString> path = SavePath("nnps.png", "PNG (*.png)", nnps->files))
        WriteNnpsImagePng(*path, MakeNnpsReportData(*nnps, nnpsSettings, {}));
}

void TForm3::ButtonDqeClick()
{
    const DqeInputs inputs = readDqeInputs();
    dqe = MeasureDqeFiles(inputs, readSettings(true));
    showDqe();
}

void TForm3::ButtonDqeCsvClick()
{
    if (!dqe) ThrowFailure(FailureCode::kNoiseNotMeasured, {"DQE"});
    if (const std::optional<QString> path = SavePath("dqe.csv", "CSV (*.csv)", ReadFiles(dqe->inputs)))
        WriteText(*path, DqeResultText(*dqe, "csv"));
}

void TForm3::ButtonDqeReportClick()
{
    if (!dqe) ThrowFailure(FailureCode::kNoiseNotMeasured, {"DQE"});
    if (const std::optional<QString> path = SavePath("dqe_report.pdf", "PDF (*.pdf)", ReadFiles(dqe->inputs)))
        WriteDqeReportPdf(*path, MakeDqeReportData(*dqe, KeptNotes()));
}

}  // namespace radmtf
