#include "core/modbus/ModbusFraming.h"

namespace {

uint16_t Word(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

bool IsRead(uint8_t function) {
    return function >= 1 && function <= 4;
}

bool IsSingleWrite(uint8_t function) {
    return function == 5 || function == 6;
}

// Data bytes of a read's answer for the quantity asked.
size_t ReadDataBytes(uint8_t function, uint16_t quantity) {
    return function <= 2 ? (quantity + 7u) / 8u : 2u * quantity;
}

} // namespace

uint16_t Crc16(const uint8_t* bytes, int length) {
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = crc & 1;
            crc >>= 1;
            if (carry)
                crc ^= 0xA001;
        }
    }
    return crc;
}

bool CrcMatches(std::span<const uint8_t> frame) {
    if (frame.size() < 4)
        return false;
    const size_t n = frame.size() - 2;
    const uint16_t crc = Crc16(frame.data(), static_cast<int>(n));
    return frame[n] == (crc & 0xFF) && frame[n + 1] == (crc >> 8);
}

void AppendCrc(std::vector<uint8_t>& frame) {
    const uint16_t crc = Crc16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
}

void BuildRequestFrame(uint8_t frame[kRequestFrameLength], uint8_t address, uint8_t function,
                       uint16_t reg, uint16_t value) {
    frame[0] = address;
    frame[1] = function;
    frame[2] = static_cast<uint8_t>(reg >> 8);
    frame[3] = static_cast<uint8_t>(reg & 0xFF);
    if (function == 5) {
        frame[4] = static_cast<uint8_t>(value & 0xFF);
        frame[5] = static_cast<uint8_t>(value >> 8);
    } else {
        frame[4] = static_cast<uint8_t>(value >> 8);
        frame[5] = static_cast<uint8_t>(value & 0xFF);
    }
    const uint16_t crc = Crc16(frame, 6);
    frame[6] = static_cast<uint8_t>(crc & 0xFF);
    frame[7] = static_cast<uint8_t>(crc >> 8);
}

size_t ExpectedAnswerLength(const uint8_t* request, bool exception) {
    if (exception)
        return 3;
    const uint8_t function = request[1];
    if (IsRead(function))
        return 3 + ReadDataBytes(function, Word(request + 4));
    if (IsSingleWrite(function))
        return 6;
    return 0;
}

std::span<const uint8_t> FindRtuAnswer(const uint8_t* request, std::span<const uint8_t> received) {
    for (size_t at = 0; at + 1 < received.size(); ++at) {
        if (received[at] != request[0])
            continue;
        const uint8_t function = received[at + 1];
        size_t length = 0;
        if (function == request[1])
            length = ExpectedAnswerLength(request, false);
        else if (function == (request[1] | 0x80))
            length = ExpectedAnswerLength(request, true);
        if (length == 0)
            continue;
        length += 2;
        if (at + length <= received.size() && CrcMatches(received.subspan(at, length)))
            return received.subspan(at, length);
    }
    return {};
}

size_t RtuRequestLength(std::span<const uint8_t> head) {
    if (head.size() < 2)
        return 0;
    switch (head[1]) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        return 8;
    case 7:
    case 11:
    case 12:
    case 17:
        return 4;
    case 15:
    case 16:
        return head.size() < 7 ? 0 : 9 + size_t(head[6]);
    default:
        return 0;
    }
}

FrameCheck CheckAnswer(const uint8_t* request, const uint8_t* answer, uint32_t length, bool rtu,
                       int16_t* value) {
    const uint32_t minimum = rtu ? 4 : 3;
    if (length < minimum || answer == nullptr)
        return length == 0 ? kFrameNoResponse : kFrameShort;
    if (rtu && !CrcMatches({answer, length}))
        return kFrameCrcError;

    // An exception counts only from the slave and for the function asked: a late one from
    // another slave must not pass for an answer.
    if (answer[1] & 0x80) {
        const bool ours = answer[0] == request[0] && (answer[1] & 0x7F) == request[1];
        return ours ? kFrameException : kFrameMismatch;
    }
    if (answer[0] != request[0] || answer[1] != request[1])
        return kFrameMismatch;

    // RTU carries no transaction id: an answer to another request of the same slave is told
    // apart by its byte count or its echoed register.
    const uint32_t payload = rtu ? length - 2 : length;
    const uint8_t function = answer[1];
    if (IsRead(function) && payload >= 3 && answer[2] != ReadDataBytes(function, Word(request + 4)))
        return kFrameMismatch;
    if (IsSingleWrite(function) && payload >= 4 && Word(answer + 2) != Word(request + 2))
        return kFrameMismatch;

    if (value == nullptr)
        return kFrameNoDestination;

    // An answer that ends before the data it announces is short, and so is one too short to
    // hold the value its function carries: no value is made of whatever lay past its end.
    if (IsRead(function) && payload < 3u + answer[2])
        return kFrameShort;
    switch (function) {
    case 3:
    case 4:
        if (payload < 5)
            return kFrameShort;
        *value = static_cast<int16_t>(answer[3] * 256 + answer[4]);
        break;
    case 5:
    case 6:
        if (payload < 6)
            return kFrameShort;
        *value = static_cast<int16_t>(answer[4] * 256 + answer[5]);
        break;
    case 1:
    case 2:
        if (payload < 4)
            return kFrameShort;
        *value = static_cast<int16_t>(answer[3] * 256);
        break;
    default:
        break;
    }
    return kFrameOk;
}
