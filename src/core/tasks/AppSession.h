#pragma once

#include "core/tasks/CommSettings.h"

#include <cstdint>
#include <memory>
#include <string>

class CControllerList;
class CTQControllerModel;
class CModbusMaster;

// What the windows of one run share. The application implements it and hands it to each
// window that needs it, so no window reaches for a global.
class ISession {
public:
    virtual ~ISession() = default;
    virtual CommSettings& Settings() = 0;
    // The controller model, created on first use.
    virtual CTQControllerModel& GetModel() = 0;
    // The monitoring list, created on first use.
    virtual CControllerList& MonitorList() = 0;
    // Data-logging mode of the next monitoring run: 0 none, 1 one file, 2 one file per
    // controller. Kept in configuration files, not in the profile.
    virtual int32_t& LogMode() = 0;
    // A master for the current settings, or none (see CreateMaster in CommSettings.h).
    virtual std::unique_ptr<CModbusMaster> CreateMaster() const = 0;
    // Folders of the log files and the graph files, with the trailing separator.
    virtual std::string LogsDir() const = 0;
    virtual std::string GraphsDir() const = 0;
};
