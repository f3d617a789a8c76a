// Start-up harness, the reference decode: the textbook libjpeg loop over the
// map's JPEG (float inverse transform, full size, 24-bit RGB, block
// smoothing on), timed from the first libjpeg call to the last row.
// Prints decode_ns=<wall> cpu_ns=<CPU time of the decode>.

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

long long Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: decode_plain PICTURE.jpg\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::fprintf(stderr, "decode_plain: cannot read %s\n", argv[1]);
        return 1;
    }
    const long long wall0 = Nanoseconds(CLOCK_MONOTONIC);
    const long long cpu0 = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.out_color_space = JCS_RGB;
    cinfo.do_block_smoothing = TRUE;
    jpeg_start_decompress(&cinfo);
    const size_t stride = static_cast<size_t>(cinfo.output_width) * cinfo.output_components;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * cinfo.output_height]);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.get() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    const long long wall = Nanoseconds(CLOCK_MONOTONIC) - wall0;
    const long long cpu = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    std::printf("decode_ns=%lld cpu_ns=%lld check=%u\n", wall, cpu,
                static_cast<unsigned>(pixels[stride * cinfo.output_height / 2]));
    return 0;
}
