// Draws Orbe's world map, writes the place list with the star positions and
// the country-id raster the asset checks read.
//
// Usage: mapgen-render <data.json> <labels.json> <assets dir> <check dir>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

#include "art.h"
#include "geo.h"
#include "jpeg.h"
#include "text.h"

using namespace mapgen;

namespace {

// ---------------------------------------------------------------- colours

const QColor kOcean(0xd6, 0xea, 0xf8);
const QColor kGraticule(0xa9, 0xc9, 0xe3);
const QColor kBorder(0x80, 0x80, 0x80);
const QColor kCoast(0x5d, 0x86, 0xab);
const QColor kWaterText(0x2f, 0x62, 0x96);
const QColor kCountryText(0x3a, 0x3a, 0x3a);
const QColor kCapitalText(0x10, 0x10, 0x10);
const QColor kIslandText(0x4a, 0x3a, 0x2a);
const QColor kStar(0xc4, 0x12, 0x20);
const QColor kUnclaimed(0xe4, 0xe4, 0xe4);

// Pastel fills; neighbours never share one.
const QColor kPastels[] = {
    QColor(0xf6, 0xc9, 0xd2), QColor(0xfa, 0xec, 0xa2), QColor(0xc8, 0xe6, 0xab),
    QColor(0xf9, 0xd2, 0xa6), QColor(0xd7, 0xcb, 0xef), QColor(0xbd, 0xe3, 0xe0),
    QColor(0xe6, 0xd5, 0xb8),
};
constexpr int kPastelCount = sizeof kPastels / sizeof kPastels[0];
// capital names: how much the own country's land counts against a spot
const double kOwnLandWeight = 0.5;
// country names: share of the name's box that must lie on the country
const double kInside = 0.97;
// countries at least this large are named before the capitals
const long kNamedFirst = 1500;

// ------------------------------------------------------------ occupancy

// Boxes already taken by labels and stars, bucketed for quick tests.
class Occupancy {
public:
    bool isFree(const QRectF &r) const {
        for (int gy = cell(r.top()); gy <= cell(r.bottom()); ++gy)
            for (int gx = cell(r.left()); gx <= cell(r.right()); ++gx) {
                auto it = grid_.find(key(gx, gy));
                if (it == grid_.end()) continue;
                for (int i : it->second)
                    if (boxes_[i].intersects(r)) return false;
            }
        return true;
    }
    bool isFree(const std::vector<QRectF> &rs) const {
        return std::all_of(rs.begin(), rs.end(), [this](const QRectF &r) { return isFree(r); });
    }
    std::vector<QRectF> within(const QRectF &r) const {
        std::vector<QRectF> v;
        for (const auto &b : boxes_)
            if (b.intersects(r)) v.push_back(b);
        return v;
    }
    void add(const QRectF &r) {
        const int index = int(boxes_.size());
        boxes_.push_back(r);
        for (int gy = cell(r.top()); gy <= cell(r.bottom()); ++gy)
            for (int gx = cell(r.left()); gx <= cell(r.right()); ++gx)
                grid_[key(gx, gy)].push_back(index);
    }

private:
    static int cell(double v) { return int(std::floor(v / 32.0)); }
    static long long key(int x, int y) { return (long long)(y + 1000) * 100000 + (x + 1000); }
    std::vector<QRectF> boxes_;
    std::map<long long, std::vector<int>> grid_;
};

// ---------------------------------------------------------------- labels

struct Label {
    QPainterPath path;   // glyph outlines, positioned
    QRectF box;          // ink box with margin
    QColor colour;
    double halo = 2.5;
};

QFont makeFont(const QString &family, double pixelSize, bool bold, bool italic,
               double spacing = 0) {
    QFont f(family);
    f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    if (spacing > 0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return f;
}

// Lines of text, each centred, as one path centred on (0, 0).
QPainterPath textBlock(const QStringList &lines, const QFont &font, double lineGap = 1.08) {
    QPainterPath all;
    QFontMetricsF fm(font);
    const double lineHeight = fm.capHeight() * 1.0 + fm.height() * 0.0;
    const double step = std::max(lineHeight * 1.45, fm.height() * 0.80) * lineGap;
    const int n = int(lines.size());
    for (int i = 0; i < n; ++i) {
        QPainterPath p;
        p.addText(0, 0, font, lines[i]);
        const QRectF b = p.boundingRect();
        const double baseline = (i - (n - 1) / 2.0) * step + fm.capHeight() / 2.0;
        p.translate(-b.center().x(), baseline);
        all.addPath(p);
    }
    return all;
}

Label makeLabel(const QPainterPath &block, QPointF centre, const QColor &colour,
                double margin, double halo = 2.5) {
    Label l;
    l.path = block.translated(centre);
    l.box = l.path.boundingRect().adjusted(-margin, -margin, margin, margin);
    l.colour = colour;
    l.halo = halo;
    return l;
}

void drawLabel(QPainter &p, const Label &l) {
    p.setBrush(Qt::NoBrush);
    if (l.halo > 0) {
        QPen halo(QColor(255, 255, 255, 210), l.halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(halo);
        p.drawPath(l.path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(l.colour);
    p.drawPath(l.path);
}

QPainterPath starPath(QPointF c, double outer) {
    QPainterPath s;
    const double inner = outer * 0.42;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = (i % 2) ? inner : outer;
        QPointF v(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0) s.moveTo(v);
        else s.lineTo(v);
    }
    s.closeSubpath();
    return s;
}

// ------------------------------------------------------------ the map

class MapMaker {
public:
    MapMaker(const QJsonObject &data, const QJsonObject &labels) : labels_(labels) {
        const QJsonArray feats = data["features"].toArray();
        int id = 0;
        for (const auto &v : feats) {
            const QJsonObject o = v.toObject();
            Territory t;
            t.iso = o["iso"].toString();
            t.label = o["label"].toString();
            t.shortLabel = o["short"].toString();
            t.id = ++id;
            for (const auto &rv : o["rings"].toArray()) {
                const QJsonArray r = rv.toArray();
                QVector<QPointF> geo;
                QPolygonF poly;
                for (qsizetype i = 0; i + 1 < r.size(); i += 2) {
                    const double lam = r[i].toDouble(), phi = r[i + 1].toDouble();
                    geo.push_back(QPointF(lam, phi));
                    poly.push_back(proj_.project(lam, phi));
                }
                t.geoRings.push_back(geo);
                t.rings.push_back(poly);
                t.path.addPolygon(poly);
                t.path.closeSubpath();
            }
            t.path.setFillRule(Qt::OddEvenFill);
            // Western Sahara is put together from two outlines (see
            // prepare.mjs): merged, they leave no seam inside it
            if (t.iso == QLatin1String("EH")) t.path = t.path.simplified();
            index_[t.iso] = int(territories_.size());
            territories_.push_back(std::move(t));
        }
        for (const auto &v : data["places"].toArray()) {
            const QJsonObject o = v.toObject();
            Place p;
            p.iso = o["iso"].toString();
            p.name = o["name"].toString();
            p.capitalEn = o["capitalEn"].toString();
            p.lon = o["lon"].toDouble();
            p.lat = o["lat"].toDouble();
            double lam = p.lon - kLon0;
            if (lam < -180) lam += 360;
            if (lam > 180) lam -= 360;
            const QPointF q = proj_.project(lam, p.lat);
            p.x = int(std::lround(q.x()));
            p.y = int(std::lround(q.y()));
            places_.push_back(p);
        }
    }

    const std::vector<Territory> &territories() const { return territories_; }
    const std::vector<Place> &places() const { return places_; }
    const QImage &ids() const { return ids_; }
    // 255 inside the map's oval, 0 outside
    QImage ovalMask() const {
        QImage m(kWidth, kHeight, QImage::Format_Grayscale8);
        m.fill(0);
        QPainter p(&m);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(0.5, 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(sphere());
        return m;
    }

    void build() {
        rasteriseIds();
        colour();
        image_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
        image_.fill(Qt::white);
        QPainter p(&image_);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(0.5, 0.5);   // pixel-centre coordinates
        drawBase(p);
        placeLabels(p);
        drawLegend(p);
        drawNotes(p);
    }

    const QImage &image() const { return image_; }

private:
    // ---- geometry helpers
    QPainterPath sphere() const {
        QPainterPath s;
        QPolygonF poly;
        for (double phi = -90; phi <= 90.0001; phi += 0.5) poly << proj_.project(180, phi);
        for (double phi = 90; phi >= -90.0001; phi -= 0.5) poly << proj_.project(-180, phi);
        s.addPolygon(poly);
        s.closeSubpath();
        return s;
    }

    // ---- country-id raster: territory id in the low 16 bits, 0 for water.
    void rasteriseIds() {
        ids_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
        ids_.fill(QColor(0, 0, 0));
        QPainter p(&ids_);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(0.5, 0.5);
        p.setPen(Qt::NoPen);
        for (const auto &t : territories_) {
            p.setBrush(QColor((t.id >> 8) & 0xff, t.id & 0xff, 0));
            p.drawPath(t.path);
        }
        p.end();
        // Coasts: water pixels that a territory's outline passes through
        // belong to it, so that atolls and thin islands whose area covers no
        // pixel centre still show in the raster.
        QImage outline(kWidth, kHeight, QImage::Format_RGB32);
        outline.fill(QColor(0, 0, 0));
        QPainter q(&outline);
        q.setRenderHint(QPainter::Antialiasing, false);
        q.translate(0.5, 0.5);
        q.setBrush(Qt::NoBrush);
        for (const auto &t : territories_) {
            q.setPen(QPen(QColor((t.id >> 8) & 0xff, t.id & 0xff, 0), 0));
            for (const auto &ring : t.rings) q.drawPolygon(ring);
        }
        q.end();
        for (int y = 0; y < kHeight; ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(ids_.scanLine(y));
            const QRgb *line = reinterpret_cast<const QRgb *>(outline.constScanLine(y));
            for (int x = 0; x < kWidth; ++x)
                if (idOf(row[x]) == 0 && idOf(line[x]) != 0) row[x] = line[x];
        }
        // Islands smaller than a pixel keep the pixel at their middle where
        // that pixel is water.
        for (const auto &t : territories_)
            for (const auto &ring : t.rings) {
                const QRectF b = ring.boundingRect();
                if (b.width() > 2 || b.height() > 2) continue;
                const int x = int(std::lround(b.center().x())), y = int(std::lround(b.center().y()));
                if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
                if (idAt(x, y) == 0) ids_.setPixel(x, y, qRgb((t.id >> 8) & 0xff, t.id & 0xff, 0));
            }
        countPixels();
        // A territory smaller than a pixel everywhere (an enclave such as the
        // Vatican) keeps the pixel at the middle of its largest outline.
        for (const auto &t : territories_) {
            if (t.pixels > 0 || t.rings.isEmpty()) continue;
            const QPolygonF *largest = &t.rings.front();
            for (const auto &ring : t.rings)
                if (ring.boundingRect().width() + ring.boundingRect().height() >
                    largest->boundingRect().width() + largest->boundingRect().height())
                    largest = &ring;
            const QPointF c = largest->boundingRect().center();
            ids_.setPixel(int(std::lround(c.x())), int(std::lround(c.y())),
                          qRgb((t.id >> 8) & 0xff, t.id & 0xff, 0));
        }
        countPixels();
    }

    void countPixels() {
        for (auto &t : territories_) t.pixels = 0;
        for (int y = 0; y < kHeight; ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(ids_.constScanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                const int id = idOf(row[x]);
                if (id) territories_[id - 1].pixels++;
            }
        }
    }
    static int idOf(QRgb c) { return (qRed(c) << 8) | qGreen(c); }
    int idAt(int x, int y) const { return idOf(ids_.pixel(x, y)); }

    // ---- colouring: territories within 4 px of each other are neighbours.
    void colour() {
        const int n = int(territories_.size());
        std::vector<std::set<int>> adj(n + 1);
        const int offsets[][2] = {{1, 0}, {0, 1}, {2, 0}, {0, 2}, {3, 0}, {0, 3}, {4, 0}, {0, 4},
                                  {2, 2}, {3, 3}, {2, -2}, {3, -3}, {1, 1}, {1, -1}};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int a = idAt(x, y);
                if (!a) continue;
                for (const auto &o : offsets) {
                    const int xx = x + o[0], yy = y + o[1];
                    if (xx < 0 || yy < 0 || xx >= kWidth || yy >= kHeight) continue;
                    const int b = idAt(xx, yy);
                    if (b && b != a) {
                        adj[a].insert(b);
                        adj[b].insert(a);
                    }
                }
            }
        // DSatur: colour the most constrained territory first.
        std::vector<int> col(n + 1, -1);
        std::vector<int> usage(kPastelCount, 0);
        for (int step = 0; step < n; ++step) {
            int best = -1, bestSat = -1, bestDeg = -1;
            for (int i = 1; i <= n; ++i) {
                if (col[i] >= 0) continue;
                std::set<int> seen;
                for (int j : adj[i])
                    if (col[j] >= 0) seen.insert(col[j]);
                const int sat = int(seen.size()), deg = int(adj[i].size());
                if (sat > bestSat || (sat == bestSat && deg > bestDeg)) {
                    best = i, bestSat = sat, bestDeg = deg;
                }
            }
            std::vector<bool> taken(kPastelCount, false);
            for (int j : adj[best])
                if (col[j] >= 0) taken[col[j]] = true;
            int choice = -1;
            // the first six hues; the seventh only where they run out
            for (int c = 0; c < kPastelCount - 1; ++c)
                if (!taken[c] && (choice < 0 || usage[c] < usage[choice])) choice = c;
            if (choice < 0 && !taken[kPastelCount - 1]) choice = kPastelCount - 1;
            if (choice < 0) throw std::runtime_error("ran out of pastel colours");
            col[best] = choice;
            usage[choice]++;
        }
        for (auto &t : territories_) t.colour = col[t.id];
        adjacency_ = adj;
    }

    void drawBase(QPainter &p) {
        const QPainterPath oval = sphere();
        p.setPen(Qt::NoPen);
        p.setBrush(kOcean);
        p.drawPath(oval);
        p.save();
        p.setClipPath(oval);
        // graticule every 15 degrees, over the water only (land covers it)
        p.setPen(QPen(kGraticule, 0.8));
        p.setBrush(Qt::NoBrush);
        for (int lat = -75; lat <= 75; lat += 15) {
            QPolygonF line;
            for (double lam = -180; lam <= 180.0001; lam += 1) line << proj_.project(lam, lat);
            p.drawPolyline(line);
        }
        for (int lon = -180; lon < 180; lon += 15) {
            double lam = lon - kLon0;
            if (lam < -180) lam += 360;
            QPolygonF line;
            for (double phi = -90; phi <= 90.0001; phi += 1) line << proj_.project(lam, phi);
            p.drawPolyline(line);
        }
        // land
        for (const auto &t : territories_) {
            p.setPen(Qt::NoPen);
            p.setBrush(t.iso.startsWith('-') ? kUnclaimed : kPastels[t.colour]);
            p.drawPath(t.path);
        }
        // tiny islands: a dot so that they can be seen
        for (const auto &t : territories_)
            for (const auto &ring : t.rings) {
                const QRectF b = ring.boundingRect();
                if (b.width() > 1.6 || b.height() > 1.6) continue;
                p.setPen(QPen(kCoast, 0.5));
                p.setBrush(t.iso.startsWith('-') ? kUnclaimed : kPastels[t.colour].darker(115));
                p.drawEllipse(b.center(), 1.1, 1.1);
            }
        // borders and coasts
        p.setBrush(Qt::NoBrush);
        for (const auto &t : territories_) {
            p.setPen(QPen(kBorder, 0.7));
            p.drawPath(t.path);
        }
        p.restore();
        p.setPen(QPen(QColor(0x60, 0x80, 0xa0), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(oval);
    }

    // ---- labels
    void placeLabels(QPainter &p) {
        Occupancy occ;
        const QPainterPath oval = sphere();
        // the legend and notes boxes
        occ.add(legendBox_);
        occ.add(notesBox_);
        // stars first: nothing may cover them
        for (const auto &pl : places_) starOcc_.add(QRectF(pl.x - 5.5, pl.y - 5.5, 11, 11));
        std::vector<Label> out;
        // capitals' names beside their stars, the large countries, the
        // water, the capitals that need a leader line, the other countries
        std::vector<bool> named(places_.size(), false);
        placeCapitalLabels(occ, out, {7.0, 11.0}, named);
        placeCountryLabels(occ, out, kNamedFirst, LONG_MAX);
        placeWaterLabels(occ, out, oval);
        placeCapitalLabels(occ, out, {16.0, 22.0, 30.0, 40.0, 52.0, 66.0, 84.0, 104.0, 130.0, 160.0, 200.0}, named);
        placeCountryLabels(occ, out, 60, kNamedFirst);
        for (size_t i = 0; i < places_.size(); ++i)
            if (!named[i])
                throw std::runtime_error("no room for the label of " + places_[i].capitalEn.toStdString());
        placeIslandLabels(occ, out);
        // no two labels overlap, and no label covers a star
        for (size_t i = 0; i < out.size(); ++i) {
            for (size_t j = i + 1; j < out.size(); ++j)
                if (out[i].path.boundingRect().intersects(out[j].path.boundingRect()))
                    throw std::runtime_error("overlapping labels");
            for (const auto &pl : places_)
                if (out[i].path.boundingRect().intersects(QRectF(pl.x - 5, pl.y - 5, 10, 10)))
                    throw std::runtime_error("a label covers the star of " + pl.capitalEn.toStdString());
        }
        for (const auto &l : out) drawLabel(p, l);
        // leader lines were collected with the capital labels
        for (const auto &ln : leaders_) {
            p.setPen(QPen(QColor(255, 255, 255, 200), 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(ln);
            p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.9, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(ln);
        }
        for (const auto &pl : places_) {
            const QPainterPath s = starPath(QPointF(pl.x, pl.y), 5.0);
            p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(s);
            p.setPen(QPen(QColor(0x60, 0x00, 0x08), 0.6));
            p.setBrush(kStar);
            p.drawPath(s);
        }
    }

    void placeCapitalLabels(Occupancy &occ, std::vector<Label> &out, std::initializer_list<double> gaps,
                            std::vector<bool> &named) {
        const QFont font = makeFont("Liberation Sans", 10, false, false);
        // most crowded first, so that they get the near positions
        std::vector<int> order(places_.size());
        std::vector<int> crowd(places_.size(), 0);
        for (size_t i = 0; i < places_.size(); ++i) {
            order[i] = int(i);
            for (size_t j = 0; j < places_.size(); ++j)
                if (i != j && std::hypot(places_[i].x - places_[j].x, places_[i].y - places_[j].y) < 40)
                    crowd[i]++;
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return crowd[a] > crowd[b]; });
        for (int i : order) {
            if (named[i]) continue;
            const Place &pl = places_[i];
            const QPainterPath block = textBlock({pl.capitalEn}, font);
            const QRectF b = block.boundingRect();
            const double w = b.width(), h = b.height();
            const QPointF c(pl.x, pl.y);
            const bool near = *gaps.begin() < 11.5;
            int ownId = index_.count(pl.iso) ? territories_[index_.at(pl.iso)].id : 0;
            double bestScore = 1e18;
            Label best;
            double bestGap = 0;
            int rank = 0;
            for (int attempt = 0; attempt < (near ? 1 : 3) && bestScore >= 1e18; ++attempt)
            for (double gap : gaps) {
                const bool crossStars = attempt >= 1, crossLabels = attempt == 2;
                if (crossLabels && gap == *gaps.begin() && std::getenv("MAPGEN_VERBOSE"))
                    std::fprintf(stderr, "leader crossing labels: %s\n", qPrintable(pl.capitalEn));
                // right, left, upper right, lower right, upper left, lower left, above, below
                std::vector<QPointF> cands = {
                    c + QPointF(gap + w / 2, 0), c - QPointF(gap + w / 2, 0),
                    c + QPointF(gap * 0.7 + w / 2, -gap * 0.7 - h / 2 + 2),
                    c + QPointF(gap * 0.7 + w / 2, gap * 0.7 + h / 2 - 2),
                    c + QPointF(-gap * 0.7 - w / 2, -gap * 0.7 - h / 2 + 2),
                    c + QPointF(-gap * 0.7 - w / 2, gap * 0.7 + h / 2 - 2),
                    c + QPointF(0, -gap - h / 2 + 1), c + QPointF(0, gap + h / 2 - 1)};
                if (!near)   // and 32 more directions farther out
                    for (int k = 0; k < 32; ++k) {
                        const double a = M_PI / 32 + k * M_PI / 16;
                        cands.push_back(c + QPointF((gap + w / 2) * std::cos(a), (gap + h / 2) * std::sin(a)));
                    }
                for (const QPointF &at : cands) {
                    ++rank;
                    Label l = makeLabel(block, at, kCapitalText, 1.0, 2.2);
                    if (!insideFrame(l.box) || !freeForLabel(occ, l.box)) continue;
                    // a leader crosses no other label, and no other star either
                    // but for those packed round its own (it leaves among them);
                    // failing that it may cross stars, and last labels
                    if (gap > 11.0) {
                        const auto dots = leaderDots(leader(pl, l.box), QPointF(pl.x, pl.y), 12.0);
                        if (!crossLabels && (!occ.isFree(dots) || (!crossStars && !starOcc_.isFree(dots)))) continue;
                    }
                    // near the star: keep off the neighbours' land, where
                    // their own names go
                    const double score = near ? foreignShare(l.box, ownId) + 0.02 * rank : rank;
                    if (score < bestScore) {
                        bestScore = score;
                        best = l;
                        bestGap = gap;
                    }
                }
                if (!near && bestScore < 1e18) break;
            }
            if (bestScore < 1e18) {
                if (bestGap > 11.0) {
                    const QLineF ln = leader(pl, best.box);
                    leaders_.push_back(ln);
                    for (const QRectF &dot : leaderDots(ln)) leaderOcc_.add(dot);
                    if (std::getenv("MAPGEN_VERBOSE")) std::fprintf(stderr, "leader: %s\n", qPrintable(pl.capitalEn));
                }
                occ.add(best.box);
                out.push_back(best);
                named[i] = true;
            }
        }
    }

    bool freeForLabel(const Occupancy &occ, const QRectF &r) const {
        return occ.isFree(r) && starOcc_.isFree(r) && leaderOcc_.isFree(r);
    }

    // A leader from just outside the star to the label box's nearest edge.
    static QLineF leader(const Place &pl, const QRectF &box) {
        const QPointF end(std::clamp<double>(pl.x, box.left() + 1, box.right() - 1),
                          std::clamp<double>(pl.y, box.top() + 1, box.bottom() - 1));
        QLineF ln(QPointF(pl.x, pl.y), end);
        ln.setP1(ln.pointAt(6.0 / std::max(ln.length(), 6.1)));   // starts at the star's edge
        return ln;
    }
    // small boxes along a leader, for the occupancy tests
    static std::vector<QRectF> leaderDots(const QLineF &ln, QPointF skipNear = QPointF(-1e9, -1e9),
                                          double skipRadius = 0) {
        std::vector<QRectF> dots;
        const int n = std::max(1, int(std::ceil(ln.length() / 2.0)));
        // the first dot clear of the star's box, the last one short of the label
        for (int k = 1; k < n; ++k) {
            const QPointF p = ln.pointAt(double(k) / n);
            if (QLineF(p, skipNear).length() < skipRadius) continue;
            dots.emplace_back(p.x() - 1, p.y() - 1, 2, 2);
        }
        return dots;
    }

    bool insideFrame(const QRectF &r) const {
        return r.left() >= 2 && r.top() >= 2 && r.right() <= kWidth - 3 && r.bottom() <= kHeight - 3;
    }

    QPointF geoPoint(double lon, double lat) const {
        double lam = lon - kLon0;
        if (lam < -180) lam += 360;
        if (lam > 180) lam -= 360;
        return proj_.project(lam, lat);
    }

    // Tries the wanted centre, then nearby ones on a widening spiral.
    bool placeNear(Occupancy &occ, std::vector<Label> &out, const QPainterPath &block,
                   QPointF want, const QColor &colour, double radius,
                   const std::function<bool(const QRectF &)> &ok) {
        for (double r = 0; r <= radius; r += 3) {
            const int steps = r == 0 ? 1 : int(std::ceil(2 * M_PI * r / 4));
            for (int k = 0; k < steps; ++k) {
                const double a = 2 * M_PI * k / steps;
                Label l = makeLabel(block, want + QPointF(r * std::cos(a), r * std::sin(a)), colour, 1.5);
                if (!insideFrame(l.box) || !freeForLabel(occ, l.box) || !ok(l.box)) continue;
                occ.add(l.box);
                out.push_back(l);
                return true;
            }
        }
        return false;
    }

    // share of the box's pixels on land of another territory, plus half the
    // share on the territory's own land: water suits a capital's name best
    double foreignShare(const QRectF &r, int ownId) const {
        int foreign = 0, own = 0, all = 0;
        for (int y = int(r.top()); y <= int(r.bottom()); ++y)
            for (int x = int(r.left()); x <= int(r.right()); ++x) {
                if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
                all++;
                const int id = idAt(x, y);
                if (id && id != ownId) foreign++;
                if (id && id == ownId) own++;
            }
        return all ? (foreign + kOwnLandWeight * own) / all : 0;
    }

    // fraction of the box's pixels that are water
    double waterShare(const QRectF &r) const {
        int water = 0, all = 0;
        for (int y = int(r.top()); y <= int(r.bottom()); y += 2)
            for (int x = int(r.left()); x <= int(r.right()); x += 2) {
                if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
                all++;
                if (idAt(x, y) == 0) water++;
            }
        return all ? double(water) / all : 0;
    }

    void placeWaterLabels(Occupancy &occ, std::vector<Label> &out, const QPainterPath &oval) {
        auto inOval = [&](const QRectF &r) {
            return oval.contains(r.topLeft()) && oval.contains(r.topRight()) &&
                   oval.contains(r.bottomLeft()) && oval.contains(r.bottomRight());
        };
        for (const auto &v : labels_["ocean"].toArray()) {
            const QJsonArray a = v.toArray();
            const QFont f = makeFont("Liberation Serif", 24, false, true, 6);
            const QPainterPath block = textBlock(a[0].toString().split(' ').size() > 2
                                                     ? QStringList{a[0].toString().section(' ', 0, 0),
                                                                   a[0].toString().section(' ', 1)}
                                                     : QStringList{a[0].toString()},
                                                 f, 1.25);
            if (!placeNear(occ, out, block, geoPoint(a[1].toDouble(), a[2].toDouble()), kWaterText, 60,
                           [&](const QRectF &r) { return inOval(r) && waterShare(r) > 0.97; }))
                std::fprintf(stderr, "warning: no room for %s\n", qPrintable(a[0].toString()));
        }
        for (const auto &v : labels_["sea"].toArray()) {
            const QJsonArray a = v.toArray();
            const QString name = a[0].toString();
            const QFont f = makeFont("Liberation Serif", 13, false, true, 0.6);
            QStringList lines{name};
            if (name.count(' ') >= 2) {
                const int mid = name.indexOf(' ', name.size() / 2 - 3);
                lines = {name.left(mid), name.mid(mid + 1)};
            }
            const QPointF want = geoPoint(a[1].toDouble(), a[2].toDouble());
            if (placeNear(occ, out, textBlock(lines, f), want, kWaterText, 30,
                          [&](const QRectF &r) { return inOval(r) && waterShare(r) > 0.9; }))
                continue;
            // narrow waters: smaller, and the name may run over the coast
            const QFont small = makeFont("Liberation Serif", 10.5, false, true, 0.3);
            if (lines.size() == 1 && name.contains(' ')) {
                const int mid = name.lastIndexOf(' ', name.size() / 2 + 2);
                lines = {name.left(mid), name.mid(mid + 1)};
            }
            if (!placeNear(occ, out, textBlock(lines, small), want, kWaterText, 40,
                           [&](const QRectF &r) { return inOval(r) && waterShare(r) > 0.5; }) &&
                !placeNear(occ, out, textBlock(lines, makeFont("Liberation Serif", 9, false, true)), want,
                           kWaterText, 50, [&](const QRectF &r) { return inOval(r) && waterShare(r) > 0.4; }))
                std::fprintf(stderr, "warning: no room for %s\n", qPrintable(name));
        }
    }

    void placeIslandLabels(Occupancy &occ, std::vector<Label> &out) {
        for (const auto &v : labels_["island"].toArray()) {
            const QJsonArray a = v.toArray();
            const QFont f = makeFont("Liberation Sans", 10, false, true);
            const QPainterPath block = textBlock({a[0].toString()}, f);
            placeNear(occ, out, block, geoPoint(a[1].toDouble(), a[2].toDouble()), kIslandText, 12,
                      [](const QRectF &) { return true; });
        }
        for (const auto &v : labels_["group"].toArray()) {
            const QJsonArray a = v.toArray();
            const QFont f = makeFont("Liberation Sans", 9, false, true, 1.2);
            const QPainterPath block = textBlock({a[0].toString()}, f);
            placeNear(occ, out, block, geoPoint(a[1].toDouble(), a[2].toDouble()), kIslandText, 20,
                      [](const QRectF &) { return true; });
        }
    }

    // Country names: the largest size whose box fits inside the country.
    // countries of at least minPixels and fewer than maxPixels pixels
    void placeCountryLabels(Occupancy &occ, std::vector<Label> &out, long minPixels, long maxPixels) {
        std::vector<int> order;
        for (size_t i = 0; i < territories_.size(); ++i)
            if (!territories_[i].label.isEmpty() && territories_[i].pixels >= minPixels &&
                territories_[i].pixels < maxPixels)
                order.push_back(int(i));
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return territories_[a].pixels > territories_[b].pixels; });
        for (int i : order) fitCountry(territories_[i], occ, out);
    }

    void fitCountry(const Territory &t, Occupancy &occ, std::vector<Label> &out) {
        // bounding box of the territory's pixels
        int x0 = kWidth, y0 = kHeight, x1 = -1, y1 = -1;
        const QRectF pb = t.path.boundingRect();
        const int bx0 = std::max(0, int(pb.left()) - 1), by0 = std::max(0, int(pb.top()) - 1);
        const int bx1 = std::min(kWidth - 1, int(pb.right()) + 2), by1 = std::min(kHeight - 1, int(pb.bottom()) + 2);
        for (int y = by0; y <= by1; ++y)
            for (int x = bx0; x <= bx1; ++x)
                if (idAt(x, y) == t.id) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        if (x1 < 0) return;
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        // integral image of "inside"
        std::vector<int> sum(size_t(w + 1) * (h + 1), 0);
        auto S = [&](int x, int y) -> int & { return sum[size_t(y) * (w + 1) + x]; };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                S(x + 1, y + 1) = (idAt(x0 + x, y0 + y) == t.id) + S(x, y + 1) + S(x + 1, y) - S(x, y);
        auto insideCount = [&](const QRectF &r) {
            const int ax = std::clamp(int(std::floor(r.left())) - x0, 0, w);
            const int ay = std::clamp(int(std::floor(r.top())) - y0, 0, h);
            const int bx = std::clamp(int(std::ceil(r.right())) - x0, 0, w);
            const int by = std::clamp(int(std::ceil(r.bottom())) - y0, 0, h);
            return S(bx, by) - S(ax, by) - S(bx, ay) + S(ax, ay);
        };
        // the point deepest inside (chamfer distance)
        std::vector<float> dist(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dist[size_t(y) * w + x] = idAt(x0 + x, y0 + y) == t.id ? 1e9f : 0.f;
        auto D = [&](int x, int y) -> float {
            if (x < 0 || y < 0 || x >= w || y >= h) return 0.f;
            return dist[size_t(y) * w + x];
        };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float &d = dist[size_t(y) * w + x];
                if (d == 0) continue;
                d = std::min({d, D(x - 1, y) + 1, D(x, y - 1) + 1, D(x - 1, y - 1) + 1.414f, D(x + 1, y - 1) + 1.414f});
            }
        QPointF pole;
        float deepest = -1;
        for (int y = h - 1; y >= 0; --y)
            for (int x = w - 1; x >= 0; --x) {
                float &d = dist[size_t(y) * w + x];
                if (d == 0) continue;
                d = std::min({d, D(x + 1, y) + 1, D(x, y + 1) + 1, D(x + 1, y + 1) + 1.414f, D(x - 1, y + 1) + 1.414f});
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (dist[size_t(y) * w + x] > deepest) {
                    deepest = dist[size_t(y) * w + x];
                    pole = QPointF(x0 + x, y0 + y);
                }

        if (fitName(t, t.label, occ, out, x0, y0, x1, y1, pole, insideCount)) return;
        if (!t.shortLabel.isEmpty() && fitName(t, t.shortLabel, occ, out, x0, y0, x1, y1, pole, insideCount)) return;
        if (std::getenv("MAPGEN_VERBOSE"))
            std::fprintf(stderr, "unlabelled: %s (%ld px)\n", qPrintable(t.label), t.pixels);
    }

    // Names upright (reading upwards) only when that is much larger than
    // the largest horizontal name that fits.
    static constexpr double kUprightGain = 1.5;

    template <typename Count>
    bool fitName(const Territory &t, const QString &name, Occupancy &occ, std::vector<Label> &out,
                 int x0, int y0, int x1, int y1, QPointF pole, Count insideCount) {
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        const double maxSize = std::clamp(std::sqrt(double(t.pixels)) / 5.0, 8.0, 34.0);
        double size = 0;
        std::optional<Label> flat = searchName(name, false, maxSize, 7.0, occ, x0, y0, x1, y1, pole, insideCount, &size);
        std::optional<Label> upright;
        if (h >= 1.5 * w)
            upright = searchName(name, true, maxSize, flat ? size * kUprightGain : 7.0, occ, x0, y0, x1, y1, pole,
                                 insideCount, nullptr);
        const std::optional<Label> &chosen = upright ? upright : flat;
        if (!chosen) return false;
        occ.add(chosen->box);
        out.push_back(*chosen);
        return true;
    }

    // The largest name, from maxSize down to minSize, whose box lies inside
    // the territory clear of other labels, nearest the territory's deepest point.
    template <typename Count>
    std::optional<Label> searchName(const QString &name, bool upright, double maxSize, double minSize,
                                    const Occupancy &occ, int x0, int y0, int x1, int y1, QPointF pole,
                                    Count insideCount, double *foundSize) const {
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        const QStringList words = name.split(' ');
        std::vector<QStringList> layouts{{name}};
        if (!upright) {
            for (int cut = 1; cut < words.size(); ++cut)
                layouts.push_back({words.mid(0, cut).join(' '), words.mid(cut).join(' ')});
            if (words.size() >= 4)
                for (int a = 1; a < words.size() - 1; ++a)
                    for (int b = a + 1; b < words.size(); ++b)
                        layouts.push_back({words.mid(0, a).join(' '), words.mid(a, b - a).join(' '),
                                           words.mid(b).join(' ')});
        }
        for (double size = maxSize; size >= minSize; size = size > 10 ? size * 0.92 : size - 1) {
            const double spacing = size >= 14 ? size * 0.35 : (size >= 10 ? size * 0.15 : 0.2);
            const bool bold = size < 12;
            const QFont f = makeFont("Liberation Sans", size, bold, false, spacing);
            for (const auto &lines : layouts) {
                const QPainterPath block = upright ? QTransform().rotate(-90).map(textBlock(lines, f))
                                                   : textBlock(lines, f);
                const QRectF bb = block.boundingRect().adjusted(-1.5, -1.5, 1.5, 1.5);
                if (bb.width() > w + 2 || bb.height() > h + 2) continue;
                const double area = bb.width() * bb.height();
                const double step = std::max(1.0, std::min(bb.width(), bb.height()) / 6.0);
                double best = 1e18;
                QPointF bestAt;
                for (double cy = y0 - bb.top(); cy + bb.bottom() <= y1 + 1; cy += step)
                    for (double cx = x0 - bb.left(); cx + bb.right() <= x1 + 1; cx += step) {
                        const QRectF r = bb.translated(cx, cy);
                        if (insideCount(r) < area * kInside) continue;
                        const double score = std::hypot(cx - pole.x(), cy - pole.y());
                        if (score >= best) continue;
                        if (!freeForLabel(occ, r)) continue;
                        best = score;
                        bestAt = QPointF(cx, cy);
                    }
                if (best < 1e18) {
                    Label l = makeLabel(block, bestAt, kCountryText, 1.5, size >= 14 ? 0 : 2.0);
                    // keep country names apart, more so when widely spaced
                    const double apart = 2.5 + 1.5 * spacing;
                    if (upright) l.box.adjust(-2.5, -apart, 2.5, apart);
                    else l.box.adjust(-apart, -2.5, apart, 2.5);
                    if (foundSize) *foundSize = size;
                    return l;
                }
            }
        }
        return std::nullopt;
    }

    // ---- legend (top left) and notes (bottom right)
    void drawLegend(QPainter &p) {
        const QRectF box = legendBox_;
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        p.setBrush(Qt::white);
        p.drawRect(box);
        double y = box.top() + 26;
        const double x = box.left() + 14;
        p.setPen(QColor(0x20, 0x20, 0x20));
        p.setFont(makeFont("Liberation Sans", 19, true, false, 1.5));
        p.drawText(QPointF(x, y), "THE WORLD");
        y += 18;
        p.setFont(makeFont("Liberation Sans", 12, false, false));
        p.drawText(QPointF(x, y), "Political map: countries and capitals");
        y += 24;
        auto sample = [&](const QString &sampleText, const QFont &f, const QColor &c, const QString &what) {
            p.setFont(f);
            p.setPen(c);
            p.drawText(QPointF(x + 4, y), sampleText);
            p.setFont(makeFont("Liberation Sans", 11, false, false));
            p.setPen(QColor(0x30, 0x30, 0x30));
            p.drawText(QPointF(x + 150, y), what);
            y += 20;
        };
        sample("FRANCE", makeFont("Liberation Sans", 13, false, false, 3), kCountryText, "Country");
        // capital symbol
        {
            const QPainterPath s = starPath(QPointF(x + 9, y - 4), 5.0);
            p.setPen(QPen(QColor(0x60, 0x00, 0x08), 0.6));
            p.setBrush(kStar);
            p.drawPath(s);
            p.setBrush(Qt::NoBrush);
            p.setFont(makeFont("Liberation Sans", 10, false, false));
            p.setPen(kCapitalText);
            p.drawText(QPointF(x + 20, y), "Paris");
            p.setFont(makeFont("Liberation Sans", 11, false, false));
            p.setPen(QColor(0x30, 0x30, 0x30));
            p.drawText(QPointF(x + 150, y), "Capital city");
            y += 20;
        }
        sample("Sicily", makeFont("Liberation Sans", 10, false, true), kIslandText, "Island");
        sample("CANARY ISLANDS", makeFont("Liberation Sans", 9, false, true, 1.2), kIslandText, "Island group");
        sample("Caribbean Sea", makeFont("Liberation Serif", 13, false, true, 0.6), kWaterText, "Sea");
        sample("OCEAN", makeFont("Liberation Serif", 16, false, true, 4), kWaterText, "Ocean");
        // scale bar at the Equator: Robinson's x scale there is 0.8487 R per radian
        y += 4;
        const double pxPerKm = 0.8487 * kRadius / 6371.0088;
        p.setFont(makeFont("Liberation Sans", 10, false, false));
        p.setPen(QColor(0x30, 0x30, 0x30));
        p.drawText(QPointF(x, y), "Scale along the Equator");
        y += 8;
        for (int k = 0; k < 3; ++k) {
            const QRectF seg(x + k * 1000 * pxPerKm, y, 1000 * pxPerKm, 5);
            p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.8));
            p.setBrush(k % 2 ? Qt::white : QColor(0x30, 0x30, 0x30));
            p.drawRect(seg);
        }
        p.setBrush(Qt::NoBrush);
        y += 17;
        for (int k = 0; k <= 3; ++k) {
            const QString s = k == 3 ? QStringLiteral("3000 km") : QString::number(k * 1000);
            const double tx = x + k * 1000 * pxPerKm - (k == 0 ? 2 : QFontMetricsF(p.font()).horizontalAdvance(QString::number(k * 1000)) / 2);
            p.drawText(QPointF(tx, y), s);
        }
        y += 20;
        p.setFont(makeFont("Liberation Sans", 12, true, false));
        p.drawText(QPointF(x, y), "Robinson projection");
        y += 15;
        p.setFont(makeFont("Liberation Sans", 10, false, false));
        p.drawText(QPointF(x, y), QStringLiteral("Central meridian 10.14\u00b0 E, graticule every 15\u00b0"));
    }

    void drawNotes(QPainter &p) {
        const QRectF box = notesBox_;
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        p.setBrush(Qt::white);
        p.drawRect(box);
        const QStringList lines = {
            "NOTES",
            "Boundaries, coastlines and territories: Natural Earth,",
            "  admin-0 countries 1:10m and map units 1:50m (public domain).",
            "Capitals: GeoNames (geonames.org), licensed under",
            "  CC BY 4.0; Spanish names of places from GeoNames.",
            "Country names: ISO 3166-1 with our own review.",
            "Boundaries shown are the de facto lines drawn by",
            "  Natural Earth; grey areas are disputed or unclaimed.",
            "Star positions are the capitals' coordinates.",
            "Projection computed with PROJ.",
        };
        double y = box.top() + 22;
        const double x = box.left() + 12;
        for (int i = 0; i < lines.size(); ++i) {
            p.setFont(i == 0 ? makeFont("Liberation Sans", 12, true, false, 1)
                             : makeFont("Liberation Sans", 10, false, false));
            p.setPen(QColor(0x30, 0x30, 0x30));
            p.drawText(QPointF(x, y), lines[i]);
            y += i == 0 ? 18 : 14.5;
        }
    }

    Robinson proj_;
    QJsonObject labels_;
    std::vector<Territory> territories_;
    std::map<QString, int> index_;
    std::vector<Place> places_;
    std::vector<std::set<int>> adjacency_;
    std::vector<QLineF> leaders_;
    Occupancy leaderOcc_;   // points along the leaders, which labels avoid
    Occupancy starOcc_;     // the stars' boxes
    QImage ids_, image_;
    QRectF legendBox_{10, 10, 330, 266};
    QRectF notesBox_{kWidth - 1 - 10 - 330, kHeight - 1 - 10 - 170, 330, 170};
};

QJsonObject readJson(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (doc.isNull()) throw std::runtime_error(path.toStdString() + ": " + err.errorString().toStdString());
    return doc.object();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s data.json labels.json assets-dir check-dir\n", argv[0]);
        return 2;
    }
    try {
        for (const char *face : {"LiberationSans-Regular", "LiberationSans-Bold", "LiberationSans-Italic",
                                 "LiberationSans-BoldItalic", "LiberationSerif-Italic", "LiberationSerif-Regular"}) {
            const QString path = QStringLiteral("/usr/share/fonts/truetype/liberation2/%1.ttf").arg(face);
            if (QFontDatabase::addApplicationFont(path) < 0)
                throw std::runtime_error("cannot load font " + path.toStdString());
        }
        const QString assets = QString::fromLocal8Bit(argv[3]);
        const QString check = QString::fromLocal8Bit(argv[4]);
        QDir().mkpath(assets + "/icons");
        QDir().mkpath(assets + "/glyphs");
        QDir().mkpath(check);

        MapMaker maker(readJson(QString::fromLocal8Bit(argv[1])), readJson(QString::fromLocal8Bit(argv[2])));
        maker.build();

        writeFile(assets + "/mapa.jpg", encodeJpeg(maker.image()));
        writeFile(assets + "/NOMBRES.TXT", placeList(maker.places()));
        writeCheckData(check, maker.territories(), maker.places(), maker.ids(), maker.ovalMask());
        writeArt(assets, maker.territories());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "mapgen-render: %s\n", e.what());
        return 1;
    }
    return 0;
}
