#pragma once

#include "ControllerImage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace sim {

// Modbus exception codes the controllers answer with.
inline constexpr uint8_t kIllegalFunction = 1;
inline constexpr uint8_t kIllegalAddress = 2;
inline constexpr uint8_t kIllegalValue = 3;

// Answers one request PDU (function code and data) against the image, as a controller does:
// functions 1, 3, 5 and 6; exception 2 for an address outside the map, 3 for a value outside
// a register's range (or a bad quantity or coil value), 1 for any other function. Writes
// change the image. Returns the answer PDU.
std::vector<uint8_t> AnswerPdu(ControllerImage& image, std::span<const uint8_t> pdu);

// The exception code of an answer PDU, or 0 for a normal answer.
uint8_t ExceptionOf(std::span<const uint8_t> answerPdu);

} // namespace sim
