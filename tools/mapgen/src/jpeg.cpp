#include "jpeg.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace mapgen {
namespace {

QByteArray encodeAt(const QImage &src, int quality) {
    const QImage image = src.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_YCbCr);
    jpeg_set_quality(&cinfo, quality, TRUE);
    for (int c = 0; c < 3; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.restart_in_rows = 1;      // one MCU row: 467 MCUs of 8 x 8
    cinfo.optimize_coding = TRUE;   // still baseline (SOF0)
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.write_JFIF_header = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

}  // namespace

QByteArray encodeJpeg(const QImage &image) {
    for (int q = 95; q >= 40; --q) {
        QByteArray bytes = encodeAt(image, q);
        if (bytes.size() <= 1450000) {
            std::fprintf(stderr, "mapa.jpg: quality %d, %lld bytes\n", q, (long long)bytes.size());
            return bytes;
        }
    }
    throw std::runtime_error("the map does not fit in 1.45 MB");
}

}  // namespace mapgen
