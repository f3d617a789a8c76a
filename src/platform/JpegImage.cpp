#include "JpegImage.h"

#include "Exceptions.h"

#include <QResource>

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including it
#include <cstdlib>
#include <utility>

#include <sys/mman.h>

#include <jpeglib.h>

namespace platform {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return and
// by default calls exit(). Ours jumps back to the function that made the
// libjpeg call; those functions hold only plain data, so the jump skips no
// C++ destructor. The caller then destroys the decompressor and throws.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// A warning (level -1) means corrupt data: a truncated file, a damaged
// restart marker. libjpeg would carry on and show grey or smeared blocks in
// place of the lost data. Our pictures are built in, so damage is a fault to
// report, not something to draw; warnings become errors. Trace messages
// (level >= 0) are dropped.
void OnMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        JumpBack(cinfo);
}

void Silent(j_common_ptr) {}

class Decompressor {
public:
    Decompressor()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = JumpBack;
        err.pub.emit_message = OnMessage;
        err.pub.output_message = Silent;
    }
    // Safe also when creation failed or never happened: it checks the
    // memory manager, which a zeroed struct lacks.
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    [[noreturn]] void Fail()
    {
        AnsiString message = "Invalid JPEG picture: ";
        message += err.message;
        jpeg_destroy_decompress(&cinfo);
        throw EInvalidGraphic(std::move(message));
    }

    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
};

// The functions that set the jump point. Each returns false when libjpeg
// reported an error or a warning.

bool ReadHeader(Decompressor& d, const QByteArray& bytes)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

bool StartDecompress(Decompressor& d)
{
    if (setjmp(d.err.jump))
        return false;
    d.cinfo.scale_num = 1;
    d.cinfo.scale_denom = 1;
    d.cinfo.dct_method = JDCT_FLOAT;
    d.cinfo.out_color_space = JCS_RGB;
    d.cinfo.do_block_smoothing = TRUE;
    jpeg_start_decompress(&d.cinfo);
    return true;
}

// Rows go straight into the bitmap; stride covers the row padding of the image.
bool ReadRows(Decompressor& d, unsigned char* top, qsizetype stride)
{
    if (setjmp(d.err.jump))
        return false;
    constexpr JDIMENSION kMaxRows = 16;
    JSAMPROW rows[kMaxRows];
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const JDIMENSION first = d.cinfo.output_scanline;
        const JDIMENSION count = std::min(kMaxRows, d.cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = top + static_cast<qsizetype>(first + i) * stride;
        jpeg_read_scanlines(&d.cinfo, rows, count);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

// Memory for a bitmap of `width` x `height` 24-bit pixels. Fresh memory costs
// a page fault per 4 KiB on first write, 5,000 of them for the map, and on a
// virtual machine those faults take longer than the decode itself. On Linux
// the bitmap's whole 2 MiB stretches are therefore asked for as huge pages
// (one fault each) where the system allows it; the memory used is the same.
QImage NewBitmap(int width, int height)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    void* memory = nullptr;
    if (bytes >= kHugePage && posix_memalign(&memory, kHugePage, bytes) == 0) {
        madvise(memory, bytes & ~(kHugePage - 1), MADV_HUGEPAGE);  // advice only: ignored where unsupported
        return QImage(static_cast<uchar*>(memory), width, height, static_cast<qsizetype>(stride),
                      QImage::Format_RGB888, [](void* pixels) { std::free(pixels); }, memory);
    }
#endif
    return QImage(width, height, QImage::Format_RGB888);
}

QImage Decode(const QByteArray& bytes)
{
    Decompressor d;
    if (!ReadHeader(d, bytes) || !StartDecompress(d))
        d.Fail();
    if (d.cinfo.output_components != 3)
        throw EInvalidGraphic("Invalid JPEG picture: cannot decode to 24-bit colour");
    QImage image = NewBitmap(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height));
    if (image.isNull())
        throw EInvalidGraphic("Not enough memory to decode the JPEG picture");
    if (!ReadRows(d, image.bits(), image.bytesPerLine()))
        d.Fail();
    return image;
}

}  // namespace

TJPEGImage::~TJPEGImage() { DropPendingDecode(); }

void TJPEGImage::DropPendingDecode()
{
    if (!pending_.valid())
        return;
    pending_.wait();
    pending_ = {};  // an error of a decode nobody asked for is not reported
}

void TJPEGImage::LoadFromResource(const QString& path)
{
    const QResource resource(path);
    if (!resource.isValid() || resource.data() == nullptr)  // missing, or a folder
        throw EInvalidGraphic("Picture resource not found: " + path.toStdString());
    // Resource data lives as long as the resource stays registered, which for
    // resources built into the program is the whole run.
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        LoadFromBytes(QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                              static_cast<qsizetype>(resource.size())));
    else
        LoadFromBytes(resource.uncompressedData());
}

void TJPEGImage::LoadFromBytes(QByteArray bytes)
{
    int width = 0;
    int height = 0;
    {
        Decompressor d;
        if (!ReadHeader(d, bytes))
            d.Fail();
        width = static_cast<int>(d.cinfo.image_width);
        height = static_cast<int>(d.cinfo.image_height);
    }
    DropPendingDecode();
    data_ = std::move(bytes);
    width_ = width;
    height_ = height;
    bitmap_ = QImage();
}

void TJPEGImage::DecodeAhead()
{
    if (!bitmap_.isNull() || data_.isEmpty() || pending_.valid())
        return;
    // The worker holds its own reference to the bytes (shared, not copied).
    pending_ = std::async(std::launch::async, [bytes = data_] { return Decode(bytes); });
}

const QImage& TJPEGImage::Bitmap()
{
    if (pending_.valid())
        bitmap_ = pending_.get();  // rethrows the worker's error; the future is spent either way
    else if (bitmap_.isNull() && !data_.isEmpty())
        bitmap_ = Decode(data_);
    return bitmap_;
}

}  // namespace platform
