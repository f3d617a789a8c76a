// Start-up harness driver. Starts, in turn, the real program's window
// (first_frame_orbe), a bare Qt window of the same size (first_frame_bare) and
// the plain libjpeg decode of the same JPEG (decode_plain), each as a whole
// process, interleaved, and prints the medians and two figures:
//
//   first_frame_ratio = program start -> first complete frame of the map view
//                       with the marker / (bare window start -> first paint
//                                          + plain decode)
//   peak_rss_ratio    = the program's peak resident memory after that frame /
//                       (the bare window's + 3 x 3732 x 1914 + the JPEG's size)
//
// Times run from just before fork() in this process to the CLOCK_MONOTONIC
// timestamp the child prints at the end of its frame. Usage:
//   bench_startup [RUNS]   (at least 10; 15 by default)

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr long long kMapWidth = 3732;
constexpr long long kMapHeight = 1914;

long long Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

struct Result {
    long long started = 0;  // CLOCK_MONOTONIC just before fork
    std::map<std::string, std::string> values;
    long long Int(const std::string& key) const {
        const auto it = values.find(key);
        if (it == values.end()) {
            std::fprintf(stderr, "bench_startup: the child printed no %s\n", key.c_str());
            std::exit(1);
        }
        return std::stoll(it->second);
    }
};

// Runs a program in `directory` with its standard output read back; fails the
// whole run when the child fails, so no figure comes from a broken child.
Result Run(const std::vector<std::string>& argv, const std::filesystem::path& directory) {
    int pipefd[2];
    if (pipe(pipefd) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    Result result;
    result.started = Now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (pid == 0) {
        dup2(pipefd[1], STDOUT_FILENO);
        close(pipefd[0]);
        close(pipefd[1]);
        if (chdir(directory.c_str()) != 0) _exit(126);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipefd[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipefd[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<size_t>(n));
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup: %s failed (status %d): %s\n", argv[0].c_str(), status, output.c_str());
        std::exit(1);
    }
    std::istringstream words(output);
    for (std::string word; words >> word;)
        if (const size_t eq = word.find('='); eq != std::string::npos)
            result.values[word.substr(0, eq)] = word.substr(eq + 1);
    return result;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 15, 10);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    // The program reads its list from its working directory on activation:
    // give it the shipped one in a directory of its own.
    char pattern[] = "/tmp/orbe-bench-startup-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path directory = pattern;
    std::filesystem::copy_file(ORBE_BENCH_LIST, directory / "NOMBRES.TXT");
    const auto jpegSize = static_cast<long long>(std::filesystem::file_size(ORBE_BENCH_JPEG));

    const std::vector<std::string> orbe = {ORBE_FIRST_FRAME_ORBE};
    const std::vector<std::string> decode = {ORBE_DECODE_PLAIN, ORBE_BENCH_JPEG};
    // One run of each first, not counted: it warms the page cache and tells
    // the size the bare window must have.
    const Result warm = Run(orbe, directory);
    const std::string size = warm.values.count("size") ? warm.values.at("size") : "994x718";
    const std::string width = size.substr(0, size.find('x'));
    const std::string height = size.substr(size.find('x') + 1);
    const std::vector<std::string> bare = {ORBE_FIRST_FRAME_BARE, width, height};
    Run(bare, directory);
    Run(decode, directory);

    std::vector<double> orbeMs, bareMs, decodeMs, orbeCpu, bareCpu, decodeCpu, orbeKb, bareKb;
    for (int i = 0; i < runs; ++i) {
        // Interleaved, and the order turns each round, so that the load of
        // the machine falls on all three alike.
        for (int k = 0; k < 3; ++k) {
            switch ((i + k) % 3) {
                case 0: {
                    const Result r = Run(orbe, directory);
                    orbeMs.push_back(static_cast<double>(r.Int("frame_ns") - r.started) / 1e6);
                    orbeCpu.push_back(static_cast<double>(r.Int("cpu_ns")) / 1e6);
                    orbeKb.push_back(static_cast<double>(r.Int("hwm_kb")));
                    break;
                }
                case 1: {
                    const Result r = Run(bare, directory);
                    bareMs.push_back(static_cast<double>(r.Int("frame_ns") - r.started) / 1e6);
                    bareCpu.push_back(static_cast<double>(r.Int("cpu_ns")) / 1e6);
                    bareKb.push_back(static_cast<double>(r.Int("hwm_kb")));
                    break;
                }
                default: {
                    const Result r = Run(decode, directory);
                    decodeMs.push_back(static_cast<double>(r.Int("decode_ns")) / 1e6);
                    decodeCpu.push_back(static_cast<double>(r.Int("cpu_ns")) / 1e6);
                    break;
                }
            }
        }
    }
    std::filesystem::remove_all(directory);

    const double bitmapKb = 3.0 * kMapWidth * kMapHeight / 1024.0;
    const double jpegKb = static_cast<double>(jpegSize) / 1024.0;
    std::printf("start-up, %d interleaved runs each, medians (window %s)\n", runs, size.c_str());
    std::printf("  %-44s %10s %10s %12s\n", "", "wall ms", "CPU ms", "peak RSS kB");
    std::printf("  %-44s %10.1f %10.1f %12.0f\n", "orbe: start -> first frame of the map view",
                Median(orbeMs), Median(orbeCpu), Median(orbeKb));
    std::printf("  %-44s %10.1f %10.1f %12.0f\n", "bare Qt window: start -> first paint", Median(bareMs),
                Median(bareCpu), Median(bareKb));
    std::printf("  %-44s %10.1f %10.1f\n", "plain libjpeg decode (float IDCT)", Median(decodeMs),
                Median(decodeCpu));
    std::printf("  %-44s %10.0f kB bitmap + %.0f kB JPEG\n", "memory floor over the bare window", bitmapKb,
                jpegKb);
    std::printf("  first_frame CPU-time ratio (for comparison): %.3f\n",
                Median(orbeCpu) / (Median(bareCpu) + Median(decodeCpu)));
    std::printf("\nfirst_frame_ratio %.3f\n", Median(orbeMs) / (Median(bareMs) + Median(decodeMs)));
    std::printf("peak_rss_ratio %.3f\n", Median(orbeKb) / (Median(bareKb) + bitmapKb + jpegKb));
    return 0;
}
