#pragma once

#include "ui/framework/DialogBase.h"

#include <string>

class CChartCtrl;
class CChartLegend;

// The graph file viewer (template 215): shows a saved graph set segment by segment in its
// own chart, with the curve chooser, range, automatic scaling and cursor. A set that cannot
// be loaded is reported and the viewer closes itself.
class CGraphViewerDlg : public CDialogBase {
    Q_OBJECT
public:
    CGraphViewerDlg(std::string path, std::string graphsDir, QWidget* parent = nullptr);

    CChartCtrl& Chart() { return *chart; }
    CChartLegend& Legend() { return *legend; }
    const std::string& Path() const { return path; }
    int ShownSegment() const { return shownSegment; }

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;

private:
    void Page(int segment);
    void OpenAnother();

    CChartCtrl* chart = nullptr;
    CChartLegend* legend = nullptr;
    std::string path;
    std::string graphsDir;
    int shownSegment = 0;
};

// The open-file dialog for graph sets, starting in `graphsDir`; empty when cancelled.
std::string ChooseGraphFile(QWidget* parent, const std::string& graphsDir);
// Lets the user choose a graph set and shows it in the viewer, modally.
void ShowGraphFile(QWidget* parent, const std::string& graphsDir);
