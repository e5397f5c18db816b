#pragma once

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"

#include <functional>
#include <memory>
#include <string>

// What a window needs of the application, without one: settings, model, monitoring list,
// log mode, folders, and masters from a function the test sets.
class CTestSession : public ISession {
public:
    explicit CTestSession(std::string logsDir = {}) : logs(std::move(logsDir)) {}

    CommSettings& Settings() override { return settings; }
    CTQControllerModel& GetModel() override { return model; }
    CControllerList& MonitorList() override { return list; }
    int32_t& LogMode() override { return logMode; }
    std::unique_ptr<CModbusMaster> CreateMaster() const override {
        return makeMaster ? makeMaster() : nullptr;
    }
    std::string LogsDir() const override { return logs; }
    std::string GraphsDir() const override { return graphs.empty() ? logs + "gf/" : graphs; }

    CommSettings settings;
    CTQControllerModel model;
    CControllerList list{"Zone"};
    int32_t logMode = 1;
    std::string logs;
    std::string graphs;
    std::function<std::unique_ptr<CModbusMaster>()> makeMaster;
};
