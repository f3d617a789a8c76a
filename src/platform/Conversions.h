#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// The value of the number at the start of a coordinate field; whatever
// follows the number is ignored.
//  - leading blanks (byte 32 only, not tabs) are skipped;
//  - "+" or "-" may follow and must be followed at once by a decimal digit;
//  - decimal digits are read up to the first non-digit;
//  - "$", "x", "X", "0x" or "0X" first means base-16 digits (0-9 A-F a-f),
//    without a sign;
//  - where a digit is required and none stands, the value is 0;
//  - "-" makes the value negative only when the digits run to the field's end;
//  - eight base-16 digits starting at 8 or above give the negative 32-bit
//    value with the same bits.
std::int32_t ValInteger(std::string_view field);

}  // namespace platform
