#pragma once

#include "core/tasks/CommSettings.h"

#include <memory>
#include <string>

class CTQControllerModel;
class CTramaModbusAsincrona;

// What the windows of one run share. The application implements it and hands it to each
// window that needs it, so no window reaches for a global.
class ISession {
public:
    virtual ~ISession() = default;
    virtual CommSettings& Settings() = 0;
    // The controller model, created on first use.
    virtual CTQControllerModel& GetModel() = 0;
    // A master for the current settings, or none (see CreateMaster in CommSettings.h).
    virtual std::unique_ptr<CTramaModbusAsincrona> CreateMaster() const = 0;
    // Folders of the log files and the graph files, with the trailing separator.
    virtual std::string LogsDir() const = 0;
    virtual std::string GraphsDir() const = 0;
};
