#pragma once

#include "ui/framework/DialogBase.h"
#include "ui/monitor/BarChart.h"
#include "ui/monitor/MonitorView.h"

#include <memory>

class CControllerList;
class IProfileStore;

inline constexpr int IDD_BAR_GRAPH = 211;
inline constexpr int IDC_BAR_CHART = 1213;
inline constexpr int IDC_BAR_CONFIGURE = 1214;
inline constexpr int IDC_BAR_BAND_TEXT = 1228;

// The bar graph view of the monitoring window: one bar per enabled controller of the list,
// the band text and the button that edits the hysteresis values.
class CBarGraphDlg : public CDialogBase, public IMonitorView {
    Q_OBJECT
public:
    // One bar per entry (the enabled controllers of the monitoring list, in order).
    // `profile` holds the hysteresis values and must outlive the window.
    CBarGraphDlg(const std::vector<CBarChart::Entry>& bars, IProfileStore& profile,
                 QWidget* parent = nullptr);

    // One bar per enabled entry of the list; the hysteresis values live in the user profile.
    explicit CBarGraphDlg(const CControllerList& list, QWidget* parent = nullptr);
    ~CBarGraphDlg() override;

    // The enabled entries of the list, in order.
    static std::vector<CBarChart::Entry> BarsOf(const CControllerList& list);

    CBarChart& Chart() const { return *chart; }

    QWidget* ViewWidget() override { return this; }
    // Data and error lists: the chart takes the values on the polling thread.
    void Subscribe(CMonitorDlg& window) override;

    // Button 1214: edits the hysteresis values; OK applies them at once.
    void Configure();

protected:
    void OnInitDialog() override;
    // A view inside the monitoring window: Enter and Escape do not close it.
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;
    // The chart fills the view below the button row.
    void resizeEvent(QResizeEvent* event) override;

private:
    void Build(const std::vector<CBarChart::Entry>& bars);
    void ShowBandText();

    std::unique_ptr<IProfileStore> ownProfile;
    IProfileStore& profile;
    CBarChart* chart = nullptr;
};
