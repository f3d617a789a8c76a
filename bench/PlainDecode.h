#pragma once

// The reference decode the program's picture is measured against: plain
// libjpeg with the settings the picture uses (float inverse DCT, full size,
// 24-bit RGB, block smoothing), into one buffer.

#include <cstddef>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

inline std::unique_ptr<unsigned char[]> DecodeWithPlainLibjpeg(const unsigned char* bytes, std::size_t size) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.out_color_space = JCS_RGB;
    cinfo.do_block_smoothing = TRUE;
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * cinfo.output_height]);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.get() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}
