// Checks of Orbe's generated content: the map picture, the place list that
// goes with it, the program icon and the close-button glyph.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QSet>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

const std::string kAssets = ORBE_ASSETS_DIR;
const std::string kCheckData = ORBE_ASSET_CHECK_DIR;
constexpr int kMapWidth = 3732;
constexpr int kMapHeight = 1914;
constexpr int kPlaces = 246;

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Windows-1252 bytes of a UTF-8 text that uses only Latin-1 letters.
std::string cp1252(const std::string &utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += char(c);
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            out += char(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            ADD_FAILURE() << "test text outside Latin-1";
        }
    }
    return out;
}

// ------------------------------------------------------------------ JPEG

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr cinfo) {
    auto *err = reinterpret_cast<JpegError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

struct JpegHeader {
    int width = 0, height = 0, components = 0, precision = 0;
    J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
    std::vector<std::pair<int, int>> sampling;
    unsigned restartInterval = 0;
    bool progressive = false, arithmetic = false;
};

std::optional<JpegHeader> readJpegHeader(const std::string &bytes, std::string *error) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onJpegError;
    if (setjmp(err.jump)) {
        *error = err.message;
        jpeg_destroy_decompress(&cinfo);
        return std::nullopt;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    JpegHeader h;
    h.width = int(cinfo.image_width);
    h.height = int(cinfo.image_height);
    h.components = cinfo.num_components;
    h.precision = cinfo.data_precision;
    h.colorSpace = cinfo.jpeg_color_space;
    for (int c = 0; c < cinfo.num_components; ++c)
        h.sampling.emplace_back(cinfo.comp_info[c].h_samp_factor, cinfo.comp_info[c].v_samp_factor);
    h.restartInterval = cinfo.restart_interval;
    h.progressive = cinfo.progressive_mode;
    h.arithmetic = cinfo.arith_code;
    jpeg_destroy_decompress(&cinfo);
    return h;
}

// The first start-of-frame marker (0xC0..0xCF less DHT, JPG, DAC), or -1.
int firstFrameMarker(const std::string &bytes) {
    size_t i = 2;
    if (bytes.size() < 4 || uint8_t(bytes[0]) != 0xFF || uint8_t(bytes[1]) != 0xD8) return -1;
    while (i + 4 <= bytes.size()) {
        if (uint8_t(bytes[i]) != 0xFF) return -1;
        const int marker = uint8_t(bytes[i + 1]);
        const size_t length = (size_t(uint8_t(bytes[i + 2])) << 8) | uint8_t(bytes[i + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker;
        if (marker == 0xDA) return -1;
        i += 2 + length;
    }
    return -1;
}

struct Rgb {
    std::vector<unsigned char> pixels;
    int width = 0, height = 0;
    long warnings = 0;
    std::string error;
    const unsigned char *at(int x, int y) const { return &pixels[(size_t(y) * width + x) * 3]; }
};

// Decodes as the program does: full size, 24-bit colour, float transform.
Rgb decodeJpeg(const std::string &bytes) {
    Rgb out;
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = onJpegError;
    if (setjmp(err.jump)) {
        out.error = err.message;
        jpeg_destroy_decompress(&cinfo);
        return out;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.pixels.resize(size_t(out.width) * out.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &out.pixels[size_t(cinfo.output_scanline) * out.width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    out.warnings = err.mgr.num_warnings;
    jpeg_destroy_decompress(&cinfo);
    return out;
}

// A small test picture encoded in memory, baseline or progressive.
std::string encodeSample(bool progressive) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 16;
    cinfo.image_height = 16;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(16 * 3, 200);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char *>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}

// ------------------------------------------------------------ place list

struct Entry {
    std::string name;   // "country (capital)", Windows-1252 bytes
    int x = 0, y = 0;
};

// One line of the list, without its line end: "country (capital)=x,y".
std::optional<Entry> parseLine(const std::string &line) {
    static const std::regex shape(R"(([^=()\s][^=()]*[^=()\s]) \(([^=()\s][^=()]*[^=()\s])\)=(\d{1,4}),(\d{1,4}))");
    std::smatch m;
    if (!std::regex_match(line, m, shape)) return std::nullopt;
    Entry e;
    e.name = m[1].str() + " (" + m[2].str() + ")";
    e.x = std::stoi(m[3].str());
    e.y = std::stoi(m[4].str());
    return e;
}

// Lines of a CRLF file; false when a line end is not CRLF or the last
// line has none.
bool splitCrlf(const std::string &bytes, std::vector<std::string> *lines) {
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos || lf == start || bytes[lf - 1] != '\r') return false;
        const std::string line = bytes.substr(start, lf - 1 - start);
        if (line.find('\r') != std::string::npos) return false;
        lines->push_back(line);
        start = lf + 1;
    }
    return true;
}

// Bytes that Windows-1252 leaves undefined, and control characters.
bool validWindows1252Text(const std::string &line) {
    for (char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            return false;
    }
    return true;
}

// Collation key for Spanish order: accents and case count only to break
// ties; ñ sorts after n.
std::string spanishKey(const std::string &text) {
    std::string key;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
        if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 0x20;   // Latin-1 capitals
        switch (c) {
        case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4: case 0xE5: key += 'a'; break;
        case 0xE7: key += 'c'; break;
        case 0xE8: case 0xE9: case 0xEA: case 0xEB: key += 'e'; break;
        case 0xEC: case 0xED: case 0xEE: case 0xEF: key += 'i'; break;
        case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6: key += 'o'; break;
        case 0xF9: case 0xFA: case 0xFB: case 0xFC: key += 'u'; break;
        case 0xF1: key += "n\x7f"; break;   // after every n + letter
        default: key += char(c);
        }
    }
    return key;
}

bool spanishLess(const std::string &a, const std::string &b) {
    const std::string ka = spanishKey(a), kb = spanishKey(b);
    if (ka != kb) return ka < kb;
    return a < b;
}

// Country-id raster: 0 outside the map's oval, 1 water, territory id + 1.
class Territories {
public:
    Territories() : raster_(QString::fromStdString(kCheckData + "/countries.png")) {
        std::istringstream in(readFile(kCheckData + "/places.tsv"));
        std::string line;
        while (std::getline(in, line)) {
            const size_t a = line.find('\t'), b = line.rfind('\t');
            if (a == std::string::npos || a == b) continue;
            const std::string name = line.substr(0, a);
            countryOf_[name] = line.substr(a + 1, b - a - 1);
            idOf_[name] = std::stoi(line.substr(b + 1));
        }
    }
    const QImage &raster() const { return raster_; }
    const std::map<std::string, int> &ids() const { return idOf_; }
    const std::map<std::string, std::string> &countries() const { return countryOf_; }
    int value(int x, int y) const {
        return reinterpret_cast<const quint16 *>(raster_.constScanLine(y))[x];
    }

private:
    QImage raster_;
    std::map<std::string, int> idOf_;
    std::map<std::string, std::string> countryOf_;
};

// Distance from (x, y) to the nearest pixel whose value is id, searched up
// to radius; a negative result when there is none that near.
double distanceTo(const QImage &raster, int x, int y, int id, int radius) {
    double best = -1;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int xx = x + dx, yy = y + dy;
            if (xx < 0 || yy < 0 || xx >= raster.width() || yy >= raster.height()) continue;
            if (reinterpret_cast<const quint16 *>(raster.constScanLine(yy))[xx] != id) continue;
            const double d = std::hypot(double(dx), double(dy));
            if (best < 0 || d < best) best = d;
        }
    return best;
}

class PlaceList : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bytes_ = new std::string(readFile(kAssets + "/NOMBRES.TXT"));
        lines_ = new std::vector<std::string>;
        crlf_ = splitCrlf(*bytes_, lines_);
        entries_ = new std::vector<Entry>;
        for (const auto &l : *lines_)
            if (auto e = parseLine(l)) entries_->push_back(*e);
    }
    static void TearDownTestSuite() {
        delete bytes_;
        delete lines_;
        delete entries_;
    }
    static std::string *bytes_;
    static std::vector<std::string> *lines_;
    static std::vector<Entry> *entries_;
    static bool crlf_;
};
std::string *PlaceList::bytes_ = nullptr;
std::vector<std::string> *PlaceList::lines_ = nullptr;
std::vector<Entry> *PlaceList::entries_ = nullptr;
bool PlaceList::crlf_ = false;

// ------------------------------------------------------------ the tests

TEST(MapPicture, FormatFigures) {
    const std::string bytes = readFile(kAssets + "/mapa.jpg");
    ASSERT_FALSE(bytes.empty()) << "assets/mapa.jpg missing";
    EXPECT_GE(bytes.size(), 1000000u);
    EXPECT_LE(bytes.size(), 1500000u);
    std::string error;
    const auto h = readJpegHeader(bytes, &error);
    ASSERT_TRUE(h) << error;
    EXPECT_EQ(h->width, kMapWidth);
    EXPECT_EQ(h->height, kMapHeight);
    EXPECT_EQ(h->components, 3);
    EXPECT_EQ(h->precision, 8);
    EXPECT_EQ(h->colorSpace, JCS_YCbCr);
    ASSERT_EQ(h->sampling.size(), 3u);
    for (const auto &s : h->sampling) EXPECT_EQ(s, std::make_pair(1, 1));
    EXPECT_EQ(h->restartInterval, 467u);
    EXPECT_FALSE(h->progressive);
    EXPECT_FALSE(h->arithmetic);
    EXPECT_EQ(firstFrameMarker(bytes), 0xC0) << "not a baseline (SOF0) frame";
}

TEST(MapPicture, FrameMarkerTellsBaselineFromProgressive) {
    EXPECT_EQ(firstFrameMarker(encodeSample(false)), 0xC0);
    EXPECT_EQ(firstFrameMarker(encodeSample(true)), 0xC2);
    EXPECT_EQ(firstFrameMarker("not a jpeg"), -1);
}

class MapContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() { picture_ = new Rgb(decodeJpeg(readFile(kAssets + "/mapa.jpg"))); }
    static void TearDownTestSuite() { delete picture_; }
    static Rgb *picture_;
};
Rgb *MapContent::picture_ = nullptr;

TEST_F(MapContent, DecodesWholeWithoutWarnings) {
    ASSERT_TRUE(picture_->error.empty()) << picture_->error;
    EXPECT_EQ(picture_->width, kMapWidth);
    EXPECT_EQ(picture_->height, kMapHeight);
    EXPECT_EQ(picture_->warnings, 0);
}

TEST_F(MapContent, WhiteOutsideTheOval) {
    ASSERT_EQ(picture_->width, kMapWidth);
    const std::array<std::pair<int, int>, 6> points{{{1, 957}, {3730, 957}, {3, 1910},
                                                     {3728, 3}, {1500, 2}, {2200, 1911}}};
    for (const auto &[x, y] : points) {
        const unsigned char *p = picture_->at(x, y);
        EXPECT_GE(std::min({p[0], p[1], p[2]}), 245) << "at " << x << "," << y;
    }
}

// Every listed point shows the red capital star in the picture.
TEST_F(MapContent, StarUnderEveryListedPlace) {
    ASSERT_EQ(picture_->width, kMapWidth);
    std::vector<std::string> lines;
    ASSERT_TRUE(splitCrlf(readFile(kAssets + "/NOMBRES.TXT"), &lines));
    for (const auto &line : lines) {
        const auto e = parseLine(line);
        ASSERT_TRUE(e) << line;
        ASSERT_TRUE(e->x >= 0 && e->x < kMapWidth && e->y >= 0 && e->y < kMapHeight) << line;
        const unsigned char *p = picture_->at(e->x, e->y);
        EXPECT_TRUE(p[0] > 140 && p[1] < 90 && p[2] < 100)
            << line << ": pixel " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
    }
}

// Territories that touch in the raster have clearly different fills in the
// picture: the median colour of each one's inner pixels (away from borders,
// text and stars) is compared.
TEST_F(MapContent, NeighboursColouredApart) {
    ASSERT_EQ(picture_->width, kMapWidth);
    const Territories t;
    ASSERT_EQ(t.raster().width(), kMapWidth);
    std::map<int, std::array<std::array<int, 256>, 3>> histograms;
    std::set<std::pair<int, int>> touching;
    for (int y = 1; y + 1 < kMapHeight; ++y)
        for (int x = 1; x + 1 < kMapWidth; ++x) {
            const int id = t.value(x, y);
            if (id < 2) continue;
            const int right = t.value(x + 1, y), below = t.value(x, y + 1);
            if (right >= 2 && right != id) touching.insert(std::minmax(id, right));
            if (below >= 2 && below != id) touching.insert(std::minmax(id, below));
            bool inner = true;
            for (int dy = -1; dy <= 1 && inner; ++dy)
                for (int dx = -1; dx <= 1 && inner; ++dx) inner = t.value(x + dx, y + dy) == id;
            const unsigned char *p = picture_->at(x, y);
            if (!inner || std::min({p[0], p[1], p[2]}) < 150) continue;   // text, lines, stars
            auto &h = histograms[id];
            for (int c = 0; c < 3; ++c) h[size_t(c)][p[c]]++;
        }
    auto median = [&](int id) -> std::optional<std::array<int, 3>> {
        const auto it = histograms.find(id);
        if (it == histograms.end()) return std::nullopt;
        std::array<int, 3> m{};
        for (int c = 0; c < 3; ++c) {
            const auto &h = it->second[size_t(c)];
            long total = 0, seen = 0;
            for (int v : h) total += v;
            if (total < 20) return std::nullopt;
            for (int v = 0; v < 256; ++v)
                if ((seen += h[size_t(v)]) * 2 >= total) {
                    m[size_t(c)] = v;
                    break;
                }
        }
        return m;
    };
    int compared = 0;
    for (const auto &[a, b] : touching) {
        const auto ma = median(a), mb = median(b);
        if (!ma || !mb) continue;
        ++compared;
        const int diff = std::abs((*ma)[0] - (*mb)[0]) + std::abs((*ma)[1] - (*mb)[1]) + std::abs((*ma)[2] - (*mb)[2]);
        EXPECT_GT(diff, 20) << "territories " << a - 1 << " and " << b - 1 << " share a colour";
    }
    EXPECT_GT(compared, 300) << "too few neighbouring pairs compared";
}

TEST_F(PlaceList, LinesEndInCrlfAfterEveryLine) {
    ASSERT_FALSE(bytes_->empty()) << "assets/NOMBRES.TXT missing";
    EXPECT_TRUE(crlf_);
    EXPECT_EQ(bytes_->substr(bytes_->size() - 2), "\r\n");
    EXPECT_EQ(lines_->size(), size_t(kPlaces));
}

TEST_F(PlaceList, EveryLineIsCountryCapitalAndPoint) {
    for (const auto &l : *lines_) {
        EXPECT_TRUE(validWindows1252Text(l)) << l;
        EXPECT_TRUE(parseLine(l)) << l;
    }
    EXPECT_EQ(entries_->size(), size_t(kPlaces));
}

TEST_F(PlaceList, NamesAreUniqueAndInSpanishOrder) {
    std::set<std::string> seen;
    for (const auto &e : *entries_) EXPECT_TRUE(seen.insert(e.name).second) << "twice: " << e.name;
    for (size_t i = 1; i < entries_->size(); ++i)
        EXPECT_TRUE(spanishLess((*entries_)[i - 1].name, (*entries_)[i].name))
            << (*entries_)[i - 1].name << " before " << (*entries_)[i].name;
}

TEST_F(PlaceList, KnownPlacesAsUsedInSpain) {
    const std::set<std::string> lines(lines_->begin(), lines_->end());
    EXPECT_TRUE(lines.count(cp1252("España (Madrid)=1734,484"))) << "Madrid is not the start point";
    std::set<std::string> names;
    for (const auto &e : *entries_) names.insert(e.name);
    for (const char *name : {"Alemania (Berlín)", "Reino Unido (Londres)", "Estados Unidos (Washington D. C.)",
                             "Esuatini (Mbabane)", "Kazajistán (Astaná)", "Burundi (Gitega)",
                             "Kosovo (Pristina)", "Países Bajos (Ámsterdam)", "Bolivia (Sucre)",
                             "Palestina (Ramala)", "Israel (Jerusalén)", "Myanmar (Naipyidó)"})
        EXPECT_TRUE(names.count(cp1252(name))) << name;
}

TEST(PlaceListRules, LineShapeAndBytes) {
    struct Case {
        const char *line;
        bool ok;
    };
    const Case cases[] = {
        {"Chile (Santiago de Chile)=1081,1300", true},
        {"Guinea-Bis\xE1u (Bissau)=1603,921", true},
        {"Chile (Santiago)=1081;1300", false},
        {"Chile Santiago=1081,1300", false},
        {"Chile (Santiago)=1081,", false},
        {"Chile (Santiago) =1081,1300", false},
        {"Chile (Santiago)=-5,1300", false},
        {"Chile (Santiago)=1081,1300 ", false},
        {"(Santiago)=1081,1300", false},
        {"Chile ((Santiago))=1081,1300", false},
    };
    for (const auto &c : cases) EXPECT_EQ(bool(parseLine(c.line)), c.ok) << c.line;

    std::vector<std::string> lines;
    EXPECT_TRUE(splitCrlf("a=1,2\r\nb=3,4\r\n", &lines));
    EXPECT_EQ(lines.size(), 2u);
    for (const char *bad : {"a=1,2\r\nb=3,4", "a=1,2\nb=3,4\r\n", "a=1\r2\r\n", "a=1,2\r\r\n"}) {
        std::vector<std::string> l;
        EXPECT_FALSE(splitCrlf(bad, &l)) << bad;
    }
    EXPECT_TRUE(validWindows1252Text("Espa\xF1" "a (Madrid)"));
    for (const char *bad : {"a\x81", "a\x8D", "a\x8F", "a\x90", "a\x9D", "a\tb"}) EXPECT_FALSE(validWindows1252Text(bad));
    EXPECT_TRUE(spanishLess(cp1252("Níger (Niamey)"), cp1252("Nigeria (Abuya)")));
    EXPECT_TRUE(spanishLess("Nueva Zelanda (Wellington)", cp1252("Ñandú (Ñ)")));
    EXPECT_TRUE(spanishLess(cp1252("Ñandú (Ñ)"), cp1252("Omán (Mascate)")));
    EXPECT_FALSE(spanishLess("Zambia (Lusaka)", cp1252("Alemania (Berlín)")));
}

TEST(CountryRaster, DistanceToTerritory) {
    QImage r(7, 7, QImage::Format_Grayscale16);
    r.fill(0);
    reinterpret_cast<quint16 *>(r.scanLine(3))[5] = 9;
    EXPECT_DOUBLE_EQ(distanceTo(r, 5, 3, 9, 3), 0.0);
    EXPECT_DOUBLE_EQ(distanceTo(r, 2, 3, 9, 3), 3.0);
    EXPECT_NEAR(distanceTo(r, 4, 1, 9, 3), std::sqrt(5.0), 1e-12);
    EXPECT_LT(distanceTo(r, 0, 3, 9, 3), 0.0);
    EXPECT_LT(distanceTo(r, 5, 3, 8, 3), 0.0);
}

// Every listed point lies on its own country's territory, or within 3 px
// of it for places too small to fill a pixel.
TEST_F(PlaceList, EveryPlaceOnItsOwnCountry) {
    const Territories t;
    ASSERT_EQ(t.raster().width(), kMapWidth);
    ASSERT_EQ(t.raster().height(), kMapHeight);
    ASSERT_EQ(t.raster().format(), QImage::Format_Grayscale16);
    EXPECT_EQ(t.ids().size(), size_t(kPlaces));
    std::set<std::string> countries;
    for (const auto &[name, iso] : t.countries()) EXPECT_TRUE(countries.insert(iso).second) << iso;
    for (const auto &e : *entries_) {
        const auto it = t.ids().find(e.name);
        ASSERT_NE(it, t.ids().end()) << e.name << " has no country in places.tsv";
        ASSERT_TRUE(e.x >= 0 && e.x < kMapWidth && e.y >= 0 && e.y < kMapHeight) << e.name;
        EXPECT_NE(t.value(e.x, e.y), 0) << e.name << " lies outside the map's oval";
        const double d = distanceTo(t.raster(), e.x, e.y, it->second, 3);
        EXPECT_TRUE(d >= 0.0 && d <= 3.0)
            << e.name << " (" << t.countries().at(e.name) << ") is more than 3 px from its country";
        if (d > 1.0)
            std::printf("  %s (%s): %.2f px from its territory\n", e.name.c_str(),
                        t.countries().at(e.name).c_str(), d);
    }
}

// ---------------------------------------------------------------- art

TEST(ProgramIcon, IcoIsOne32x32PictureIn16Colours) {
    const std::string ico = readFile(kAssets + "/icons/orbe.ico");
    ASSERT_GE(ico.size(), 22u + 40 + 64 + 512 + 128);
    auto u16 = [&](size_t o) { return unsigned(uint8_t(ico[o])) | unsigned(uint8_t(ico[o + 1])) << 8; };
    auto u32 = [&](size_t o) { return u16(o) | u16(o + 2) << 16; };
    EXPECT_EQ(u16(0), 0u);
    EXPECT_EQ(u16(2), 1u);   // icon
    EXPECT_EQ(u16(4), 1u);   // one picture
    EXPECT_EQ(uint8_t(ico[6]), 32);
    EXPECT_EQ(uint8_t(ico[7]), 32);
    EXPECT_EQ(uint8_t(ico[8]), 16);
    EXPECT_EQ(u16(12), 4u);
    const size_t off = u32(18);
    ASSERT_EQ(off + u32(14), ico.size());
    EXPECT_EQ(u32(off), 40u);
    EXPECT_EQ(u32(off + 4), 32u);
    EXPECT_EQ(u32(off + 8), 64u);
    EXPECT_EQ(u16(off + 14), 4u);
}

int colourCount(const QImage &img) {
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) colours.insert(img.pixel(x, y));
    return int(colours.size());
}

TEST(ProgramIcon, PngSizes) {
    const std::pair<const char *, int> cases[] = {{"orbe-16.png", 16},  {"orbe-22.png", 22},  {"orbe-32.png", 32},
                                                  {"orbe-48.png", 48},  {"orbe-64.png", 64},  {"orbe-128.png", 128},
                                                  {"orbe-256.png", 256}};
    for (const auto &[file, size] : cases) {
        const QImage img(QString::fromStdString(kAssets + "/icons/" + file));
        ASSERT_FALSE(img.isNull()) << file;
        EXPECT_EQ(img.size(), QSize(size, size)) << file;
        EXPECT_TRUE(img.hasAlphaChannel()) << file;
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << file << ": corner not transparent";
        EXPECT_EQ(qAlpha(img.pixel(size / 2, size / 2)), 255) << file << ": globe not opaque";
    }
    EXPECT_LE(colourCount(QImage(QString::fromStdString(kAssets + "/icons/orbe-32.png"))), 16);
    const std::string svg = readFile(kAssets + "/icons/orbe.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
}

TEST(CloseGlyph, OpenDoorOnOliveInSixteenColours) {
    struct Case {
        const char *file;
        bool greenLight;
    };
    for (const Case &c : {Case{"close.png", true}, Case{"close-disabled.png", false}}) {
        const QImage img(QString::fromStdString(kAssets + "/glyphs/" + c.file));
        ASSERT_FALSE(img.isNull()) << c.file;
        EXPECT_EQ(img.size(), QSize(18, 18)) << c.file;
        EXPECT_LE(colourCount(img), 16) << c.file;
        // the olive background is real, opaque pixels
        for (const QPoint p : {QPoint(0, 0), QPoint(17, 0), QPoint(0, 8)})
            EXPECT_EQ(img.pixel(p), qRgb(128, 128, 0)) << c.file << " at " << p.x() << "," << p.y();
        bool green = false;
        int drawn = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x) {
                const QRgb px = img.pixel(x, y);
                if (px != qRgb(128, 128, 0)) ++drawn;
                if (qGreen(px) > qRed(px) + 60 && qGreen(px) > qBlue(px) + 60) green = true;
            }
        EXPECT_EQ(green, c.greenLight) << c.file;
        EXPECT_GT(drawn, 40) << c.file << ": nearly empty";
    }
}

}  // namespace
