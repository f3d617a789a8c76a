#pragma once

#include "platform/AnsiString.h"

#include <cstdint>
#include <string_view>

// One line of the place list, cut into its place.
struct PlaceLine {
    platform::AnsiString name;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Cuts "name=x,y" the forgiving way: every line makes a place. The name is
// what stands before the first "="; the coordinates come only from the 10
// characters after it (the line's first 10 when it has no "="), x before the
// first "," in them and y from the 5 characters after that comma.
PlaceLine CutPlaceLine(std::string_view line);
