#pragma once
#include <QString>
#include <vector>

#include "geo.h"

namespace mapgen {
// Writes icons/orbe.ico, icons/orbe-N.png, icons/orbe.svg, glyphs/close.png
// and glyphs/close-disabled.png under the assets directory.
void writeArt(const QString &assets, const std::vector<Territory> &territories);
}
