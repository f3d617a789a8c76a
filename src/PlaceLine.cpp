#include "PlaceLine.h"

#include "platform/AnsiStrings.h"
#include "platform/Conversions.h"

using platform::Copy;
using platform::Pos;
using platform::ValInteger;

PlaceLine CutPlaceLine(std::string_view line) {
    PlaceLine place;
    const int p = Pos("=", line);                   // 0 when there is none
    place.name = Copy(line, 1, p - 1);
    const platform::AnsiString window = Copy(line, p + 1, 10);
    const int q = Pos(",", window);                 // 0 when there is none
    place.x = ValInteger(Copy(window, 1, q - 1));   // at most 9 characters
    place.y = ValInteger(Copy(window, q + 1, 5));
    return place;
}
