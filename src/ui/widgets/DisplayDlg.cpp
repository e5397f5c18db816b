#include "ui/widgets/DisplayDlg.h"

#include "core/model/ScaledValue.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/widgets/CellFont.h"
#include "ui/widgets/ColorStatic.h"
#include "ui/widgets/LedIndicator.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

#include <algorithm>

namespace {

const QColor kGreen(0, 255, 0);
const QColor kOrange(255, 127, 0);
const QColor kWhite(255, 255, 255);
const QString kAuto = QStringLiteral("AUTO");
const QString kManual = QStringLiteral("MAN");
const QString kUnknown = QStringLiteral("???");
constexpr int kBlinkMs = 500;

// Register and status positions in a poll result.
enum : int {
    kRegProcessValue = 0,
    kRegSetPoint = 1,
    kRegSecondSetPoint = 2,
    kRegOutput = 3,
    kRegUpperSetPoint = 4,
    kRegDecimals = 32,
};
enum : int {
    kStOverRange = 0,
    kStUnderRange = 1,
    kStAlarm1 = 2,
    kStAlarm2 = 3,
    kStAutoTune = 4,
    kStManual = 5,
    kStFahrenheit = 7,
    kStDigitalInput = 8,
    kStRamp = 9,
    kStOutput = 10,
};

QString Scaled(int16_t raw, int decimals) {
    return QString::fromStdString(FormatScaled(raw, decimals));
}

} // namespace

CDisplayDlg::CDisplayDlg(QWidget* parent) : CChildDlg(IDD_DISPLAY_FULL, parent) {}

std::optional<QSize> CDisplayDlg::TemplateSize(int templateId) {
    switch (templateId) {
    case IDD_DISPLAY_FULL:
        return QSize(165, 187);
    case IDD_DISPLAY_COMPACT:
        return QSize(67, 88);
    default:
        return std::nullopt;
    }
}

bool CDisplayDlg::BuildTemplate(int templateId) {
    switch (templateId) {
    case IDD_DISPLAY_FULL:
        BuildFull();
        break;
    case IDD_DISPLAY_COMPACT:
        BuildCompact();
        break;
    default:
        return false;
    }
    // Found once: every Refresh of a grid of displays looks its controls up.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (const int id = ControlId(child))
            items[id] = child;
    return true;
}

template <class T> T* CDisplayDlg::Item(int id) const {
    const auto found = items.find(id);
    return found == items.end() ? nullptr : qobject_cast<T*>(found->second);
}

void CDisplayDlg::AddValue(int id, const QColor& color, int x, int y, int cx, int cy,
                           bool rightAligned, bool notify) {
    auto* value = new CColorStatic(color, Qt::black, QString::fromLatin1(kSegmentFace), this);
    PlaceControl(value, id, x, y, cx, cy);
    value->setAlignment(rightAligned ? Qt::AlignRight : Qt::AlignLeft);
    value->setText(kUnknown);
    value->SetNotify(notify);
    if (notify)
        connect(value, &CNotifyStatic::clicked, this, [this, id] { OnValueClicked(id); });
}

void CDisplayDlg::AddUnit(int id, int x, int y, int cx, int cy) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    auto* unit = new CColorStatic(Qt::black, face, QStringLiteral("Arial"), this);
    PlaceControl(unit, id, x, y, cx, cy);
    unit->setText(kUnknown);
}

void CDisplayDlg::AddLamp(int id, const char* caption, bool red, bool enabled, int x, int y, int cx,
                          int cy) {
    const bool notify = id == IDC_DISPLAY_AT;
    auto* lamp =
        red ? new CLedIndicator(IDB_LAMP_RED_ON, IDB_LAMP_RED_OFF, IDB_LAMP_MASK, notify, this)
            : new CLedIndicator(IDB_LAMP_GREEN_ON, IDB_LAMP_GREEN_OFF, IDB_LAMP_MASK, notify, this);
    PlaceControl(lamp, id, x, y, cx, cy);
    if (caption)
        lamp->setWindowTitle(QString::fromLatin1(caption));
    lamp->setEnabled(enabled);
}

void CDisplayDlg::AddMode(int x, int y, int cx, int cy) {
    auto* mode = new CNotifyStatic(this);
    PlaceControl(mode, IDC_DISPLAY_MODE, x, y, cx, cy);
    mode->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    mode->setAlignment(Qt::AlignCenter);
    mode->setText(kAuto);
    mode->SetNotify(true);
    connect(mode, &CNotifyStatic::clicked, this, [this] { OnValueClicked(IDC_DISPLAY_MODE); });
}

void CDisplayDlg::BuildFull() {
    AddValue(IDC_DISPLAY_PV, kGreen, 5, 6, 114, 36, true, false);
    AddUnit(IDC_DISPLAY_PV_UNIT, 123, 9, 34, 30);
    AddValue(IDC_DISPLAY_UPPER_SP, kOrange, 5, 45, 114, 36, true, false);
    AddUnit(IDC_DISPLAY_UPPER_SP_UNIT, 123, 47, 34, 31);
    AddValue(IDC_DISPLAY_OUTPUT, kWhite, 51, 84, 68, 36, true, true);
    AddUnit(IDC_DISPLAY_OUTPUT_UNIT, 123, 86, 34, 31);
    AddLamp(IDC_DISPLAY_SER, "SER", false, false, 13, 88, 25, 9);
    AddLamp(IDC_DISPLAY_OUT, "OUT", true, false, 13, 103, 25, 9);
    AddLamp(IDC_DISPLAY_AT, "AT", false, true, 13, 124, 27, 13);
    // AL1 reaches to AL2's left edge (27 units cut its caption at the default font).
    AddLamp(IDC_DISPLAY_AL1, "AL1", true, false, 48, 124, 33, 13);
    AddLamp(IDC_DISPLAY_AL2, "AL2", true, false, 82, 124, 31, 13);
    AddMode(120, 124, 27, 13);
    AddLamp(IDC_DISPLAY_DIG_INP, "Dig.Inp", false, false, 8, 147, 54, 13);
    AddLamp(IDC_DISPLAY_RAMP, "Ramp", false, false, 8, 165, 54, 13);
    AddControl<QLabel>(IDC_DISPLAY_SP_LABEL, 62, 144, 16, 13)->setText(QStringLiteral("SP"));
    AddValue(IDC_DISPLAY_SP, kOrange, 81, 142, 52, 17, false, true);
    AddUnit(IDC_DISPLAY_SP_UNIT, 134, 142, 17, 17);
    AddControl<QLabel>(IDC_DISPLAY_SP2_LABEL, 62, 166, 16, 13)->setText(QStringLiteral("SP2"));
    AddValue(IDC_DISPLAY_SP2, kOrange, 81, 164, 52, 17, false, true);
    AddUnit(IDC_DISPLAY_SP2_UNIT, 134, 164, 17, 17);
}

void CDisplayDlg::BuildCompact() {
    auto* title = AddControl<QLabel>(IDC_DISPLAY_TITLE, 2, 1, 62, 10);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title->setText(record.title);
    AddValue(IDC_DISPLAY_PV, kGreen, 3, 14, 41, 16, false, false);
    AddUnit(IDC_DISPLAY_PV_UNIT, 45, 17, 21, 11);
    AddValue(IDC_DISPLAY_UPPER_SP, kOrange, 3, 30, 41, 16, false, true);
    AddUnit(IDC_DISPLAY_SP_UNIT, 45, 33, 20, 11);
    AddValue(IDC_DISPLAY_OUTPUT, kWhite, 13, 46, 31, 16, false, true);
    AddUnit(IDC_DISPLAY_OUTPUT_UNIT, 45, 48, 21, 11);
    AddLamp(IDC_DISPLAY_OUT, "OUT", true, true, 4, 50, 8, 9);
    // AT reaches to the AL1 column (17 units left no room for its caption).
    AddLamp(IDC_DISPLAY_AT, "AT", false, true, 10, 63, 25, 9);
    AddLamp(IDC_DISPLAY_AL1, "AL1", true, false, 36, 63, 24, 9);
    AddLamp(IDC_DISPLAY_AL2, "AL2", true, false, 36, 75, 24, 9);
    AddMode(5, 75, 27, 9);
    AddLamp(IDC_DISPLAY_SER, nullptr, false, false, 60, 81, 4, 4);
}

void CDisplayDlg::OnInitDialog() {
    for (int id : {IDC_DISPLAY_AL1, IDC_DISPLAY_AL2, IDC_DISPLAY_AT, IDC_DISPLAY_DIG_INP,
                   IDC_DISPLAY_RAMP}) {
        if (auto* lamp = Item<CLedIndicator>(id))
            lamp->SetFontName(QStringLiteral("Arial"));
    }
    if (auto* at = Item<CLedIndicator>(IDC_DISPLAY_AT))
        at->SetBlink(kBlinkMs);
}

void CDisplayDlg::SetController(uint8_t address, const QString& title) {
    record.address = address;
    record.assigned = true;
    record.title = title;
}

bool CDisplayDlg::IsController(uint8_t address) const {
    return record.assigned && record.address == address;
}

void CDisplayDlg::Clear() {
    record.address = 255;
    record.assigned = false;
}

void CDisplayDlg::SetLabels(const QString& spUnit, const QString& upperSpUnit,
                            const QString& sp2Unit, const QString& pvUnit, const QString& outUnit) {
    record.automaticUnits = false;
    record.setPointUnit = spUnit;
    record.upperSetPointUnit = upperSpUnit;
    record.secondSetPointUnit = sp2Unit;
    record.processValueUnit = pvUnit;
    record.outputUnit = outUnit;
}

void CDisplayDlg::SetLamp(int id, int state) {
    if (auto* lamp = Item<CLedIndicator>(id))
        lamp->SetState(state);
}

void CDisplayDlg::Update(int error, const int16_t* registers, const uint8_t* status) {
    if (error != 0 || !registers || !status) {
        record.processValue = record.setPoint = record.upperSetPoint = record.secondSetPoint =
            record.output = kUnknown;
        // The digital input keeps what it showed: the last known state of a wired input.
        record.alarm1 = record.alarm2 = record.autoTune = record.manual = record.ramp = 0;
        record.error = 1;
        SetLamp(IDC_DISPLAY_OUT, 0);
        return;
    }
    // Taken unsigned: a negative count is as out of range as a large one.
    const int d = std::min<int>(static_cast<uint16_t>(registers[kRegDecimals]), 3);
    record.decimals = static_cast<uint16_t>(d);
    if (status[kStOverRange])
        record.processValue = QStringLiteral("oooo");
    else if (status[kStUnderRange])
        record.processValue = QStringLiteral("uuuu");
    else
        record.processValue = Scaled(registers[kRegProcessValue], d);
    SetLamp(IDC_DISPLAY_OUT, status[kStOutput] == 1 ? 1 : 0);
    record.setPoint = Scaled(registers[kRegSetPoint], d);
    record.upperSetPoint = Scaled(registers[kRegUpperSetPoint], d);
    record.secondSetPoint = Scaled(registers[kRegSecondSetPoint], d);
    // Tenths of a percent shown as whole percent, cut toward zero.
    record.output = QString::number(registers[kRegOutput] / 10);
    record.outputUnit = QStringLiteral("%");
    record.alarm1 = status[kStAlarm1] ? 1 : 0;
    record.alarm2 = status[kStAlarm2] ? 1 : 0;
    record.manual = status[kStManual] ? 1 : 0;
    record.autoTune = status[kStAutoTune] ? 1 : 0;
    record.ramp = status[kStRamp] ? 1 : 0;
    record.digitalInput = status[kStDigitalInput] ? 1 : 0;
    record.error = 0;
    if (record.automaticUnits) {
        const QString unit =
            status[kStFahrenheit] ? QStringLiteral("F") : QStringLiteral("\u00baC");
        record.setPointUnit = record.processValueUnit = record.upperSetPointUnit =
            record.secondSetPointUnit = unit;
    }
}

void CDisplayDlg::ExchangeText(int id, const QString& text) {
    if (auto* label = Item<QLabel>(id); label && label->text() != text)
        label->setText(text);
}

void CDisplayDlg::Refresh() {
    if (!record.assigned) {
        hide();
        return;
    }
    ExchangeText(IDC_DISPLAY_TITLE, record.title);
    ExchangeText(IDC_DISPLAY_PV, record.processValue);
    ExchangeText(IDC_DISPLAY_SP, record.setPoint);
    ExchangeText(IDC_DISPLAY_OUTPUT, record.output);
    ExchangeText(IDC_DISPLAY_SP2, record.secondSetPoint);
    ExchangeText(IDC_DISPLAY_UPPER_SP, record.upperSetPoint);
    ExchangeText(IDC_DISPLAY_SP_UNIT, record.setPointUnit);
    ExchangeText(IDC_DISPLAY_UPPER_SP_UNIT, record.upperSetPointUnit);
    ExchangeText(IDC_DISPLAY_PV_UNIT, record.processValueUnit);
    ExchangeText(IDC_DISPLAY_OUTPUT_UNIT, record.outputUnit);
    ExchangeText(IDC_DISPLAY_SP2_UNIT, record.secondSetPointUnit);
    SetLamp(IDC_DISPLAY_AL1, record.alarm1);
    SetLamp(IDC_DISPLAY_AL2, record.alarm2);
    SetLamp(IDC_DISPLAY_AT, record.autoTune);
    SetLamp(IDC_DISPLAY_DIG_INP, record.digitalInput);
    SetLamp(IDC_DISPLAY_RAMP, record.ramp);
    if (isHidden())
        show();
    ExchangeText(IDC_DISPLAY_MODE, record.manual ? kManual : kAuto);
    // Lit again by SetPolling when the next read begins.
    SetLamp(IDC_DISPLAY_SER, 0);
}

void CDisplayDlg::SetPolling(int on) {
    SetLamp(IDC_DISPLAY_SER, on == 1 ? 1 : 0);
}

LRESULT CDisplayDlg::Notify(unsigned message, LPARAM lParam) {
    return SendToOwner(this, message, record.address, lParam);
}

void CDisplayDlg::OnValueClicked(int id) {
    const auto* mode = Item<QLabel>(IDC_DISPLAY_MODE);
    const bool automatic = mode && mode->text() == kAuto;
    switch (id) {
    case IDC_DISPLAY_SP:
        Notify(kMsgSetpointClicked, 0);
        break;
    case IDC_DISPLAY_SP2:
        Notify(kMsgSecondSetpointClicked, 0);
        break;
    case IDC_DISPLAY_UPPER_SP:
        Notify(kMsgUpperSetpointClicked, 0);
        break;
    case IDC_DISPLAY_MODE:
        Notify(kMsgModeClicked, automatic ? 1 : 0);
        break;
    case IDC_DISPLAY_OUTPUT:
        // The output can be set only by hand.
        if (!automatic)
            Notify(kMsgOutputClicked, 0);
        break;
    default:
        break;
    }
}

LRESULT CDisplayDlg::OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgLamp && wParam == static_cast<WPARAM>(IDC_DISPLAY_AT))
        return Notify(kMsgAutoTuneClicked, lParam);
    return 0;
}
