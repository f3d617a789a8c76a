#pragma once

#include "AnsiString.h"

#include <QString>

namespace platform {

// The one place where the program's 8-bit Windows-1252 texts meet Unicode.
QString ToQString(const AnsiString& text);
AnsiString FromQString(const QString& text);

}  // namespace platform
