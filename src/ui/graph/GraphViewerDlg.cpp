#include "ui/graph/GraphViewerDlg.h"

#include "languages/StringIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/framework/UiThread.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/ChartLegend.h"
#include "ui/graph/CurveChooserDlg.h"
#include "ui/graph/GraphResourceIds.h"
#include "ui/graph/GraphScaling.h"

#include <vector>

CGraphViewerDlg::CGraphViewerDlg(std::string path, std::string graphsDir, QWidget* parent)
    : CDialogBase(IDD_GRAPH_VIEWER, parent), path(std::move(path)),
      graphsDir(std::move(graphsDir)) {
    setWindowTitle(QStringLiteral("Calora"));
    SetClientSize(560, 330);
    chart = AddControl<CChartCtrl>(IDC_GRAPH_CHART, 4, 4, 430, 300);
    legend = AddControl<CChartLegend>(IDC_GRAPH_LEGEND, 438, 4, 118, 300);
    AddButton(IDC_VIEWER_FILE, QStringLiteral("File"), 4, 311, 50, 14);
    AddButton(IDC_VIEWER_CHOOSE, QStringLiteral("Choose"), 58, 311, 50, 14);
    AddButton(IDC_VIEWER_RANGE, QStringLiteral("Range"), 112, 311, 50, 14);
    AddButton(IDC_VIEWER_AUTOSCALE, QStringLiteral("Autoscale"), 166, 311, 50, 14);
    AddButton(IDC_VIEWER_PREVIOUS, QStringLiteral("<<"), 236, 311, 30, 14);
    AddButton(IDC_VIEWER_NEXT, QStringLiteral(">>"), 270, 311, 30, 14);
    AddButton(IDC_GRAPH_CURSOR_LEFT, QStringLiteral("<"), 340, 311, 24, 14);
    AddButton(IDC_GRAPH_CURSOR_RIGHT, QStringLiteral(">"), 368, 311, 24, 14);
    AddButton(IDOK, QStringLiteral("OK"), 506, 311, 50, 14, true);
}

void CGraphViewerDlg::OnInitDialog() {
    if (!chart->Load(path, 0, true)) {
        // The message was shown; the viewer goes away as soon as it is up.
        PostToUi(this, [this] { EndDialog(IDOK); });
        return;
    }
    chart->SetLegend(legend);
    AutoScale(*chart);
    SetDlgItemTextById(IDC_VIEWER_FILE, IDS_MENU_FILE);
    SetDlgItemTextById(IDC_VIEWER_CHOOSE, IDS_GRAPH_CURVES);
    SetDlgItemTextById(IDC_VIEWER_RANGE, IDS_GRAPH_RANGE);
}

void CGraphViewerDlg::OnCommand(int id) {
    switch (id) {
    case IDC_VIEWER_FILE:
        OpenAnother();
        break;
    case IDC_VIEWER_CHOOSE: {
        CCurveChooserDlg chooser(*chart, this);
        if (chooser.DoModal() == IDOK)
            chart->SaveHeader(path);
        break;
    }
    case IDC_VIEWER_RANGE:
        AskRange(*chart, this);
        break;
    case IDC_VIEWER_AUTOSCALE:
        AutoScale(*chart);
        break;
    case IDC_VIEWER_NEXT:
        Page(shownSegment + 1);
        break;
    case IDC_VIEWER_PREVIOUS:
        if (shownSegment > 0)
            Page(shownSegment - 1);
        break;
    case IDC_GRAPH_CURSOR_LEFT:
        chart->CursorLeft();
        break;
    case IDC_GRAPH_CURSOR_RIGHT:
        chart->CursorRight();
        break;
    default:
        CDialogBase::OnCommand(id);
    }
}

void CGraphViewerDlg::Page(int segment) {
    std::vector<bool> shown;
    for (int i = 0; i < chart->GetCurveCount(); ++i)
        shown.push_back(chart->GetCurve(i)->IsVisible());
    if (!chart->Load(path, segment, false))
        return;
    shownSegment = segment;
    ApplyRange(*chart, chart->GetAxisMax(), chart->GetAxisMin());
    {
        auto lock = chart->LockData();
        for (int i = 0; i < chart->GetCurveCount() && static_cast<size_t>(i) < shown.size(); ++i)
            chart->GetCurve(i)->SetVisible(shown[static_cast<size_t>(i)]);
    }
    AutoScale(*chart);
}

void CGraphViewerDlg::OpenAnother() {
    const std::string chosen = ChooseGraphFile(this, graphsDir);
    if (chosen.empty() || !chart->Load(chosen, 0, true))
        return;
    path = chosen;
    shownSegment = 0;
    AutoScale(*chart);
}

std::string ChooseGraphFile(QWidget* parent, const std::string& graphsDir) {
    return UiServices()
        .GetOpenFileName(parent, TextById(IDS_MENU_FILE), QString::fromStdString(graphsDir),
                         QStringLiteral("graph (*.gf)"))
        .toStdString();
}

void ShowGraphFile(QWidget* parent, const std::string& graphsDir) {
    const std::string path = ChooseGraphFile(parent, graphsDir);
    if (path.empty())
        return;
    CGraphViewerDlg viewer(path, graphsDir, parent);
    viewer.DoModal();
}
