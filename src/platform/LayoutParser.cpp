#include "LayoutParser.h"

#include "StoredValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace platform {
namespace {

[[noreturn]] void Fail(const QString& where, const QString& what) {
    throw ELayoutError(("Stored layout, " + where + ": " + what).toStdString());
}

StoredComponent ParseComponent(const QJsonValue& value, const QString& where) {
    if (!value.isObject()) Fail(where, QStringLiteral("a component must be an object"));
    const QJsonObject object = value.toObject();
    StoredComponent component;
    component.className = object.value(QLatin1String("class")).toString();
    component.name = object.value(QLatin1String("name")).toString();
    if (component.className.isEmpty()) Fail(where, QStringLiteral("component without a class"));
    if (component.name.isEmpty()) Fail(where, QStringLiteral("component without a name"));
    const QString here = where + '/' + component.name;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString& key = it.key();
        if (key == QLatin1String("class") || key == QLatin1String("name")) continue;
        if (key == QLatin1String("properties")) {
            if (!it.value().isObject()) Fail(here, QStringLiteral("properties must be an object"));
            component.properties = it.value().toObject();
        } else if (key == QLatin1String("events")) {
            if (!it.value().isObject()) Fail(here, QStringLiteral("events must be an object"));
            const QJsonObject events = it.value().toObject();
            for (auto event = events.begin(); event != events.end(); ++event) {
                if (!event.value().isString()) Fail(here, "handler of " + event.key() + " must be a name");
                component.events.emplace_back(event.key(), event.value().toString());
            }
        } else if (key == QLatin1String("controls")) {
            if (!it.value().isArray()) Fail(here, QStringLiteral("controls must be a list"));
            for (const QJsonValue child : it.value().toArray())
                component.controls.push_back(ParseComponent(child, here));
        } else {
            Fail(here, "unknown key " + key);
        }
    }
    return component;
}

}  // namespace

StoredComponent ParseStoredLayout(const QByteArray& document) {
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError)
        Fail("offset " + QString::number(error.offset), error.errorString());
    return ParseComponent(json.object(), QString());
}

}  // namespace platform
