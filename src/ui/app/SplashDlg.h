#pragma once

#include "ui/framework/DialogBase.h"

class QTimer;

// The start-up picture: as large as its bitmap, on top, centred on the screen, gone after
// `durationMs` (3000 at start-up).
class CSplashDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CSplashDlg(int durationMs = kDefaultDurationMs, QWidget* parent = nullptr);

    static constexpr int kDefaultDurationMs = 3000;

protected:
    void OnInitDialog() override;

private:
    void CentreOnScreen();

    QTimer* timer;
    int durationMs;
};
