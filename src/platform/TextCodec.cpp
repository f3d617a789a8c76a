#include "TextCodec.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace platform {
namespace {

// Windows-1252 is Latin-1 but for 0x80-0x9F. Its five unused bytes there
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same
// number, as in the system's codec, so that every byte reads back as itself.
// A table of our own, not the system's codec: that one is ICU, a megabyte of
// code and tables in memory and a converter opened for every text.
constexpr std::array<char16_t, 32> kFrom0x80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// What the system's codec writes for a character Windows-1252 lacks.
constexpr char kSubstitute = '\x1A';

// Invisible formatting characters (Unicode's default-ignorable ones: joiners,
// direction marks, variation selectors, tags...) that Windows-1252 lacks are
// left out rather than shown as substitutes, as the system's codec does.
bool IsDefaultIgnorable(char32_t c) {
    static constexpr struct {
        char32_t first, last;
    } kRanges[] = {{0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160},   {0x17B4, 0x17B5},
                   {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F},
                   {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},
                   {0xFFF0, 0xFFF8},   {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};
    return std::any_of(std::begin(kRanges), std::end(kRanges),
                       [c](const auto& range) { return c >= range.first && c <= range.last; });
}

char16_t Decode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kFrom0x80[byte - 0x80] : char16_t{byte};
}

char Encode(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    const auto* found = std::find(kFrom0x80.begin(), kFrom0x80.end(), unit);
    return found != kFrom0x80.end() ? static_cast<char>(0x80 + std::distance(kFrom0x80.begin(), found))
                                    : kSubstitute;
}

}  // namespace

QString ToQString(const AnsiString& text) {
    QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* out = result.data();
    for (const char c : text) *out++ = QChar(Decode(static_cast<unsigned char>(c)));
    return result;
}

AnsiString FromQString(const QString& text) {
    AnsiString result;
    result.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond the 16-bit range is one character, one substitute.
        // A surrogate without its partner is a substitute too, never dropped.
        char32_t character = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        const char encoded = character > 0xFFFF ? kSubstitute : Encode(static_cast<char16_t>(character));
        if (encoded != kSubstitute || !IsDefaultIgnorable(character)) result += encoded;
    }
    return result;
}

}  // namespace platform
