#include "geo.h"

#include <cmath>
#include <stdexcept>

namespace mapgen {

Robinson::Robinson() {
    ctx_ = proj_context_create();
    const QByteArray def = QStringLiteral("+proj=robin +R=%1 +lon_0=%2 +x_0=0 +y_0=0")
                               .arg(kRadius, 0, 'g', 17)
                               .arg(kLon0, 0, 'g', 17)
                               .toLatin1();
    pj_ = proj_create(ctx_, def.constData());
    if (!pj_) throw std::runtime_error("PROJ cannot create " + def.toStdString());
}

Robinson::~Robinson() {
    proj_destroy(pj_);
    proj_context_destroy(ctx_);
}

QPointF Robinson::projectLonLat(double lon, double phi) const {
    PJ_COORD in = proj_coord(proj_torad(lon), proj_torad(phi), 0, 0);
    PJ_COORD out = proj_trans(pj_, PJ_FWD, in);
    if (!std::isfinite(out.xy.x) || !std::isfinite(out.xy.y))
        throw std::runtime_error("PROJ failed to project a point");
    return QPointF(kCentreX + out.xy.x, kCentreY - out.xy.y);
}

QPointF Robinson::project(double lambda, double phi) const {
    QPointF p = projectLonLat(lambda + kLon0, phi);
    // On the edge meridian PROJ may put the point on either side: the sign of
    // the relative longitude decides. Robinson is symmetric about the centre.
    const double dx = p.x() - kCentreX;
    if (std::abs(lambda) > 90 && (dx > 0) != (lambda > 0)) p.setX(kCentreX - dx);
    return p;
}

}  // namespace mapgen
