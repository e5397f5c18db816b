#pragma once

class CMonitorDlg;
class QWidget;

// Items of the monitoring window's view chooser, in chooser order.
enum MonitorViewItem : int {
    kViewOverview = 0,  // controllers overview, COverviewDlg
    kViewBarGraph = 1,  // bar graph, CBarGraphDlg
    kViewLineGraph = 2, // line graph, CLineGraphDlg
    kViewCount = 3,
};

// A view the monitoring window hosts. The window creates each view with CreateMonitorView
// (MonitorViews.cpp) as a child placed in its view frame, subscribes the views in the order
// bar graph, line graph, overview before the worker starts, and shows one at a time.
class IMonitorView {
public:
    virtual ~IMonitorView() = default;
    // The view's window; a child of the monitoring window, owned by it.
    virtual QWidget* ViewWidget() = 0;
    // Registers the view's callbacks: window.AddDataSubscriber(boost::bind(...)), etc.
    virtual void Subscribe(CMonitorDlg& window) = 0;
    // "<<" (next = false) and ">>" (next = true); only the overview shows them.
    virtual void OnPageButton(bool next) { (void)next; }
};

// Creates the view of a chooser item as a child of the window. Each view's file plugs in
// here; an item whose view is not built yet gets a plain placeholder.
IMonitorView* CreateMonitorView(MonitorViewItem item, CMonitorDlg& window);
