#pragma once

#include "ui/framework/DialogBase.h"
#include "ui/monitor/BarChart.h"

class IProfileStore;

inline constexpr int IDD_BAR_GRAPH = 211;
inline constexpr int IDC_BAR_CHART = 1213;
inline constexpr int IDC_BAR_CONFIGURE = 1214;
inline constexpr int IDC_BAR_BAND_TEXT = 1228;

// The bar graph view of the monitoring window: one bar per enabled controller of the list,
// the band text and the button that edits the hysteresis values.
class CGraficaBarrasDlg : public CDialogBase {
    Q_OBJECT
public:
    // One bar per entry (the enabled controllers of the monitoring list, in order).
    // `profile` holds the hysteresis values and must outlive the window.
    CGraficaBarrasDlg(const std::vector<CBarChart::Entry>& bars, IProfileStore& profile,
                      QWidget* parent = nullptr);

    CBarChart& Chart() const { return *chart; }

    // Button 1214: edits the hysteresis values; OK applies them at once.
    void Configure();

protected:
    void OnInitDialog() override;
    // A view inside the monitoring window: Enter and Escape do not close it.
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;

private:
    void ShowBandText();

    IProfileStore& profile;
    CBarChart* chart;
};
