#include "ui/pages/ParametersPage.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "languages/StringIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/SheetPageHooks.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/framework/UiThread.h"
#include "ui/widgets/DisplayDlg.h"
#include "ui/widgets/ValueDlg.h"

#include <QLabel>

#include <atomic>
#include <thread>

namespace {
// Registers and coils the panel's clicks write.
constexpr uint16_t kRegSetPoint = 1;
constexpr uint16_t kRegSecondSetPoint = 2;
constexpr uint16_t kRegManualOutput = 3;
constexpr uint16_t kCoilSelfTune = 4;
constexpr uint16_t kCoilManual = 5;
constexpr uint8_t kWriteRegister = 6;
constexpr uint8_t kWriteCoil = 5;
constexpr uint16_t kCoilOn = 0x00FF; // FF 00 on the wire
constexpr int16_t kSetPointMin = -1999;
constexpr int16_t kSetPointMax = 9999;
} // namespace

CParametersPage::CParametersPage(const CPageContext& context, QWidget* parent)
    : CModelPage(kTemplateId, context, parent) {
    auto* modbusId = AddLabel(kModbusIdStatic);
    modbusId->move(8, 8);
    modbusId->hide(); // shown by the first poll
    display = new CDisplayDlg(this);
    const CDialogUnits units = CDialogUnits::System();
    const QSize size = CDisplayDlg::TemplateSize(IDD_DISPLAY_FULL).value_or(QSize(50, 100));
    display->Create(1, IDD_DISPLAY_FULL, 0, 0, units.X(size.width()), units.Y(size.height()), this);
    setMinimumSize(display->size() + QSize(16, 40));
    display->SetController(0, QStringLiteral("Test"));
    display->Refresh();
    InitPage();
    PlaceDisplay();
}

CParametersPage::~CParametersPage() {
    StopPolling();
}

void CParametersPage::LoadTexts(bool caption) {
    if (caption)
        setWindowTitle(TextById(IDS_PAGE_PARAMETERS));
}

void CParametersPage::PlaceDisplay() {
    display->move((width() - display->width()) / 2, (height() - display->height()) / 2);
}

void CParametersPage::resizeEvent(QResizeEvent* event) {
    CModelPage::resizeEvent(event);
    PlaceDisplay();
}

ISheetHost* CParametersPage::SheetHost() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* host = dynamic_cast<ISheetHost*>(w))
            return host;
    }
    return nullptr;
}

void CParametersPage::SetMenus(int enabled) {
    if (ISheetHost* host = SheetHost())
        host->SetMenusEnabled(enabled);
}

bool CParametersPage::OnSetActive() {
    if (MessageBoxId(this, IDS_ASK_START_COMM, MbIcon::Information, MbButtons::YesNo) != IDYES)
        return false;
    std::unique_ptr<CModbusMaster> created = Session().CreateMaster();
    if (!created) {
        MessageBoxId(this, IDS_MSG_NO_MASTER, MbIcon::Stop);
        return false;
    }
    if (!created->IsOpen()) {
        MessageBoxId(this, IDS_MSG_PORT_NOT_OPEN, MbIcon::Stop);
        return false;
    }
    StopPolling(); // a page left live after an Abort starts afresh
    // Nothing of an earlier session stays on the panel until this controller answers.
    display->Update(1, nullptr, nullptr);
    display->Refresh();
    master = std::move(created);
    address = static_cast<uint8_t>(Session().Settings().address);
    SetMenus(0);
    stopping = false;
    poll =
        std::make_unique<CLivePoll>(*master, address, Model().GetFamily(), Model().GetBaseTimeout(),
                                    static_cast<ILivePollSink&>(*this));
    poll->Start();
    return true;
}

void CParametersPage::OnKillActive() {
    StopPolling();
    SetMenus(1);
}

void CParametersPage::StopPolling() {
    // Both are taken off the page first: the wait below serves events, and a notice of the
    // worker handled there may call this again; it must find nothing left to stop.
    std::shared_ptr<CModbusMaster> line = std::move(master);
    std::unique_ptr<CLivePoll> ending = std::move(poll);
    if (!ending)
        return;
    stopping = true;
    ending->Stop();
    // The read in flight ends on the stop event; the worker may be waiting for a box on this
    // thread, so events keep being served.
    WaitForStop(this, [&ending] { return ending->Finished(); });
    ending->Join();
    ending.reset(); // before `line`: the worker's master
    display->SetPolling(0);
}

void CParametersPage::PollStarted() {
    PostToUi(this, [this] {
        if (!poll)
            return; // the session ended meanwhile: the lamp stays dark
        SetDlgItemText(kModbusIdStatic,
                       QString::asprintf("Modbus id: %d", Session().Settings().address));
        ShowControl(kModbusIdStatic, true);
        GetDlgItem(kModbusIdStatic)->adjustSize();
        display->SetPolling(1);
    });
}

void CParametersPage::PollDone(const LivePollResult& result) {
    PostToUi(this, [this, result] {
        display->Update(result.error, result.registers.data(), result.status.data());
        display->Refresh();
    });
}

BoxAnswer CParametersPage::AskPollError(int stringId) {
    BoxAnswer answer = BoxAnswer::Abort;
    CallOnUiBlocking(this, [&] {
        if (stopping)
            return;
        switch (MessageBoxId(this, stringId, MbIcon::Stop, MbButtons::AbortRetryIgnore)) {
        case IDRETRY: // the next poll is the retry
            answer = BoxAnswer::Retry;
            break;
        case IDIGNORE:
            answer = BoxAnswer::Ignore;
            break;
        default:
            answer = BoxAnswer::Abort;
        }
    });
    return answer;
}

void CParametersPage::PollingAborted() {
    // The panel keeps its last values; the menus stay off until the page is left.
    PostToUi(this, [this] { StopPolling(); });
}

bool CParametersPage::Write(uint8_t function, uint16_t reg, uint16_t value) {
    std::shared_ptr<CModbusMaster> line = master;
    if (!line) {
        MessageBoxId(this, IDS_MSG_WRITE_FAILED, MbIcon::Exclamation);
        return false;
    }
    const int wait = Model().GetBaseTimeout();
    const uint8_t to = address;
    std::atomic<bool> done{false};
    int result = -1;
    int16_t echo = 0;
    std::thread writer([&] {
        try {
            result = line->Request(to, function, reg, value, &echo, true, wait);
        } catch (CModbusMaster::tErrorCom) {
            result = -1;
        }
        done = true;
    });
    WaitServingEvents([&] { return done.load(); });
    writer.join();
    if (result != 0) {
        MessageBoxId(this, IDS_MSG_WRITE_FAILED, MbIcon::Exclamation);
        return false;
    }
    if (function == kWriteRegister) {
        // The controller's echo is what it now holds: the other pages show it from here on.
        Model().SetValue(reg, echo);
        if (ISheetHost* host = SheetHost())
            host->AllPagesFromModel();
    }
    return true;
}

bool CParametersPage::AskValue(const QString& text, int16_t minimum, int16_t maximum,
                               int16_t decimals, int16_t& value) {
    CValueDlg dialog(text, minimum, maximum, decimals, this);
    if (dialog.DoModal() != IDOK)
        return false;
    value = dialog.value;
    return true;
}

LRESULT CParametersPage::OnAppMessage(unsigned message, WPARAM, LPARAM lParam) {
    int16_t value = 0;
    const auto decimals = static_cast<int16_t>(display->GetDecimals());
    switch (message) {
    case kMsgSetpointClicked:
        if (AskValue(display->GetSetPointText(), kSetPointMin, kSetPointMax, decimals, value))
            Write(kWriteRegister, kRegSetPoint, static_cast<uint16_t>(value));
        return 0;
    case kMsgSecondSetpointClicked:
        if (AskValue(display->GetSecondSetPointText(), kSetPointMin, kSetPointMax, decimals, value))
            Write(kWriteRegister, kRegSecondSetPoint, static_cast<uint16_t>(value));
        return 0;
    case kMsgOutputClicked:
        if (AskValue(display->GetOutputText(), 0, 100, 0, value))
            Write(kWriteRegister, kRegManualOutput, static_cast<uint16_t>(value * 10));
        return 0;
    case kMsgModeClicked:
        Write(kWriteCoil, kCoilManual, lParam ? kCoilOn : 0);
        return 0;
    case kMsgAutoTuneClicked:
        // The lamp follows only a self-tuning switch the controller took.
        return Write(kWriteCoil, kCoilSelfTune, lParam ? kCoilOn : 0) ? 1 : 0;
    default:
        return 0;
    }
}
