#include "text.h"

#include <QFile>
#include <map>
#include <stdexcept>

namespace mapgen {

QByteArray toCp1252(const QString &text) {
    // 0x80..0x9F of Windows-1252; the other bytes equal their Latin-1 code points
    static const char16_t high[32] = {
        0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
        0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    QByteArray out;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (high[i] && high[i] == u) found = i;
        if (found < 0)
            throw std::runtime_error("no Windows-1252 byte for a character of " + text.toStdString());
        out.append(char(0x80 + found));
    }
    return out;
}

QByteArray placeList(const std::vector<Place> &places) {
    QByteArray out;
    for (const auto &p : places)
        out += toCp1252(p.name) + '=' + QByteArray::number(p.x) + ',' + QByteArray::number(p.y) + "\r\n";
    return out;
}

void writeCheckData(const QString &dir, const std::vector<Territory> &territories,
                    const std::vector<Place> &places, const QImage &ids, const QImage &oval) {
    std::map<QString, int> idOf;
    for (const auto &t : territories) idOf[t.iso] = t.id;
    QByteArray table;
    for (const auto &p : places)
        table += toCp1252(p.name) + '\t' + p.iso.toLatin1() + '\t' + QByteArray::number(idOf.at(p.iso) + 1) + '\n';
    QFile f(dir + "/places.tsv");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(table) != table.size())
        throw std::runtime_error("cannot write places.tsv");
    f.close();

    QImage grey(ids.width(), ids.height(), QImage::Format_Grayscale16);
    for (int y = 0; y < ids.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(ids.constScanLine(y));
        const uchar *inside = oval.constScanLine(y);
        quint16 *out = reinterpret_cast<quint16 *>(grey.scanLine(y));
        for (int x = 0; x < ids.width(); ++x) {
            const int id = (qRed(in[x]) << 8) | qGreen(in[x]);
            out[x] = quint16(id ? id + 1 : (inside[x] ? 1 : 0));
        }
    }
    if (!grey.save(dir + "/countries.png", "PNG", 0)) throw std::runtime_error("cannot write countries.png");
}

}  // namespace mapgen
