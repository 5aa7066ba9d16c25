// The windows' entry: the viewer window (the main window), then the analysis
// window (hidden), then the message loop — or, with --script, the script.
// An image named on the command line is opened first.
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/dispatch.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/script.h"
#include "app/window_entry.h"

extern "C" int RadmtfRunWindows(int& argc, char** argv, const radmtf::CommandLine& command)
{
    const QString scriptPath = command.scriptPath;
    const QString imagePath =
        command.imagePath.isEmpty() ? QString() : QFileInfo(command.imagePath).absoluteFilePath();

    radmtf::Application app(argc, argv);
    QApplication::setApplicationName("radmtf");
    QApplication::setApplicationDisplayName("radmtf");
    radmtf::UseLanguage(command.language);

    radmtf::TForm1* form1 = nullptr;
    radmtf::TForm2* form2 = nullptr;
    auto openWindows = [&] {
        form1 = new radmtf::TForm1;
        form2 = new radmtf::TForm2(form1);
        form1->setForm2(form2);
        form1->show();
    };
    auto closeWindows = [&] {
        delete form2;
        delete form1;
    };
    openWindows();

    if (!scriptPath.isEmpty()) {
        QString text;
        if (scriptPath == "-") {
            std::string all, line;
            while (std::getline(std::cin, line)) all += line + "\n";
            text = QString::fromUtf8(all);
        } else {
            QFile file(scriptPath);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "script error: line 0: cannot read %s\n",
                             scriptPath.toLocal8Bit().constData());
                return 1;
            }
            text = QString::fromUtf8(file.readAll());
        }
        QApplication::setActiveWindow(form1);
        QApplication::processEvents();
        if (!imagePath.isEmpty()) {
            // Opened before the first line, with messages printed as the script prints them.
            radmtf::ConsolePrompter console;
            radmtf::Prompter* previous = radmtf::SetPrompter(&console);
            form1->OpenFile(imagePath);
            radmtf::SetPrompter(previous);
        }
        QStringList lines = text.split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        // Each run between "restart" lines starts on fresh windows; a script
        // error ends only its own run.
        int code = 0;
        for (qsizetype first = 0;;) {
            qsizetype end = first;
            while (end < lines.size() && !radmtf::IsRestartLine(lines[end])) ++end;
            code = std::max(code, radmtf::RunScript(lines.mid(first, end - first), form1, form2, nullptr,
                                                    static_cast<int>(first) + 1));
            if (end == lines.size()) break;
            closeWindows();
            QApplication::clipboard()->clear();
            openWindows();
            QApplication::setActiveWindow(form1);
            QApplication::processEvents();
            first = end + 1;
        }
        closeWindows();
        return code;
    }
    if (!imagePath.isEmpty())
        QTimer::singleShot(0, form1, [form1, imagePath] { form1->OpenFile(imagePath); });
    const int code = QApplication::exec();
    closeWindows();
    return code;
}
