#include "ui/monitor/GraficaBarrasDlg.h"

#include "core/model/ControllerList.h"
#include "ui/framework/QtProfileStore.h"
#include "ui/framework/ResourceIds.h"
#include "ui/monitor/BarChart.h"
#include "ui/monitor/MonitorDlg.h"
#include "ui/widgets/DialogoHisteresis.h"

#include <boost/bind/bind.hpp>

#include <QLabel>

namespace {
constexpr int kChartTop = 18; // dialog units
}

CGraficaBarrasDlg::CGraficaBarrasDlg(const std::vector<CBarChart::Entry>& bars,
                                     IProfileStore& profile, QWidget* parent)
    : CDialogBase(IDD_BAR_GRAPH, parent), profile(profile) {
    Build(bars);
}

void CGraficaBarrasDlg::Build(const std::vector<CBarChart::Entry>& bars) {
    setWindowFlags(Qt::Widget);
    SetClientSize(558, 339);
    chart = new CBarChart(bars, LoadHysteresis(profile), this);
    PlaceControl(chart, IDC_BAR_CHART, 0, kChartTop, 557, 320);
    AddButton(IDC_BAR_CONFIGURE, QStringLiteral("Configurar"), 2, 2, 60, 14);
    AddControl<QLabel>(IDC_BAR_BAND_TEXT, 70, 5, 480, 10);
}

CGraficaBarrasDlg::CGraficaBarrasDlg(const CControllerList& list, QWidget* parent)
    : CDialogBase(IDD_BAR_GRAPH, parent), ownProfile(std::make_unique<CQtProfileStore>()),
      profile(*ownProfile) {
    Build(BarsOf(list));
}

CGraficaBarrasDlg::~CGraficaBarrasDlg() = default;

std::vector<CBarChart::Entry> CGraficaBarrasDlg::BarsOf(const CControllerList& list) {
    std::vector<CBarChart::Entry> entries;
    for (size_t i = 0; i < list.GetCount(); ++i)
        if (list.enabled[i])
            entries.push_back({list.address[i], QString::fromStdString(list.name[i])});
    return entries;
}

void CGraficaBarrasDlg::Subscribe(CMonitorDlg& window) {
    using namespace boost::placeholders;
    window.AddDataSubscriber(boost::bind(&CBarChart::OnData, chart, _1, _2, _3));
    window.AddErrorSubscriber(boost::bind(&CBarChart::OnError, chart, _1));
}

void CGraficaBarrasDlg::resizeEvent(QResizeEvent* event) {
    CDialogBase::resizeEvent(event);
    if (!chart)
        return;
    const int top = DialogUnits().Y(kChartTop);
    chart->setGeometry(0, top, width(), std::max(0, height() - top));
}

void CGraficaBarrasDlg::OnInitDialog() {
    SetDlgItemTextById(IDC_BAR_CONFIGURE, IDS_SETTINGS);
    ShowBandText();
}

void CGraficaBarrasDlg::OnOK() {}

void CGraficaBarrasDlg::OnCancel() {}

void CGraficaBarrasDlg::OnCommand(int id) {
    if (id == IDC_BAR_CONFIGURE)
        Configure();
    else
        CDialogBase::OnCommand(id);
}

void CGraficaBarrasDlg::Configure() {
    CDialogoHisteresis dialog(profile, this);
    if (dialog.DoModal() != IDOK)
        return;
    chart->SetHysteresis(dialog.hy);
    ShowBandText();
}

void CGraficaBarrasDlg::ShowBandText() {
    SetDlgItemText(IDC_BAR_BAND_TEXT, BandText(chart->Hysteresis()));
}
