#include "ui/graph/GraphRangeDlg.h"

#include "core/model/ScaledValue.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/graph/GraphResourceIds.h"

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr double kStep = 0.001;
constexpr double kHighest = 9999.0;
constexpr double kLowest = -999.0;
// Float members hold 0.001 steps inexactly; bounds this close still count as met.
constexpr double kSlack = 1e-6;

void ExchangeReal(CDataExchange& dx, int id, float& value) {
    QWidget* control = dx.PrepareControl(id);
    if (control == nullptr)
        return;
    if (!dx.IsSaving()) {
        SetControlText(control, QString::number(value, 'f', 3));
        return;
    }
    const std::optional<double> parsed = ParseNumber(ControlText(control).toStdString());
    if (!parsed || *parsed > 1e9 || *parsed < -1e9)
        RefuseNumber(dx);
    value = static_cast<float>(*parsed);
}

} // namespace

CGraphRangeDlg::CGraphRangeDlg(float max, float min, QWidget* parent)
    : CDialogBase(IDD_GRAPH_RANGE, parent), max(max), min(min) {
    setWindowTitle(QStringLiteral("Range"));
    SetClientSize(140, 62);
    AddControl<QLabel>(IDC_STATIC, 8, 10, 30, 10)->setText(QStringLiteral("Max"));
    AddControl<QLineEdit>(IDC_RANGE_MAX, 40, 8, 40, 13);
    AddControl<QLabel>(IDC_STATIC, 8, 28, 30, 10)->setText(QStringLiteral("Min"));
    AddControl<QLineEdit>(IDC_RANGE_MIN, 40, 26, 40, 13);
    AddButton(IDOK, QStringLiteral("OK"), 86, 7, 48, 14, true);
    AddButton(IDCANCEL, QStringLiteral("Cancel"), 86, 25, 48, 14);
}

void CGraphRangeDlg::DoDataExchange(CDataExchange& dx) {
    ExchangeReal(dx, IDC_RANGE_MAX, max);
    ExchangeReal(dx, IDC_RANGE_MIN, min);
    if (!dx.IsSaving())
        return;
    // Each bound depends on the other field's new value.
    dx.PrepareControl(IDC_RANGE_MAX);
    ValidateRange(dx, double{max}, double{min} + kStep - kSlack, kHighest, 3);
    dx.PrepareControl(IDC_RANGE_MIN);
    ValidateRange(dx, double{min}, kLowest, double{max} - kStep + kSlack, 3);
}
