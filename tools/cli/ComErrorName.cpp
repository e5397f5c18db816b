#include "ComErrorName.h"

#include "core/modbus/ModbusMaster.h"

const char* ComErrorName(int code) {
    using M = CModbusMaster;
    switch (code) {
    case M::comOk:
        return "comOk";
    case M::comCrcError:
        return "comCrcError";
    case M::comException:
        return "comException";
    case M::comShortFrame:
        return "comShortFrame";
    case M::comMismatch:
        return "comMismatch";
    case M::comPortError:
        return "comPortError";
    case M::comNoDestination:
        return "comNoDestination";
    case M::comNoResponse:
        return "comNoResponse";
    case M::comStopped:
        return "comStopped";
    default:
        return "comUnknown";
    }
}
