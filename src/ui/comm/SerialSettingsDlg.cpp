#include "ui/comm/SerialSettingsDlg.h"

#include "languages/StringIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

#include <algorithm>

namespace {
constexpr int kAddressLow = 1;
constexpr int kAddressHigh = 255;
constexpr int kFactoryBaudIndex = 2; // 9600
constexpr int kFactoryAddressTQ100 = 247;
constexpr int kFactoryAddressZI102 = 1;
} // namespace

namespace {
// The edit takes any number of up to five digits; reading it gives the spin's position, the
// number brought into the spin's range.
class CAddressSpin : public QSpinBox {
public:
    explicit CAddressSpin(QWidget* parent) : QSpinBox(parent) {
        setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    }

protected:
    QValidator::State validate(QString& text, int&) const override {
        static const QRegularExpression digits("[0-9]{0,5}");
        if (!digits.match(text).hasMatch() || digits.match(text).capturedLength() != text.size())
            return QValidator::Invalid;
        return text.isEmpty() ? QValidator::Intermediate : QValidator::Acceptable;
    }
    int valueFromText(const QString& text) const override {
        return std::clamp(text.toInt(), minimum(), maximum());
    }
};
} // namespace

QSpinBox* AddAddressSpin(CControlHost& host, int x, int y, int cx, int cy) {
    QSpinBox* spin = new CAddressSpin(nullptr);
    host.PlaceControl(spin, IDC_ADDRESS_SPIN, x, y, cx, cy);
    spin->setRange(kAddressLow, kAddressHigh);
    if (auto* edit = spin->findChild<QLineEdit*>())
        SetControlId(edit, IDC_ADDRESS_EDIT);
    return spin;
}

CSerialSettingsDlg::CSerialSettingsDlg(const QString& title, int baudIndex, int parityIndex,
                                       int address, int enabled, QWidget* parent)
    : CDialogBase(IDD_SERIAL_SETTINGS, parent), title(title), baudIndex(baudIndex),
      parityIndex(parityIndex), address(address), enabled(enabled) {
    BuildControls();
}

void CSerialSettingsDlg::BuildControls() {
    setWindowTitle(title);

    AddControl<QLabel>(IDC_ADDRESS_LABEL, 7, 9, 76, 8);
    spin = AddAddressSpin(*this, 86, 7, 40, 13);
    AddControl<QLabel>(IDC_BAUD_LABEL, 7, 28, 76, 8);
    baud = AddControl<QComboBox>(IDC_BAUD_COMBO, 86, 26, 52, 13);
    baud->addItems({"2400", "4800", "9600", "19200"});

    AddControl<QGroupBox>(IDC_PARITY_GROUP, 7, 46, 82, 54);
    AddControl<QRadioButton>(IDC_PARITY_NONE, 15, 58, 70, 10);
    AddControl<QRadioButton>(IDC_PARITY_EVEN, 15, 71, 70, 10);
    AddControl<QRadioButton>(IDC_PARITY_ODD, 15, 84, 70, 10);

    auto* factory = AddControl<QGroupBox>(IDC_FACTORY_GROUP, 96, 46, 84, 54);
    factory->setTitle("Factory settings");
    AddButton(IDC_FACTORY_TQ100, "TQ100", 104, 58, 68, 14);
    AddButton(IDC_FACTORY_ZI102, "ZI102-VA402", 104, 78, 68, 14);
    AddButton(IDOK, QString(), 68, 110, 54, 14, true);
    AddButton(IDCANCEL, QString(), 126, 110, 54, 14);
    SetClientSize(187, 131);
}

void CSerialSettingsDlg::OnInitDialog() {

    SetDlgItemTextById(IDOK, IDS_OK);
    SetDlgItemTextById(IDCANCEL, IDS_CANCEL);
    SetDlgItemTextById(IDC_BAUD_LABEL, IDS_BAUD_RATE);
    SetDlgItemTextById(IDC_PARITY_GROUP, IDS_PARITY);
    SetDlgItemTextById(IDC_PARITY_NONE, IDS_PARITY_NONE);
    SetDlgItemTextById(IDC_PARITY_EVEN, IDS_PARITY_EVEN);
    SetDlgItemTextById(IDC_PARITY_ODD, IDS_PARITY_ODD);
    SetDlgItemTextById(IDC_ADDRESS_LABEL, IDS_MODBUS_ADDRESS);

    for (int id : {IDC_BAUD_COMBO, IDC_PARITY_NONE, IDC_PARITY_EVEN, IDC_PARITY_ODD})
        EnableControl(id, enabled != 0);
    ShowValues();
    spin->setFocus();
}

void CSerialSettingsDlg::ShowValues() {
    spin->setValue(address);
    baud->setCurrentIndex(baudIndex >= 0 && baudIndex < baud->count() ? baudIndex : -1);
    const int radios[] = {IDC_PARITY_NONE, IDC_PARITY_EVEN, IDC_PARITY_ODD};
    for (int i = 0; i < 3; ++i)
        Control<QRadioButton>(radios[i])->setChecked(i == parityIndex);
}

void CSerialSettingsDlg::OnFactoryTQ100() {
    baudIndex = kFactoryBaudIndex;
    parityIndex = 0;
    address = kFactoryAddressTQ100;
    ShowValues();
}

void CSerialSettingsDlg::OnFactoryZI102() {
    baudIndex = kFactoryBaudIndex;
    parityIndex = 0;
    address = kFactoryAddressZI102;
    ShowValues();
}

void CSerialSettingsDlg::OnCommand(int id) {
    if (id == IDC_FACTORY_TQ100)
        OnFactoryTQ100();
    else if (id == IDC_FACTORY_ZI102)
        OnFactoryZI102();
    else
        CDialogBase::OnCommand(id);
}

void CSerialSettingsDlg::OnOK() {
    spin->interpretText();
    address = spin->value();
    // A stored index outside the lists shows no choice; it then stays as it was.
    if (baud->currentIndex() >= 0)
        baudIndex = baud->currentIndex();
    int parity = -1;
    CDataExchange dx(*this, true);
    ExchangeRadio(dx, {IDC_PARITY_NONE, IDC_PARITY_EVEN, IDC_PARITY_ODD}, parity);
    if (parity >= 0)
        parityIndex = parity;
    EndDialog(IDOK);
}
