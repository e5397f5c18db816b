#include "ui/widgets/ValueDlg.h"

#include "core/model/ScaledValue.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kValueChars = 5;
}

void ExchangeValueField(CDataExchange& dx, int id, QString& text, int16_t& value, int16_t minimum,
                        int16_t maximum, int decimals) {
    QWidget* control = dx.PrepareControl(id);
    if (!control)
        return;
    if (!dx.IsSaving()) {
        SetControlText(control, text);
        return;
    }
    const int d = decimals & 3;
    const std::optional<double> number = ParseNumber(ControlText(control).toStdString());
    if (!number)
        RefuseNumber(dx);
    // The limits are compared in shown units, as the user typed the number.
    const double low = minimum / static_cast<double>(StoreFactor(d));
    const double high = maximum / static_cast<double>(StoreFactor(d));
    if (!(*number >= low && *number <= high))
        RefuseRange(dx, QString::fromStdString(FormatScaled(minimum, d)),
                    QString::fromStdString(FormatScaled(maximum, d)));
    value = static_cast<int16_t>(ScaledFromReal(*number, d));
    text = QString::fromStdString(FormatScaled(value, d));
    SetControlText(control, text);
}

CValueDlg::CValueDlg(const QString& text, int16_t minimum, int16_t maximum, int16_t decimals,
                     QWidget* parent)
    : CDialogBase(IDD_VALUE, parent), text(text), maximum(maximum), minimum(minimum),
      decimals(decimals) {
    setWindowTitle(QStringLiteral("Calora"));
    SetClientSize(150, 58);
    auto* label = AddControl<QLabel>(IDC_VALUE_LABEL, 8, 8, 134, 10);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    AddControl<QLineEdit>(IDC_VALUE_EDIT, 8, 20, 60, 13);
    SetLimitText(IDC_VALUE_EDIT, kValueChars);
    AddButton(IDOK, QString(), 30, 38, 52, 14, true);
    AddButton(IDCANCEL, QString(), 90, 38, 52, 14);
}

void CValueDlg::OnInitDialog() {
    SetDlgItemTextById(IDC_VALUE_LABEL, IDS_VALUE_PROMPT);
    SetDlgItemTextById(IDOK, IDS_OK);
    SetDlgItemTextById(IDCANCEL, IDS_CANCEL);
    CDialogBase::OnInitDialog();
    if (auto* edit = Control<QLineEdit>(IDC_VALUE_EDIT)) {
        edit->setFocus();
        edit->selectAll();
    }
}

void CValueDlg::DoDataExchange(CDataExchange& dx) {
    ExchangeValueField(dx, IDC_VALUE_EDIT, text, value, minimum, maximum, decimals);
}
