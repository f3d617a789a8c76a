#include "../../src/PlaceLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

struct LineCase {
    std::string line;
    std::string name;
    std::int32_t x;
    std::int32_t y;
};

std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

TEST(CutPlaceLine, EveryLineMakesAPlace) {
    const std::string longName(600, 'N');
    const std::string bom = "\xEF\xBB\xBF";
    const LineCase cases[] = {
        {"Ejemplo (Capital)=1734,484   ", "Ejemplo (Capital)", 1734, 484},
        {"=", "", 0, 0},
        {"", "", 0, 0},
        {"Ejemplo=", "Ejemplo", 0, 0},
        {"1734,484", "", 1734, 484},                      // no "=": the line's first 10
        {"Ejemplo 1734,484", "", 0, 0},
        {"Ejemplo=1734 484", "Ejemplo", 0, 1734},          // no ",": y from the first 5
        {"Ejemplo=123456789012,3", "Ejemplo", 0, 12345},   // the "," lies after the 10
        {"Ejemplo=123456,7890", "Ejemplo", 123456, 789},   // y cut at the window's end
        {"Ejemplo= 1734, 484", "Ejemplo", 1734, 484},
        {"Ejemplo=  1734,  484", "Ejemplo", 1734, 4},
        {"Ejemplo=1734,484,99", "Ejemplo", 1734, 484},
        {"Ejemplo=1734,\t484", "Ejemplo", 1734, 0},
        {"Ejemplo=1734,-20", "Ejemplo", 1734, -20},
        {"Ejemplo=x1A,$10", "Ejemplo", 26, 16},
        {"Ejemplo=abc,def", "Ejemplo", 0, 0},
        {"A=B=1,2", "A", 0, 2},
        {"  Ejemplo=1,2", "  Ejemplo", 1, 2},
        // the comma at the window's last place leaves y empty
        {"Ejemplo=123456789,12", "Ejemplo", 123456789, 0},
        {"Ejemplo=$80000000,1", "Ejemplo", std::numeric_limits<std::int32_t>::min(), 0},
        {"Ejemplo=-5 ,3", "Ejemplo", 5, 3},
        {"Corea, Rep.=10,20", "Corea, Rep.", 10, 20},      // commas in the name are the name's
        {"Espa\xF1" "a (Madrid)=1734,484\x1a", "Espa\xF1" "a (Madrid)", 1734, 484},
        {longName + "=12,34", longName, 12, 34},
        {bom + "Afganist\xE1n (Kabul)=2500,700", bom + "Afganist\xE1n (Kabul)", 2500, 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("line \"" + Printable(c.line) + "\"");
        const PlaceLine place = CutPlaceLine(c.line);
        EXPECT_EQ(Printable(place.name), Printable(c.name));
        EXPECT_EQ(place.x, c.x);
        EXPECT_EQ(place.y, c.y);
    }
}

}  // namespace
