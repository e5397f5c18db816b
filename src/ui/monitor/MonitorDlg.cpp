#include "ui/monitor/MonitorDlg.h"

#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "core/tasks/DataLogger.h"
#include "languages/StringIds.h"
#include "ui/framework/DesktopOpener.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/framework/UiThread.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>

CMonitorDlg::CMonitorDlg(CModbusMaster& master, int logMode, ISession& session, QWidget* parent)
    : CDialogBase(IDD_MONITOR, parent), master(master), logMode(logMode), session(session),
      list(std::make_unique<CControllerList>(session.MonitorList())) {
    DataLoggerConfig logger;
    logger.mode = logMode;
    logger.logsDir = session.LogsDir();
    logger.report = [this](int stringId, const std::string& detail) {
        ReportFromWorker(stringId, detail);
    };
    engine = std::make_unique<CPollingEngine>(master, session.GetModel(), *list, logger);
    engine->SetFailureObserver(
        [this](const std::string&) { PostToUi(this, [this] { OnWorkerFailed(); }); });
    BuildControls();
}

CMonitorDlg::~CMonitorDlg() {
    StopWorker();
}

void CMonitorDlg::BuildControls() {
    setWindowTitle("Calora");
    chooser = AddControl<QComboBox>(IDC_MONITOR_VIEW_CHOOSER, 7, 7, 135, 13);
    prevPage = AddButton(IDC_MONITOR_PREV_PAGE, "<<", 148, 7, 22, 14);
    nextPage = AddButton(IDC_MONITOR_NEXT_PAGE, ">>", 172, 7, 22, 14);
    logs = AddButton(IDC_MONITOR_LOGS, "Logs", 458, 7, 50, 14);
    escape = AddButton(IDCANCEL, "ESC", 515, 7, 50, 14);
    progress = AddControl<QProgressBar>(IDC_MONITOR_PROGRESS, 200, 9, 252, 10);
    progress->setTextVisible(false);
    progress->hide();
    frame = AddControl<QFrame>(IDC_MONITOR_VIEW_FRAME, 4, 24, 564, 346);
    frame->setFrameShape(QFrame::Box);
    frame->lower();
    SetClientSize(572, 374);
    connect(chooser, &QComboBox::activated, this, [this](int item) { SelectView(item); });
}

void CMonitorDlg::OnInitDialog() {
    chooser->clear();
    chooser->addItem(TextById(IDS_VIEW_OVERVIEW));
    chooser->addItem(TextById(IDS_VIEW_BAR_GRAPH));
    chooser->addItem(TextById(IDS_VIEW_LINE_GRAPH));

    for (int item = 0; item < kViewCount; ++item) {
        IMonitorView* view = CreateMonitorView(static_cast<MonitorViewItem>(item), *this);
        views[item] = view;
        if (view == nullptr)
            continue;
        QWidget* widget = view->ViewWidget();
        widget->move(kMonitorViewX, kMonitorViewY);
        widget->hide();
    }
    for (MonitorViewItem item : {kViewBarGraph, kViewLineGraph, kViewOverview})
        if (views[item] != nullptr)
            views[item]->Subscribe(*this);

    chooser->setCurrentIndex(kViewOverview);
    SelectView(kViewOverview);

    if (!engine->Start())
        MessageBoxId(this, IDS_MSG_MONITOR_START_FAILED, MbIcon::Exclamation);
}

QSize CMonitorDlg::ViewAreaSize() const {
    const QRect area = frame->geometry();
    return {area.right() - kMonitorViewX - 3, area.bottom() - kMonitorViewY - 3};
}

void CMonitorDlg::SelectView(int item) {
    if (item < 0 || item >= kViewCount)
        return;
    selected = item;
    for (int i = 0; i < kViewCount; ++i)
        if (views[i] != nullptr)
            views[i]->ViewWidget()->setVisible(i == item);
    prevPage->setVisible(item == kViewOverview);
    nextPage->setVisible(item == kViewOverview);
}

void CMonitorDlg::OnCommand(int id) {
    switch (id) {
    case IDC_MONITOR_PREV_PAGE:
    case IDC_MONITOR_NEXT_PAGE:
        if (views[kViewOverview] != nullptr)
            views[kViewOverview]->OnPageButton(id == IDC_MONITOR_NEXT_PAGE);
        return;
    case IDC_MONITOR_LOGS:
        // The folder the logger writes to, which may be the per-user data folder.
        OpenOnDesktop(this, QString::fromStdString(session.LogsDir()));
        return;
    default:
        CDialogBase::OnCommand(id);
    }
}

void CMonitorDlg::OnProgressBegin(int total) {
    logs->hide();
    escape->hide();
    chooser->hide();
    progress->setRange(0, total);
    progress->setValue(0);
    progress->show();
}

void CMonitorDlg::OnProgressPosition(int position) {
    progress->setValue(position);
}

void CMonitorDlg::OnProgressEnd() {
    logs->show();
    escape->show();
    chooser->show();
    progress->hide();
}

void CMonitorDlg::ReportFromWorker(int stringId, const std::string& detail) {
    // Posted: the worker goes on polling while the box is open, and closing the window
    // never waits for a worker that waits for the window.
    PostToUi(this, [this, stringId, detail] {
        MessageBoxText(this, TextById(stringId) + "\n\n" + QString::fromStdString(detail),
                       MbIcon::Stop);
    });
}

void CMonitorDlg::OnWorkerFailed() {
    // Views and logging have stopped: say so, and end as ESC does, rather than show values
    // that no longer change.
    if (!isVisible())
        return;
    MessageBoxId(this, IDS_MSG_MONITOR_START_FAILED, MbIcon::Exclamation);
    OnCancel();
}

void CMonitorDlg::StopWorker() {
    if (!engine)
        return;
    engine->RequestStop();
    WaitForStop(this, [this] { return engine->Finished(); });
    engine->Join();
}

void CMonitorDlg::OnOK() {
    OnCancel();
}

void CMonitorDlg::OnCancel() {
    StopWorker();
    EndDialog(IDCANCEL);
}
