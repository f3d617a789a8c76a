// Shared pieces of the map generator: the projection and the map's data.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QVector>

#include <proj.h>

namespace mapgen {

constexpr int kWidth = 3732;
constexpr int kHeight = 1914;
constexpr double kRadius = 697.507774708768;   // sphere radius in pixels
constexpr double kLon0 = 10.136030510815;      // central meridian, degrees east
constexpr double kCentreX = 1865.5;            // pixel x of the projection origin
constexpr double kCentreY = 956.5;             // pixel y of the projection origin

// Robinson as PROJ computes it. Positions are in pixel-centre coordinates:
// integer values are the centres of pixels.
class Robinson {
public:
    Robinson();
    ~Robinson();
    Robinson(const Robinson &) = delete;
    Robinson &operator=(const Robinson &) = delete;

    // lambda: longitude relative to the central meridian, -180..180 (the
    // sign decides the side at the edge meridian); phi: latitude. Degrees.
    QPointF project(double lambda, double phi) const;
    // Geographic longitude east, latitude; degrees.
    QPointF projectLonLat(double lon, double phi) const;

private:
    PJ_CONTEXT *ctx_;
    PJ *pj_;
};

struct Territory {
    QString iso;       // ISO 3166-1 alpha-2, or -n for areas that no ISO code lists
    QString label;     // English name, upper case, empty for none
    QString shortLabel;  // abbreviated name for tight places, or empty
    int id = 0;        // 1.. in the country-id raster
    QVector<QPolygonF> rings;   // projected
    QVector<QVector<QPointF>> geoRings;  // lambda, phi (relative longitudes)
    QPainterPath path;
    int colour = 0;
    long pixels = 0;
};

struct Place {
    QString iso;
    QString name;        // "País (Capital)"
    QString capitalEn;   // map label
    double lon = 0, lat = 0;
    int x = 0, y = 0;    // star centre, integer pixel
};

}  // namespace mapgen
