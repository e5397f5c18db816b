#include "ui/pages/InputOutputPage.h"

#include "core/model/TQControllerModel.h"
#include "languages/StringIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
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
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

using namespace cfg2;

namespace {
constexpr int kRawBiasLow = -1999;
constexpr int kRawBiasHigh = 1999;
constexpr int kLastThermalIndex = 8; // Pt100/Pt1000; linear inputs follow
constexpr int kOutputLimitMax = 1000;

// Input type list: the same for both families except where two texts are given.
struct InputTypeText {
    const char* zi102;
    const char* tq100;
};
constexpr InputTypeText kInputTypes[] = {
    {"K: 0-1372 ºC", nullptr},
    {"J: 0-1200 ºC", nullptr},
    {"E: 0-1000 ºC", nullptr},
    {"N: 0-1300 ºC", nullptr},
    {"R: 0-1769 ºC", nullptr},
    {"S: 0-1769 ºC", nullptr},
    {"B: 0-1800 ºC", nullptr},
    {"T: 0-400 ºC", nullptr},
    {"Pt100/Pt1000: -199.9-649.0 ºC", "Pt100/Pt1000: -199.9-840.0 ºC"},
    {"0-5V | 0-10V", "0-10V"},
    {"1-5V | 2-10V", "2-10V"},
    {"0-20mA", nullptr},
    {"4-20mA", nullptr},
};
constexpr int kInputTypeCount = static_cast<int>(std::size(kInputTypes));

// Register 19 skips code 9: codes 0..8 and 10..13 are list entries 0..12.
int InputIndexFromCode(int code) {
    if (code >= 0 && code <= kLastThermalIndex)
        return code;
    if (code > 9 && code <= kInputTypeCount)
        return code - 1;
    return -1;
}
int InputCode(int index) {
    return index > kLastThermalIndex ? index + 1 : index;
}

// Register 24 on a ZI102-VA402: bit 0 the action, bits 1-2 the output type.
int OutputTypeFromRegister(int value) {
    switch (value & 6) {
    case 6:
        return 1; // 0-20mA/0-10V
    case 0:
        return 2; // relay
    default:
        return 0; // 4-20mA/2-10V (4, and 2)
    }
}
int OutputRegister(int action, int type) {
    switch (type) {
    case 0:
        return action | 4;
    case 1:
        return action | 6;
    default:
        return action;
    }
}

// Output limit: the spin's position in tenths of a percent, shown and typed as a percentage.
class COutputLimitSpin : public QSpinBox {
public:
    explicit COutputLimitSpin(QWidget* parent) : QSpinBox(parent) {
        setRange(0, kOutputLimitMax);
        setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    }

protected:
    QString textFromValue(int value) const override {
        return QString::asprintf("%.1f", value * 0.1);
    }
    int valueFromText(const QString& text) const override {
        return static_cast<int>(std::lround(text.trimmed().toDouble() * 10));
    }
    QValidator::State validate(QString& text, int&) const override {
        if (text.trimmed().isEmpty())
            return QValidator::Intermediate;
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        if (!ok)
            return QValidator::Invalid;
        return value >= 0 && value <= kOutputLimitMax / 10.0 ? QValidator::Acceptable
                                                             : QValidator::Intermediate;
    }
};

QWidget* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch();
    return row;
}

void AddBoxButton(QGridLayout* grid, QPushButton* button) {
    grid->addWidget(button, grid->rowCount(), 0, 1, 3, Qt::AlignRight);
}

} // namespace

CInputOutputPage::CInputOutputPage(const CPageContext& context, QWidget* parent)
    : CModelPage(IDD_CONFIGURACION2, context, parent) {
    BuildControls();
    InitPage();
}

bool CInputOutputPage::IsZI102() const {
    return Model().GetFamily() == TQ102_TQ402;
}

void CInputOutputPage::BuildControls() {
    // Input box.
    QGroupBox* inputBox = AddBox(kBoxInput);
    auto* input = new QGridLayout(inputBox);
    QComboBox* types = AddList(kInputType);
    AddRow(input, kInputTypeLabel, types);
    decimalSpin = AddSpin(new QSpinBox(this), kDecimalPointSpin, kDecimalPointEdit, 1);
    decimalSpin->setRange(0, 1);
    AddRow(input, kDecimalPointLabel, decimalSpin);
    QLineEdit* biasEdit = AddEdit(kBias, 5);
    AddRow(input, kBiasLabel, biasEdit);
    input->addWidget(AddCheck(kFilter), input->rowCount(), 1);
    AddRow(input, kUnitLabel, Row({AddRadio(kUnitCelsius, "ºC"), AddRadio(kUnitFahrenheit, "F")}));
    AddBoxButton(input, AddWriteButton(
                            kWriteInputBox, [this] { WriteGroup(7); }, true));
    input->setColumnStretch(2, 1);

    // Digital input box.
    QGroupBox* digitalBox = AddBox(kBoxDigitalInput);
    auto* digital = new QGridLayout(digitalBox);
    AddRow(digital, kDigitalInputLabel, AddList(kDigitalInput));
    AddBoxButton(digital, AddWriteButton(
                              kWriteDigitalInputBox, [this] { WriteGroup(9); }, true));
    digital->setColumnStretch(2, 1);

    // Output box.
    QGroupBox* outputBox = AddBox(kBoxOutput);
    auto* output = new QGridLayout(outputBox);
    AddRow(output, kActionLabel, Row({AddRadio(kActionDirect), AddRadio(kActionReverse)}));
    auto* typeColumn = new QWidget;
    auto* typeLayout = new QVBoxLayout(typeColumn);
    typeLayout->setContentsMargins(0, 0, 0, 0);
    typeLayout->addWidget(AddRadio(kOutput4to20, "4-20mA/2-10V"));
    typeLayout->addWidget(AddRadio(kOutput0to20, "0-20mA/0-10V"));
    typeLayout->addWidget(AddRadio(kOutputRelay));
    QLabel* typeLabel = AddRow(output, kOutputTypeLabel, typeColumn);
    typeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    outputLimitSpin = AddSpin(new COutputLimitSpin(this), kOutputLimitSpin, kOutputLimitEdit, 5);
    AddRow(output, kOutputLimitLabel, outputLimitSpin);
    output->addWidget(AddCheck(kManual), output->rowCount(), 0, 1, 3);
    QGroupBox* powerOnBox = AddBox(kBoxPowerOn);
    auto* powerOnLayout = new QHBoxLayout(powerOnBox);
    powerOnLayout->addWidget(AddRadio(kPowerOnZero, "0%"));
    powerOnLayout->addWidget(AddRadio(kPowerOnLast));
    powerOnLayout->addStretch();
    output->addWidget(powerOnBox, output->rowCount(), 0, 1, 3);
    AddBoxButton(output, AddWriteButton(
                             kWriteOutputBox, [this] { WriteGroup(8); }, true));
    output->setColumnStretch(2, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(inputBox);
    left->addWidget(digitalBox);
    left->addStretch();
    left->addWidget(AddLabel(kVersion));
    auto* right = new QVBoxLayout;
    right->addWidget(outputBox);
    right->addStretch();
    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right, 1);

    // Reactions to the user: a chosen input type, a clicked analogue output type.
    connect(types, &QComboBox::activated, this, [this](int index) { OnInputTypeChosen(index); });
    for (int id : {kOutput4to20, kOutput0to20}) {
        connect(Control<QRadioButton>(id), &QRadioButton::clicked, this,
                [this] { MessageBoxId(window(), IDS_INFO_ANALOG_OUTPUT, MbIcon::Information); });
    }
    // The bias is shown with the decimals the spin shows.
    connect(decimalSpin, &QSpinBox::valueChanged, this, [this] { ReformatBias(); });
    OnFocusLost(biasEdit, [this] { ReformatBias(); });
}

void CInputOutputPage::SetDecimalRange(int inputIndex) {
    decimalSpin->setRange(0, inputIndex > kLastThermalIndex ? 3 : 1);
}

void CInputOutputPage::OnInputTypeChosen(int index) {
    SetDecimalRange(index);
    const bool zi102 = IsZI102();
    int hint = 0;
    if (index == kLastThermalIndex)
        hint = IDS_INFO_INPUT_RTD;
    else if (index == 9 || index == 10)
        hint = zi102 ? 0 : IDS_INFO_INPUT_VOLTAGE_TQ100;
    else if (index == 11 || index == 12)
        hint = zi102 ? IDS_INFO_INPUT_MA : IDS_INFO_INPUT_MA_TQ100;
    else if (index >= 0 && index < kLastThermalIndex)
        hint = zi102 ? 0 : IDS_INFO_INPUT_TC_TQ100;
    if (hint != 0)
        MessageBoxId(window(), hint, MbIcon::Information);
}

void CInputOutputPage::ReformatBias() {
    ReformatScaled(this, kBias, decimalSpin->value());
}

void CInputOutputPage::LoadTexts(bool caption) {
    if (caption)
        setWindowTitle(TextById(IDS_PAGE_CONFIG2));
    static constexpr std::pair<int, int> kCaptions[] = {
        {kInputTypeLabel, IDS_PARAM_INPUT_TYPE},
        {kBoxInput, IDS_BOX_INPUT},
        {kBiasLabel, IDS_PARAM_INPUT_BIAS},
        {kDecimalPointLabel, IDS_PARAM_DECIMAL_POINT},
        {kBoxPowerOn, IDS_BOX_POWER_ON_OUTPUT},
        {kPowerOnLast, IDS_POWER_ON_LAST_VALUE},
        {kBoxOutput, IDS_BOX_OUTPUT},
        {kOutputLimitLabel, IDS_PARAM_OUTPUT_LIMIT},
        {kOutputTypeLabel, IDS_LABEL_OUTPUT_TYPE},
        {kFilter, IDS_PARAM_INPUT_FILTER},
        {kActionLabel, IDS_PARAM_CONTROL_ACTION},
        {kActionDirect, IDS_ACTION_DIRECT},
        {kActionReverse, IDS_ACTION_REVERSE},
        {kDigitalInputLabel, IDS_PARAM_DIGITAL_INPUT},
        {kBoxDigitalInput, IDS_BOX_DIGITAL_INPUT},
        {kManual, IDS_PARAM_MANUAL_MODE},
        {kUnitLabel, IDS_PARAM_UNIT},
        {kOutputRelay, IDS_OUTPUT_RELAY},
    };
    for (const auto& [id, stringId] : kCaptions)
        SetDlgItemTextById(id, stringId);
    LoadWriteTexts();

    const bool zi102 = IsZI102();
    auto* digital = Control<QComboBox>(kDigitalInput);
    const int digitalSelected = digital->currentIndex();
    digital->clear();
    for (int stringId : {IDS_DIGIN_NONE, IDS_DIGIN_SETPOINT2, IDS_DIGIN_MAN_AUTO})
        digital->addItem(TextById(stringId));
    if (zi102)
        digital->addItem(TextById(IDS_DIGIN_KEY_LOCK));
    digital->setCurrentIndex(digitalSelected < digital->count() ? digitalSelected : 0);

    for (int id : {kManual, kOutputTypeLabel, kOutput4to20, kOutput0to20, kOutputRelay})
        EnableControl(id, zi102);

    auto* types = Control<QComboBox>(kInputType);
    const int typeSelected = types->currentIndex();
    types->clear();
    for (const InputTypeText& text : kInputTypes)
        types->addItem(QString::fromUtf8(!zi102 && text.tq100 ? text.tq100 : text.zi102));
    types->setCurrentIndex(typeSelected);
}

void CInputOutputPage::DoExchange(CDataExchange& dx) {
    if (dx.IsSaving()) {
        // What is typed into a spin's edit counts, brought into the spin's range.
        decimalSpin->interpretText();
        outputLimitSpin->interpretText();
    }
    ExchangeIndex(dx, kInputType, inputType);
    ExchangeIndex(dx, kDigitalInput, digitalInput);
    ExchangeCheck(dx, kFilter, filter);
    ExchangeCheck(dx, kManual, manual);
    ExchangeRadio(dx, {kUnitCelsius, kUnitFahrenheit}, unit);
    ExchangeRadio(dx, {kActionDirect, kActionReverse}, action);
    ExchangeRadio(dx, {kOutput4to20, kOutput0to20, kOutputRelay}, outputType);
    ExchangeRadio(dx, {kPowerOnZero, kPowerOnLast}, powerOn);
    if (!dx.IsSaving())
        ExchangeText(dx, kVersion, version);
    const int d = decimalSpin->value();
    ExchangeScaled(dx, kBias, bias, d);
    ValidateScaledRange(dx, bias, kRawBiasLow, kRawBiasHigh, d);
}

void CInputOutputPage::LoadFields() {
    const CTQControllerModel& model = Model();
    const bool zi102 = IsZI102();
    bias = model.GetValue(reg::kInputBias);
    // A code with no entry selects nothing, and storing then keeps the register.
    const int digital = model.GetValue(reg::kDigitalInputConfig);
    digitalInput = digital >= 0 && digital < (zi102 ? 4 : 3) ? digital : -1;
    inputType = InputIndexFromCode(model.GetValue(reg::kInputType));
    filter = model.GetValue(reg::kInputFilter) != 0 ? 1 : 0;
    const int unitCode = model.GetValue(reg::kUnit);
    unit = unitCode == 0 || unitCode == 1 ? unitCode : -1;
    const int manualConfig = model.GetValue(reg::kManualModeConfig);
    manual = zi102 && (manualConfig & 2) ? 1 : 0;
    powerOn = (manualConfig & 8) ? 1 : 0;
    const int outputConfig = model.GetValue(reg::kOutputConfig);
    action = outputConfig & 1;
    outputType = zi102 ? OutputTypeFromRegister(outputConfig) : 0;
    SetDecimalRange(inputType);
    decimalSpin->setValue(model.GetValue(reg::kDecimalPoint));
    outputLimitSpin->setValue(model.GetValue(reg::kOutputLimit));
    const int software = model.GetValue(reg::kSoftwareVersion);
    const int hardware = model.GetValue(reg::kHardwareVersion);
    version = hardware != 0 && software != 0
                  ? QString::asprintf("Hw: v%.1f Sw: v%.1f", hardware * 0.1, software * 0.1)
                  : QStringLiteral("Hw: v?.? Sw: v?.?");
}

void CInputOutputPage::StoreFields() {
    CTQControllerModel& model = Model();
    auto store = [&model](uint32_t index, int value) {
        model.SetValue(index, static_cast<int16_t>(value));
    };
    const bool zi102 = IsZI102();
    store(reg::kInputBias, bias);
    if (digitalInput >= 0)
        store(reg::kDigitalInputConfig, digitalInput);
    if (inputType >= 0)
        store(reg::kInputType, InputCode(inputType));
    store(reg::kInputFilter, filter);
    if (unit >= 0)
        store(reg::kUnit, unit);
    if (powerOn >= 0)
        store(reg::kManualModeConfig, (powerOn == 1 ? 8 : 0) | (zi102 ? (manual ? 6 : 4) : 0));
    if (action >= 0 && !zi102)
        store(reg::kOutputConfig, action);
    else if (action >= 0 && outputType >= 0)
        store(reg::kOutputConfig, OutputRegister(action, outputType));
    store(reg::kDecimalPoint, decimalSpin->value());
    store(reg::kOutputLimit, outputLimitSpin->value());
}
