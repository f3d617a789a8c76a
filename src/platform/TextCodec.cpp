#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString ToQString(const AnsiString& text) {
    QStringDecoder decoder("windows-1252");
    return decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

AnsiString FromQString(const QString& text) {
    QStringEncoder encoder("windows-1252");
    const QByteArray bytes = encoder(text);
    return AnsiString(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace platform
