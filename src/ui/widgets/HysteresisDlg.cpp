#include "ui/widgets/HysteresisDlg.h"

#include "ui/framework/DataExchange.h"
#include "ui/framework/QtProfileStore.h"
#include "ui/framework/ResourceIds.h"
#include "ui/widgets/ScaledExchange.h"

#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kEditIds[4] = {IDC_HY_DP0, IDC_HY_DP1, IDC_HY_DP2, IDC_HY_DP3};
constexpr int kLabelIds[4] = {IDC_HY_DP0_LABEL, IDC_HY_DP1_LABEL, IDC_HY_DP2_LABEL,
                              IDC_HY_DP3_LABEL};
// Every value, in raw units of its own scale, lies in 1..9999: 1 to 9999, 0.1 to 999.9, ...
constexpr int kRawLow = 1;
constexpr int kRawHigh = 9999;
} // namespace

CHysteresisDlg::CHysteresisDlg(QWidget* parent)
    : CDialogBase(IDD_HYSTERESIS, parent), ownProfile(std::make_unique<CQtProfileStore>()),
      profile(*ownProfile) {
    Build();
}

CHysteresisDlg::CHysteresisDlg(IProfileStore& profile, QWidget* parent)
    : CDialogBase(IDD_HYSTERESIS, parent), profile(profile) {
    Build();
}

CHysteresisDlg::~CHysteresisDlg() = default;

void CHysteresisDlg::Build() {
    hy = LoadHysteresis(profile);
    setWindowTitle(QStringLiteral("Hy"));
    SetClientSize(146, 84);
    for (int d = 0; d < 4; ++d) {
        auto* label = AddControl<QLabel>(kLabelIds[d], 10, 10 + d * 18, 40, 12);
        label->setText(QStringLiteral("DP = %1").arg(d));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        AddControl<QLineEdit>(kEditIds[d], 52, 9 + d * 18, 30, 13);
    }
    AddButton(IDOK, QStringLiteral("OK"), 90, 9, 48, 14, true);
    AddButton(IDCANCEL, QStringLiteral("Cancel"), 90, 27, 48, 14);
}

void CHysteresisDlg::DoDataExchange(CDataExchange& dx) {
    int plain = hy[0];
    ExchangeInt(dx, IDC_HY_DP0, plain);
    ValidateRange(dx, plain, kRawLow, kRawHigh);
    hy[0] = static_cast<int16_t>(plain);
    for (int d = 1; d < 4; ++d) {
        int raw = hy[d];
        ExchangeScaled(dx, kEditIds[d], raw, d);
        ValidateScaledRange(dx, raw, kRawLow, kRawHigh, d);
        hy[d] = static_cast<int16_t>(raw);
    }
}

void CHysteresisDlg::OnOK() {
    if (!UpdateData(true))
        return;
    StoreHysteresis(profile, hy);
    EndDialog(IDOK);
}
