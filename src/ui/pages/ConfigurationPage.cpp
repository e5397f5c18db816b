#include "ui/pages/ConfigurationPage.h"

#include "core/model/ScaledValue.h"
#include "core/model/TQControllerModel.h"
#include "languages/StringIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/TextProvider.h"
#include "ui/pages/PageIds.h"
#include "ui/widgets/ScaledExchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace cfg;

namespace {
constexpr int kRawLimitLow = -1999;
constexpr int kRawLimitHigh = 9999;
constexpr int kRawHysteresisHigh = 1000;
constexpr int kRawPropBandHigh = 1000;
constexpr int kOffsetDecimals = 1;
constexpr int kRawOffsetHigh = 1000; // 100.0
constexpr const char* kOnOff = "ON-OFF";

// Alarm type list entries in order.
constexpr int kAlarmTypeTexts[] = {IDS_ALARM_NONE,     IDS_ALARM_ABS_HIGH, IDS_ALARM_ABS_LOW,
                                   IDS_ALARM_DEV_HIGH, IDS_ALARM_DEV_LOW,  IDS_ALARM_BAND_IN,
                                   IDS_ALARM_BAND_OUT};

// Alarm configuration: bits 0-2 the type code (3 is no type), bit 3 the hold.
int AlarmIndexFromRegister(int value) {
    return (value & 7) - ((value & 4) ? 1 : 0);
}
int AlarmRegister(int index, bool hold) {
    return (index > 3 ? index + 1 : index) | (hold ? 8 : 0);
}

// Ramp configuration: bit 3 on, bit 2 start at power-on, bits 0-1 kind (1 one shot,
// 2 continuous).
constexpr int kRampOnBit = 8;
constexpr int kRampPowerOnBit = 4;
int RampRegister(bool on, bool powerOn, bool continuous) {
    return (on ? kRampOnBit : 0) | (powerOn ? kRampPowerOnBit : 0) | (continuous ? 2 : 1);
}

// A radio pair in a row of its own, so each pair is a group of its own.
QWidget* RadioPair(QRadioButton* first, QRadioButton* second) {
    auto* pair = new QWidget;
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return pair;
}

// The box's write button, at its bottom right.
void AddBoxButton(QGridLayout* grid, QPushButton* button) {
    grid->addWidget(button, grid->rowCount(), 1, 1, 2, Qt::AlignRight);
}
} // namespace

CConfigurationPage::CConfigurationPage(const CPageContext& context, QWidget* parent)
    : CModelPage(IDD_CONFIGURATION, context, parent) {
    BuildControls();
    InitPage();
}

void CConfigurationPage::BuildControls() {
    // Setpoint and PID box.
    QGroupBox* pidBox = AddBox(kBoxSetpointPid);
    auto* pid = new QGridLayout(pidBox);
    auto row = [&](int labelId, int editId, int maxChars, int buttonId, uint32_t index,
                   const int& field) {
        QLineEdit* edit = AddEdit(editId, maxChars);
        QPushButton* button =
            AddWriteButton(buttonId, [this, index, &field] { WriteOne(index, field); });
        AddRow(pid, labelId, edit, button);
        return edit;
    };
    QLineEdit* high = row(kSetpointHighLabel, kSetpointHigh, 6, kWriteSetpointHigh,
                          reg::kSetpointUpperLimit, setpointHigh);
    QLineEdit* low = row(kSetpointLowLabel, kSetpointLow, 6, kWriteSetpointLow,
                         reg::kSetpointLowerLimit, setpointLow);
    // The setpoint takes what fits its shown limits, no text limit of its own.
    QLineEdit* sp = row(kSetpointLabel, kSetpoint, 0, kWriteSetpoint, reg::kSetpoint, setpoint);
    QLineEdit* sp2 =
        row(kSetpoint2Label, kSetpoint2, 6, kWriteSetpoint2, reg::kSecondarySetpoint, setpoint2);
    QLineEdit* band =
        row(kPropBandLabel, kPropBand, 6, kWritePropBand, reg::kProportionalBand, propBand);
    row(kIntegralTimeLabel, kIntegralTime, 5, kWriteIntegralTime, reg::kIntegralTime, integralTime);
    row(kDerivativeTimeLabel, kDerivativeTime, 5, kWriteDerivativeTime, reg::kDerivativeTime,
        derivativeTime);
    row(kCycleTimeLabel, kCycleTime, 5, kWriteCycleTime, reg::kCycleTime, cycleTime);
    row(kIntegralLimitLabel, kIntegralLimit, 5, kWriteIntegralLimit, reg::kIntegralLimit,
        integralLimit);
    QLineEdit* hyst =
        row(kHysteresisLabel, kHysteresis, 5, kWriteHysteresis, reg::kHysteresis, hysteresis);
    row(kOffsetLabel, kOffset, 6, kWriteOffset, reg::kOffset, offset);
    row(kTunePercentLabel, kTunePercent, 0, kWriteTunePercent, reg::kSelfTunePercent, tunePercent);
    AddBoxButton(pid, AddWriteButton(
                          kWriteSetpointPidBox, [this] { WriteGroup(5); }, true));
    pid->setColumnStretch(0, 1);

    // Alarms box.
    QGroupBox* alarmBox = AddBox(kBoxAlarms);
    auto* alarms = new QGridLayout(alarmBox);
    QLineEdit* al1Sp = AddEdit(kAlarm1Setpoint, 5);
    QLineEdit* al1Hy = AddEdit(kAlarm1Hysteresis, 5);
    AddRow(alarms, kAlarm1TypeLabel, AddList(kAlarm1Type));
    AddRow(alarms, 0, AddCheck(kAlarm1Hold));
    AddRow(alarms, kAlarm1SetpointLabel, al1Sp);
    AddRow(alarms, kAlarm1HysteresisLabel, al1Hy);
    AddRow(alarms, kAlarm1ActionLabel,
           RadioPair(AddRadio(kAlarm1ActionNoNc, "NO->NC"), AddRadio(kAlarm1ActionNcNo, "NC->NO")));
    QLineEdit* al2Sp = AddEdit(kAlarm2Setpoint, 5);
    QLineEdit* al2Hy = AddEdit(kAlarm2Hysteresis, 5);
    alarms->setRowMinimumHeight(alarms->rowCount(), 8);
    AddRow(alarms, kAlarm2TypeLabel, AddList(kAlarm2Type));
    AddRow(alarms, 0, AddCheck(kAlarm2Hold));
    AddRow(alarms, kAlarm2SetpointLabel, al2Sp);
    AddRow(alarms, kAlarm2HysteresisLabel, al2Hy);
    AddRow(alarms, kAlarm2ActionLabel,
           RadioPair(AddRadio(kAlarm2ActionNoNc, "NO->NC"), AddRadio(kAlarm2ActionNcNo, "NC->NO")));
    AddBoxButton(alarms, AddWriteButton(
                             kWriteAlarmsBox, [this] { WriteGroup(6); }, true));
    alarms->setColumnStretch(0, 1);

    // Ramp box.
    QGroupBox* rampBox = AddBox(kBoxRamp);
    auto* ramp = new QGridLayout(rampBox);
    ramp->addWidget(AddCheck(kRampOn), ramp->rowCount(), 0, 1, 3);
    ramp->addWidget(AddCheck(kRampPowerOn), ramp->rowCount(), 0, 1, 3);
    QGroupBox* kindBox = AddBox(kBoxRampKind);
    auto* kind = new QHBoxLayout(kindBox);
    kind->addWidget(AddRadio(kRampOneShot));
    kind->addWidget(AddRadio(kRampContinuous));
    kind->addStretch();
    ramp->addWidget(kindBox, ramp->rowCount(), 0, 1, 3);
    AddRow(ramp, kRampTimeLabel, AddEdit(kRampTime, 3));
    AddBoxButton(ramp, AddWriteButton(
                           kWriteRampBox, [this] { WriteGroup(10); }, true));
    ramp->setColumnStretch(2, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(alarmBox);
    right->addWidget(rampBox);
    right->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(pidBox);
    left->addStretch();
    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right, 1);

    // Leaving a field shows its text in canonical form, without checking it.
    for (QLineEdit* edit : {sp, al1Sp, al2Sp, sp2, high, low})
        OnFocusLost(edit, [this, edit] { ReformatScaled(this, ControlId(edit), Decimals()); });
    for (QLineEdit* edit : {hyst, al1Hy, al2Hy})
        OnFocusLost(edit,
                    [this, edit] { ReformatScaled(this, ControlId(edit), HysteresisDecimals()); });
    OnFocusLost(band, [this] { ReformatPropBand(); });
}

void CConfigurationPage::LoadTexts(bool caption) {
    if (caption)
        setWindowTitle(TextById(IDS_PAGE_CONFIG));
    static constexpr std::pair<int, int> kCaptions[] = {
        {kBoxSetpointPid, IDS_BOX_SETPOINT_PID},
        {kSetpointLabel, IDS_PARAM_SETPOINT},
        {kSetpoint2Label, IDS_PARAM_SETPOINT2},
        {kPropBandLabel, IDS_PARAM_PROP_BAND},
        {kCycleTimeLabel, IDS_PARAM_CYCLE_TIME},
        {kSetpointLowLabel, IDS_PARAM_SP_LOW_LIMIT},
        {kDerivativeTimeLabel, IDS_PARAM_DERIVATIVE_TIME},
        {kHysteresisLabel, IDS_PARAM_HYSTERESIS},
        {kSetpointHighLabel, IDS_PARAM_SP_HIGH_LIMIT},
        {kIntegralTimeLabel, IDS_PARAM_INTEGRAL_TIME},
        {kIntegralLimitLabel, IDS_PARAM_INTEGRAL_LIMIT},
        {kTunePercentLabel, IDS_PARAM_TUNE_PERCENT},
        {kOffsetLabel, IDS_PARAM_OFFSET},
        {kBoxAlarms, IDS_BOX_ALARMS},
        {kAlarm1TypeLabel, IDS_PARAM_AL1_TYPE},
        {kAlarm2TypeLabel, IDS_PARAM_AL2_TYPE},
        {kAlarm1HysteresisLabel, IDS_PARAM_AL1_HYSTERESIS},
        {kAlarm2HysteresisLabel, IDS_PARAM_AL2_HYSTERESIS},
        {kAlarm1SetpointLabel, IDS_PARAM_AL1_SETPOINT},
        {kAlarm2SetpointLabel, IDS_PARAM_AL2_SETPOINT},
        {kAlarm1ActionLabel, IDS_LABEL_AL1_ACTION},
        {kAlarm2ActionLabel, IDS_LABEL_AL2_ACTION},
        {kAlarm1Hold, IDS_LABEL_ALARM_HOLD},
        {kAlarm2Hold, IDS_LABEL_ALARM_HOLD},
        {kBoxRamp, IDS_PARAM_RAMP},
        {kBoxRampKind, IDS_BOX_RAMP_MODE},
        {kRampTimeLabel, IDS_PARAM_RAMP_TIME},
        {kRampOn, IDS_LABEL_RAMP_ON},
        {kRampPowerOn, IDS_LABEL_RAMP_POWER_ON},
        {kRampOneShot, IDS_RAMP_ONE_SHOT},
        {kRampContinuous, IDS_RAMP_CONTINUOUS},
    };
    for (const auto& [id, stringId] : kCaptions)
        SetDlgItemTextById(id, stringId);
    LoadWriteTexts();
    FillAlarmLists();
}

void CConfigurationPage::FillAlarmLists() {
    for (int id : {kAlarm1Type, kAlarm2Type}) {
        auto* list = Control<QComboBox>(id);
        const int selected = list->currentIndex();
        list->clear();
        for (int stringId : kAlarmTypeTexts)
            list->addItem(TextById(stringId));
        list->setCurrentIndex(selected);
    }
}

bool CConfigurationPage::RampSupported() const {
    return Model().IsSupported(reg::kRampConfig) && Model().IsSupported(reg::kRampTime);
}

int CConfigurationPage::Decimals() const {
    return Model().GetValue(reg::kDecimalPoint);
}

int CConfigurationPage::HysteresisDecimals() const {
    return Model().GetValue(reg::kInputType) < 10 ? 1 : Decimals();
}

void CConfigurationPage::ExchangePropBand(CDataExchange& dx, int d) {
    if (dx.IsSaving() && GetDlgItemText(kPropBand) == kOnOff) {
        propBand = 0;
        return;
    }
    ExchangeScaled(dx, kPropBand, propBand, d);
    ValidateScaledRange(dx, propBand, 0, kRawPropBandHigh, d);
    if (propBand == 0)
        SetDlgItemText(kPropBand, kOnOff);
}

void CConfigurationPage::ReformatPropBand() {
    const std::optional<double> value = ParseNumber(GetDlgItemText(kPropBand).toStdString());
    if (value && ScaledFromReal(*value, Decimals(), false) == 0)
        SetDlgItemText(kPropBand, kOnOff);
    else
        ReformatScaled(this, kPropBand, Decimals());
}

void CConfigurationPage::DoExchange(CDataExchange& dx) {
    const int d = Decimals();
    // The limits first: the setpoints are checked against them as just read. A lower limit
    // above the upper one is refused on the lower limit, the field to fix.
    ExchangeScaled(dx, kSetpointHigh, setpointHigh, d);
    ValidateScaledRange(dx, setpointHigh, kRawLimitLow, kRawLimitHigh, d);
    ExchangeScaled(dx, kSetpointLow, setpointLow, d);
    ValidateScaledRange(dx, setpointLow, kRawLimitLow, std::min(kRawLimitHigh, setpointHigh), d);
    ExchangeScaled(dx, kSetpoint, setpoint, d);
    ValidateScaledRange(dx, setpoint, setpointLow, setpointHigh, d);
    ExchangeScaled(dx, kAlarm1Setpoint, alarm1Setpoint, d);
    ValidateScaledRange(dx, alarm1Setpoint, kRawLimitLow, kRawLimitHigh, d);
    ExchangeScaled(dx, kAlarm2Setpoint, alarm2Setpoint, d);
    ValidateScaledRange(dx, alarm2Setpoint, kRawLimitLow, kRawLimitHigh, d);
    ExchangeScaled(dx, kSetpoint2, setpoint2, d);
    ValidateScaledRange(dx, setpoint2, setpointLow, setpointHigh, d);

    const int dh = HysteresisDecimals();
    ExchangeScaled(dx, kHysteresis, hysteresis, dh);
    ValidateScaledRange(dx, hysteresis, 0, kRawHysteresisHigh, dh);
    ExchangeScaled(dx, kAlarm1Hysteresis, alarm1Hysteresis, dh);
    ValidateScaledRange(dx, alarm1Hysteresis, 0, kRawHysteresisHigh, dh);
    ExchangeScaled(dx, kAlarm2Hysteresis, alarm2Hysteresis, dh);
    ValidateScaledRange(dx, alarm2Hysteresis, 0, kRawHysteresisHigh, dh);

    ExchangePropBand(dx, d);

    ExchangeScaled(dx, kOffset, offset, kOffsetDecimals);
    ValidateScaledRange(dx, offset, 0, kRawOffsetHigh, kOffsetDecimals);
    ExchangeInt(dx, kTunePercent, tunePercent);
    ValidateRange(dx, tunePercent, 0, 100);
    ExchangeInt(dx, kIntegralTime, integralTime);
    ValidateRange(dx, integralTime, 0, 3600);
    ExchangeInt(dx, kIntegralLimit, integralLimit);
    ValidateRange(dx, integralLimit, 0, 100);
    ExchangeInt(dx, kCycleTime, cycleTime);
    ValidateRange(dx, cycleTime, 1, 100);
    ExchangeInt(dx, kDerivativeTime, derivativeTime);
    ValidateRange(dx, derivativeTime, 0, 3600);
    ExchangeIndex(dx, kAlarm1Type, alarm1Type);
    ExchangeIndex(dx, kAlarm2Type, alarm2Type);
    ExchangeCheck(dx, kAlarm1Hold, alarm1Hold);
    ExchangeCheck(dx, kAlarm2Hold, alarm2Hold);
    ExchangeRadio(dx, {kAlarm1ActionNoNc, kAlarm1ActionNcNo}, alarm1Action);
    ExchangeRadio(dx, {kAlarm2ActionNoNc, kAlarm2ActionNcNo}, alarm2Action);

    // The ramp needs software 1.2: before such a controller was read it is left alone.
    const bool ramp = RampSupported();
    for (int id : {kBoxRamp, kWriteRampBox, kBoxRampKind, kRampTimeLabel, kRampOn, kRampPowerOn,
                   kRampOneShot, kRampContinuous, kRampTime})
        EnableControl(id, ramp);
    if (ramp) {
        ExchangeCheck(dx, kRampOn, rampOn);
        ExchangeCheck(dx, kRampPowerOn, rampPowerOn);
        ExchangeRadio(dx, {kRampOneShot, kRampContinuous}, rampKind);
        ExchangeInt(dx, kRampTime, rampTime);
        ValidateRange(dx, rampTime, 1, 900);
    }
}

void CConfigurationPage::LoadFields() {
    const CTQControllerModel& model = Model();
    integralTime = model.GetValue(reg::kIntegralTime);
    integralLimit = model.GetValue(reg::kIntegralLimit);
    cycleTime = model.GetValue(reg::kCycleTime);
    derivativeTime = model.GetValue(reg::kDerivativeTime);
    setpoint = model.GetValue(reg::kSetpoint);
    propBand = model.GetValue(reg::kProportionalBand);
    alarm1Setpoint = model.GetValue(reg::kAlarm1Setpoint);
    alarm2Setpoint = model.GetValue(reg::kAlarm2Setpoint);
    hysteresis = model.GetValue(reg::kHysteresis);
    setpoint2 = model.GetValue(reg::kSecondarySetpoint);
    alarm1Hysteresis = model.GetValue(reg::kAlarm1Hysteresis);
    alarm2Hysteresis = model.GetValue(reg::kAlarm2Hysteresis);
    setpointHigh = model.GetValue(reg::kSetpointUpperLimit);
    setpointLow = model.GetValue(reg::kSetpointLowerLimit);
    offset = model.GetValue(reg::kOffset);
    tunePercent = model.GetValue(reg::kSelfTunePercent);
    const int alarm1 = model.GetValue(reg::kAlarm1Config);
    alarm1Type = AlarmIndexFromRegister(alarm1);
    alarm1Hold = (alarm1 & 8) ? 1 : 0;
    const int alarm2 = model.GetValue(reg::kAlarm2Config);
    alarm2Type = AlarmIndexFromRegister(alarm2);
    alarm2Hold = (alarm2 & 8) ? 1 : 0;
    const int contacts = model.GetValue(reg::kAlarmContacts);
    alarm1Action = (contacts & 1) ? 1 : 0;
    alarm2Action = (contacts & 2) ? 1 : 0;
    if (RampSupported()) {
        const int rampConfig = model.GetValue(reg::kRampConfig);
        rampOn = (rampConfig & kRampOnBit) ? 1 : 0;
        rampPowerOn = (rampConfig & kRampPowerOnBit) ? 1 : 0;
        rampKind = (rampConfig & 3) == 2 ? 1 : 0;
        rampTime = model.GetValue(reg::kRampTime);
    }
}

void CConfigurationPage::StoreFields() {
    CTQControllerModel& model = Model();
    auto store = [&model](uint32_t index, int value) {
        model.SetValue(index, static_cast<int16_t>(value));
    };
    store(reg::kIntegralTime, integralTime);
    store(reg::kIntegralLimit, integralLimit);
    store(reg::kSetpoint, setpoint);
    store(reg::kProportionalBand, propBand);
    store(reg::kAlarm1Setpoint, alarm1Setpoint);
    store(reg::kAlarm2Setpoint, alarm2Setpoint);
    store(reg::kHysteresis, hysteresis);
    store(reg::kSecondarySetpoint, setpoint2);
    store(reg::kAlarm1Hysteresis, alarm1Hysteresis);
    store(reg::kAlarm2Hysteresis, alarm2Hysteresis);
    store(reg::kSetpointUpperLimit, setpointHigh);
    store(reg::kSetpointLowerLimit, setpointLow);
    store(reg::kCycleTime, cycleTime);
    store(reg::kDerivativeTime, derivativeTime);
    store(reg::kOffset, offset);
    store(reg::kSelfTunePercent, tunePercent);
    if (alarm1Type >= 0)
        store(reg::kAlarm1Config, AlarmRegister(alarm1Type, alarm1Hold != 0));
    if (alarm2Type >= 0)
        store(reg::kAlarm2Config, AlarmRegister(alarm2Type, alarm2Hold != 0));
    store(reg::kAlarmContacts, (alarm1Action == 1 ? 1 : 0) + (alarm2Action == 1 ? 2 : 0));
    if (RampSupported()) {
        store(reg::kRampConfig, RampRegister(rampOn != 0, rampPowerOn != 0, rampKind == 1));
        store(reg::kRampTime, rampTime);
    }
}
