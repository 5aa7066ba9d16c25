#include "app/dispatch.h"
#include "app/message_translation.h"

#include <QWidget>

#include <exception>
#include <new>
#include <utility>

#include "app/prompter.h"
#include "core/failure.h"

namespace radmtf {

namespace {

// Actions under way (Dispatch calls on the stack), and the failure a nested
// handler kept for the running action.
int g_depth = 0;
std::exception_ptr g_pending;

constexpr const char* kInternalErrorMessage = "内部エラーのため処理を中止しました。";

// Shows a failure: the program's failures with their text, running out of
// memory with the platform's; anything else is an internal fault, shown in
// the program's words with its description.
void ShowFailure(const std::exception_ptr& failure)
{
    QString text;
    try {
        std::rethrow_exception(failure);
    } catch (const Failure& f) {
        text = TranslatedMessage(QString::fromUtf8(f.what()));
    } catch (const std::bad_alloc&) {
        text = TranslatedMessage(QString::fromUtf8("メモリが不足しています"));
    } catch (const std::exception& e) {
        text = TranslatedMessage(QString::fromUtf8(kInternalErrorMessage)) + " (" + QString::fromUtf8(e.what()) + ")";
    } catch (...) {
        text = TranslatedMessage(QString::fromUtf8(kInternalErrorMessage));
    }
    CurrentPrompter().message(text);
}

void ShowFailureSafely(const std::exception_ptr& failure)
{
    try {
        ShowFailure(failure);
    } catch (...) {
        // A message that cannot be shown must not end the program.
    }
}

}  // namespace

bool Dispatch(const std::function<void()>& action)
{
    std::exception_ptr failure;
    {
        struct Depth {
            Depth() { ++g_depth; }
            ~Depth()
            {
                if (--g_depth == 0) g_pending = nullptr;
            }
        } depth;
        try {
            action();
            RaisePendingFailure();
        } catch (const ScriptStop&) {
            throw;
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!failure) return true;
    // Shown once the action is over: the message box runs its own event
    // loop, and what the user does there starts actions of its own.
    ShowFailureSafely(failure);
    return false;
}

void RunHandler(const std::function<void()>& handler)
{
    if (g_depth == 0) {
        Dispatch(handler);
        return;
    }
    try {
        handler();
    } catch (...) {
        if (!g_pending) g_pending = std::current_exception();
    }
}

void RaisePendingFailure()
{
    if (g_pending) std::rethrow_exception(std::exchange(g_pending, nullptr));
}

void BringToFront(QWidget* window)
{
    if (QGuiApplication::platformName() != "offscreen") window->raise();
    window->activateWindow();
}

// The last line of defence for failures from event handlers that are not
// signals' handlers.
bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowFailureSafely(std::current_exception());
    }
    return false;
}

}  // namespace radmtf
