#include "AnsiStrings.h"
#include "Conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>

namespace {

using namespace std::string_view_literals;
using platform::Copy;
using platform::IntToStr;
using platform::Pos;
using platform::ValInteger;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct FieldCase {
    std::string_view field;
    std::int32_t value;
};

TEST(ValInteger, ConvertsEachFieldAsTheListFileNeeds) {
    const FieldCase cases[] = {
        // decimal, blanks and junk after the number
        {"1734", 1734},
        {"0", 0},
        {"007", 7},
        {"999999999", 999999999},
        {"   484", 484},
        {"484  ", 484},
        {"484,99", 484},
        {"1734 484", 1734},
        {"12ab", 12},
        {"1-2", 1},
        {"12\0" "34"sv, 12},
        // where a digit is required and none stands
        {"", 0},
        {"     ", 0},
        {"\t484", 0},
        {" \t484", 0},
        {"abc", 0},
        {",5", 0},
        // signs
        {"+12", 12},
        {"-20", -20},
        {"  -20", -20},
        {"-0", 0},
        {"-99999999", -99999999},
        {"-", 0},
        {"+", 0},
        {"- 20", 0},
        {"+ 5", 0},
        {"--5", 0},
        {"-$10", 0},
        {"+x10", 0},
        {"-0x10", 0},
        // "-" counts only when the digits run to the end of the field
        {"-20 ", 20},
        {"-20x", 20},
        {"-5,3", 5},
        // base 16 after each prefix, without a sign
        {"$10", 16},
        {"x1A", 26},
        {"X1a", 26},
        {"0x1F", 31},
        {"0X1f", 31},
        {"  $ff", 255},
        {"$aBcD", 0xABCD},
        {"$1G", 1},
        {"x10,5", 16},
        {"$", 0},
        {"x", 0},
        {"0x", 0},
        {"$G", 0},
        {"$-1", 0},
        // eight base-16 digits: the int32 with the same bits
        {"x7FFFFFFF", kMax},
        {"$80000000", kMin},
        {"$FFFFFFFF", -1},
        {"XfffffffE", -2},
        // beyond what a field can hold the value wraps modulo 2^32
        {"-2147483648", kMin},
        {"4294967297", 1},
        {"$123456789", 0x23456789},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValInteger(c.field), c.value) << "field \"" << c.field << "\"";
    }
}

TEST(AnsiStrings, PosFindsTheFirstOccurrenceFromOne) {
    const struct {
        std::string_view sub, s;
        int pos;
    } cases[] = {
        {"=", "A=B=1", 2}, {"=", "=", 1}, {"=", "abc", 0}, {"=", "", 0},
        {"", "abc", 0},    {"bc", "abcbc", 2}, {",", "12\0,"sv, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pos(c.sub, c.s), c.pos) << "\"" << c.sub << "\" in \"" << c.s << "\"";
}

TEST(AnsiStrings, CopyCutsRangesAtTheEnds) {
    const struct {
        int index, count;
        std::string_view result;
    } cases[] = {
        {1, 3, "abc"},   {2, 3, "bcd"},  {4, 10, "def"}, {6, 1, "f"},
        {7, 1, ""},      {100, 5, ""},   {1, 0, ""},     {3, -2, ""},
        {0, 2, "ab"},    {-5, 2, "ab"},  {1, std::numeric_limits<int>::max(), "abcdef"},
        {std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Copy("abcdef", c.index, c.count), c.result) << "Copy(s, " << c.index << ", " << c.count << ")";
    EXPECT_EQ(Copy("", 1, 5), "");
}

TEST(AnsiStrings, IntToStrWritesDecimal) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(1734), "1734");
    EXPECT_EQ(IntToStr(-20), "-20");
    EXPECT_EQ(IntToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

}  // namespace
