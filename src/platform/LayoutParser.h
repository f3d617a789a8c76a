#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <utility>
#include <vector>

namespace platform {

// One component of a stored layout, as read: no widgets involved.
struct StoredComponent {
    QString className;
    QString name;
    QJsonObject properties;
    std::vector<std::pair<QString, QString>> events;  // event name, handler name
    std::vector<StoredComponent> controls;            // in stored order
};

// Parses a layout document:
//   {"class": "TForm1", "name": "Form1", "properties": {...},
//    "events": {"OnCreate": "FormCreate"}, "controls": [ ... ]}
// Throws ELayoutError, naming what is wrong and where.
StoredComponent ParseStoredLayout(const QByteArray& document);

}  // namespace platform
