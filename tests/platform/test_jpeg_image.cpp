// The JPEG picture: decoding must give exactly what the reference decoder
// (djpeg with the float inverse transform) gives for the same file, decode
// only once, read the size from the header alone, and turn every kind of bad
// input into EInvalidGraphic.

#include "Exceptions.h"
#include "JpegImage.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QLibraryInfo>
#include <QResource>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using platform::EInvalidGraphic;
using platform::TJPEGImage;

std::string Quoted(const QString& path)
{
    return "'" + path.toStdString() + "'";
}

bool RunQuietly(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A picture with smooth ramps, sharp edges and fine texture, so that inverse
// transforms of different precision give different pixels.
QByteArray MakePpm(int width, int height)
{
    QByteArray ppm = "P6\n" + QByteArray::number(width) + " " + QByteArray::number(height) + "\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool edge = (x / 5 + y / 3) % 2 == 0;
            ppm.append(static_cast<char>(width > 1 ? x * 255 / (width - 1) : 128));
            ppm.append(static_cast<char>(edge ? 230 : 20));
            ppm.append(static_cast<char>((x * 37 + y * 91 + x * y) % 256));
        }
    }
    return ppm;
}

struct Ppm {
    int width = 0;
    int height = 0;
    QByteArray pixels;  // rows of width * 3 bytes, no padding
};

// djpeg -ppm writes "P6\n<w> <h>\n255\n" and then the samples.
bool ParsePpm(const QByteArray& bytes, Ppm& out)
{
    const QList<QByteArray> head = bytes.left(64).split('\n');
    if (head.size() < 4 || head[0] != "P6" || head[2] != "255")
        return false;
    const QList<QByteArray> size = head[1].split(' ');
    if (size.size() != 2)
        return false;
    out.width = size[0].toInt();
    out.height = size[1].toInt();
    const qsizetype start = head[0].size() + head[1].size() + head[2].size() + 3;
    out.pixels = bytes.mid(start);
    return out.pixels.size() == qsizetype{3} * out.width * out.height;
}

// Names the instances of a table after each case's name field.
struct {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const
    {
        return param.param.name;
    }
} constexpr CaseName;

template <typename Case>
    requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class JpegImageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    // Writes a generated picture and compresses it with cjpeg, with the
    // progressive scan script if one is given.
    QString MakeJpeg(const QString& name, int width, int height, std::string cjpegArgs,
                     const char* scanScript = nullptr)
    {
        const QString ppm = PathOf(name + ".ppm");
        const QString jpeg = PathOf(name + ".jpg");
        EXPECT_TRUE(WriteAll(ppm, MakePpm(width, height)));
        if (scanScript != nullptr) {
            const QString scans = PathOf(name + ".scans");
            EXPECT_TRUE(WriteAll(scans, scanScript));
            cjpegArgs += " -scans " + Quoted(scans);
        }
        EXPECT_TRUE(RunQuietly("cjpeg " + cjpegArgs + " -outfile " + Quoted(jpeg) + " " + Quoted(ppm)))
            << "cjpeg failed for " << name.toStdString();
        return jpeg;
    }

    // The map's own encoding: baseline, no subsampling, a restart every row.
    QByteArray SmallJpeg(int width = 48, int height = 40)
    {
        return ReadAll(MakeJpeg("small", width, height, "-baseline -sample 1x1 -restart 1"));
    }

    void ExpectSameAsDjpeg(const QString& jpegPath)
    {
        // Into our own folder: the picture may lie in the source tree.
        const QString ppmPath = PathOf("reference.ppm");
        ASSERT_TRUE(RunQuietly("djpeg -dct float -ppm -outfile " + Quoted(ppmPath) + " " + Quoted(jpegPath)));
        Ppm reference;
        ASSERT_TRUE(ParsePpm(ReadAll(ppmPath), reference)) << "unreadable djpeg output";

        TJPEGImage picture;
        picture.LoadFromBytes(ReadAll(jpegPath));
        EXPECT_EQ(picture.Width(), reference.width);
        EXPECT_EQ(picture.Height(), reference.height);

        const QImage& bitmap = picture.Bitmap();
        ASSERT_EQ(bitmap.format(), QImage::Format_RGB888);
        ASSERT_EQ(bitmap.width(), reference.width);
        ASSERT_EQ(bitmap.height(), reference.height);
        const qsizetype rowBytes = qsizetype{3} * reference.width;
        int differingRows = 0;
        int firstDifferingRow = -1;
        for (int y = 0; y < reference.height; ++y) {
            const QByteArray row(reinterpret_cast<const char*>(bitmap.constScanLine(y)), rowBytes);
            if (row != reference.pixels.mid(y * rowBytes, rowBytes)) {
                if (differingRows++ == 0)
                    firstDifferingRow = y;
            }
        }
        EXPECT_EQ(differingRows, 0) << "first differing row: " << firstDifferingRow;
    }

private:
    QTemporaryDir dir_;
};

// --- Decoding matches the reference decoder --------------------------------

struct EncodingCase {
    const char* name;
    int width;
    int height;
    const char* cjpegArgs;
    const char* scanScript = nullptr;
};

class DecodeMatchesDjpeg : public JpegImageTest,
                           public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(DecodeMatchesDjpeg, ByteForByte)
{
    const EncodingCase& c = GetParam();
    ExpectSameAsDjpeg(MakeJpeg(c.name, c.width, c.height, c.cjpegArgs, c.scanScript));
}

// Odd widths leave padding at the end of each bitmap row (37 * 3 = 111 bytes
// in a 112-byte row); sizes that are not whole blocks exercise the edge
// blocks; subsampled and progressive pictures take other decoder paths. Block
// smoothing shows only where a progressive picture leaves coefficients unsent,
// hence the pictures cut down to the DC terms, or to a few AC terms of one
// component.
INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeMatchesDjpeg,
    ::testing::Values(
        EncodingCase{"map_encoding_odd_width", 37, 23, "-baseline -sample 1x1 -restart 1"},
        EncodingCase{"map_encoding_whole_blocks", 64, 48, "-baseline -sample 1x1 -restart 1"},
        EncodingCase{"single_pixel", 1, 1, "-baseline -sample 1x1 -restart 1"},
        EncodingCase{"tall_narrow", 3, 70, "-baseline -sample 1x1 -restart 1"},
        EncodingCase{"subsampled_2x2", 41, 30, "-baseline -sample 2x2"},
        EncodingCase{"progressive", 40, 33, "-progressive -sample 1x1"},
        EncodingCase{"progressive_dc_only", 64, 48, "-sample 1x1", "0,1,2: 0-0, 0, 0;\n"},
        EncodingCase{"progressive_partial_ac", 64, 48, "-sample 1x1",
                     "0,1,2: 0-0, 0, 1;\n0: 1-5, 0, 0;\n0,1,2: 0-0, 1, 0;\n"}),
    CaseName);

TEST_F(JpegImageTest, MapPictureMatchesDjpeg)
{
    const QString map = QStringLiteral(ORBE_SOURCE_DIR "/assets/mapa.jpg");
    if (!QFile::exists(map))
        GTEST_SKIP() << "no map picture at " << map.toStdString();
    ExpectSameAsDjpeg(map);

    TJPEGImage picture;
    picture.LoadFromBytes(ReadAll(map));
    EXPECT_EQ(picture.Width(), 3732);
    EXPECT_EQ(picture.Height(), 1914);
}

// --- Loading and decoding once ---------------------------------------------

TEST_F(JpegImageTest, NothingLoaded)
{
    TJPEGImage picture;
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_TRUE(picture.Bitmap().isNull());
    EXPECT_FALSE(picture.IsDecoded());
}

TEST_F(JpegImageTest, DecodesOnceOnFirstRequest)
{
    TJPEGImage picture;
    picture.LoadFromBytes(SmallJpeg(48, 40));
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(picture.Height(), 40);
    EXPECT_FALSE(picture.IsDecoded());

    const uchar* pixels = picture.Bitmap().constBits();
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(picture.IsDecoded());
    EXPECT_EQ(picture.Bitmap().constBits(), pixels);
    EXPECT_EQ(picture.Bitmap().size(), QSize(48, 40));
}

TEST_F(JpegImageTest, NewLoadDropsTheOldBitmap)
{
    TJPEGImage picture;
    picture.LoadFromBytes(SmallJpeg(48, 40));
    picture.Bitmap();
    picture.LoadFromBytes(ReadAll(MakeJpeg("other", 20, 10, "-baseline")));
    EXPECT_FALSE(picture.IsDecoded());
    EXPECT_EQ(picture.Width(), 20);
    EXPECT_EQ(picture.Height(), 10);
    EXPECT_EQ(picture.Bitmap().size(), QSize(20, 10));
}

// The size comes from the header alone: a picture whose data breaks off
// after the header still reports it, and only decoding fails.
TEST_F(JpegImageTest, SizeIsReadWithoutDecoding)
{
    const QByteArray good = SmallJpeg(48, 40);
    const qsizetype scan = good.indexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    TJPEGImage picture;
    picture.LoadFromBytes(good.left(scan + 20));
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(picture.Height(), 40);
    EXPECT_FALSE(picture.IsDecoded());
}

// --- Bad input ---------------------------------------------------------------

struct BadInputCase {
    const char* name;
    std::function<QByteArray(const QByteArray& good)> damage;
    bool headerReadable;  // loading succeeds and only decoding fails
};

// Offset of the first scan's data, just after its marker segment.
qsizetype ScanStart(const QByteArray& jpeg)
{
    const qsizetype sos = jpeg.indexOf("\xFF\xDA");
    if (sos < 0)
        return -1;
    const int length = (static_cast<uchar>(jpeg[sos + 2]) << 8) | static_cast<uchar>(jpeg[sos + 3]);
    return sos + 2 + length;
}

class BadInput : public JpegImageTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, ThrowsInvalidGraphic)
{
    const BadInputCase& c = GetParam();
    const QByteArray good = SmallJpeg(48, 40);
    ASSERT_GT(ScanStart(good), 0);
    const QByteArray bad = c.damage(good);
    ASSERT_NE(bad, good);

    TJPEGImage picture;
    if (c.headerReadable) {
        ASSERT_NO_THROW(picture.LoadFromBytes(bad));
        EXPECT_EQ(picture.Width(), 48);
        EXPECT_EQ(picture.Height(), 40);
        // Twice: a failed decode leaves nothing behind that the next one trips on.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                picture.Bitmap();
                ADD_FAILURE() << "decoding did not throw, attempt " << attempt;
            } catch (const EInvalidGraphic& e) {
                EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
            }
            EXPECT_FALSE(picture.IsDecoded());
        }
    } else {
        try {
            picture.LoadFromBytes(bad);
            ADD_FAILURE() << "loading did not throw";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
        }
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.Height(), 0);
        EXPECT_TRUE(picture.Data().isEmpty());
        EXPECT_TRUE(picture.Bitmap().isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, BadInput,
    ::testing::Values(
        BadInputCase{"empty", [](const QByteArray&) { return QByteArray(); }, false},
        BadInputCase{"not_a_jpeg", [](const QByteArray&) { return MakePpm(8, 8); }, false},
        BadInputCase{"start_marker_only", [](const QByteArray& g) { return g.left(2); }, false},
        BadInputCase{"cut_before_scan",
                     [](const QByteArray& g) { return g.left(g.indexOf("\xFF\xDA")); }, false},
        BadInputCase{"cut_in_scan",
                     [](const QByteArray& g) {
                         const qsizetype scan = ScanStart(g);
                         return g.left(scan + (g.size() - scan) / 2);
                     },
                     true},
        BadInputCase{"end_marker_missing", [](const QByteArray& g) { return g.chopped(2); }, true},
        BadInputCase{"restart_marker_damaged",
                     [](const QByteArray& g) {
                         QByteArray b = g;
                         const qsizetype rst = b.indexOf("\xFF\xD0", ScanStart(g));
                         if (rst > 0)
                             b[rst + 1] = static_cast<char>(0xD5);
                         return b;
                     },
                     true}),
    CaseName);

TEST_F(JpegImageTest, FailedLoadKeepsThePicture)
{
    const QByteArray good = SmallJpeg(48, 40);
    TJPEGImage picture;
    picture.LoadFromBytes(good);
    const uchar* pixels = picture.Bitmap().constBits();

    EXPECT_THROW(picture.LoadFromBytes(good.left(2)), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(picture.Height(), 40);
    EXPECT_EQ(picture.Data(), good);
    EXPECT_TRUE(picture.IsDecoded());
    EXPECT_EQ(picture.Bitmap().constBits(), pixels);
}

// A large bitmap is written into memory advised for huge pages, so that its
// first writes fault once per 2 MiB rather than once per 4 KiB; the kernel
// marks such a mapping "hg" in its flags.
TEST_F(JpegImageTest, ALargeBitmapLiesInMemoryAdvisedForHugePages)
{
    if (!QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")))
        GTEST_SKIP() << "this kernel has no transparent huge pages";
    TJPEGImage picture;
    picture.LoadFromBytes(SmallJpeg(1200, 800));  // 2.9 MB of pixels
    const auto address = reinterpret_cast<quintptr>(picture.Bitmap().constBits());
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    ASSERT_TRUE(smaps.open(QIODevice::ReadOnly | QIODevice::Text));
    bool inside = false;
    QByteArray flags;
    for (QByteArray line = smaps.readLine(); !line.isEmpty(); line = smaps.readLine()) {
        const qsizetype dash = line.indexOf('-');
        const qsizetype space = line.indexOf(' ');
        if (dash > 0 && space > dash && line.left(dash).toULongLong(nullptr, 16) != 0) {
            inside = line.left(dash).toULongLong(nullptr, 16) <= address &&
                     address < line.mid(dash + 1, space - dash - 1).toULongLong(nullptr, 16);
        } else if (inside && line.startsWith("VmFlags:")) {
            flags = line;
            break;
        }
    }
    EXPECT_TRUE(flags.contains(" hg")) << "flags of the bitmap's mapping: " << flags.toStdString();
}

// --- Decoding ahead on a worker thread -------------------------------------------

TEST_F(JpegImageTest, DecodeAheadGivesTheBitmapOfADecodeOnRequest)
{
    const QByteArray bytes = SmallJpeg(48, 40);
    TJPEGImage onRequest;
    onRequest.LoadFromBytes(bytes);
    TJPEGImage ahead;
    ahead.LoadFromBytes(bytes);
    ahead.DecodeAhead();
    ahead.DecodeAhead();  // one decode on its way is enough

    EXPECT_EQ(ahead.Bitmap(), onRequest.Bitmap());
    EXPECT_TRUE(ahead.IsDecoded());
    const uchar* pixels = ahead.Bitmap().constBits();
    ahead.DecodeAhead();  // decoded already: nothing to do
    EXPECT_EQ(ahead.Bitmap().constBits(), pixels);
}

TEST_F(JpegImageTest, DecodeAheadLeavesDamageForBitmapToReport)
{
    const QByteArray good = SmallJpeg(48, 40);
    TJPEGImage picture;
    picture.LoadFromBytes(good.left(ScanStart(good) + (good.size() - ScanStart(good)) / 2));
    ASSERT_NO_THROW(picture.DecodeAhead());
    EXPECT_THROW(picture.Bitmap(), EInvalidGraphic);
    EXPECT_FALSE(picture.IsDecoded());
    EXPECT_THROW(picture.Bitmap(), EInvalidGraphic);  // reported again, not remembered as empty
}

// A picture loaded, or the object gone, while its decode is still running:
// the decode's result is dropped and nothing is left running.
TEST_F(JpegImageTest, LoadOrDestroyWhileDecodingAhead)
{
    const QString map = QStringLiteral(ORBE_SOURCE_DIR "/assets/mapa.jpg");
    const QByteArray large = QFile::exists(map) ? ReadAll(map) : SmallJpeg(640, 480);
    {
        TJPEGImage picture;
        picture.LoadFromBytes(large);
        picture.DecodeAhead();
        picture.LoadFromBytes(SmallJpeg(20, 10));
        EXPECT_EQ(picture.Bitmap().size(), QSize(20, 10));
    }
    {
        TJPEGImage picture;
        picture.LoadFromBytes(large);
        picture.DecodeAhead();
    }
}

// --- Loading from a Qt resource ----------------------------------------------

struct ResourceCase {
    const char* name;
    const char* rccArgs;
    QResource::Compression stored;
};

class FromResource : public JpegImageTest, public ::testing::WithParamInterface<ResourceCase> {
protected:
    void ExpectLoadsFromResource(const ResourceCase& c, const QString& path, const QString& jpeg);
};

TEST_P(FromResource, LoadsTheResourceBytes)
{
    const ResourceCase& c = GetParam();
    // A flat picture compresses well, so the compressed case really is.
    const QString jpeg = MakeJpeg("flat", 64, 64, "-baseline -quality 100 -restart 1");
    const QString qrc = PathOf("pictures.qrc");
    const QString rcc = PathOf(QString("pictures-%1.rcc").arg(c.name));
    ASSERT_TRUE(WriteAll(qrc, "<RCC><qresource prefix=\"/orbe_test\"><file alias=\"picture.jpg\">" +
                                  jpeg.toUtf8() + "</file></qresource></RCC>"));
    const QString rccTool = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/rcc";
    ASSERT_TRUE(RunQuietly(Quoted(rccTool) + " -binary " + c.rccArgs + " -o " + Quoted(rcc) + " " + Quoted(qrc)));
    const QString root = QString("/%1").arg(c.name);
    ASSERT_TRUE(QResource::registerResource(rcc, root));
    ExpectLoadsFromResource(c, ":" + root + "/orbe_test/picture.jpg", jpeg);
    // Possible only once nothing refers to the resource any more.
    EXPECT_TRUE(QResource::unregisterResource(rcc, root));
}

void FromResource::ExpectLoadsFromResource(const ResourceCase& c, const QString& path, const QString& jpeg)
{
    const QResource resource(path);
    ASSERT_TRUE(resource.isValid());
    ASSERT_EQ(resource.compressionAlgorithm(), c.stored);

    TJPEGImage fromResource;
    fromResource.LoadFromResource(path);
    EXPECT_EQ(fromResource.Data(), ReadAll(jpeg));
    if (c.stored == QResource::NoCompression) {
        EXPECT_EQ(static_cast<const void*>(fromResource.Data().constData()),
                  static_cast<const void*>(resource.data()))
            << "the resource bytes were copied";
    }
    TJPEGImage fromFile;
    fromFile.LoadFromBytes(ReadAll(jpeg));
    EXPECT_EQ(fromResource.Width(), 64);
    EXPECT_EQ(fromResource.Bitmap(), fromFile.Bitmap());
}

INSTANTIATE_TEST_SUITE_P(
    Storage, FromResource,
    ::testing::Values(ResourceCase{"stored", "-no-compress", QResource::NoCompression},
                      ResourceCase{"compressed", "-compress-algo zlib -threshold 0",
                                   QResource::ZlibCompression}),
    CaseName);

TEST_F(JpegImageTest, MissingResourceThrows)
{
    TJPEGImage picture;
    EXPECT_THROW(picture.LoadFromResource(":/orbe_test/no_such_picture.jpg"), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 0);
}

}  // namespace
