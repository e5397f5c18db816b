#include "ui/comm/BusTaskDlg.h"

#include "core/model/TQControllerModel.h"
#include "languages/StringIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/framework/UiThread.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kTimerMs = 500;

// A transfer's family command reaches the sheet as the menu command of the same id.
static_assert(kCmdFamilyTQ100 == ID_FAMILY_TQ100);
static_assert(kCmdFamilyTQ102_TQ402 == ID_FAMILY_TQ102_TQ402);
} // namespace

CBusTaskDlg::CBusTaskDlg(int mode, QWidget* parent, CommSettings& settings,
                         CTQControllerModel& model, FamilyCommand familyCommand)
    : CDialogBase(IDD_BUS_TASK, parent), mode(mode), info(GetBusTaskModeInfo(mode)),
      settings(settings), model(model), familyCommand(std::move(familyCommand)) {
    task = std::make_unique<CBusTask>(mode, settings, model, static_cast<IBusTaskSink&>(*this));
    BuildControls();
}

CBusTaskDlg::~CBusTaskDlg() {
    // Normally the worker has ended before the dialog closes; if the dialog goes away
    // otherwise, stop the worker without blocking the calls it may be making into us.
    if (task && task->IsRunning()) {
        timerRunning = false;
        task->Cancel();
        WaitForWorker();
    }
    task.reset();
}

void CBusTaskDlg::SetMasterFactory(MasterFactory factory) {
    if (!started)
        task->SetMasterFactory(std::move(factory));
}

void CBusTaskDlg::BuildControls() {
    status = AddControl<QLabel>(IDC_BUS_TASK_STATUS, 7, 7, 216, 26);
    status->setWordWrap(true);
    status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    progress = AddControl<QProgressBar>(IDC_BUS_TASK_PROGRESS, 7, 37, 216, 10);
    progress->setTextVisible(false);
    button = AddButton(IDCANCEL, QString(), 90, 53, 50, 14);
    SetClientSize(230, 74);

    timer = new QTimer(this);
    timer->setInterval(kTimerMs);
    connect(timer, &QTimer::timeout, this, &CBusTaskDlg::OnTimer);
}

void CBusTaskDlg::OnInitDialog() {
    progress->setRange(0, info.progressMax);
    progress->setValue(0);
    button->setText(TextById(IDS_TASK_BUTTON_CANCEL));
    setWindowTitle(TextById(info.titleId));

    // The timer counts as running before the worker starts: a worker that ends at once must
    // find it running, stop it and show the end itself.
    timerRunning = true;
    timer->start();
    started = task->Start();
    if (!started) {
        timerRunning = false;
        timer->stop();
        SetStatus(TextById(IDS_MSG_NO_MASTER));
        button->setText(TextById(IDS_TASK_BUTTON_CLOSE));
    }
}

void CBusTaskDlg::OnTimer() {
    if (!timerRunning) {
        // The worker stopped the animation from its thread.
        timer->stop();
        return;
    }
    QString title = TextById(info.titleId);
    for (int i = 0; i < dots; ++i)
        title += " .";
    setWindowTitle(title);
    dots = dots >= 3 ? 0 : dots + 1;
}

void CBusTaskDlg::OnButton() {
    if (timerRunning.exchange(false)) {
        timer->stop();
        setWindowTitle(TextById(info.titleId));
    }
    if (!started) {
        EndDialog(IDCANCEL);
        return;
    }
    if (task->IsRunning()) {
        if (task->StopRequested())
            return;
        task->Cancel();
        WaitForWorker();
        SetStatus(TextById(info.cancelledId));
        button->setText(TextById(IDS_TASK_BUTTON_CLOSE));
        return;
    }
    EndDialog(task->Succeeded() ? IDOK : IDCANCEL);
}

void CBusTaskDlg::WaitForWorker() {
    WaitServingEvents([this] { return task->WaitFinished(std::chrono::milliseconds(0)); });
    task->Join();
    // Serve what the worker posted last, so its final status is shown before ours.
    QCoreApplication::sendPostedEvents(this);
}

// Enter must not end the task; Esc and the close box act like the button.
void CBusTaskDlg::OnOK() {}
void CBusTaskDlg::OnCancel() {
    OnButton();
}

QString CBusTaskDlg::StatusText() const {
    return status->text();
}
QString CBusTaskDlg::ButtonText() const {
    return button->text();
}
bool CBusTaskDlg::TaskRunning() const {
    return task && task->IsRunning();
}

void CBusTaskDlg::SetStatus(const QString& text) {
    status->setText(text);
    status->repaint();
}

void CBusTaskDlg::OnStatus(int stringId, uint32_t foundWord) {
    QString text = TextById(stringId);
    if (foundWord != 0)
        text += QString::fromStdString(DescribeFoundController(settings, foundWord))
                    .replace("\r\n", "\n");
    SetStatus(text);
}

void CBusTaskDlg::PostStatus(int stringId, uint32_t foundWord) {
    PostToUi(this, [this, stringId, foundWord] { OnStatus(stringId, foundWord); });
}

void CBusTaskDlg::PostProgress(int position) {
    PostToUi(this, [this, position] { progress->setValue(position); });
}

void CBusTaskDlg::SendFamilyCommand(int command) {
    CallOnUiBlocking(this, [this, command] {
        if (familyCommand)
            familyCommand(command);
    });
}

BoxAnswer CBusTaskDlg::AskAbortRetryIgnore(const std::string& text) {
    int answer = IDABORT;
    CallOnUiBlocking(this, [this, &text, &answer] {
        answer = MessageBoxText(this, QString::fromStdString(text), MbIcon::Exclamation,
                                MbButtons::AbortRetryIgnore);
    });
    if (answer == IDRETRY)
        return BoxAnswer::Retry;
    if (answer == IDIGNORE)
        return BoxAnswer::Ignore;
    return BoxAnswer::Abort;
}

std::string CBusTaskDlg::LoadText(int stringId) {
    return TextByIdUtf8(stringId);
}

bool CBusTaskDlg::TryStopTimer() {
    return timerRunning.exchange(false);
}

void CBusTaskDlg::ShowEnded(int titleId) {
    PostToUi(this, [this, titleId] {
        timer->stop();
        setWindowTitle(TextById(titleId));
        button->setText(TextById(IDS_TASK_BUTTON_CLOSE));
    });
}
