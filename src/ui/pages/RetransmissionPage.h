#pragma once

#include "ui/pages/ModelPage.h"

class QSpinBox;

// The TQ100's second port: its own Modbus line settings and the analogue retransmission of
// a process quantity.
class CRetransmissionPage : public CModelPage {
    Q_OBJECT
public:
    explicit CRetransmissionPage(const CPageContext& context, QWidget* parent = nullptr);

protected:
    void LoadTexts(bool caption) override;
    void DoExchange(CDataExchange& dx) override;
    void LoadFields() override;
    void StoreFields() override;

private:
    void BuildControls();
    void ExchangeLimits(CDataExchange& dx);
    void OnSignalChosen(int index);

    QSpinBox* addressSpin = nullptr;

    int addressPosition = 1; // the address spin's position
    int baud = -1;
    int parity = -1;
    int delay = 0;
    int variable = -1;
    int signal = -1;
    int lowLimit = 0;
    int highLimit = 0;
};
