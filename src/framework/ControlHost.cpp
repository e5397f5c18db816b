#include "framework/ControlHost.h"

#include "framework/DataExchange.h"
#include "framework/TextProvider.h"

#include <QLineEdit>
#include <QWidget>

CControlHost::CControlHost(QWidget* self) : self(self) {
    MarkControlHost(self);
}

CDialogUnits CControlHost::DialogUnits() const {
    return CDialogUnits::FromFont(self->font());
}

void CControlHost::PlaceControl(QWidget* control, int id, int x, int y, int cx, int cy) {
    if (control->parentWidget() != self)
        control->setParent(self);
    if (id != 0)
        SetControlId(control, id);
    control->setGeometry(DialogUnits().Rect(x, y, cx, cy));
}

void CControlHost::SetClientSize(int cx, int cy) {
    const CDialogUnits units = DialogUnits();
    self->setFixedSize(units.X(cx), units.Y(cy));
}

QString CControlHost::GetDlgItemText(int id) const {
    return ControlText(GetDlgItem(id));
}

void CControlHost::SetDlgItemText(int id, const QString& text) {
    if (QWidget* control = GetDlgItem(id))
        SetControlText(control, text);
}

void CControlHost::SetDlgItemTextById(int id, int stringId) {
    SetDlgItemText(id, TextById(stringId));
}

void CControlHost::SetLimitText(int id, int maxChars) {
    if (auto* edit = Control<QLineEdit>(id))
        edit->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

void CControlHost::EnableControl(int id, bool enable) {
    if (QWidget* control = GetDlgItem(id))
        control->setEnabled(enable);
}

void CControlHost::ShowControl(int id, bool show) {
    if (QWidget* control = GetDlgItem(id))
        control->setVisible(show);
}

bool CControlHost::UpdateData(bool save) {
    CDataExchange dx(*this, save);
    try {
        DoDataExchange(dx);
    } catch (const CExchangeRefused&) {
        return false;
    }
    return true;
}

void CControlHost::DoDataExchange(CDataExchange&) {}
