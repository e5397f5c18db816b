#pragma once

#include "ui/pages/ModelPage.h"

#include <QString>

class QSpinBox;

// The second page: the input (sensor type, decimal point, unit, bias, filter), the control
// output, the digital input and the controller's versions.
class CInputOutputPage : public CModelPage {
    Q_OBJECT
public:
    explicit CInputOutputPage(const CPageContext& context, QWidget* parent = nullptr);

protected:
    void LoadTexts(bool caption) override;
    void DoExchange(CDataExchange& dx) override;
    void LoadFields() override;
    void StoreFields() override;

private:
    void BuildControls();
    bool IsZI102() const;
    // The decimal point spin allows 0..3 for linear inputs, else 0..1.
    void SetDecimalRange(int inputIndex);
    void OnInputTypeChosen(int index);
    void ReformatBias();

    QSpinBox* decimalSpin = nullptr;
    QSpinBox* outputLimitSpin = nullptr;

    int inputType = 0; // list index
    int bias = 0;      // raw, register 32 decimals
    int filter = 0;
    int unit = 0;
    int action = 0;
    int outputType = 0;
    int manual = 0;
    int powerOn = -1; // 0 "0%", 1 last value
    int digitalInput = 0;
    QString version;
};
