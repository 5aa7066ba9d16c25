// The one place where the program's failures are shown. Every user event
// runs inside Dispatch (through the application's notify), so a failure
// deep inside nested handlers ends the whole action with one message box,
// and the program goes on.
#pragma once

#include <QApplication>
#include <functional>

namespace radmtf {

// Runs `action`; a radmtf::Failure (or running out of memory) is shown in
// the message box of the current prompter. Returns false when it failed.
bool Dispatch(const std::function<void()>& action);

// Raises and activates a shown window (headless platforms cannot raise).
void BringToFront(QWidget* window);

class Application : public QApplication {
public:
    Application(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace radmtf
