#pragma once

#include "ui/framework/DialogBase.h"

#include <QString>

class QComboBox;
class QSpinBox;

// Template 132 and its controls; the address edit and spin are shared with template 209.
inline constexpr int IDD_SERIAL_SETTINGS = 132;
inline constexpr int IDC_ADDRESS_EDIT = 1191;
inline constexpr int IDC_ADDRESS_SPIN = 1192;
inline constexpr int IDC_BAUD_COMBO = 1016;
inline constexpr int IDC_PARITY_NONE = 1017;
inline constexpr int IDC_PARITY_EVEN = 1018;
inline constexpr int IDC_PARITY_ODD = 1019;
inline constexpr int IDC_FACTORY_TQ100 = 3;
inline constexpr int IDC_FACTORY_ZI102 = 4;
inline constexpr int IDC_ADDRESS_LABEL = 1193;
inline constexpr int IDC_BAUD_LABEL = 1194;
inline constexpr int IDC_PARITY_GROUP = 1195;
inline constexpr int IDC_FACTORY_GROUP = 1196;

// The spin of the Modbus address (1..255) with its edit, as both connection dialogs use it.
// The edit gets id IDC_ADDRESS_EDIT, the spin IDC_ADDRESS_SPIN.
QSpinBox* AddAddressSpin(CControlHost& host, int x, int y, int cx, int cy);

// Modbus address, baud rate and parity of one serial port. Nothing is stored on Cancel; after
// OK the caller reads the three values.
class CSerialSettingsDlg : public CDialogBase {
    Q_OBJECT
public:
    // title: the port name. enabled: the sheet's menusEnabled; 0 locks baud and parity.
    CSerialSettingsDlg(const QString& title, int baudIndex, int parityIndex, int address,
                       int enabled, QWidget* parent = nullptr);

    int BaudIndex() const { return baudIndex; }
    int ParityIndex() const { return parityIndex; }
    int Address() const { return address; }

    // The two factory-settings buttons.
    void OnFactoryTQ100();
    void OnFactoryZI102();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    void BuildControls();
    void ShowValues();

    QString title;
    int baudIndex;
    int parityIndex;
    int address;
    int enabled;
    QSpinBox* spin = nullptr;
    QComboBox* baud = nullptr;
};
