#pragma once

#include "ui/framework/ControlHost.h"

#include <QDialog>

#include <functional>

class QPushButton;

// A dialog built from a numbered template: its controls keep their ids, are laid out in
// dialog units and exchange data with the members. OK (id 1) validates and closes with
// IDOK; Cancel (id 2), Esc and the close box close with IDCANCEL.
class CDialogBase : public QDialog, public CControlHost {
    Q_OBJECT
public:
    explicit CDialogBase(int templateId, QWidget* parent = nullptr);

    int TemplateId() const { return templateId; }

    // Runs modally; returns the code given to EndDialog (IDOK, IDCANCEL, ...).
    int DoModal();

    // For tests: while a handler is installed, DoModal shows the dialog and hands it to the
    // handler instead of running a modal loop (the handler types, clicks, waits with
    // WaitServingEvents, ...). DoModal then returns the code the dialog was ended with, or
    // IDCANCEL if the handler left it open (it is closed then). Returns the previous one.
    using ModalHandler = std::function<void(CDialogBase& dialog)>;
    static ModalHandler SetModalHandler(ModalHandler handler);
    void EndDialog(int result);

    // Fills the controls the first time; the first show calls it, tests may call it to
    // drive a dialog without showing it.
    void EnsureInitialized();

    // A push button whose click is routed to OnCommand(id).
    QPushButton* AddButton(int id, const QString& text, int x, int y, int cx, int cy,
                           bool isDefault = false);

protected:
    // Base: shows the members (UpdateData(false)).
    virtual void OnInitDialog();
    // Base: UpdateData(true), then EndDialog(IDOK) if it succeeded.
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Buttons made by AddButton; base routes IDOK and IDCANCEL.
    virtual void OnCommand(int id);

    void accept() override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    int RunWithHandler(const ModalHandler& handler);

    int templateId;
    bool initialized = false;
};

// Installs a modal handler for a scope (see CDialogBase::SetModalHandler).
class CScopedModalHandler {
public:
    explicit CScopedModalHandler(CDialogBase::ModalHandler handler)
        : previous(CDialogBase::SetModalHandler(std::move(handler))) {}
    ~CScopedModalHandler() { CDialogBase::SetModalHandler(std::move(previous)); }
    CScopedModalHandler(const CScopedModalHandler&) = delete;
    CScopedModalHandler& operator=(const CScopedModalHandler&) = delete;

private:
    CDialogBase::ModalHandler previous;
};
