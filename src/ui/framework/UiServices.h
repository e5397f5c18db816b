#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

// Icons and button sets of the message boxes.
enum class MbIcon { None, Stop, Exclamation, Question, Information };
enum class MbButtons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };

// Caption of every message box.
inline constexpr const char* kMessageCaption = "Calora";

// Every message box, file dialog and colour dialog goes through this one service, so tests
// can install one that answers instead of a person. Call on the user-interface thread.
class CUiServices {
public:
    virtual ~CUiServices() = default;

    // Returns the pressed button as IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY or IDIGNORE.
    virtual int MessageBox(QWidget* parent, const QString& text, const QString& caption,
                           MbIcon icon, MbButtons buttons);
    // Empty when the user cancels. `filter` is in Qt's form: "Files (*.TQ);;All files (*)".
    virtual QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter);
    // `defaultSuffix` (no dot) is added to a name typed without one before the dialog asks
    // whether to replace an existing file, so the question is about the name returned.
    virtual QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, const QString& defaultSuffix);
    virtual std::optional<QColor> GetColor(QWidget* parent, const QColor& initial,
                                           const QString& caption);
};

// The service in use (the real dialogs unless one was installed).
CUiServices& UiServices();
// Installs `services` (not owned; null restores the real dialogs); returns the previous one.
CUiServices* SetUiServices(CUiServices* services);

// Installs a service for the lifetime of a scope and restores the previous one after.
class CScopedUiServices {
public:
    explicit CScopedUiServices(CUiServices& services) : previous(SetUiServices(&services)) {}
    ~CScopedUiServices() { SetUiServices(previous); }
    CScopedUiServices(const CScopedUiServices&) = delete;
    CScopedUiServices& operator=(const CScopedUiServices&) = delete;

private:
    CUiServices* previous;
};

// Message boxes with the caption "Calora", by text or by string number.
int MessageBoxText(QWidget* parent, const QString& text, MbIcon icon,
                   MbButtons buttons = MbButtons::Ok);
int MessageBoxId(QWidget* parent, int stringId, MbIcon icon, MbButtons buttons = MbButtons::Ok);
