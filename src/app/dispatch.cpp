#include "app/dispatch.h"
#include "app/message_translation.h"

#include <QWidget>

#include <new>

#include "app/prompter.h"
#include "core/failure.h"

namespace radmtf {

namespace {

// Shows the failure under way (called from a catch block): the program's
// failures with their text, running out of memory with the platform's.
void ShowCurrentFailure()
{
    try {
        throw;
    } catch (const Failure& failure) {
        CurrentPrompter().message(TranslatedMessage(QString::fromUtf8(failure.what())));
    } catch (const std::bad_alloc&) {
        CurrentPrompter().message(TranslatedMessage(QString::fromUtf8("メモリが不足しています")));
    }
}

}  // namespace

bool Dispatch(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const Failure&) {
        ShowCurrentFailure();
    } catch (const std::bad_alloc&) {
        ShowCurrentFailure();
    }
    return false;
}

void BringToFront(QWidget* window)
{
    if (QGuiApplication::platformName() != "offscreen") window->raise();
    window->activateWindow();
}

// Every event passes here, so it is caught without wrapping it in a function object.
bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Failure&) {
        ShowCurrentFailure();
    } catch (const std::bad_alloc&) {
        ShowCurrentFailure();
    }
    return false;
}

}  // namespace radmtf
