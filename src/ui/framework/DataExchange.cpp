#include "ui/framework/DataExchange.h"

#include "core/model/ScaledValue.h"
#include "ui/framework/ControlHost.h"
#include "ui/framework/UiServices.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include <cstdio>
#include <limits>

QWidget* CDataExchange::PrepareControl(int id) {
    lastId = id;
    QWidget* control = host.GetDlgItem(id);
    if (!control)
        std::fprintf(stderr, "data exchange: no control %d\n", id);
    return control;
}

void CDataExchange::Fail() {
    if (QWidget* control = host.GetDlgItem(lastId)) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->selectAll();
        control->setFocus(Qt::OtherFocusReason);
    }
    throw CExchangeRefused{};
}

void CDataExchange::WhenPassed(std::function<void()> action) {
    whenPassed.push_back(std::move(action));
}

void CDataExchange::Passed() {
    for (const auto& action : whenPassed)
        action();
    whenPassed.clear();
}

QString NumberMessage() {
    return QStringLiteral("Please enter a number.");
}

QString RangeMessage(const QString& low, const QString& high) {
    return QStringLiteral("Please enter a value between %1 and %2.").arg(low, high);
}

namespace {
// The box belongs to the window that holds the field.
QWidget* BoxOwner(CDataExchange& dx) {
    QWidget* control = dx.Host().GetDlgItem(dx.LastControlId());
    return control ? control->window() : nullptr;
}
} // namespace

void RefuseNumber(CDataExchange& dx) {
    MessageBoxText(BoxOwner(dx), NumberMessage(), MbIcon::Exclamation);
    dx.Fail();
}

void RefuseRange(CDataExchange& dx, const QString& low, const QString& high) {
    MessageBoxText(BoxOwner(dx), RangeMessage(low, high), MbIcon::Exclamation);
    dx.Fail();
}

void ExchangeText(CDataExchange& dx, int id, QString& value) {
    QWidget* control = dx.PrepareControl(id);
    if (!control)
        return;
    if (dx.IsSaving())
        value = ControlText(control);
    else
        SetControlText(control, value);
}

void ExchangeText(CDataExchange& dx, int id, std::string& value) {
    QString text = QString::fromStdString(value);
    ExchangeText(dx, id, text);
    if (dx.IsSaving())
        value = text.toStdString();
}

namespace {

// Blanks, an optional sign, digits, blanks; nothing else.
bool ParseWhole(const QString& text, long long& value) {
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    unsigned long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude > (1ULL << 59)) // far beyond any member; keeps the sum from wrapping
            return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != '\0')
        return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

template <class T> void ExchangeWhole(CDataExchange& dx, int id, T& value) {
    QWidget* control = dx.PrepareControl(id);
    if (!control)
        return;
    if (!dx.IsSaving()) {
        SetControlText(control, QString::number(value));
        return;
    }
    long long parsed = 0;
    if (!ParseWhole(ControlText(control), parsed))
        RefuseNumber(dx);
    const long long low = std::numeric_limits<T>::min();
    const long long high = static_cast<long long>(std::numeric_limits<T>::max());
    if (parsed < low || parsed > high)
        RefuseRange(dx, QString::number(low), QString::number(high));
    value = static_cast<T>(parsed);
}

} // namespace

void ExchangeInt(CDataExchange& dx, int id, int& value) {
    ExchangeWhole(dx, id, value);
}
void ExchangeInt(CDataExchange& dx, int id, int16_t& value) {
    ExchangeWhole(dx, id, value);
}
void ExchangeInt(CDataExchange& dx, int id, uint16_t& value) {
    ExchangeWhole(dx, id, value);
}
void ExchangeInt(CDataExchange& dx, int id, uint32_t& value) {
    ExchangeWhole(dx, id, value);
}

void ExchangeIndex(CDataExchange& dx, int id, int& index) {
    QWidget* control = dx.PrepareControl(id);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (dx.IsSaving())
            index = combo->currentIndex();
        else
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        if (dx.IsSaving())
            index = list->currentRow();
        else
            list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
    }
}

void ExchangeCheck(CDataExchange& dx, int id, int& value) {
    auto* button = qobject_cast<QAbstractButton*>(dx.PrepareControl(id));
    if (!button)
        return;
    auto* box = qobject_cast<QCheckBox*>(button);
    if (dx.IsSaving()) {
        if (box && box->checkState() == Qt::PartiallyChecked)
            value = 2;
        else
            value = button->isChecked() ? 1 : 0;
    } else if (box && value == 2 && box->isTristate()) {
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        button->setChecked(value != 0);
    }
}

void ExchangeRadio(CDataExchange& dx, std::initializer_list<int> ids, int& index) {
    if (ids.size() == 0)
        return;
    dx.PrepareControl(*ids.begin());
    int position = 0;
    if (dx.IsSaving()) {
        index = -1;
        for (int id : ids) {
            auto* radio = dx.Host().Control<QAbstractButton>(id);
            if (radio && radio->isChecked()) {
                index = position;
                break;
            }
            ++position;
        }
        return;
    }
    for (int id : ids) {
        if (auto* radio = dx.Host().Control<QAbstractButton>(id)) {
            // Auto-exclusive buttons cannot be cleared one by one; -1 clears them all.
            const bool exclusive = radio->autoExclusive();
            radio->setAutoExclusive(false);
            radio->setChecked(position == index);
            radio->setAutoExclusive(exclusive);
        }
        ++position;
    }
}

void ValidateRange(CDataExchange& dx, long long value, long long low, long long high) {
    if (dx.IsSaving() && (value < low || value > high))
        RefuseRange(dx, QString::number(low), QString::number(high));
}

void ValidateRange(CDataExchange& dx, double value, double low, double high, int decimals) {
    if (dx.IsSaving() && !(value >= low && value <= high))
        RefuseRange(dx, QString::number(low, 'f', decimals), QString::number(high, 'f', decimals));
}

void ValidateScaledRange(CDataExchange& dx, int raw, int rawLow, int rawHigh, int d) {
    if (dx.IsSaving() && (raw < rawLow || raw > rawHigh))
        RefuseRange(dx, QString::fromStdString(FormatScaled(rawLow, d)),
                    QString::fromStdString(FormatScaled(rawHigh, d)));
}
