#pragma once

#include "framework/ControlHost.h"

#include <QDialog>

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
    int templateId;
    bool initialized = false;
};
