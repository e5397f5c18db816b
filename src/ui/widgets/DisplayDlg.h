#pragma once

#include "ui/framework/AppMessages.h"
#include "ui/widgets/ChildDlg.h"
#include "ui/widgets/DisplayIds.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

// What a front-panel display shows of one controller.
struct CDisplayRecord {
    QString title = QStringLiteral("????");
    QString processValue = QStringLiteral("???");
    QString setPoint = QStringLiteral("???");
    QString output = QStringLiteral("???");
    QString secondSetPoint = QStringLiteral("???");
    QString upperSetPoint = QStringLiteral("???");
    QString setPointUnit = QStringLiteral("???");
    QString upperSetPointUnit = QStringLiteral("???");
    QString processValueUnit = QStringLiteral("???");
    QString outputUnit = QStringLiteral("???");
    QString secondSetPointUnit = QStringLiteral("???");
    int alarm1 = 0;
    int alarm2 = 0;
    int autoTune = 0;
    int digitalInput = 0;
    int ramp = 0;
    int manual = 0;
    uint16_t decimals = 0; // of the last successful update, 0..3
    int error = 1;         // the last update carried no data
    uint8_t address = 255;
    // Whether a controller is assigned at all: every address, 255 included, is a real one.
    bool assigned = false;
    bool automaticUnits = true; // units follow the controller's degC / degF status
};

// A front panel of one controller: its owner feeds it poll results (Update, then Refresh) and
// decides what a click means. Clicks reach the owner (the nearest window up the parents that
// handles application messages) as direct calls, with the controller address as wParam:
//   kMsgSetpointClicked, kMsgSecondSetpointClicked, kMsgUpperSetpointClicked (lParam 0),
//   kMsgModeClicked (lParam 1 while the mode reads "AUTO"), kMsgOutputClicked (only while the
//   mode does not read "AUTO"), kMsgAutoTuneClicked (lParam the requested lamp state; the
//   owner's non-zero answer lets the AT lamp change).
// Two layouts: IDD_DISPLAY_FULL (the parameters page) and IDD_DISPLAY_COMPACT (a grid cell).
class CDisplayDlg : public CChildDlg, public IAppMessageTarget {
    Q_OBJECT
public:
    static constexpr int kRegisterCount = 43;
    static constexpr int kStatusCount = 11;

    explicit CDisplayDlg(QWidget* parent = nullptr);

    // A layout's size in dialog units; none for an unknown template.
    static std::optional<QSize> TemplateSize(int templateId);

    void SetController(uint8_t address, const QString& title);
    // True when a controller is assigned and it has this address.
    bool IsController(uint8_t address) const;
    // Unassigns the controller; the next Refresh hides the display.
    void Clear();
    // Fixed unit texts from now on, in place of the degC / degF ones.
    void SetLabels(const QString& spUnit, const QString& upperSpUnit, const QString& sp2Unit,
                   const QString& pvUnit, const QString& outUnit);
    // Takes one poll result into the record: `registers` holds kRegisterCount values and
    // `status` kStatusCount bytes (neither is read when `error` is non-zero). Only the OUT
    // lamp changes on the screen; Refresh shows the rest.
    void Update(int error, const int16_t* registers, const uint8_t* status);
    void Refresh();
    // Lights the communication lamp while a read of this controller runs.
    void SetPolling(int on);

    QString GetSetPointText() const { return record.setPoint; }
    QString GetSecondSetPointText() const { return record.secondSetPoint; }
    QString GetOutputText() const { return record.output; }
    uint16_t GetDecimals() const { return record.decimals; }
    const CDisplayRecord& Record() const { return record; }

    LRESULT OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool BuildTemplate(int templateId) override;
    void OnInitDialog() override;

private:
    void BuildFull();
    void BuildCompact();
    void AddValue(int id, const QColor& color, int x, int y, int cx, int cy, bool rightAligned,
                  bool notify);
    void AddUnit(int id, int x, int y, int cx, int cy);
    void AddLamp(int id, const char* caption, bool red, bool enabled, int x, int y, int cx, int cy);
    void AddMode(int x, int y, int cx, int cy);
    void SetLamp(int id, int state);
    void ExchangeText(int id, const QString& text);
    void OnValueClicked(int id);
    LRESULT Notify(unsigned message, LPARAM lParam);
    // The template's control with this id, or null when the layout has none.
    template <class T> T* Item(int id) const;

    CDisplayRecord record;
    std::map<int, QWidget*> items; // the controls by id
};
