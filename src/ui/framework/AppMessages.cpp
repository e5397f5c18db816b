#include "ui/framework/AppMessages.h"

#include <QMetaObject>
#include <QPointer>
#include <QWidget>

LRESULT SendAppMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam) {
    if (auto* handler = dynamic_cast<IAppMessageTarget*>(target))
        return handler->OnAppMessage(message, wParam, lParam);
    return 0;
}

LRESULT SendToOwner(QWidget* from, unsigned message, WPARAM wParam, LPARAM lParam) {
    for (QWidget* w = from ? from->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* handler = dynamic_cast<IAppMessageTarget*>(w))
            return handler->OnAppMessage(message, wParam, lParam);
    }
    return 0;
}

void PostAppMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam) {
    if (!target)
        return;
    // The context object makes Qt drop the call if the target is gone by then.
    QMetaObject::invokeMethod(
        target,
        [target, message, wParam, lParam] { SendAppMessage(target, message, wParam, lParam); },
        Qt::QueuedConnection);
}
