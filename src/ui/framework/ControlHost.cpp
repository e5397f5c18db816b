#include "ui/framework/ControlHost.h"

#include "ui/framework/DataExchange.h"
#include "ui/framework/TextProvider.h"

#include <QLineEdit>
#include <QValidator>
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

namespace {
// Limits what the user types, like an edit's text limit: text set by the program is kept
// whole (a shown "-199.9" survives a limit of 5), typing cannot make the text longer than
// the limit or, when it already is, longer than it was.
class CTextLimitValidator : public QValidator {
public:
    CTextLimitValidator(QLineEdit* edit, int limit)
        : QValidator(edit), edit(edit), limit(limit), lastLength(edit->text().size()) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { lastLength = text.size(); });
    }
    State validate(QString& input, int&) const override {
        // During validation the edit already holds `input`; an unmodified edit means the
        // program set the text.
        if (!edit->isModified() || input.size() <= limit || input.size() <= lastLength)
            return Acceptable;
        return Invalid;
    }

private:
    QLineEdit* edit;
    int limit;
    qsizetype lastLength;
};
} // namespace

void CControlHost::SetLimitText(int id, int maxChars) {
    auto* edit = Control<QLineEdit>(id);
    if (!edit)
        return;
    // Replacing our own limit; an edit with another validator keeps it and gets no limit.
    const QValidator* current = edit->validator();
    if (current && !dynamic_cast<const CTextLimitValidator*>(current))
        return;
    edit->setValidator(maxChars > 0 ? new CTextLimitValidator(edit, maxChars) : nullptr);
    delete current;
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
    dx.Passed();
    return true;
}

void CControlHost::DoDataExchange(CDataExchange&) {}
