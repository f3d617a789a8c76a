// The real main window, offscreen: how long a press on the map and a choice
// from the list take until the view's repaint is done, against one full
// repaint of the view (map and scroll bars) from the decoded bitmap; and
// loading the list through the activation handler against reading the file's
// bytes.
//
// Figures printed at the end (CPU-time medians of the same run):
//   press_to_frame_ratio, choice_to_frame_ratio, list_load_ratio,
//   list_load_linearity (a 50 MB one-line list against a 5 MB one).

#include "RatioReporter.h"
#include "Unit1.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// Working directories, one per list file, under one temporary folder.
fs::path g_root;

fs::path Folder(const std::string& name) { return g_root / name; }

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Two places far apart: place 0 in the bottom-right corner of the map, place 1
// in the top-left one. A press at (850, 560) is more than 1000 px from
// place 1, so it picks place 0 and the view crosses the whole map.
constexpr int kFarX = 3600, kFarY = 1800;
constexpr int kNearX = 0, kNearY = 0;
constexpr int kPressX = 850, kPressY = 560;

std::string TwoPlaces() {
    return "Lejos (Esquina)=" + std::to_string(kFarX) + "," + std::to_string(kFarY) + "\r\nCerca (Origen)=" +
           std::to_string(kNearX) + "," + std::to_string(kNearY) + "\r\n";
}

std::string FullList() {
    std::string list;
    for (int i = 0; i < MaxLugares; ++i)
        list += "Pa\xEDs n\xFAmero " + std::to_string(i) + " (Capital " + std::to_string(i) +
                ")=" + std::to_string(37 + i * 12 % 3700) + "," + std::to_string(41 + i * 7 % 1870) + "\r\n";
    return list;
}

// One line: a name of about `bytes` bytes, then the coordinates.
std::string OneLine(size_t bytes) {
    std::string line(bytes - 9, 'x');
    line += "=1734,484";
    return line;
}

// Counts painted pixels: the view's, and every other widget's of the window,
// so that a repaint larger than needed shows in the counters.
class PaintMeter : public QObject {
public:
    explicit PaintMeter(QWidget& view) : QObject(&view), view_(view) { qApp->installEventFilter(this); }
    ~PaintMeter() override { qApp->removeEventFilter(this); }
    long long pixels = 0;       // the view's
    long long otherPixels = 0;  // the rest of the window's
    std::map<std::string, long long> byClass;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        long long area = 0;
        for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
            area += static_cast<long long>(rect.width()) * rect.height();
        (watched == &view_ ? pixels : otherPixels) += area;
        byClass[watched->metaObject()->className()] += area;
        return false;
    }

private:
    QWidget& view_;
};

PaintMeter* g_meter = nullptr;
int g_errors = 0;

QWidget* View() { return Form1->ScrollBox1->ClientHandle(); }

// Delivers what is pending, the update request included: the frame is done.
void FinishFrame() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void ShowWindowWithList(const fs::path& folder) {
    fs::current_path(folder);
    platform::Application->CreateForm(Form1);
    Form1->Show();
    Form1->Handle()->activateWindow();
    if (!QTest::qWaitForWindowActive(Form1->Handle())) {
        std::fprintf(stderr, "bench_window: the window never became active\n");
        std::exit(1);
    }
    FinishFrame();
    g_meter = new PaintMeter(*View());
}

void ReportPaint(benchmark::State& state, long long pixelsBefore) {
    const QSize view = View()->size();
    state.counters["view_px_per_frame"] = benchmark::Counter(
        static_cast<double>(g_meter->pixels - pixelsBefore) / static_cast<double>(state.iterations()));
    state.counters["view_px"] = view.width() * view.height();
}

// The reference: one full repaint of the view, as one frame: its client
// area with the map drawn from the decoded bitmap, and its two scroll bars,
// which a far move must redraw as well.
void BM_FullViewRepaint(benchmark::State& state) {
    FinishFrame();
    auto* box = static_cast<QAbstractScrollArea*>(Form1->ScrollBox1->Handle());
    const long long before = g_meter->pixels;
    for (auto _ : state) {
        View()->update();
        box->horizontalScrollBar()->update();
        box->verticalScrollBar()->update();
        FinishFrame();
    }
    ReportPaint(state, before);
}

// Benchmarks run interleaved: the list benchmarks leave other places behind.
void LoadTwoPlaces() {
    fs::current_path(Folder("press"));
    Form1->ComboBox1->Items().Clear();
    Form1->FormActivate(Form1);
    FinishFrame();
}

// A press on the map far from the marker, until the repaint is done.
void BM_PressToFrame(benchmark::State& state) {
    LoadTwoPlaces();
    const QPoint client(kPressX, kPressY);
    long long painted = 0;
    long long others = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Form1->SituarMarca(kNearX, kNearY);
        FinishFrame();
        const long long before = g_meter->pixels;
        const long long othersBefore = g_meter->otherPixels;
        state.ResumeTiming();

        QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, client);
        FinishFrame();

        state.PauseTiming();
        painted += g_meter->pixels - before;
        others += g_meter->otherPixels - othersBefore;
        if (Form1->Marca->Left() + Form1->ScrollBox1->HorzScrollBar->Position() != kFarX) {
            state.SkipWithError("the press did not move the marker to the far place");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["view_px_per_frame"] = static_cast<double>(painted) / static_cast<double>(state.iterations());
    state.counters["other_px_per_frame"] = static_cast<double>(others) / static_cast<double>(state.iterations());
}

// A choice from the list (the arrow key on the closed list) that moves the
// marker across the map, until the repaint is done.
void BM_ChoiceToFrame(benchmark::State& state) {
    LoadTwoPlaces();
    long long painted = 0;
    long long others = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Form1->ComboBox1->SetItemIndex(1);
        Form1->SituarMarca(kNearX, kNearY);
        Elegido = 1;
        FinishFrame();
        const long long before = g_meter->pixels;
        const long long othersBefore = g_meter->otherPixels;
        state.ResumeTiming();

        QTest::keyClick(Form1->ComboBox1->Handle(), Qt::Key_Up);
        FinishFrame();

        state.PauseTiming();
        painted += g_meter->pixels - before;
        others += g_meter->otherPixels - othersBefore;
        if (Elegido != 0 || Form1->Marca->Left() + Form1->ScrollBox1->HorzScrollBar->Position() != kFarX) {
            state.SkipWithError("the choice did not move the marker to the far place");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["view_px_per_frame"] = static_cast<double>(painted) / static_cast<double>(state.iterations());
    state.counters["other_px_per_frame"] = static_cast<double>(others) / static_cast<double>(state.iterations());
}

// Loading NOMBRES.TXT of `folder` through the activation handler.
void LoadList(benchmark::State& state, const char* folder, int expectedLast) {
    fs::current_path(Folder(folder));
    for (auto _ : state) {
        state.PauseTiming();
        Form1->ComboBox1->Items().Clear();
        state.ResumeTiming();
        Form1->FormActivate(Form1);
        benchmark::DoNotOptimize(Ultimo);
    }
    if (Ultimo != expectedLast || Form1->ComboBox1->Items().Count() != expectedLast + 1 || g_errors != 0)
        state.SkipWithError("the list did not load as expected");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size("NOMBRES.TXT")));
}

void BM_ListLoad301(benchmark::State& state) { LoadList(state, "list301", MaxLugares - 1); }

// The reference: the same file's bytes read into memory.
void BM_ReadListBytes(benchmark::State& state) {
    const std::string path = (Folder("list301") / "NOMBRES.TXT").string();
    std::string bytes;
    for (auto _ : state) {
        bytes.clear();
        const int fd = open(path.c_str(), O_RDONLY);
        char buffer[64 * 1024];
        for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
        close(fd);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_ListLoadOneLine(benchmark::State& state) {
    LoadList(state, state.range(0) == 5 ? "line5" : "line50", 0);
}

}  // namespace

// Process CPU time: Qt's raster engine hands large fills to its thread pool.
BENCHMARK(BM_FullViewRepaint)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Iterations(300);
BENCHMARK(BM_PressToFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Iterations(150);
BENCHMARK(BM_ChoiceToFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->Iterations(150);
BENCHMARK(BM_ReadListBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListLoad301)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK(BM_ListLoadOneLine)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    // The program loads its list once, into fresh memory. Repeated loads in
    // one process would reuse the heap for anything below glibc's sliding
    // mmap threshold (up to 32 MB) and skip the page faults a real load
    // pays, so a 5 MB load would look cheaper per byte than a 50 MB one. A
    // fixed threshold gives every large block fresh pages, as in the program.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    platform::Application->ErrorBox = [](const std::string&, const std::string& message) {
        ++g_errors;
        std::fprintf(stderr, "error box: %s\n", message.c_str());
    };

    char pattern[] = "/tmp/orbe-bench-window-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    g_root = pattern;
    WriteFile(Folder("press") / "NOMBRES.TXT", TwoPlaces());
    WriteFile(Folder("list301") / "NOMBRES.TXT", FullList());
    WriteFile(Folder("line5") / "NOMBRES.TXT", OneLine(5'000'000));
    WriteFile(Folder("line50") / "NOMBRES.TXT", OneLine(50'000'000));
    ShowWindowWithList(Folder("press"));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.PrintRatio("press_to_frame_ratio", "BM_PressToFrame/iterations:150/process_time", "BM_FullViewRepaint/iterations:300/process_time");
    reporter.PrintRatio("choice_to_frame_ratio", "BM_ChoiceToFrame/iterations:150/process_time", "BM_FullViewRepaint/iterations:300/process_time");
    reporter.PrintRatio("list_load_ratio", "BM_ListLoad301/iterations:100", "BM_ReadListBytes");
    reporter.PrintRatio("list_load_linearity", "BM_ListLoadOneLine/50/iterations:3", "BM_ListLoadOneLine/5/iterations:3");
    if (std::getenv("ORBE_BENCH_PAINTS"))
        for (const auto& [name, pixels] : g_meter->byClass) std::fprintf(stderr, "painted %s: %lld px\n", name.c_str(), pixels);
    benchmark::Shutdown();

    fs::current_path("/");
    platform::Application->DestroyForms();
    fs::remove_all(g_root);
    return 0;
}
