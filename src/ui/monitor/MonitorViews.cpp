#include "ui/monitor/MonitorView.h"

#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "ui/monitor/BarGraphDlg.h"
#include "ui/monitor/LineGraphView.h"
#include "ui/monitor/MonitorDlg.h"
#include "ui/monitor/OverviewDlg.h"

namespace {

// Sized to the window's view area before its first layout.
template <class View> View* Placed(View* view, CMonitorDlg& window) {
    view->resize(window.ViewAreaSize());
    view->EnsureInitialized();
    return view;
}

} // namespace

IMonitorView* CreateMonitorView(MonitorViewItem item, CMonitorDlg& window) {
    switch (item) {
    case kViewOverview: {
        CTQControllerModel& model = window.Session().GetModel();
        return Placed(new COverviewDlg(
                          window.MonitorList(), window.Master(),
                          [&model] { return model.GetBaseTimeout(); }, &window),
                      window);
    }
    case kViewBarGraph:
        return Placed(new CBarGraphDlg(window.MonitorList(), &window), window);
    case kViewLineGraph:
        return CreateLineGraphView(window);
    case kViewCount:
        break;
    }
    return nullptr;
}
