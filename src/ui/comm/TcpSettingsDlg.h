#pragma once

#include "ui/framework/DialogBase.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class QLineEdit;
class QSpinBox;

// Template 209 and its own controls (address edit and spin as in template 132).
inline constexpr int IDD_TCP_SETTINGS = 209;
inline constexpr int IDC_IP_ADDRESS = 1207;
inline constexpr int IDC_TCP_PORT_EDIT = 1208;
inline constexpr int IDC_IP_LABEL = 1195;
inline constexpr int IDC_TCP_PORT_LABEL = 1206;

// An IPv4 address typed in four fields of 0..255. '.' or a full field moves to the next one;
// a '.' typed right after such an automatic move is the one the user meant for it. Entering a
// field selects its text, so typing replaces it. Pasting a dotted address fills all four.
class CIpAddressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CIpAddressCtrl(QWidget* parent = nullptr);

    // Shows the address given in dotted form; a text that is no valid address shows
    // 255.255.255.255, the conversion's no-address value.
    void SetAddressText(const std::string& dotted);
    void SetFields(const std::array<int, 4>& values);
    // Number of fields that hold a number; `values` gets them (a blank field gives 0).
    int GetFields(std::array<int, 4>& values) const;
    QLineEdit* Field(int i) const { return fields[i]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnEdited(int i);
    void MoveTo(int i);
    // Fills the four fields from "a.b.c.d" (blanks around allowed); false for other text.
    bool FillFromDotted(const QString& text);

    std::array<QLineEdit*, 4> fields{};
    int jumpedTo = -1; // the field a full field moved to, until the next key
};

// Modbus address, IP address and TCP port. Nothing is stored on Cancel; after OK the caller
// reads the three values.
class CTcpSettingsDlg : public CDialogBase {
    Q_OBJECT
public:
    // enabled: the sheet's menusEnabled; 0 locks the IP address and the port.
    CTcpSettingsDlg(const QString& title, const std::string& ip, uint16_t port, int address,
                    int enabled, QWidget* parent = nullptr);

    const std::string& Ip() const { return ip; }
    uint16_t Port() const { return static_cast<uint16_t>(port); }
    int Address() const { return address; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    void BuildControls();

    QString title;
    std::string ip;
    int port; // signed while edited, so a negative entry meets the 0..65535 range check
    int address;
    int enabled;
    QSpinBox* spin = nullptr;
    CIpAddressCtrl* ipCtrl = nullptr;
};
