#include "app/prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace radmtf {

std::optional<QString> DialogPrompter::openFile(const QString& fileName)
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter("*");
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> DialogPrompter::saveFile(const QString& fileName, const QString& filter)
{
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), fileName, filter);
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
