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

#include "../PlainDecode.h"

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
    const std::unique_ptr<unsigned char[]> pixels = DecodeWithPlainLibjpeg(bytes.data(), bytes.size());
    const long long wall = Nanoseconds(CLOCK_MONOTONIC) - wall0;
    const long long cpu = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    std::printf("decode_ns=%lld cpu_ns=%lld check=%u\n", wall, cpu,
                static_cast<unsigned>(pixels[0]));
    return 0;
}
