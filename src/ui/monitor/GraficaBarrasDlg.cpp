#include "ui/monitor/GraficaBarrasDlg.h"

#include "ui/framework/ResourceIds.h"
#include "ui/monitor/BarChart.h"
#include "ui/widgets/DialogoHisteresis.h"

#include <QLabel>

CGraficaBarrasDlg::CGraficaBarrasDlg(const std::vector<CBarChart::Entry>& bars,
                                     IProfileStore& profile, QWidget* parent)
    : CDialogBase(IDD_BAR_GRAPH, parent), profile(profile) {
    setWindowFlags(Qt::Widget);
    SetClientSize(558, 339);
    chart = new CBarChart(bars, LoadHysteresis(profile), this);
    PlaceControl(chart, IDC_BAR_CHART, 0, 18, 557, 320);
    AddButton(IDC_BAR_CONFIGURE, QStringLiteral("Configurar"), 2, 2, 60, 14);
    AddControl<QLabel>(IDC_BAR_BAND_TEXT, 70, 5, 480, 10);
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
