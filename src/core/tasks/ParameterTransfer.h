#pragma once

#include "core/tasks/BusTask.h"

#include <cstdint>
#include <vector>

class CTQControllerModel;
struct CommSettings;

// Register list of a box write, modes 5 to 11, in writing order. Empty for any other mode.
std::vector<uint32_t> ParameterGroup(int mode);

// Whether a write of all parameters sends this register: an available parameter, except the
// TQ100's retransmission port line (46 to 49), which is left alone.
bool WriteAllSends(const CTQControllerModel& model, uint32_t index);

// Workers of modes 3, 4 and 5 to 11. They run on the task's thread, report through its sink
// and end with the stop event set.
void ReadAllParameters(CBusTask& task);
void WriteAllParameters(CBusTask& task);
void WriteParameterGroup(CBusTask& task, const std::vector<uint32_t>& list);

// What a single write needs from its page.
class IWriteOneSink {
public:
    enum class Icon { Error, Information };
    virtual ~IWriteOneSink() = default;
    // Message box with the text of string stringId.
    virtual void ShowMessage(int stringId, Icon icon) = 0;
    // Reload every field of the page from the model and redisplay it.
    virtual void ReloadPage() = 0;
};

// Writes one register of the settings' controller, synchronously (UI thread): messages 47
// (no master), 53 (port not open), 110 (failed) or 112 (written; the echo is stored and the
// page reloaded). value is already validated by the page.
void WriteOneParameter(CTQControllerModel& model, const CommSettings& settings, IWriteOneSink& ui,
                       uint32_t index, int16_t value, const MasterFactory& factory = {});
