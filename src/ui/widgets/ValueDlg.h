#pragma once

#include "ui/framework/DialogBase.h"

#include <QString>

#include <cstdint>

class CDataExchange;

// Reads one value field of the value dialogs when saving: the text must be a number (else
// the standard message), value = number x 10^d rounded half away from zero within +-32767,
// the number must lie within minimum / 10^d .. maximum / 10^d, and the text becomes the
// value in canonical form. Showing puts the text into the field as it is.
void ExchangeValueField(CDataExchange& dx, int id, QString& text, int16_t& value, int16_t minimum,
                        int16_t maximum, int decimals);

// Lets the user type a new value for a scaled register within limits given in raw units.
class CValueDlg : public CDialogBase {
    Q_OBJECT
public:
    CValueDlg(const QString& text, int16_t minimum, int16_t maximum, int16_t decimals,
              QWidget* parent = nullptr);

    QString text;      // as shown; after OK in canonical form
    int16_t value = 0; // after OK, raw
    int16_t maximum;
    int16_t minimum;
    int16_t decimals;

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
};
