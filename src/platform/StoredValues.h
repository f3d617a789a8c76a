#pragma once

// Conversions of stored-layout values; each throws ELayoutError when the
// value has the wrong type, so a typo in the layout never passes silently.

#include "AnsiString.h"
#include "Exceptions.h"
#include "Types.h"

#include <QJsonValue>
#include <QString>

namespace platform {

class ELayoutError : public Exception {
public:
    using Exception::Exception;
};

int StoredInt(const QString& property, const QJsonValue& value);
bool StoredBool(const QString& property, const QJsonValue& value);
// Layout texts are UTF-8 in the file and Windows-1252 in the program.
AnsiString StoredText(const QString& property, const QJsonValue& value);
TColor StoredColor(const QString& property, const QJsonValue& value);
TFont StoredFont(const QString& property, const QJsonValue& value, const TFont& base);

}  // namespace platform
