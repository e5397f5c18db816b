#include "ui/widgets/ScaledExchange.h"

#include "core/model/ScaledValue.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DataExchange.h"

#include <QWidget>

namespace {
void ShowCanonical(QWidget* control, int raw, int d) {
    const QString text = QString::fromStdString(FormatScaled(raw, d));
    if (ControlText(control) != text)
        SetControlText(control, text);
}
} // namespace

void ExchangeScaled(CDataExchange& dx, int id, int& raw, int d) {
    QWidget* control = dx.PrepareControl(id);
    if (!control)
        return;
    if (dx.IsSaving()) {
        const std::optional<double> value = ParseNumber(ControlText(control).toStdString());
        if (!value)
            RefuseNumber(dx);
        raw = ScaledFromReal(*value, d);
        // Rewritten only when the whole pass is accepted: a refused 99999 stays 99999, not
        // the 3276.7 it was limited to.
        dx.WhenPassed([control, stored = raw, d] { ShowCanonical(control, stored, d); });
        return;
    }
    ShowCanonical(control, raw, d);
}

void ExchangeScaled(CDataExchange& dx, int id, int16_t& raw, int d) {
    int wide = raw;
    ExchangeScaled(dx, id, wide, d);
    raw = static_cast<int16_t>(wide);
}

void ReformatScaled(QWidget* window, int id, int d) {
    QWidget* control = FindControl(window, id);
    if (!control)
        return;
    const std::optional<double> value = ParseNumber(ControlText(control).toStdString());
    if (!value)
        return;
    ShowCanonical(control, ScaledFromReal(*value, d, false), d);
}
