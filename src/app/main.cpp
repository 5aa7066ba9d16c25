// Program entry: the viewer window (the main window), then the analysis
// window (hidden), then the message loop — or, with --script, the script.
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/dispatch.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/language.h"
#include "app/script.h"

int main(int argc, char** argv)
{
    QString scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--script" && i + 1 < argc) {
            scriptPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--lang" && i + 1 < argc) {
            ++i;  // read below, once the application exists
        } else if (arg == "--help" || arg == "-h") {
            std::printf("usage: radmtf [--lang ja|en] [--script FILE|-]\n");
            return 0;
        }
    }

    radmtf::Application app(argc, argv);
    QApplication::setApplicationName("radmtf");
    QApplication::setApplicationDisplayName("radmtf");
    const QString language = radmtf::RequestedLanguage(QApplication::arguments());
    if (!radmtf::UseLanguage(language)) {
        std::fprintf(stderr, "radmtf: no interface language '%s' (ja, en)\n", language.toLocal8Bit().constData());
        return 2;
    }

    auto* form1 = new radmtf::TForm1;
    auto* form2 = new radmtf::TForm2(form1);
    form1->setForm2(form2);
    form1->show();

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
        QStringList lines = text.split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        const int code = radmtf::RunScript(lines, form1, form2);
        delete form2;
        delete form1;
        return code;
    }
    const int code = QApplication::exec();
    delete form2;
    delete form1;
    return code;
}
