#include "StoredValues.h"

#include "TextCodec.h"

#include <QJsonArray>
#include <QJsonObject>

namespace platform {
namespace {

[[noreturn]] void WrongType(const QString& property, const char* expected) {
    throw ELayoutError("Stored property " + property.toStdString() + " must be " + expected);
}

}  // namespace

int StoredInt(const QString& property, const QJsonValue& value) {
    if (!value.isDouble()) WrongType(property, "a number");
    return value.toInt();
}

bool StoredBool(const QString& property, const QJsonValue& value) {
    if (!value.isBool()) WrongType(property, "true or false");
    return value.toBool();
}

AnsiString StoredText(const QString& property, const QJsonValue& value) {
    if (value.isArray()) {  // long texts are stored as a list of lines
        AnsiString text;
        for (const QJsonValue line : value.toArray()) text += StoredText(property, line) + "\r\n";
        return text;
    }
    if (!value.isString()) WrongType(property, "a text");
    return FromQString(value.toString());
}

TColor StoredColor(const QString& property, const QJsonValue& value) {
    static const struct {
        const char* name;
        TColor color;
    } kNamed[] = {{"clBlack", clBlack},     {"clLime", clLime},     {"clWhite", clWhite},
                  {"clBtnFace", clBtnFace}, {"clWindow", clWindow}, {"clWindowText", clWindowText}};
    if (value.isString()) {
        for (const auto& named : kNamed)
            if (value.toString() == QLatin1String(named.name)) return named.color;
    }
    WrongType(property, "a colour name (clBlack, clLime, clBtnFace, ...)");
}

TFont StoredFont(const QString& property, const QJsonValue& value, const TFont& base) {
    if (!value.isObject()) WrongType(property, "an object");
    TFont font = base;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = property + '.' + it.key();
        if (it.key() == QLatin1String("Name"))
            font.Name = StoredText(key, it.value());
        else if (it.key() == QLatin1String("Height"))
            font.Height = StoredInt(key, it.value());
        else if (it.key() == QLatin1String("Bold"))
            font.Bold = StoredBool(key, it.value());
        else if (it.key() == QLatin1String("Color"))
            font.Color = StoredColor(key, it.value());
        else if (it.key() == QLatin1String("Charset"))
            StoredText(key, it.value());  // texts are Windows-1252 whatever it says
        else
            throw ELayoutError("Unknown stored property " + key.toStdString());
    }
    return font;
}

}  // namespace platform
