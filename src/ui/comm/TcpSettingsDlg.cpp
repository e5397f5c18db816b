#include "ui/comm/TcpSettingsDlg.h"

#include "languages/StringIds.h"
#include "ui/comm/SerialSettingsDlg.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"

#include <QClipboard>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>

namespace {
constexpr const char* kDotted = R"(\s*[0-9]{1,3}(\.[0-9]{1,3}){3}\s*)";
} // namespace

CIpAddressCtrl::CIpAddressCtrl(QWidget* parent) : QWidget(parent) {
    // Drawn like one edit box holding four fields.
    auto* frame = new QLineEdit(this);
    frame->setReadOnly(true);
    frame->setFocusPolicy(Qt::NoFocus);
    frame->setObjectName("frame");
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(3, 0, 3, 0);
    layout->setSpacing(0);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    // Up to three digits, or a whole dotted address being pasted (spread over the fields as
    // soon as it arrives).
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QString("[0-9]{0,3}|") + kDotted), this);
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLineEdit(frame);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setValidator(digits);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnEdited(i); });
        fields[i] = field;
        layout->addWidget(field, 1);
        if (i < 3) {
            auto* dot = new QLabel(".", frame);
            dot->setAlignment(Qt::AlignCenter);
            layout->addWidget(dot);
        }
    }
    setFocusProxy(fields[0]);
}

void CIpAddressCtrl::SetAddressText(const std::string& dotted) {
    // inet_addr gives the no-address value (all ones) for any text it cannot read.
    const in_addr_t value = inet_addr(dotted.c_str());
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    SetFields({bytes[0], bytes[1], bytes[2], bytes[3]});
}

void CIpAddressCtrl::SetFields(const std::array<int, 4>& values) {
    for (int i = 0; i < 4; ++i)
        fields[i]->setText(QString::number(values[i]));
}

int CIpAddressCtrl::GetFields(std::array<int, 4>& values) const {
    int filled = 0;
    for (int i = 0; i < 4; ++i) {
        const QString text = fields[i]->text().trimmed();
        values[i] = text.isEmpty() ? 0 : std::min(text.toInt(), 255);
        if (!text.isEmpty())
            ++filled;
    }
    return filled;
}

void CIpAddressCtrl::OnEdited(int i) {
    QLineEdit* field = fields[i];
    if (field->text().contains('.')) {
        // Pasted: a whole address fills every field, anything else is taken back.
        if (!FillFromDotted(field->text()))
            field->undo();
        return;
    }
    if (field->text().toInt() > 255)
        field->setText("255");
    if (field->text().size() == 3 && i < 3) {
        MoveTo(i + 1);
        jumpedTo = i + 1;
    }
}

void CIpAddressCtrl::MoveTo(int i) {
    fields[i]->setFocus();
    fields[i]->selectAll();
}

bool CIpAddressCtrl::FillFromDotted(const QString& text) {
    if (!QRegularExpression(QRegularExpression::anchoredPattern(QString(kDotted)))
             .match(text)
             .hasMatch())
        return false;
    const QStringList parts = text.trimmed().split('.');
    std::array<int, 4> values{};
    for (int i = 0; i < 4; ++i)
        values[i] = std::min(parts[i].toInt(), 255);
    SetFields(values);
    fields[3]->setFocus();
    fields[3]->end(false);
    return true;
}

bool CIpAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(fields.begin(), fields.end(), watched);
    if (found == fields.end())
        return QWidget::eventFilter(watched, event);
    const int i = static_cast<int>(found - fields.begin());
    QLineEdit* field = fields[i];
    if (event->type() == QEvent::FocusIn) {
        // Entering a field by keyboard selects it, so what is typed replaces it; a click
        // places the cursor where it lands.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
            field->selectAll();
    } else if (event->type() == QEvent::FocusOut && jumpedTo == i) {
        jumpedTo = -1;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool afterJump = jumpedTo == i;
    jumpedTo = -1;
    const bool separator = key->text() == "." || key->key() == Qt::Key_Space;
    if (separator && afterJump)
        return true; // the full field already moved on
    if (key->matches(QKeySequence::Paste) && FillFromDotted(QGuiApplication::clipboard()->text()))
        return true;
    const bool atStart = field->cursorPosition() == 0;
    const bool atEnd = field->cursorPosition() == field->text().size();
    if (separator) {
        if (i < 3)
            MoveTo(i + 1);
        return true;
    }
    if (key->key() == Qt::Key_Right && atEnd && i < 3) {
        fields[i + 1]->setFocus();
        fields[i + 1]->setCursorPosition(0);
        return true;
    }
    if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Backspace) && atStart && i > 0 &&
        !field->hasSelectedText()) {
        fields[i - 1]->setFocus();
        fields[i - 1]->end(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CIpAddressCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        for (QLineEdit* field : fields)
            field->setEnabled(isEnabled());
    }
}

CTcpSettingsDlg::CTcpSettingsDlg(const QString& title, const std::string& ip, uint16_t port,
                                 int address, int enabled, QWidget* parent)
    : CDialogBase(IDD_TCP_SETTINGS, parent), title(title), ip(ip), port(port), address(address),
      enabled(enabled) {
    BuildControls();
}

void CTcpSettingsDlg::BuildControls() {
    setWindowTitle(title);

    AddControl<QLabel>(IDC_ADDRESS_LABEL, 7, 9, 76, 8);
    spin = AddAddressSpin(*this, 86, 7, 40, 13);
    AddControl<QLabel>(IDC_IP_LABEL, 7, 28, 76, 8);
    ipCtrl = AddControl<CIpAddressCtrl>(IDC_IP_ADDRESS, 86, 26, 94, 13);
    AddControl<QLabel>(IDC_TCP_PORT_LABEL, 7, 47, 76, 8);
    AddControl<QLineEdit>(IDC_TCP_PORT_EDIT, 86, 45, 40, 13);

    AddButton(IDOK, QString(), 68, 68, 54, 14, true);
    AddButton(IDCANCEL, QString(), 126, 68, 54, 14);
    SetClientSize(187, 89);
}

void CTcpSettingsDlg::OnInitDialog() {

    SetDlgItemText(IDC_IP_LABEL, "IP");
    SetDlgItemTextById(IDOK, IDS_OK);
    SetDlgItemTextById(IDCANCEL, IDS_CANCEL);
    SetDlgItemTextById(IDC_TCP_PORT_LABEL, IDS_TCP_PORT);
    SetDlgItemTextById(IDC_ADDRESS_LABEL, IDS_MODBUS_ADDRESS);

    spin->setValue(address);
    ipCtrl->SetAddressText(ip);
    EnableControl(IDC_IP_ADDRESS, enabled != 0);
    EnableControl(IDC_TCP_PORT_EDIT, enabled != 0);
    UpdateData(false);
    spin->setFocus();
}

void CTcpSettingsDlg::DoDataExchange(CDataExchange& dx) {
    ExchangeInt(dx, IDC_TCP_PORT_EDIT, port);
    ValidateRange(dx, port, 0, 65535);
}

void CTcpSettingsDlg::OnOK() {
    if (!UpdateData(true))
        return;
    spin->interpretText();
    address = spin->value();
    std::array<int, 4> fields{};
    if (ipCtrl->GetFields(fields) != 4) {
        MessageBoxId(this, IDS_MSG_IP_INCOMPLETE, MbIcon::Stop);
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>(fields[0]),
                  static_cast<unsigned>(fields[1]), static_cast<unsigned>(fields[2]),
                  static_cast<unsigned>(fields[3]));
    ip = text;
    EndDialog(IDOK);
}
