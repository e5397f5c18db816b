#pragma once

#include "ui/framework/DialogBase.h"

#include <QString>

#include <cstdint>

// Lets the user type the set point and the second set point, each within its own limits
// (raw units), with decimals shared by both.
class CValuePairDlg : public CDialogBase {
    Q_OBJECT
public:
    CValuePairDlg(const QString& firstText, const QString& secondText, int16_t minimum1,
                  int16_t maximum1, int16_t minimum2, int16_t maximum2, int16_t decimals,
                  QWidget* parent = nullptr);

    QString firstText;
    int16_t firstValue = 0;
    int16_t firstMaximum;
    int16_t firstMinimum;
    QString secondText;
    int16_t secondValue = 0;
    int16_t secondMaximum;
    int16_t secondMinimum;
    int16_t decimals;

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
};
