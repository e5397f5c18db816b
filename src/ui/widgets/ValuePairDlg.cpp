#include "ui/widgets/ValuePairDlg.h"

#include "ui/framework/ResourceIds.h"
#include "ui/widgets/ValueDlg.h"

#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kValueChars = 5;
}

CValuePairDlg::CValuePairDlg(const QString& firstText, const QString& secondText, int16_t minimum1,
                             int16_t maximum1, int16_t minimum2, int16_t maximum2, int16_t decimals,
                             QWidget* parent)
    : CDialogBase(IDD_VALUE_PAIR, parent), firstText(firstText), firstMaximum(maximum1),
      firstMinimum(minimum1), secondText(secondText), secondMaximum(maximum2),
      secondMinimum(minimum2), decimals(decimals) {
    setWindowTitle(QStringLiteral("Calora"));
    SetClientSize(150, 46);
    auto* first = AddControl<QLabel>(IDC_PAIR_FIRST_LABEL, 8, 10, 24, 10);
    first->setText(QStringLiteral("SP"));
    AddControl<QLineEdit>(IDC_PAIR_FIRST_EDIT, 34, 8, 50, 13);
    auto* second = AddControl<QLabel>(IDC_PAIR_SECOND_LABEL, 8, 27, 24, 10);
    second->setText(QStringLiteral("SP2"));
    AddControl<QLineEdit>(IDC_PAIR_SECOND_EDIT, 34, 25, 50, 13);
    SetLimitText(IDC_PAIR_FIRST_EDIT, kValueChars);
    SetLimitText(IDC_PAIR_SECOND_EDIT, kValueChars);
    AddButton(IDOK, QString(), 94, 8, 48, 14, true);
    AddButton(IDCANCEL, QString(), 94, 25, 48, 14);
}

void CValuePairDlg::OnInitDialog() {
    SetDlgItemTextById(IDOK, IDS_OK);
    SetDlgItemTextById(IDCANCEL, IDS_CANCEL);
    CDialogBase::OnInitDialog();
    if (auto* edit = Control<QLineEdit>(IDC_PAIR_FIRST_EDIT)) {
        edit->setFocus();
        edit->selectAll();
    }
}

void CValuePairDlg::DoDataExchange(CDataExchange& dx) {
    ExchangeValueField(dx, IDC_PAIR_FIRST_EDIT, firstText, firstValue, firstMinimum, firstMaximum,
                       decimals);
    ExchangeValueField(dx, IDC_PAIR_SECOND_EDIT, secondText, secondValue, secondMinimum,
                       secondMaximum, decimals);
}
