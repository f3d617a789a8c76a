#pragma once

// For the start-up harness: waits for the first paint that covers the whole of
// a widget, lets that frame finish, then prints when it was done and exits.
//
// Printed on one line of standard output, for bench_startup:
//   frame_ns=<CLOCK_MONOTONIC at the end of the frame>
//   cpu_ns=<this process's CPU time by then>
//   hwm_kb=<peak resident memory by then (VmHWM)>
//   size=<width>x<height> of the widget's window
// With ORBE_BENCH_SMAPS=FILE it also copies /proc/self/smaps there, to see
// which mappings the resident memory is in.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QPaintEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <unistd.h>

namespace frameprobe {

inline long long Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

inline long PeakResidentKilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kb;
}

// `ready` says whether what the frame must show is in place (checked when the
// paint arrives).
class FirstFrame : public QObject {
public:
    FirstFrame(QWidget& target, std::function<bool()> ready)
        : QObject(&target), target_(target), ready_(std::move(ready)) {
        target.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &target_ || event->type() != QEvent::Paint || done_) return false;
        const auto* paint = static_cast<QPaintEvent*>(event);
        if (!paint->region().contains(target_.rect()) || !ready_()) return false;
        done_ = true;
        // Runs once the paint in progress, and the rest of its frame, is over.
        QMetaObject::invokeMethod(
            qApp,
            [this] {
                const long long frame = Nanoseconds(CLOCK_MONOTONIC);
                const long long cpu = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
                const QWidget* window = target_.window();
                std::printf("frame_ns=%lld cpu_ns=%lld hwm_kb=%ld size=%dx%d\n", frame, cpu,
                            PeakResidentKilobytes(), window->width(), window->height());
                std::fflush(stdout);
                // Where the memory went, for a closer look: ORBE_BENCH_SMAPS=FILE.
                if (const char* smaps = std::getenv("ORBE_BENCH_SMAPS")) {
                    QFile in(QStringLiteral("/proc/self/smaps"));
                    QFile out(QString::fromLocal8Bit(smaps));
                    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly)) out.write(in.readAll());
                }
                _exit(0);  // the measurement is over; tearing down is not part of it
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QWidget& target_;
    std::function<bool()> ready_;
    bool done_ = false;
};

}  // namespace frameprobe
