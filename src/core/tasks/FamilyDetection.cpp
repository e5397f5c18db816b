#include "core/tasks/FamilyDetection.h"

#include "core/modbus/ModbusMaster.h"

ModelFamily DetectFamily(CModbusMaster& master, uint8_t address, int waitMs) {
    int16_t value = 0;
    const int result =
        master.Request(address, 3, static_cast<uint16_t>(reg::kFamily), 1, &value, true, waitMs);
    return result == CModbusMaster::comException || value != 0 ? TQ102_TQ402 : TQ100;
}
