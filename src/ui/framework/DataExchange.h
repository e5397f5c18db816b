#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class CControlHost;
class QWidget;

// Thrown by a refusal to end the exchange pass; UpdateData catches it.
struct CExchangeRefused {};

// One pass of data exchange between a window's controls and its members.
class CDataExchange {
public:
    CDataExchange(CControlHost& host, bool save) : host(host), save(save) {}

    // True when reading controls into members (with checks), false when showing members.
    bool IsSaving() const { return save; }
    CControlHost& Host() const { return host; }

    // Finds the control and remembers it as the field a refusal returns to. A missing
    // control is a programming error: it is reported on stderr and the pass goes on.
    QWidget* PrepareControl(int id);
    int LastControlId() const { return lastId; }

    // Puts the focus back on the last prepared field (selecting an edit's text) and ends the
    // pass. The message has been shown before.
    [[noreturn]] void Fail();

    // Saving: `action` (such as showing a field in canonical form) runs only once every field
    // has passed, so a refused pass leaves each text as the user typed it.
    void WhenPassed(std::function<void()> action);
    // Runs the actions of a pass that ended without a refusal.
    void Passed();

private:
    CControlHost& host;
    bool save;
    int lastId = 0;
    std::vector<std::function<void()>> whenPassed;
};

// The framework's two standard refusal texts.
QString NumberMessage();                                       // "Please enter a number."
QString RangeMessage(const QString& low, const QString& high); // "... between A and B."

// Show the standard message (exclamation icon), then Fail().
[[noreturn]] void RefuseNumber(CDataExchange& dx);
[[noreturn]] void RefuseRange(CDataExchange& dx, const QString& low, const QString& high);

// Text of an edit, label or button.
void ExchangeText(CDataExchange& dx, int id, QString& value);
void ExchangeText(CDataExchange& dx, int id, std::string& value);

// Whole numbers in an edit: blanks around the number are allowed, anything else is refused
// as not a number, and a number the member's type cannot hold with the range message.
void ExchangeInt(CDataExchange& dx, int id, int& value);
void ExchangeInt(CDataExchange& dx, int id, int16_t& value);
void ExchangeInt(CDataExchange& dx, int id, uint16_t& value);
void ExchangeInt(CDataExchange& dx, int id, uint32_t& value);

// Selected index of a combo box or list (-1 none).
void ExchangeIndex(CDataExchange& dx, int id, int& index);
// Check box: 0 clear, 1 checked, 2 indeterminate (tri-state boxes).
void ExchangeCheck(CDataExchange& dx, int id, int& value);
// Radio group given by its buttons' ids in order: index of the checked one, -1 none.
void ExchangeRadio(CDataExchange& dx, std::initializer_list<int> ids, int& index);

// Range checks of the value just exchanged; they act only when saving. The member already
// holds the value read when a check refuses it; the refusal ends the pass.
void ValidateRange(CDataExchange& dx, long long value, long long low, long long high);
// Real values; the bounds are shown with `decimals` digits after the point.
void ValidateRange(CDataExchange& dx, double value, double low, double high, int decimals);
// A raw scaled value against raw bounds, compared exactly, shown with d decimals.
void ValidateScaledRange(CDataExchange& dx, int raw, int rawLow, int rawHigh, int d);
