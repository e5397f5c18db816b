#pragma once

// The Modbus frame rules in one place: the CRC, the request frame, how long an answer must
// be, and the checks an answer goes through. The master, the serial transport's
// end-of-answer rule and the simulator's slave all use these.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Results of an answer check; the master hands them on as its tErrorCom values.
enum FrameCheck : int {
    kFrameOk = 0,
    kFrameCrcError = 1,
    kFrameException = 2,
    kFrameShort = 3,
    kFrameMismatch = 4,
    kFrameNoDestination = 7,
    kFrameNoResponse = 9,
};

inline constexpr size_t kRequestFrameLength = 8;

// CRC-16/MODBUS.
uint16_t Crc16(const uint8_t* bytes, int length);
// Whether the last two bytes are the CRC of the others, low byte first.
bool CrcMatches(std::span<const uint8_t> frame);
void AppendCrc(std::vector<uint8_t>& frame);

// Address, function, register and value or quantity, CRC. Function 5 carries its value low
// byte first, so the callers' 0x00FF reads FF 00 on the wire.
void BuildRequestFrame(uint8_t frame[kRequestFrameLength], uint8_t address, uint8_t function,
                       uint16_t reg, uint16_t value);

// Bytes from the address to the last data byte (no CRC) of the answer to an 8-byte request:
// the exception answer when `exception`, else the normal one for its function and quantity.
// 0 for a function whose answer length is not known here.
size_t ExpectedAnswerLength(const uint8_t* request, bool exception);

// The whole RTU answer to the request within the bytes received after it: the first frame of
// the requested address and function (or its exception) with a good CRC at the length the
// request calls for. Bytes in front of it are line noise. Empty when there is none (yet).
std::span<const uint8_t> FindRtuAnswer(const uint8_t* request, std::span<const uint8_t> received);

// Length (address to CRC) of an RTU request starting with these bytes; 0 while it cannot be
// told yet, or never (a function of unknown shape).
size_t RtuRequestLength(std::span<const uint8_t> head);

// Checks an answer against its request. rtu: the last two bytes are a CRC to test (a TCP
// answer has none). In order: length (9 none, 3 short), CRC (1), exception (2, only from the
// address and function asked), address and function (4), a read's byte count against the
// quantity asked and a write's echoed register or coil (4), destination (7), the value's
// bytes present (3). On 0 the value is stored: the first register of a read of registers,
// the echoed value of a write, the first data byte (high half) of a read of coils.
FrameCheck CheckAnswer(const uint8_t* request, const uint8_t* answer, uint32_t length, bool rtu,
                       int16_t* value);
