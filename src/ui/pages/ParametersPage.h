#pragma once

#include "core/tasks/LivePoll.h"
#include "ui/framework/AppMessages.h"
#include "ui/pages/ModelPage.h"

#include <memory>

class CDisplayDlg;
class ISheetHost;
class CModbusMaster;

// The parameters page: while it is the shown page it polls the controller of the settings'
// address and shows it on a front panel; clicks on the panel write set points, the manual
// output, the mode and self-tuning. It edits nothing of the model.
class CParametersPage : public CModelPage, public IAppMessageTarget, private ILivePollSink {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 106;
    static constexpr int kModbusIdStatic = 1230;

    explicit CParametersPage(const CPageContext& context, QWidget* parent = nullptr);
    ~CParametersPage() override;

    // Asks whether to go live (string 64); false keeps the sheet on the page shown before.
    bool OnSetActive() override;
    // Stops polling and lets the master go.
    void OnKillActive() override;

    // The panel's clicks.
    LRESULT OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

    bool IsLive() const { return master != nullptr; }
    CDisplayDlg& Display() const { return *display; }

protected:
    void LoadTexts(bool caption) override;
    void DoExchange(CDataExchange&) override {}
    void LoadFields() override {}
    void StoreFields() override {}
    void resizeEvent(QResizeEvent* event) override;

private:
    // ILivePollSink, on the worker's thread.
    void PollStarted() override;
    void PollDone(const LivePollResult& result) override;
    BoxAnswer AskPollError(int stringId) override;
    void PollingAborted() override;

    void StopPolling();
    ISheetHost* SheetHost() const;
    void SetMenus(int enabled);
    void PlaceDisplay();
    // One write off the window thread (serialised with the polls by the master's lock);
    // message 110 when it fails. True when the controller confirmed it.
    bool Write(uint8_t function, uint16_t reg, uint16_t value);
    // A new value through the value dialog; false when the user cancelled.
    bool AskValue(const QString& text, int16_t minimum, int16_t maximum, int16_t decimals,
                  int16_t& value);

    CDisplayDlg* display = nullptr;
    std::shared_ptr<CModbusMaster> master; // present while live
    std::unique_ptr<CLivePoll> poll;
    uint8_t address = 0;
    bool stopping = false;
};
