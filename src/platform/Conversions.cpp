#include "Conversions.h"

#include <cstddef>

namespace platform {

namespace {

int DigitValue(char c, unsigned base) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::int32_t ValInteger(std::string_view field) {
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && field[i] == ' ')
        ++i;

    unsigned base = 10;
    bool minus = false;
    if (i < n && (field[i] == '+' || field[i] == '-')) {
        minus = field[i] == '-';
        ++i;  // the digit test below requires a decimal digit at once
    } else if (i < n && (field[i] == '$' || field[i] == 'x' || field[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && field[i] == '0' && (field[i + 1] == 'x' || field[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }

    if (i >= n || DigitValue(field[i], base) < 0)
        return 0;

    // The fields we are given (at most 9 characters) cannot leave 32 bits.
    // Longer text wraps modulo 2^32 on purpose: unsigned arithmetic is
    // defined, and the same wrap turns eight base-16 digits from 8 upwards
    // into the negative value with the same bits.
    std::uint32_t value = 0;
    int digit = 0;
    while (i < n && (digit = DigitValue(field[i], base)) >= 0) {
        value = value * base + static_cast<std::uint32_t>(digit);
        ++i;
    }

    // The sign counts only when the digits reach the end of the field.
    if (minus && i == n)
        value = 0u - value;
    return static_cast<std::int32_t>(value);  // modular since C++20
}

}  // namespace platform
