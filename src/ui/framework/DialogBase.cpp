#include "ui/framework/DialogBase.h"

#include "ui/framework/ResourceIds.h"

#include <QPushButton>

CDialogBase::CDialogBase(int templateId, QWidget* parent)
    : QDialog(parent), CControlHost(this), templateId(templateId) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

namespace {
CDialogBase::ModalHandler& InstalledHandler() {
    static CDialogBase::ModalHandler handler;
    return handler;
}
} // namespace

CDialogBase::ModalHandler CDialogBase::SetModalHandler(ModalHandler handler) {
    ModalHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}

int CDialogBase::DoModal() {
    if (const ModalHandler& handler = InstalledHandler())
        return RunWithHandler(handler);
    return exec();
}

int CDialogBase::RunWithHandler(const ModalHandler& handler) {
    bool ended = false;
    int code = IDCANCEL;
    const QMetaObject::Connection watch = connect(this, &QDialog::finished, this, [&](int result) {
        ended = true;
        code = result;
    });
    // A copy: the handler may open nested dialogs that replace the installed one.
    const ModalHandler run = handler;
    show();
    run(*this);
    disconnect(watch);
    if (!ended)
        done(IDCANCEL);
    return ended ? code : IDCANCEL;
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
