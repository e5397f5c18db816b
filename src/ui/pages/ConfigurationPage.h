#pragma once

#include "ui/pages/ModelPage.h"

// The first page: setpoint and PID terms, the two alarms and the setpoint ramp.
class CConfigurationPage : public CModelPage {
    Q_OBJECT
public:
    explicit CConfigurationPage(const CPageContext& context, QWidget* parent = nullptr);

protected:
    void LoadTexts(bool caption) override;
    void DoExchange(CDataExchange& dx) override;
    void LoadFields() override;
    void StoreFields() override;

private:
    void BuildControls();
    void FillAlarmLists();
    bool RampSupported() const;
    int Decimals() const;           // register 32
    int HysteresisDecimals() const; // 1 for thermocouple and RTD inputs, else register 32
    void ExchangePropBand(CDataExchange& dx, int d);
    void ReformatPropBand();

    // Raw register values.
    int setpoint = 100;
    int setpointHigh = 600;
    int setpointLow = 0;
    int setpoint2 = 0;
    int propBand = 0;
    int integralTime = 0;
    int derivativeTime = 0;
    int cycleTime = 1;
    int integralLimit = 0;
    int hysteresis = 0;
    int offset = 0;
    int tunePercent = 100;
    int alarm1Type = 0;
    int alarm1Hold = 0;
    int alarm1Setpoint = 0;
    int alarm1Hysteresis = 0;
    int alarm1Action = 0;
    int alarm2Type = 0;
    int alarm2Hold = 0;
    int alarm2Setpoint = 0;
    int alarm2Hysteresis = 0;
    int alarm2Action = 0;
    int rampOn = 0;
    int rampPowerOn = 0;
    int rampKind = -1;
    int rampTime = 0;
};
