#include "RecordingPort.h"

#include "core/modbus/ModbusMaster.h"

CRecordingPort::CRecordingPort(std::unique_ptr<CCommPort> port, ExchangeRecord& r)
    : inner(std::move(port)), record(r) {
    open = inner && inner->IsOpen();
}

CRecordingPort::~CRecordingPort() {
    Close();
}

void CRecordingPort::Close() {
    if (inner)
        inner->Close();
    open = false;
}

int CRecordingPort::Send(const uint8_t* data, int length) {
    return inner ? inner->Send(data, length) : 0;
}

int CRecordingPort::Receive(uint8_t* buffer, uint32_t* length) {
    return inner ? inner->Receive(buffer, length) : 0;
}

int CRecordingPort::Transact(const uint8_t* request, int requestLength, uint8_t* response,
                             uint32_t* responseLength, int waitMs) {
    const int result =
        inner ? inner->Transact(request, requestLength, response, responseLength, waitMs) : 0;
    record.any = true;
    record.transportFailed = result == 0;
    record.request.assign(request, request + (requestLength > 0 ? requestLength : 0));
    const uint32_t got = result != 0 && responseLength ? *responseLength : 0;
    record.response.assign(response, response + got);
    return result;
}

int RecordedErrorCode(const ExchangeRecord& record, int mode) {
    if (!record.any)
        return CModbusMaster::comOk;
    if (record.transportFailed)
        return CModbusMaster::comPortError;
    // The master's own check, on a master that never touches a line.
    ExchangeRecord unused;
    CModbusMaster checker(std::make_unique<CRecordingPort>(nullptr, unused), mode);
    int16_t value = 0;
    return checker.CheckResponse(record.request.data(), record.response.data(),
                                 static_cast<uint32_t>(record.response.size()), &value);
}
