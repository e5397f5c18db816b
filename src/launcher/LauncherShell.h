#pragma once

#include <functional>

class QString;
class QUrl;
class QWidget;

// What the launcher asks of the desktop: open a target, tell the user something. Tests put a
// recording one in its place.
class ILauncherShell {
public:
    virtual ~ILauncherShell() = default;
    // Hands the target to the desktop and returns at once; `failed` runs later, on this
    // thread, if the desktop could not hand it to a program.
    virtual void Open(const QUrl& target, std::function<void()> failed) = 0;
    virtual void ShowMessage(QWidget* owner, const QString& title, const QString& text) = 0;
};

// The desktop's opener (xdg-open, watched to its exit status) and a message box with an OK
// button.
class CDesktopShell : public ILauncherShell {
public:
    void Open(const QUrl& target, std::function<void()> failed) override;
    void ShowMessage(QWidget* owner, const QString& title, const QString& text) override;
};
