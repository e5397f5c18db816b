#include "ui/monitor/MonitorView.h"

#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "ui/monitor/GraficaBarrasDlg.h"
#include "ui/monitor/GraficaControladoresDlg.h"
#include "ui/monitor/MonitorDlg.h"

#include <QLabel>

namespace {

// Stands in for a view that is not part of this build yet: says so, subscribes to nothing.
class CViewPlaceholder : public QLabel, public IMonitorView {
public:
    CViewPlaceholder(const QString& text, CMonitorDlg& window) : QLabel(text, &window) {
        resize(window.ViewAreaSize());
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::StyledPanel);
    }
    QWidget* ViewWidget() override { return this; }
    void Subscribe(CMonitorDlg&) override {}
};

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
        return Placed(new CGraficaControladoresDlg(
                          window.MonitorList(), window.Master(),
                          [&model] { return model.GetBaseTimeout(); }, &window),
                      window);
    }
    case kViewBarGraph:
        return Placed(new CGraficaBarrasDlg(window.MonitorList(), &window), window);
    case kViewLineGraph:
        return new CViewPlaceholder("Line graph: not available yet", window);
    case kViewCount:
        break;
    }
    return nullptr;
}
