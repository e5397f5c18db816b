#pragma once

#include "core/platform/Event.h"

#include <cstdint>

// Byte transport under the Modbus master: a serial line or a TCP link.
class CCommPort {
public:
    virtual ~CCommPort() = default;

    virtual void Close() = 0;
    // Non-zero when all bytes were written.
    virtual int Send(const uint8_t* data, int length) = 0;
    // length: capacity in, bytes stored out. Non-zero on success, also with 0 bytes.
    virtual int Receive(uint8_t* buffer, uint32_t* length) = 0;
    // One exchange. responseLength: capacity in, byte count out. Non-zero when the exchange
    // could be carried out (even if nothing came back); zero when the transport failed.
    virtual int Transact(const uint8_t* request, int requestLength, uint8_t* response,
                         uint32_t* responseLength, int waitMs) = 0;
    // After a failed Transact: true when the connection ended after the request went out, so
    // the request may be sent again on a new one. Links without connections never say so.
    virtual bool ConnectionLost() const { return false; }

    bool IsOpen() const { return open; }

    // While `event` is set, waits for an answer or a connection end at once (a stop asked by
    // the user must not sit out a silent slave's window). nullptr: waits run their course. The
    // event must outlive its use here.
    void SetStopEvent(CManualResetEvent* event) { stopFd = event ? event->WakeFd() : -1; }

protected:
    // Readable while the stop event is set; -1 without one. Waits poll it beside their own.
    int StopFd() const { return stopFd; }

    bool open = false;

private:
    int stopFd = -1;
};
