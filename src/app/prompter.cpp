#include "app/prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>

#include <cstdio>

namespace radmtf {

std::optional<QString> DialogPrompter::openFile(const QString& fileName)
{
    static const QStringList kFilters = {"DICOM (*.dcm *.dicom *.DCM)", "Raw (*.raw *.bin *.img)",
                                         "All files (*)"};
    QSettings settings("radmtf", "radmtf");
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(kFilters);
    // The dialog starts at the given file (the current one), else in the last folder used.
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
        const QString suffix = QFileInfo(fileName).suffix();
        for (const QString& filter : kFilters)
            if (!suffix.isEmpty() && filter.contains("*." + suffix)) {
                dialog.selectNameFilter(filter);
                break;
            }
    } else {
        const QString lastFolder = settings.value("openDialog/folder").toString();
        if (!lastFolder.isEmpty()) dialog.setDirectory(lastFolder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    settings.setValue("openDialog/folder", QFileInfo(chosen).absolutePath());
    return chosen;
}

std::optional<QString> DialogPrompter::saveFile(const QString& fileName, const QString& filter)
{
    const QString path =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), fileName, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

QString DialogPrompter::inputBox(const QString& title, const QString& prompt, const QString& proposed)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, proposed, &ok);
    return ok ? answer : proposed;
}

void DialogPrompter::message(const QString& text)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void ConsolePrompter::message(const QString& text)
{
    const QByteArray bytes = ("message: " + text + "\n").toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

static Prompter* g_prompter = nullptr;

Prompter& CurrentPrompter()
{
    static DialogPrompter dialogs;
    return g_prompter ? *g_prompter : dialogs;
}

Prompter* SetPrompter(Prompter* prompter)
{
    Prompter* previous = g_prompter;
    g_prompter = prompter;
    return previous;
}

}  // namespace radmtf
