#include "ui/pages/RetransmissionPage.h"

#include "core/model/TQControllerModel.h"
#include "languages/StringIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/pages/PageIds.h"
#include "ui/widgets/ScaledExchange.h"

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

#include <algorithm>

using namespace retx;

namespace {
constexpr int kAddressLow = 1;
constexpr int kAddressHigh = 255;
constexpr int kDelayHigh = 2000;
constexpr int kListSize = 4; // every list of the page has four entries
constexpr int kVariableNone = 0;
constexpr int kVariableOutput = 1; // "U%"

// A list code with no entry selects nothing.
int IndexFromCode(int code, int entries) {
    return code >= 0 && code < entries ? code : -1;
}

// The scale the retransmission limits are checked against.
struct LimitRange {
    bool checked = false;
    int d = 0;
    int low = 0;
    int high = 0;
};

LimitRange RangeFor(int variable, const CTQControllerModel& model) {
    if (variable == kVariableOutput)
        return {true, 1, 0, 1000};
    if (variable != 2 && variable != 3) // "None", or a code with no entry
        return {};
    const int d = model.GetValue(reg::kDecimalPoint);
    const int type = model.GetValue(reg::kInputType);
    if (d != 0 && type >= 0 && type <= 7)
        return {true, d, -1999, 9999};
    if (d != 0 && type == 8)
        return {true, d, -1999, 8400};
    if (d == 0 && type >= 0 && type <= 8) {
        // Each sensor's own span.
        static constexpr std::pair<int, int> kSpans[] = {{0, 1372}, {0, 1200}, {0, 1769},
                                                         {0, 1769}, {0, 1820}, {0, 1000},
                                                         {0, 1300}, {0, 400},  {-199, 840}};
        return {true, 0, kSpans[type].first, kSpans[type].second};
    }
    // Linear inputs: the setpoint limits.
    return {true, d, model.GetValue(reg::kSetpointLowerLimit),
            model.GetValue(reg::kSetpointUpperLimit)};
}

void AddBoxButton(QGridLayout* grid, QPushButton* button) {
    grid->addWidget(button, grid->rowCount(), 0, 1, 3, Qt::AlignRight);
}
} // namespace

CRetransmissionPage::CRetransmissionPage(const CPageContext& context, QWidget* parent)
    : CModelPage(IDD_SERIAL_RETRANSMISSION, context, parent) {
    BuildControls();
    InitPage();
}

void CRetransmissionPage::BuildControls() {
    auto write = [this](int id, uint32_t index, const int& field) {
        return AddWriteButton(id, [this, index, &field] { WriteOne(index, field); });
    };
    // A code with no list entry shows no choice; such a field is never sent.
    auto writeChoice = [this](int id, uint32_t index, const int& choice) {
        return AddWriteButton(id, [this, index, &choice] { WriteChoice(index, choice); });
    };

    // Port box.
    QGroupBox* portBox = AddBox(kBoxPort);
    auto* port = new QGridLayout(portBox);
    addressSpin = AddSpin(new QSpinBox(this), kAddressSpin, kAddressEdit, 3);
    addressSpin->setRange(kAddressLow, kAddressHigh);
    AddRow(port, kAddressLabel, addressSpin,
           write(kWriteAddress, reg::kRetransAddress, addressPosition));
    QComboBox* baudList = AddList(kBaud);
    baudList->addItems({"2400", "4800", "9600", "19200"});
    AddRow(port, kBaudLabel, baudList, writeChoice(kWriteBaud, reg::kRetransBaud, baud));
    auto* parityColumn = new QWidget;
    auto* parityLayout = new QVBoxLayout(parityColumn);
    parityLayout->setContentsMargins(0, 0, 0, 0);
    for (int id : {kParityNone, kParityOdd, kParityEven})
        parityLayout->addWidget(AddRadio(id));
    QLabel* parityLabel = AddRow(port, kParityBox, parityColumn,
                                 writeChoice(kWriteParity, reg::kRetransParity, parity));
    parityLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddRow(port, kDelayLabel, AddEdit(kDelay, 4), write(kWriteDelay, reg::kRetransDelay, delay));
    port->setColumnStretch(0, 1);

    // Analogue retransmission box.
    QGroupBox* analogBox = AddBox(kBoxAnalog);
    auto* analog = new QGridLayout(analogBox);
    QComboBox* variables = AddList(kVariable);
    variables->addItems({"None", "U%", "PV", "SP"});
    AddRow(analog, kVariableLabel, variables,
           writeChoice(kWriteVariable, reg::kRetransVariable, variable));
    QComboBox* signalList = AddList(kSignal);
    signalList->addItems({"0-20mA", "4-20mA", "0-10V", "2-10V"});
    AddRow(analog, kSignalLabel, signalList,
           writeChoice(kWriteSignal, reg::kRetransSignal, signal));
    AddRow(analog, kLowLimitLabel, AddEdit(kLowLimit, 6),
           write(kWriteLowLimit, reg::kRetransLowerLimit, lowLimit));
    AddRow(analog, kHighLimitLabel, AddEdit(kHighLimit, 6),
           write(kWriteHighLimit, reg::kRetransUpperLimit, highLimit));
    AddBoxButton(analog, AddWriteButton(
                             kWriteAnalogBox, [this] { WriteGroup(11); }, true));
    analog->setColumnStretch(0, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(portBox);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(analogBox);
    right->addStretch();
    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right, 1);

    // Reactions to the user's choices: the limits follow the variable; the signal also
    // reminds which output terminals it uses.
    connect(variables, &QComboBox::activated, this, [this] { UpdateData(true); });
    connect(signalList, &QComboBox::activated, this, [this](int index) { OnSignalChosen(index); });
}

void CRetransmissionPage::OnSignalChosen(int index) {
    UpdateData(true);
    MessageBoxId(window(), index >= 2 ? IDS_INFO_VOLTAGE_OUTPUT : IDS_INFO_CURRENT_OUTPUT,
                 MbIcon::Information);
}

void CRetransmissionPage::LoadTexts(bool caption) {
    if (caption)
        setWindowTitle(TextById(IDS_PAGE_RETRANSMISSION));
    static constexpr std::pair<int, int> kCaptions[] = {
        {kBaudLabel, IDS_BAUD_RATE},
        {kParityBox, IDS_PARITY},
        {kParityNone, IDS_PARITY_NONE},
        {kParityEven, IDS_PARITY_EVEN},
        {kParityOdd, IDS_PARITY_ODD},
        {kAddressLabel, IDS_MODBUS_ADDRESS},
        {kDelayLabel, IDS_PARAM_RETX_DELAY},
        {kBoxPort, IDS_BOX_RETX_PORT},
        {kBoxAnalog, IDS_BOX_RETX_ANALOG},
        {kSignalLabel, IDS_LABEL_RETX_SIGNAL},
        {kVariableLabel, IDS_LABEL_RETX_VARIABLE},
        {kLowLimitLabel, IDS_LABEL_RETX_LOW},
        {kHighLimitLabel, IDS_LABEL_RETX_HIGH},
    };
    for (const auto& [id, stringId] : kCaptions)
        SetDlgItemTextById(id, stringId);
    LoadWriteTexts();
}

void CRetransmissionPage::ExchangeLimits(CDataExchange& dx) {
    const LimitRange range = RangeFor(variable, Model());
    EnableControl(kLowLimit, range.checked);
    EnableControl(kHighLimit, range.checked);
    if (!range.checked) {
        // Not in use: shown whole, neither read nor checked.
        if (!dx.IsSaving()) {
            ExchangeScaled(dx, kHighLimit, highLimit, 0);
            ExchangeScaled(dx, kLowLimit, lowLimit, 0);
        }
        return;
    }
    ExchangeScaled(dx, kHighLimit, highLimit, range.d);
    ValidateScaledRange(dx, highLimit, range.low, range.high, range.d);
    ExchangeScaled(dx, kLowLimit, lowLimit, range.d);
    // Not checked against the upper limit: a reversed scale (20-4 mA) is a normal setting.
    ValidateScaledRange(dx, lowLimit, range.low, range.high, range.d);
}

void CRetransmissionPage::DoExchange(CDataExchange& dx) {
    if (dx.IsSaving()) {
        // The spin's text as typed counts, brought into its range.
        addressSpin->interpretText();
        addressPosition = addressSpin->value();
    } else {
        addressSpin->setValue(addressPosition);
    }
    ExchangeIndex(dx, kBaud, baud);
    ExchangeRadio(dx, {kParityNone, kParityOdd, kParityEven}, parity);
    ExchangeInt(dx, kDelay, delay);
    ValidateRange(dx, delay, 0, kDelayHigh);
    ExchangeIndex(dx, kSignal, signal);
    ExchangeIndex(dx, kVariable, variable);
    ExchangeLimits(dx);
}

void CRetransmissionPage::LoadFields() {
    const CTQControllerModel& model = Model();
    addressPosition =
        std::clamp<int>(model.GetValue(reg::kRetransAddress), kAddressLow, kAddressHigh);
    baud = IndexFromCode(model.GetValue(reg::kRetransBaud), kListSize);
    highLimit = model.GetValue(reg::kRetransUpperLimit);
    lowLimit = model.GetValue(reg::kRetransLowerLimit);
    parity = IndexFromCode(model.GetValue(reg::kRetransParity), 3);
    delay = model.GetValue(reg::kRetransDelay);
    signal = IndexFromCode(model.GetValue(reg::kRetransSignal), kListSize);
    variable = IndexFromCode(model.GetValue(reg::kRetransVariable), kListSize);
}

void CRetransmissionPage::StoreFields() {
    CTQControllerModel& model = Model();
    auto store = [&model](uint32_t index, int value) {
        model.SetValue(index, static_cast<int16_t>(value));
    };
    // Codes with no entry on the page stay as the controller has them.
    store(reg::kRetransAddress, addressPosition);
    if (baud >= 0)
        store(reg::kRetransBaud, baud);
    store(reg::kRetransUpperLimit, highLimit);
    store(reg::kRetransLowerLimit, lowLimit);
    if (parity >= 0)
        store(reg::kRetransParity, parity);
    store(reg::kRetransDelay, delay);
    if (signal >= 0)
        store(reg::kRetransSignal, signal);
    if (variable >= 0)
        store(reg::kRetransVariable, variable);
}
