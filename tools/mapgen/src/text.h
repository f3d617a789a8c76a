#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

#include "geo.h"

namespace mapgen {
// Windows-1252 bytes of a text; throws for a character it lacks.
QByteArray toCp1252(const QString &text);
// NOMBRES.TXT: "name=x,y" lines in Windows-1252 with CRLF line ends.
QByteArray placeList(const std::vector<Place> &places);
// The asset checks' data: places.tsv (name, ISO code, raster value) and the
// country-id raster countries.png, 16-bit grey: 0 outside the map's oval,
// 1 water, territory id + 1 on land.
void writeCheckData(const QString &dir, const std::vector<Territory> &territories,
                    const std::vector<Place> &places, const QImage &ids, const QImage &oval);
}
