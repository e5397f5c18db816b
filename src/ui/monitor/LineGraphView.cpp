#include "ui/monitor/LineGraphView.h"

#include "core/model/ControllerList.h"
#include "core/tasks/AppSession.h"
#include "ui/graph/LineGraphDlg.h"
#include "ui/monitor/MonitorDlg.h"

#include <boost/bind/bind.hpp>

namespace {

// The enabled entries, in list order: the controllers the window polls.
std::vector<GraphController> PolledControllers(const CControllerList& list) {
    std::vector<GraphController> controllers;
    for (size_t i = 0; i < list.GetCount(); ++i) {
        if (list.enabled[i] != 0)
            controllers.push_back({list.address[i], list.name[i]});
    }
    return controllers;
}

class CLineGraphView : public CLineGraphDlg, public IMonitorView {
public:
    explicit CLineGraphView(CMonitorDlg& window)
        : CLineGraphDlg(PolledControllers(window.MonitorList()), window.Session().GraphsDir(),
                        &window) {}

    QWidget* ViewWidget() override { return this; }

    void Subscribe(CMonitorDlg& window) override {
        using namespace boost::placeholders;
        window.AddDataSubscriber(boost::bind(&CLineGraphDlg::OnData, this, _1, _2, _3));
        window.AddErrorSubscriber(boost::bind(&CLineGraphDlg::OnError, this, _1));
    }
};

} // namespace

IMonitorView* CreateLineGraphView(CMonitorDlg& window) {
    return new CLineGraphView(window);
}
