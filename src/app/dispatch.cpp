#include "app/dispatch.h"

#include <QWidget>

#include <new>

#include "app/prompter.h"
#include "core/failure.h"

namespace radmtf {

bool Dispatch(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const Failure& failure) {
        CurrentPrompter().message(QString::fromUtf8(failure.what()));
    } catch (const std::bad_alloc&) {
        CurrentPrompter().message(QString::fromUtf8("メモリが不足しています"));
    }
    return false;
}

void BringToFront(QWidget* window)
{
    if (QGuiApplication::platformName() != "offscreen") window->raise();
    window->activateWindow();
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    Dispatch([&] { result = QApplication::notify(receiver, event); });
    return result;
}

}  // namespace radmtf
