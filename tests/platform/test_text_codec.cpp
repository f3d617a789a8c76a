// The program's Windows-1252 texts against Unicode: our table must agree with
// the system's codec on every byte and every 16-bit character.

#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

using platform::AnsiString;
using platform::FromQString;
using platform::ToQString;

TEST(TextCodec, EveryByteReadsAsTheSystemCodecReadsItAndWritesBackAsItself) {
    AnsiString all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    QStringDecoder system("windows-1252");
    const QString expected = system(QByteArrayView(all.data(), static_cast<qsizetype>(all.size())));
    ASSERT_EQ(expected.size(), 256);
    EXPECT_EQ(ToQString(all), expected);
    EXPECT_EQ(FromQString(ToQString(all)), all);
    EXPECT_EQ(ToQString("\x80 Espa\xF1" "a \x9F"), QString::fromUtf8("€ España Ÿ"));
}

TEST(TextCodec, EverySixteenBitCharacterWritesAsTheSystemCodecWritesIt) {
    int differences = 0;
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // surrogates: below
        const QString text(QChar(static_cast<char16_t>(unit)));
        QStringEncoder system("windows-1252");
        const QByteArray expected = system(text);
        const AnsiString ours = FromQString(text);
        if (ours != AnsiString(expected.constData(), static_cast<size_t>(expected.size())) && ++differences <= 5)
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(unit);
    }
    EXPECT_EQ(differences, 0);
}

TEST(TextCodec, CharactersWindows1252LacksBecomeOneSubstituteEach) {
    const struct {
        const char* name;
        QString text;
        AnsiString expected;
    } cases[] = {
        {"outside the 16-bit range", QString::fromUcs4(U"a\U0001F600b"), "a\x1A" "b"},
        {"Chinese", QString::fromUtf8("中文"), "\x1A\x1A"},
        {"a low surrogate alone", QString(QChar(0xDC00)) + u'b', "\x1A" "b"},
        {"a high surrogate alone", QString(QChar(0xD800)) + u'b', "\x1A" "b"},
        // The system codec drops this one, waiting for a partner that never
        // comes; a character is never lost here.
        {"a high surrogate at the end", QString(u'a') + QChar(0xD800), "a\x1A"},
        // Invisible formatting is left out, as the system codec leaves it.
        {"a zero-width joiner and a tag", QString::fromUcs4(U"a\u200Db\U000E0041c"), "abc"},
        {"a soft hyphen, which Windows-1252 has", QString::fromUtf8("a\u00ADb"), "a\xAD" "b"},
    };
    for (const auto& c : cases) EXPECT_EQ(FromQString(c.text), c.expected) << c.name;
}

}  // namespace
