#pragma once

#include "ui/framework/DialogBase.h"

// The chart's value range (template 214): Max in [Min + 0.001, 9999], Min in
// [-999, Max - 0.001]; a value outside is refused with the standard range message and the
// dialog stays open.
class CGraphRangeDlg : public CDialogBase {
    Q_OBJECT
public:
    CGraphRangeDlg(float max, float min, QWidget* parent = nullptr);

    float max;
    float min;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};
