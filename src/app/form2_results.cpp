// Results that leave the analysis window: the summary of the last method,
// pictures and data of the charts, the MTF memos as CSV and the PDF report.
#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QSettings>
#include <QSvgGenerator>
#include <QtCharts/QAbstractAxis>

#include "analysis/exposure.h"
#include "analysis/pixel_table.h"
#include "app/edit_text.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/layout_helpers.h"
#include "app/messages.h"
#include "app/prompter.h"
#include "core/csv.h"
#include "core/failure.h"
#include "core/file_bytes.h"
#include "core/numtext.h"
#include "report/report.h"
#include "report/report_page.h"

namespace radmtf {

namespace {

void WriteWhole(const QString& path, const QByteArray& bytes)
{
    ReplaceFile(QFile::encodeName(path).toStdString(),
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// A result never takes the place of the image it was measured on, whatever
// name the dialog was given.
void RefuseShownImage(const QString& path, const QString& imagePath)
{
    std::error_code error;
    if (!imagePath.isEmpty() &&
        std::filesystem::equivalent(QFile::encodeName(path).toStdString(),
                                    QFile::encodeName(imagePath).toStdString(), error))
        ThrowFailure(FailureCode::kOutputIsInput, {path.toStdString()});
}

QString AxisTitle(const QChart* chart, Qt::Orientation orientation)
{
    const QList<QAbstractAxis*> axes = chart->axes(orientation);
    return axes.isEmpty() ? QString() : axes.first()->titleText();
}

// A name for the save dialog to start with: the image's name and `what`.
QString SuggestedName(const QString& imagePath, const QString& what, const QString& suffix)
{
    const QFileInfo image(imagePath);
    const QString base = image.completeBaseName().isEmpty() ? "radmtf" : image.completeBaseName();
    return image.dir().filePath(base + "_" + what + "." + suffix);
}

// What a series holds, for the data CSV (its object name is only a handle).
std::string SeriesContent(const QString& objectName)
{
    static const std::pair<const char*, const char*> kNames[] = {
        {"Series1", "profile"},      {"Series5", "chart_centres"}, {"Series6", "chart_square"},
        {"Series8", "chart_groups"}, {"Series2", "lsf_curve"},     {"Series3", "lsf"},
        {"Series9", "tail_start"},   {"Series4", "mtf"},           {"Series7", "mtf_points"},
        {"Series10", "fit_points"},
    };
    for (const auto& [name, content] : kNames)
        if (objectName == QLatin1String(name)) return content;
    return objectName.toStdString();
}

bool RenderScene(QChartView* view, QPaintDevice* device)
{
    QPainter painter;
    if (!painter.begin(device)) return false;
    const QRectF source = view->sceneRect();
    view->scene()->render(&painter, QRectF(QPointF(0, 0), source.size()), source);
    return painter.end();
}

}  // namespace

void TForm2::buildResultControls()
{
    // In the free corner of the MTF page, below the frequency choice and
    // right of Fitting.
    MemoSummary = new Memo(TabSheetMTF);
    MemoSummary->setObjectName("MemoSummary");
    MemoSummary->setGeometry(588, 490, 108, 58);
    MemoSummary->setReadOnly(true);
    MemoSummary->setStyleSheet("color: blue; font-size: 7pt;");
    MemoSummary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoSummary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoSummary->setLineWrapMode(QPlainTextEdit::NoWrap);
    ButtonReport = MakeButton(TabSheetMTF, "ButtonReport", tr("Report…"), 590, 552, 104, 26);
    connect(ButtonReport, &QPushButton::clicked, this, &TForm2::ButtonReportClick);

    for (QChartView* view : {ChartPixelProf, ChartMTF, ChartLSF, ChartESF, ChartEdgeLSF}) {
        QList<MenuItem> items = {
            {"ActionSaveImage", tr("Save image…"), [this, view] { ChartSaveImage(view); }},
            {"ActionCopyImage", tr("Copy image"), [this, view] { ChartCopyImage(view); }},
            {"ActionSaveData", tr("Save data (CSV)…"), [this, view] { ChartSaveData(view); }},
        };
        if (view == ChartMTF) {
            items.append({"ActionReport", tr("Report…"), [this] { ButtonReportClick(); }});
            items.append({"ActionReportNotes", tr("報告書の記入事項…"), [this] { ReportNotesClick(); }});
        }
        addContextMenu(view, items);
    }
    for (Memo* memo : {MemoMTF, MemoMTF2, MemoMTF3})
        addContextMenu(memo, {{"ActionSaveCsv", tr("Save as CSV…"), [this, memo] { MemoSaveCsv(memo); }}});
}

void TForm2::addContextMenu(QWidget* control, const QList<MenuItem>& items)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(control->objectName() + "Menu");
    for (const MenuItem& item : items) {
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(item.name);
        connect(action, &QAction::triggered, this, item.run);
    }
    control->setProperty(kContextMenu, QVariant::fromValue<QObject*>(menu));
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, menu,
            [menu, control](const QPoint& at) { menu->exec(control->mapToGlobal(at)); });
}

void TForm2::showSummary(const MtfSummary& summary)
{
    auto text = [this](const std::optional<double>& value) {
        return value ? QString::fromStdString(FloatToStrRounded(*value, 3)) : tr("not reached");
    };
    MemoSummary->setLines({"MTF50 " + text(summary.mtf50), "MTF10 " + text(summary.mtf10),
                           tr("Nyq.") + " " + text(summary.atNyquist)});
    if (!measurementWarning_.isEmpty()) CurrentPrompter().message(measurementWarning_);
}

void TForm2::showTable()
{
    const PixelTable& table = session.table();
    const int columns = static_cast<int>(table.columns);
    const int rows = static_cast<int>(table.rows);
    GridModel* grid = StringGrid1->grid();
    // Cells the table keeps from the one before stay as the grid keeps them.
    grid->setSize(columns + 1, rows + 1);
    const std::vector<std::string> columnHeaders = ColumnHeaderTexts(session.tableLeft(), columns);
    for (std::size_t i = 0; i < columnHeaders.size(); ++i)
        grid->setCell(int(i) + 1, 0, QString::fromStdString(columnHeaders[i]));
    const std::vector<std::string> rowHeaders = RowHeaderTexts(session.tableTop(), rows);
    for (std::size_t j = 0; j < rowHeaders.size(); ++j)
        grid->setCell(0, int(j) + 1, QString::fromStdString(rowHeaders[j]));
    if (table.filled) grid->setIntBlock(1, 1, columns, rows, table.values.data());
}

void TForm2::ChartSaveImage(QChartView* view)
{
    const std::optional<QString> chosen =
        CurrentPrompter().saveFile(SuggestedName(form1_->EditFileName->text(), view->objectName(), "png"),
                                   "PNG (*.png);;SVG (*.svg);;PDF (*.pdf)");
    if (!chosen) return;
    RefuseShownImage(*chosen, form1_->EditFileName->text());
    const QString& path = *chosen;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QRectF source = view->sceneRect();
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    bool drawn = false;
    if (suffix == "svg") {
        // Drawn again on a vector device, so lines and text stay sharp.
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(source.size().toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), source.size()));
        drawn = RenderScene(view, &svg);
    } else if (suffix == "pdf") {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(source.size(), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(72);
        drawn = RenderScene(view, &pdf);
    } else {
        // Another picture format the platform writes (jpg, bmp) by its extension; PNG otherwise.
        const QByteArray format = QImageWriter::supportedImageFormats().contains(suffix.toLatin1())
                                      ? suffix.toLatin1()
                                      : QByteArray("PNG");
        drawn = view->grab().save(&file, format.constData());
    }
    if (!drawn) ThrowCannotCreate(path.toStdString());
    WriteWhole(path, file.data());
}

void TForm2::ChartCopyImage(QChartView* view)
{
    QApplication::clipboard()->setImage(view->grab().toImage());
}

void TForm2::ChartSaveData(QChartView* view)
{
    const std::optional<QString> chosen = CurrentPrompter().saveFile(
        SuggestedName(form1_->EditFileName->text(), view->objectName(), "csv"), "CSV (*.csv)");
    if (!chosen) return;
    RefuseShownImage(*chosen, form1_->EditFileName->text());
    // One row per point: the series, then x and y in the units of the axes.
    std::string text = CsvLine({"series", AxisTitle(view->chart(), Qt::Horizontal).toStdString(),
                                AxisTitle(view->chart(), Qt::Vertical).toStdString()});
    for (QAbstractSeries* abstract : view->chart()->series()) {
        const auto* series = static_cast<QXYSeries*>(abstract);
        for (const QPointF& p : series->points())
            text += CsvLine({SeriesContent(series->objectName()), FloatToStr(p.x()), FloatToStr(p.y())});
    }
    WriteWhole(*chosen, QByteArray::fromStdString(text));
}

void TForm2::MemoSaveCsv(Memo* memo)
{
    const std::optional<QString> chosen = CurrentPrompter().saveFile(
        SuggestedName(form1_->EditFileName->text(), memo->objectName(), "csv"), "CSV (*.csv)");
    if (!chosen) return;
    RefuseShownImage(*chosen, form1_->EditFileName->text());
    // The memo's TAB lines as they are shown: frequency, the MTF, and its
    // uncertainty where the memo gives one ("±0.004" as 0.004).
    std::vector<std::vector<std::string>> rows;
    std::size_t widest = 2;
    for (const QString& line : memo->lines()) {
        if (line.trimmed().isEmpty()) continue;
        std::vector<std::string> fields;
        for (const QString& field : line.split('\t')) {
            QString value = field.trimmed();
            if (value.startsWith(QChar(0x00B1))) value = value.mid(1);
            fields.push_back(value.toStdString());
        }
        widest = std::max(widest, fields.size());
        rows.push_back(std::move(fields));
    }
    std::vector<std::string> header = {"frequency_cy_per_mm", "mtf"};
    if (widest > 2) header.push_back("u_mtf");
    if (widest > 3) header.push_back("marks");
    for (std::size_t k = header.size(); k < widest; ++k) header.push_back("field" + std::to_string(k + 1));
    std::string text = CsvLine(header);
    for (std::vector<std::string>& fields : rows) {
        fields.resize(widest);
        text += CsvLine(fields);
    }
    WriteWhole(*chosen, QByteArray::fromStdString(text));
}

std::optional<ReportPage> TForm2::reportPage() const
{
    if (!session.lastRecord()) return std::nullopt;
    ReportNotes notes;
    const QSettings settings("radmtf", "radmtf");
    notes.institution = settings.value("report/institution").toString().toStdString();
    notes.operatorName = settings.value("report/operator").toString().toStdString();
    notes.note = settings.value("report/note").toString().toStdString();
    return MakeReportPage(*session.lastRecord(), notes);
}

void TForm2::ReportNotesClick()
{
    // Each box starts at the kept text; Cancel keeps it.
    QSettings settings("radmtf", "radmtf");
    const std::pair<const char*, QString> fields[] = {
        {"report/institution", tr("測定施設")},
        {"report/operator", tr("測定者")},
        {"report/note", tr("備考")},
    };
    for (const auto& [key, prompt] : fields)
        settings.setValue(
            key, CurrentPrompter().inputBox(tr("報告書の記入事項"), prompt, settings.value(key).toString()));
}

void TForm2::ButtonReportClick()
{
    const std::optional<ReportPage> page = reportPage();
    if (!page) {
        CurrentPrompter().message(NoticeText(Notice::kNothingMeasured));
        return;
    }
    const std::optional<QString> chosen = CurrentPrompter().saveFile(
        SuggestedName(QString::fromStdString(session.lastRecord()->file), "mtf_report", "pdf"),
        "PDF (*.pdf)");
    if (!chosen) return;
    RefuseShownImage(*chosen, form1_->EditFileName->text());
    RefuseShownImage(*chosen, QString::fromStdString(session.lastRecord()->file));
    WriteReportPdf(*chosen, {*page});
}

}  // namespace radmtf
