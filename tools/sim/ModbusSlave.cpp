#include "ModbusSlave.h"

namespace sim {

namespace {

uint16_t Word(std::span<const uint8_t> pdu, size_t at) {
    return static_cast<uint16_t>(pdu[at] << 8 | pdu[at + 1]);
}

std::vector<uint8_t> Exception(uint8_t function, uint8_t code) {
    return {static_cast<uint8_t>(function | 0x80), code};
}

std::vector<uint8_t> ReadCoils(const ControllerImage& image, uint16_t start, uint16_t count) {
    if (count < 1 || count > 2000)
        return Exception(1, kIllegalValue);
    if (uint32_t(start) + count > image.CoilCount())
        return Exception(1, kIllegalAddress);
    const uint8_t bytes = static_cast<uint8_t>((count + 7) / 8);
    std::vector<uint8_t> answer{1, bytes};
    answer.resize(2 + bytes, 0);
    for (uint16_t i = 0; i < count; ++i) {
        if (image.coils[start + i])
            answer[2 + i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    }
    return answer;
}

std::vector<uint8_t> ReadRegisters(const ControllerImage& image, uint16_t start, uint16_t count) {
    if (count < 1 || count > 125)
        return Exception(3, kIllegalValue);
    for (uint32_t i = start; i < uint32_t(start) + count; ++i) {
        if (!image.HasRegister(i))
            return Exception(3, kIllegalAddress);
    }
    std::vector<uint8_t> answer{3, static_cast<uint8_t>(count * 2)};
    for (uint32_t i = start; i < uint32_t(start) + count; ++i) {
        const uint16_t v = static_cast<uint16_t>(image.registers[i]);
        answer.push_back(static_cast<uint8_t>(v >> 8));
        answer.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    return answer;
}

std::vector<uint8_t> WriteCoil(ControllerImage& image, std::span<const uint8_t> pdu) {
    const uint16_t index = Word(pdu, 1);
    const uint16_t value = Word(pdu, 3);
    if (!image.HasCoil(index) || !ControllerImage::IsWritableCoil(index))
        return Exception(5, kIllegalAddress);
    if (value != 0xFF00 && value != 0x0000)
        return Exception(5, kIllegalValue);
    image.coils[index] = value ? 1 : 0;
    return {pdu.begin(), pdu.begin() + 5};
}

std::vector<uint8_t> WriteRegister(ControllerImage& image, std::span<const uint8_t> pdu) {
    const uint16_t index = Word(pdu, 1);
    const int16_t value = static_cast<int16_t>(Word(pdu, 3));
    if (!image.IsWritable(index))
        return Exception(6, kIllegalAddress);
    if (!image.InRange(index, value))
        return Exception(6, kIllegalValue);
    image.registers[index] = value;
    return {pdu.begin(), pdu.begin() + 5};
}

} // namespace

std::vector<uint8_t> AnswerPdu(ControllerImage& image, std::span<const uint8_t> pdu) {
    if (pdu.empty())
        return Exception(0, kIllegalFunction);
    const uint8_t function = pdu[0];
    const bool known = function == 1 || function == 3 || function == 5 || function == 6;
    if (!known)
        return Exception(function & 0x7F, kIllegalFunction);
    if (pdu.size() < 5)
        return Exception(function, kIllegalValue);
    switch (function) {
    case 1:
        return ReadCoils(image, Word(pdu, 1), Word(pdu, 3));
    case 3:
        return ReadRegisters(image, Word(pdu, 1), Word(pdu, 3));
    case 5:
        return WriteCoil(image, pdu);
    default:
        return WriteRegister(image, pdu);
    }
}

uint8_t ExceptionOf(std::span<const uint8_t> answerPdu) {
    if (answerPdu.size() >= 2 && (answerPdu[0] & 0x80))
        return answerPdu[1];
    return 0;
}

} // namespace sim
