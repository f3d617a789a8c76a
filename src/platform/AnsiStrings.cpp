#include "AnsiStrings.h"

#include <climits>
#include <string>

namespace platform {

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty())
        return 0;
    const std::size_t at = s.find(sub);
    // Our texts are lines capped far below 2 GiB; a hit beyond int's range
    // would be unreachable by the int positions callers use anyway.
    if (at == std::string_view::npos || at >= static_cast<std::size_t>(INT_MAX))
        return 0;
    return static_cast<int>(at) + 1;
}

AnsiString Copy(std::string_view s, int index, int count) {
    if (count <= 0)
        return {};
    // 64-bit so that index + count cannot overflow.
    const std::int64_t first = index < 1 ? 1 : index;
    const std::int64_t length = static_cast<std::int64_t>(s.size());
    if (first > length)
        return {};
    const std::int64_t available = length - first + 1;
    const std::int64_t n = count < available ? count : available;
    return AnsiString(s.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(n)));
}

AnsiString IntToStr(std::int64_t n) {
    return std::to_string(n);
}

}  // namespace platform
