#pragma once

#include "core/model/TQControllerModel.h"

#include <cstdint>

class CModbusMaster;

// Register 56 tells the families apart: 0 on a TQ100; any other value, or an exception
// answer, on a TQ102/TQ402. Bus failures are thrown as the master's tErrorCom.
ModelFamily DetectFamily(CModbusMaster& master, uint8_t address, int waitMs);
