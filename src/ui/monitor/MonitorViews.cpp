#include "ui/monitor/MonitorView.h"

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

} // namespace

IMonitorView* CreateMonitorView(MonitorViewItem item, CMonitorDlg& window) {
    switch (item) {
    case kViewOverview:
        return new CViewPlaceholder("Controllers overview: not available yet", window);
    case kViewBarGraph:
        return new CViewPlaceholder("Bar graph: not available yet", window);
    case kViewLineGraph:
        return new CViewPlaceholder("Line graph: not available yet", window);
    case kViewCount:
        break;
    }
    return nullptr;
}
