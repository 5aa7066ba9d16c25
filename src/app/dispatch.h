// The one place where the program's failures are shown. Every user action
// runs inside Dispatch, so a failure deep inside nested handlers ends the
// whole action with one message box, and the program goes on.
//
// A failure never unwinds through the toolkit's own code: every handler
// connected to a signal runs through Guarded/RunHandler, which catches at
// the slot boundary. A handler that a running action sets off (a program
// change that notifies, as a radio group's new index does) keeps its failure
// until control is back in the action's code, where RaisePendingFailure
// ends the action with it.
#pragma once

#include <QApplication>
#include <functional>
#include <stdexcept>

namespace radmtf {

// Ends a script driver's run instead of an action: Dispatch lets it pass.
class ScriptStop : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs `action`; a failure of any kind is shown in the message box of the
// current prompter: the program's failures with their text, running out of
// memory with the platform's, anything else as an internal error. Returns
// false when it failed.
bool Dispatch(const std::function<void()>& action);

// A signal's handler: inside Dispatch when no action is under way, else run
// with its failure kept for RaisePendingFailure.
void RunHandler(const std::function<void()>& handler);

// Rethrows the failure a handler kept during the running action, if any.
void RaisePendingFailure();

// A slot for connect() that runs the member function handler through RunHandler.
template <typename Receiver, typename... Args>
auto Guarded(Receiver* receiver, void (Receiver::*handler)(Args...))
{
    return [receiver, handler](Args... args) { RunHandler([&] { (receiver->*handler)(args...); }); };
}

// Raises and activates a shown window (headless platforms cannot raise).
void BringToFront(QWidget* window);

class Application : public QApplication {
public:
    Application(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace radmtf
