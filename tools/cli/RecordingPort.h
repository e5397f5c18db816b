#pragma once

#include "core/modbus/CommPort.h"

#include <memory>
#include <vector>

// The last exchange a master made, kept after the master is gone.
struct ExchangeRecord {
    bool any = false;
    bool transportFailed = false; // Transact returned 0
    std::vector<uint8_t> request;
    std::vector<uint8_t> response;
};

// A transport that passes everything to another and notes each exchange, so the command line
// can name the code a bus task's failed transaction ended with. With no inner transport it
// stays closed.
class CRecordingPort : public CCommPort {
public:
    CRecordingPort(std::unique_ptr<CCommPort> inner, ExchangeRecord& record);
    ~CRecordingPort() override;

    void Close() override;
    int Send(const uint8_t* data, int length) override;
    int Receive(uint8_t* buffer, uint32_t* length) override;
    int Transact(const uint8_t* request, int requestLength, uint8_t* response,
                 uint32_t* responseLength, int waitMs) override;
    bool ConnectionLost() const override { return inner && inner->ConnectionLost(); }

private:
    std::unique_ptr<CCommPort> inner;
    ExchangeRecord& record;
};

// The code the master gave the recorded exchange (mode 0 serial, 1 TCP); comOk when none.
int RecordedErrorCode(const ExchangeRecord& record, int mode);
