// Decoding the map picture: TJPEGImage against a plain libjpeg decode loop of
// the same bytes with the same settings (float inverse transform, full size,
// 24-bit RGB, block smoothing on). Absolute times on shared machines are
// noise, so the figure that counts is the ratio printed at the end, measured
// in the same run.
//
// The picture: $ORBE_BENCH_JPEG if set, else assets/mapa.jpg of the source
// tree, else a generated picture of the map's size and encoding (baseline,
// no subsampling, a restart every 467 blocks).
//
// Both decode into fresh memory, as the program's one decode does: in a loop
// the allocator would hand the same warm 21 MB back each time and hide the
// page faults that a first decode pays for every 4 KiB it writes.

#include "JpegImage.h"
#include "PlainDecode.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <malloc.h>

namespace {

constexpr const char* kReference = "BM_PlainLibjpegDecode";
constexpr const char* kCandidate = "BM_TJPEGImageDecode";

QByteArray GeneratedMapSizedJpeg()
{
    constexpr int kWidth = 3732;
    constexpr int kHeight = 1914;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    for (int c = 0; c < 3; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.restart_interval = 467;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(kWidth) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < kWidth; ++x) {
            // Flat areas with edges and some texture, roughly like a map.
            const bool border = (x % 97) < 2 || (y % 71) < 2;
            row[3 * x] = static_cast<unsigned char>(border ? 40 : 180 + (x / 200) * 7 % 60);
            row[3 * x + 1] = static_cast<unsigned char>(border ? 40 : 200 + (y / 150) * 11 % 50);
            row[3 * x + 2] = static_cast<unsigned char>(127 + 100 * std::sin(x / 50.0 + y / 80.0));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

const QByteArray& Picture()
{
    static const QByteArray bytes = [] {
        if (const char* path = std::getenv("ORBE_BENCH_JPEG")) {
            std::cerr << "picture: " << path << '\n';
            return ReadFile(QString::fromLocal8Bit(path));
        }
#ifdef ORBE_SOURCE_DIR
        const QString map = QStringLiteral(ORBE_SOURCE_DIR "/assets/mapa.jpg");
        if (QFile::exists(map)) {
            std::cerr << "picture: " << map.toStdString() << '\n';
            return ReadFile(map);
        }
#endif
        std::cerr << "picture: generated, 3732 x 1914\n";
        return GeneratedMapSizedJpeg();
    }();
    return bytes;
}

void BM_TJPEGImageDecode(benchmark::State& state)
{
    const QByteArray& bytes = Picture();
    for (auto _ : state) {
        platform::TJPEGImage picture;
        picture.LoadFromBytes(bytes);  // shares the bytes, reads the header
        benchmark::DoNotOptimize(picture.Bitmap().constBits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The textbook loop: one row per call into a plain buffer.
void BM_PlainLibjpegDecode(benchmark::State& state)
{
    const QByteArray& bytes = Picture();
    for (auto _ : state) {
        const std::unique_ptr<unsigned char[]> pixels = DecodeWithPlainLibjpeg(
            reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        benchmark::DoNotOptimize(pixels.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

BENCHMARK(BM_PlainLibjpegDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TJPEGImageDecode)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // A fixed threshold: every large block is mapped afresh and unmapped when
    // freed (glibc would otherwise raise it to keep 21 MB blocks for reuse).
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.PrintRatio("decode_ratio", kCandidate, kReference);
    benchmark::Shutdown();
    return 0;
}
