#include "ui/monitor/BarGraphDlg.h"

#include "core/model/ControllerList.h"
#include "ui/framework/QtProfileStore.h"
#include "ui/framework/ResourceIds.h"
#include "ui/monitor/BarChart.h"
#include "ui/monitor/MonitorDlg.h"
#include "ui/widgets/HysteresisDlg.h"

#include <boost/bind/bind.hpp>

#include <QLabel>

namespace {
constexpr int kChartTop = 18; // dialog units
}

CBarGraphDlg::CBarGraphDlg(const std::vector<CBarChart::Entry>& bars, IProfileStore& profile,
                           QWidget* parent)
    : CDialogBase(IDD_BAR_GRAPH, parent), profile(profile) {
    Build(bars);
}

void CBarGraphDlg::Build(const std::vector<CBarChart::Entry>& bars) {
    setWindowFlags(Qt::Widget);
    SetClientSize(558, 339);
    chart = new CBarChart(bars, LoadHysteresis(profile), this);
    PlaceControl(chart, IDC_BAR_CHART, 0, kChartTop, 557, 320);
    AddButton(IDC_BAR_CONFIGURE, QStringLiteral("Configurar"), 2, 2, 60, 14);
    AddControl<QLabel>(IDC_BAR_BAND_TEXT, 70, 5, 480, 10);
}

CBarGraphDlg::CBarGraphDlg(const CControllerList& list, QWidget* parent)
    : CDialogBase(IDD_BAR_GRAPH, parent), ownProfile(std::make_unique<CQtProfileStore>()),
      profile(*ownProfile) {
    Build(BarsOf(list));
}

CBarGraphDlg::~CBarGraphDlg() = default;

std::vector<CBarChart::Entry> CBarGraphDlg::BarsOf(const CControllerList& list) {
    std::vector<CBarChart::Entry> entries;
    for (size_t i = 0; i < list.GetCount(); ++i)
        if (list.enabled[i])
            entries.push_back({list.address[i], QString::fromStdString(list.name[i])});
    return entries;
}

void CBarGraphDlg::Subscribe(CMonitorDlg& window) {
    using namespace boost::placeholders;
    window.AddDataSubscriber(boost::bind(&CBarChart::OnData, chart, _1, _2, _3));
    window.AddErrorSubscriber(boost::bind(&CBarChart::OnError, chart, _1));
}

void CBarGraphDlg::resizeEvent(QResizeEvent* event) {
    CDialogBase::resizeEvent(event);
    if (!chart)
        return;
    const int top = DialogUnits().Y(kChartTop);
    chart->setGeometry(0, top, width(), std::max(0, height() - top));
}

void CBarGraphDlg::OnInitDialog() {
    SetDlgItemTextById(IDC_BAR_CONFIGURE, IDS_SETTINGS);
    ShowBandText();
}

void CBarGraphDlg::OnOK() {}

void CBarGraphDlg::OnCancel() {}

void CBarGraphDlg::OnCommand(int id) {
    if (id == IDC_BAR_CONFIGURE)
        Configure();
    else
        CDialogBase::OnCommand(id);
}

void CBarGraphDlg::Configure() {
    CHysteresisDlg dialog(profile, this);
    if (dialog.DoModal() != IDOK)
        return;
    chart->SetHysteresis(dialog.hy);
    ShowBandText();
}

void CBarGraphDlg::ShowBandText() {
    SetDlgItemText(IDC_BAR_BAND_TEXT, BandText(chart->Hysteresis()));
}
