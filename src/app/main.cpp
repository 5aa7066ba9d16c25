// Program entry: the viewer window (the main window), then the analysis
// window (hidden), then the message loop — or, with --script, the script.
#include <QFile>
#include <QTextStream>
#include <QWheelEvent>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/dispatch.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/script.h"

namespace {

// The application-wide message hook: a wheel notch while the viewer is the
// active window steps through the folder's files.
class ApplicationEvents : public QObject {
public:
    explicit ApplicationEvents(radmtf::TForm1* form1) : form1_(form1) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
        // One message may be offered to several widgets on its way up; act once.
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel == lastEvent_ && wheel->timestamp() == lastTimestamp_) return lastHandled_;
        lastEvent_ = wheel;
        lastTimestamp_ = wheel->timestamp();
        lastHandled_ = false;
        if (QApplication::activeWindow() != form1_ || form1_->StringGridDICOM->height() >= 200) return false;
        const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
        radmtf::Dispatch([&] { lastHandled_ = form1_->ApplicationEvents1Message(delta); });
        return lastHandled_;
    }

private:
    radmtf::TForm1* form1_;
    const QWheelEvent* lastEvent_ = nullptr;
    quint64 lastTimestamp_ = 0;
    bool lastHandled_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QString scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--script" && i + 1 < argc) {
            scriptPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--help" || arg == "-h") {
            std::printf("usage: radmtf [--script FILE|-]\n");
            return 0;
        }
    }

    radmtf::Application app(argc, argv);
    QApplication::setApplicationName("radmtf");
    QApplication::setApplicationDisplayName("radmtf");

    auto* form1 = new radmtf::TForm1;
    auto* form2 = new radmtf::TForm2(form1);
    form1->setForm2(form2);
    ApplicationEvents hook(form1);
    app.installEventFilter(&hook);
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
                std::fprintf(stderr, "script error: line 0: cannot read %s\n", scriptPath.toLocal8Bit().constData());
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
