#pragma once

#include "core/tasks/BusTask.h"

#include <chrono>
#include <iosfwd>
#include <mutex>
#include <optional>

struct CommSettings;
class CTQControllerModel;

// The bus-task sink of the command line: it switches the model's family when asked, keeps
// the last status, and while a scan searches redraws one progress line on a terminal, or
// writes one every kLogLineInterval elsewhere.
class CCliTaskSink : public IBusTaskSink {
public:
    static constexpr std::chrono::seconds kLogLineInterval{10};

    CCliTaskSink(CTQControllerModel& model, const CommSettings& settings, std::ostream& err,
                 bool terminal);

    void PostStatus(int stringId, uint32_t foundWord) override;
    void PostProgress(int position) override;
    void SendFamilyCommand(int command) override;
    // A write the controller refused or answered out of range ends there (Abort); the
    // question is kept for the report.
    BoxAnswer AskAbortRetryIgnore(const std::string& text) override;
    std::string LoadText(int stringId) override;
    bool TryStopTimer() override { return true; }
    void ShowEnded(int) override {}

    int LastStatus() const;
    // The text of the last Abort / Retry / Ignore question, or "".
    std::string LastQuestion() const;
    uint32_t LastWord() const;
    // Ends the progress line, if one was drawn.
    void FinishProgressLine();

private:
    CTQControllerModel& model;
    const CommSettings& settings;
    std::ostream& err;
    const bool terminal;
    mutable std::mutex lock;
    int lastStatus = 0;
    uint32_t lastWord = 0;
    std::string lastQuestion;
    int progress = 0;
    bool lineDrawn = false;
    std::optional<std::chrono::steady_clock::time_point> lastLogLine;
};

// "19200 baud, parity N" for the baud and parity indices of a found-controller word.
std::string DescribeLine(uint16_t baudIndex, uint16_t parityIndex);
