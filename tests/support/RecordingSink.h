#pragma once

#include "core/model/TQControllerModel.h"
#include "core/tasks/BusTask.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

// Records what a bus task tells its dialog. Family commands switch the model as the sheet
// would; questions are answered from a queue (Abort when it runs dry).
class CRecordingSink : public IBusTaskSink {
public:
    struct Status {
        int id;
        uint32_t word;
    };

    explicit CRecordingSink(CTQControllerModel* model = nullptr) : model(model) {}

    void PostStatus(int stringId, uint32_t foundWord) override {
        std::lock_guard<std::mutex> guard(mutex);
        statuses.push_back({stringId, foundWord});
    }
    void PostProgress(int position) override {
        std::lock_guard<std::mutex> guard(mutex);
        progress.push_back(position);
    }
    void SendFamilyCommand(int command) override {
        {
            std::lock_guard<std::mutex> guard(mutex);
            familyCommands.push_back(command);
        }
        if (model)
            model->SetFamily(nullptr, command == kCmdFamilyTQ100 ? TQ100 : TQ102_TQ402);
    }
    BoxAnswer AskAbortRetryIgnore(const std::string& text) override {
        std::lock_guard<std::mutex> guard(mutex);
        questions.push_back(text);
        if (answers.empty())
            return BoxAnswer::Abort;
        BoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string LoadText(int stringId) override { return "<" + std::to_string(stringId) + ">"; }
    bool TryStopTimer() override {
        std::lock_guard<std::mutex> guard(mutex);
        ++timerStops;
        return timerRunning;
    }
    void ShowEnded(int titleId) override {
        std::lock_guard<std::mutex> guard(mutex);
        endedTitles.push_back(titleId);
    }

    std::vector<int> StatusIds() const {
        std::lock_guard<std::mutex> guard(mutex);
        std::vector<int> ids;
        for (const Status& s : statuses)
            ids.push_back(s.id);
        return ids;
    }
    Status LastStatus() const {
        std::lock_guard<std::mutex> guard(mutex);
        return statuses.empty() ? Status{0, 0} : statuses.back();
    }

    mutable std::mutex mutex;
    CTQControllerModel* model;
    std::vector<Status> statuses;
    std::vector<int> progress;
    std::vector<int> familyCommands;
    std::vector<std::string> questions;
    std::deque<BoxAnswer> answers;
    bool timerRunning = true;
    int timerStops = 0;
    std::vector<int> endedTitles;
};

// A model whose transactions wait less, so scans of silent addresses stay short.
class CShortTimeoutModel : public CTQControllerModel {
public:
    explicit CShortTimeoutModel(int16_t timeout) : timeout(timeout) {}
    int16_t GetBaseTimeout() const override { return timeout; }

private:
    int16_t timeout;
};
