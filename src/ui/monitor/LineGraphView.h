#pragma once

#include "ui/monitor/MonitorView.h"

// The line graph as the monitoring window's third view.
IMonitorView* CreateLineGraphView(CMonitorDlg& window);
