// Orbe's own art: the globe icon at every size and the close-button glyph.
#include "art.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cmath>
#include <stdexcept>

namespace mapgen {
namespace {

constexpr double kViewLon = -5.0;   // the globe shows Europe, Africa and the Atlantic
constexpr double kViewLat = 25.0;

struct Ortho {
    double sinc = std::sin(kViewLat * M_PI / 180), cosc = std::cos(kViewLat * M_PI / 180);
    // unit-disc position; hidden points are pushed to the rim
    QPointF at(double lon, double lat, bool *visible) const {
        const double l = (lon - kViewLon) * M_PI / 180, f = lat * M_PI / 180;
        const double x = std::cos(f) * std::sin(l);
        const double y = cosc * std::sin(f) - sinc * std::cos(f) * std::cos(l);
        const double depth = sinc * std::sin(f) + cosc * std::cos(f) * std::cos(l);
        *visible = depth >= 0;
        if (depth >= 0) return QPointF(x, -y);
        const double n = std::hypot(x, y);
        return n > 0 ? QPointF(x / n, -y / n) : QPointF(1, 0);
    }
};

// Land outlines on the unit disc, each ring with at least one visible point.
std::vector<QPolygonF> landOnDisc(const std::vector<Territory> &territories, double minStep) {
    Ortho o;
    std::vector<QPolygonF> out;
    for (const auto &t : territories)
        for (const auto &ring : t.geoRings) {
            QPolygonF poly;
            bool any = false;
            for (const QPointF &g : ring) {
                bool vis = false;
                const QPointF p = o.at(g.x() + kLon0, g.y(), &vis);
                any = any || vis;
                if (!poly.isEmpty() && std::hypot(p.x() - poly.last().x(), p.y() - poly.last().y()) < minStep)
                    continue;
                poly << p;
            }
            if (any && poly.size() >= 3) out.push_back(poly);
        }
    return out;
}

std::vector<QPolygonF> graticuleOnDisc() {
    Ortho o;
    std::vector<QPolygonF> lines;
    auto addLine = [&](auto point, double from, double to) {
        QPolygonF cur;
        for (double s = from; s <= to + 1e-9; s += 2) {
            bool vis = false;
            const QPointF p = point(s, &vis);
            if (vis) cur << p;
            else if (!cur.isEmpty()) {
                if (cur.size() > 1) lines.push_back(cur);
                cur.clear();
            }
        }
        if (cur.size() > 1) lines.push_back(cur);
    };
    for (int lon = -180; lon < 180; lon += 30)
        addLine([&](double lat, bool *v) { return o.at(lon, lat, v); }, -88, 88);
    for (int lat = -60; lat <= 60; lat += 30)
        addLine([&](double lon, bool *v) { return o.at(lon, lat, v); }, -180, 180);
    return lines;
}

const QColor kLand(0x4c, 0xa0, 0x4a);
const QColor kLandEdge(0x2c, 0x6a, 0x2e);
const QColor kRim(0x10, 0x3c, 0x7c);

QImage drawGlobe(int size, const std::vector<QPolygonF> &land, const std::vector<QPolygonF> &grid) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = size / 2.0 - std::max(0.75, size / 64.0);
    const QPointF c(size / 2.0, size / 2.0);
    QRadialGradient sea(c - QPointF(r * 0.35, r * 0.4), r * 1.45);
    sea.setColorAt(0, QColor(0x9c, 0xd4, 0xff));
    sea.setColorAt(0.55, QColor(0x35, 0x86, 0xd8));
    sea.setColorAt(1, QColor(0x12, 0x40, 0x90));
    p.setPen(Qt::NoPen);
    if (size <= 32) {
        sea.setColorAt(0, QColor(0x6c, 0xb0, 0xf0));
        sea.setColorAt(0.6, QColor(0x3a, 0x8a, 0xdc));
        sea.setColorAt(1, QColor(0x25, 0x68, 0xc0));
    }
    p.setBrush(sea);
    p.drawEllipse(c, r, r);
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    p.setClipPath(disc);
    p.save();
    p.translate(c);
    p.scale(r, r);
    if (size >= 48) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0 / r * std::max(1.0, size / 128.0)));
        for (const auto &l : grid) p.drawPolyline(l);
    }
    p.setPen(size >= 64 ? QPen(kLandEdge, 0.6 / r * size / 64.0) : Qt::NoPen);
    p.setBrush(size <= 32 ? QColor(0x35, 0x80, 0x38) : kLand);
    for (const auto &poly : land) p.drawPolygon(poly, Qt::OddEvenFill);
    p.restore();
    if (size <= 32) {
        // small sizes: flat colours read better than shading
        p.setClipping(false);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kRim, 1.0));
        p.drawEllipse(c, r, r);
        p.end();
        return img;
    }
    // light from the upper left
    QRadialGradient shine(c - QPointF(r * 0.4, r * 0.45), r * 1.3);
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(0.5, QColor(255, 255, 255, 0));
    shine.setColorAt(0.85, QColor(0, 0, 40, 0));
    shine.setColorAt(1, QColor(0, 0, 40, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(c, r, r);
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRim, std::max(1.0, size / 64.0)));
    p.drawEllipse(c, r, r);
    p.end();
    return img;
}

// Sixteen colours for the small icon; index 0 is black and marks the
// transparent pixels of the icon.
const QRgb kIconPalette[16] = {
    qRgb(0, 0, 0),       qRgb(0x10, 0x3c, 0x7c), qRgb(0x12, 0x48, 0x9c), qRgb(0x25, 0x68, 0xc0),
    qRgb(0x3a, 0x8a, 0xdc), qRgb(0x6c, 0xb0, 0xf0), qRgb(0xa8, 0xd6, 0xff), qRgb(0xe0, 0xf2, 0xff),
    qRgb(0x1e, 0x5a, 0x22), qRgb(0x35, 0x80, 0x38), qRgb(0x4c, 0xa0, 0x4a), qRgb(0x7c, 0xc0, 0x6a),
    qRgb(0xb4, 0xdc, 0x98), qRgb(0x9c, 0x86, 0x50), qRgb(0x80, 0x80, 0x80), qRgb(0xff, 0xff, 0xff),
};

QImage toSixteen(const QImage &argb) {
    const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_Indexed8);
    QVector<QRgb> table;
    table << qRgba(0, 0, 0, 0);
    for (int i = 1; i < 16; ++i) table << kIconPalette[i];
    out.setColorTable(table);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = src.pixel(x, y);
            if (qAlpha(c) < 128) {
                out.setPixel(x, y, 0);
                continue;
            }
            int best = 1;
            long bestD = -1;
            for (int i = 1; i < 16; ++i) {
                const long dr = qRed(c) - qRed(kIconPalette[i]), dg = qGreen(c) - qGreen(kIconPalette[i]),
                           db = qBlue(c) - qBlue(kIconPalette[i]);
                const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (bestD < 0 || d < bestD) best = i, bestD = d;
            }
            out.setPixel(x, y, uint(best));
        }
    return out;
}

void putLE(QByteArray &b, quint32 v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.append(char((v >> (8 * i)) & 0xff));
}

// A Windows icon file with one 32 x 32 picture of 4 bits per pixel.
QByteArray icoFile(const QImage &indexed) {
    const int w = indexed.width(), h = indexed.height();
    const int xorRow = w / 2, andRow = ((w + 31) / 32) * 4;
    QByteArray dib;
    putLE(dib, 40, 4);
    putLE(dib, quint32(w), 4);
    putLE(dib, quint32(2 * h), 4);
    putLE(dib, 1, 2);
    putLE(dib, 4, 2);
    putLE(dib, 0, 4);
    putLE(dib, quint32((xorRow + andRow) * h), 4);
    putLE(dib, 0, 4);
    putLE(dib, 0, 4);
    putLE(dib, 16, 4);
    putLE(dib, 0, 4);
    for (int i = 0; i < 16; ++i) {
        dib.append(char(qBlue(kIconPalette[i])));
        dib.append(char(qGreen(kIconPalette[i])));
        dib.append(char(qRed(kIconPalette[i])));
        dib.append(char(0));
    }
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; x += 2)
            dib.append(char((indexed.pixelIndex(x, y) << 4) | indexed.pixelIndex(x + 1, y)));
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andRow, 0);
        for (int x = 0; x < w; ++x)
            if (indexed.pixelIndex(x, y) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        dib += row;
    }
    QByteArray ico;
    putLE(ico, 0, 2);
    putLE(ico, 1, 2);
    putLE(ico, 1, 2);
    ico.append(char(w));
    ico.append(char(h));
    ico.append(char(16));
    ico.append(char(0));
    putLE(ico, 1, 2);
    putLE(ico, 4, 2);
    putLE(ico, quint32(dib.size()), 4);
    putLE(ico, 22, 4);
    return ico + dib;
}

QString svgPath(const std::vector<QPolygonF> &polys, double scale, double offset) {
    QString d;
    QTextStream s(&d);
    s.setRealNumberNotation(QTextStream::FixedNotation);
    s.setRealNumberPrecision(1);
    for (const auto &poly : polys) {
        for (int i = 0; i < poly.size(); ++i)
            s << (i ? "L" : "M") << offset + poly[i].x() * scale << ' ' << offset + poly[i].y() * scale;
        s << "Z";
    }
    return d;
}

QString svgLines(const std::vector<QPolygonF> &lines, double scale, double offset) {
    QString d;
    QTextStream s(&d);
    s.setRealNumberNotation(QTextStream::FixedNotation);
    s.setRealNumberPrecision(1);
    for (const auto &l : lines)
        for (int i = 0; i < l.size(); ++i)
            s << (i ? "L" : "M") << offset + l[i].x() * scale << ' ' << offset + l[i].y() * scale;
    return d;
}

QByteArray svgFile(const std::vector<Territory> &territories) {
    const double r = 124, c = 128;
    const auto land = landOnDisc(territories, 1.0 / 160);
    const auto grid = graticuleOnDisc();
    QString svg;
    QTextStream s(&svg);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
      << "<title>Orbe</title>\n<defs>\n"
      << "<radialGradient id=\"sea\" cx=\"83.2\" cy=\"78.4\" r=\"179.8\" gradientUnits=\"userSpaceOnUse\">"
      << "<stop offset=\"0\" stop-color=\"#9cd4ff\"/><stop offset=\"0.55\" stop-color=\"#3586d8\"/>"
      << "<stop offset=\"1\" stop-color=\"#124090\"/></radialGradient>\n"
      << "<radialGradient id=\"shine\" cx=\"78.4\" cy=\"72.2\" r=\"161.2\" gradientUnits=\"userSpaceOnUse\">"
      << "<stop offset=\"0\" stop-color=\"#fff\" stop-opacity=\"0.35\"/>"
      << "<stop offset=\"0.5\" stop-color=\"#fff\" stop-opacity=\"0\"/>"
      << "<stop offset=\"0.85\" stop-color=\"#000028\" stop-opacity=\"0\"/>"
      << "<stop offset=\"1\" stop-color=\"#000028\" stop-opacity=\"0.35\"/></radialGradient>\n"
      << "<clipPath id=\"disc\"><circle cx=\"128\" cy=\"128\" r=\"124\"/></clipPath>\n</defs>\n"
      << "<circle cx=\"128\" cy=\"128\" r=\"124\" fill=\"url(#sea)\"/>\n"
      << "<g clip-path=\"url(#disc)\">\n"
      << "<path fill=\"none\" stroke=\"#fff\" stroke-opacity=\"0.27\" stroke-width=\"2\" d=\""
      << svgLines(grid, r, c) << "\"/>\n"
      << "<path fill=\"#4ca04a\" fill-rule=\"evenodd\" stroke=\"#2c6a2e\" stroke-width=\"0.6\" d=\""
      << svgPath(land, r, c) << "\"/>\n"
      << "<circle cx=\"128\" cy=\"128\" r=\"124\" fill=\"url(#shine)\"/>\n</g>\n"
      << "<circle cx=\"128\" cy=\"128\" r=\"124\" fill=\"none\" stroke=\"#103c7c\" stroke-width=\"4\"/>\n"
      << "</svg>\n";
    s.flush();
    return svg.toUtf8();
}

// ---------------------------------------------------------- close glyph

// The 16 colours of the close glyph.
const QRgb kGlyphPalette[16] = {
    qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),   qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};
enum GlyphColour { Black = 0, Maroon = 1, Green = 2, Olive = 3, Grey = 8, Silver = 7, Lime = 10,
                   Yellow = 11, White = 15 };

QImage blankGlyph() {
    QImage g(18, 18, QImage::Format_Indexed8);
    QVector<QRgb> table(kGlyphPalette, kGlyphPalette + 16);
    g.setColorTable(table);
    g.fill(Olive);
    return g;
}

// An open door under a green light, drawn pixel by pixel.
QImage closeGlyph() {
    QImage g = blankGlyph();
    auto set = [&](int x, int y, int c) { g.setPixel(x, y, uint(c)); };
    // the light: a lamp with a lime lens above the doorway
    for (int x = 5; x <= 8; ++x) set(x, 0, Black);
    set(4, 1, Black); set(5, 1, Lime); set(6, 1, Lime); set(7, 1, Green); set(8, 1, Green); set(9, 1, Black);
    set(4, 2, Black); set(5, 2, Lime); set(6, 2, Green); set(7, 2, Green); set(8, 2, Green); set(9, 2, Black);
    for (int x = 5; x <= 8; ++x) set(x, 3, Black);
    // the doorway: frame and the light falling through it
    for (int x = 2; x <= 11; ++x) set(x, 5, Black);
    for (int y = 5; y <= 16; ++y) { set(2, y, Black); set(11, y, Black); }
    for (int y = 6; y <= 16; ++y)
        for (int x = 3; x <= 10; ++x) set(x, y, y >= 14 ? Silver : White);
    for (int x = 0; x <= 17; ++x) set(x, 17, Grey);
    // the door leaf, swung open towards us on hinges at the frame's right
    const int top[] = {5, 4, 3, 3, 2};       // columns 11..15
    const int bottom[] = {16, 16, 17, 17, 17};
    for (int i = 0; i < 5; ++i) {
        const int x = 11 + i;
        for (int y = top[i]; y <= bottom[i]; ++y) {
            const bool edge = y == top[i] || y == bottom[i] || x == 15 || x == 11;
            set(x, y, edge ? Black : Maroon);
        }
    }
    set(14, 10, Yellow);
    return g;
}

// The disabled look: the drawing's black lines in grey, each with a white
// shadow below and to the right; everything else background.
QImage greyedGlyph(const QImage &g) {
    QImage out = blankGlyph();
    auto line = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 18 && y < 18 && g.pixelIndex(x, y) == Black;
    };
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            if (line(x - 1, y - 1) && !line(x, y)) out.setPixel(x, y, White);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            if (line(x, y)) out.setPixel(x, y, Grey);
    return out;
}

void save(const QImage &img, const QString &path) {
    if (!img.save(path, "PNG", 0)) throw std::runtime_error("cannot write " + path.toStdString());
}

void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace

void writeArt(const QString &assets, const std::vector<Territory> &territories) {
    const auto grid = graticuleOnDisc();
    for (int size : {16, 22, 32, 48, 64, 128, 256}) {
        const auto land = landOnDisc(territories, 0.5 / size);
        QImage img = drawGlobe(size, land, grid);
        if (size == 32) {
            const QImage small = toSixteen(img);
            save(small, assets + "/icons/orbe-32.png");
            write(assets + "/icons/orbe.ico", icoFile(small));
        } else {
            save(img.convertToFormat(QImage::Format_ARGB32), assets + QStringLiteral("/icons/orbe-%1.png").arg(size));
        }
    }
    write(assets + "/icons/orbe.svg", svgFile(territories));
    const QImage door = closeGlyph();
    save(door, assets + "/glyphs/close.png");
    save(greyedGlyph(door), assets + "/glyphs/close-disabled.png");
}

}  // namespace mapgen
