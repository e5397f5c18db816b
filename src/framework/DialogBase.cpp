#include "framework/DialogBase.h"

#include "framework/ResourceIds.h"

#include <QPushButton>

CDialogBase::CDialogBase(int templateId, QWidget* parent)
    : QDialog(parent), CControlHost(this), templateId(templateId) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

int CDialogBase::DoModal() {
    return exec();
}

void CDialogBase::EndDialog(int result) {
    done(result);
}

void CDialogBase::EnsureInitialized() {
    if (initialized)
        return;
    initialized = true;
    OnInitDialog();
}

QPushButton* CDialogBase::AddButton(int id, const QString& text, int x, int y, int cx, int cy,
                                    bool isDefault) {
    auto* button = AddControl<QPushButton>(id, x, y, cx, cy);
    button->setText(text);
    button->setDefault(isDefault);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    return button;
}

void CDialogBase::OnInitDialog() {
    UpdateData(false);
}

void CDialogBase::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialogBase::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialogBase::OnCommand(int id) {
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

// Enter without a default button, and Esc or the close box, come here.
void CDialogBase::accept() {
    OnOK();
}
void CDialogBase::reject() {
    OnCancel();
}

void CDialogBase::showEvent(QShowEvent* event) {
    EnsureInitialized();
    QDialog::showEvent(event);
}
