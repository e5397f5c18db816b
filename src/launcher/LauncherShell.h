#pragma once

class QString;
class QUrl;
class QWidget;

// What the launcher asks of the desktop: open a target, tell the user something. Tests put a
// recording one in its place.
class ILauncherShell {
public:
    virtual ~ILauncherShell() = default;
    // False when the desktop could not hand the target to a program.
    virtual bool Open(const QUrl& target) = 0;
    virtual void ShowMessage(QWidget* owner, const QString& title, const QString& text) = 0;
};

// The desktop's opener and a message box with an OK button.
class CDesktopShell final : public ILauncherShell {
public:
    bool Open(const QUrl& target) override;
    void ShowMessage(QWidget* owner, const QString& title, const QString& text) override;
};
