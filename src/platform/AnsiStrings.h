#pragma once

#include "AnsiString.h"

#include <cstdint>
#include <string_view>

namespace platform {

// Helpers on 8-bit strings with 1-based positions, so that code cutting a
// line reads like the rules it follows.

// Position of the first occurrence of sub in s, counted from 1; 0 when there
// is none or sub is empty.
int Pos(std::string_view sub, std::string_view s);

// count characters of s from position index (1-based). A range running past
// the end is cut there; one starting past the end, or with count <= 0, is
// empty; an index below 1 counts as 1.
AnsiString Copy(std::string_view s, int index, int count);

// Decimal text of n, with a "-" when negative.
AnsiString IntToStr(std::int64_t n);

}  // namespace platform
