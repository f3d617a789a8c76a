// The window started and quit many times in one process, with the shipped
// list and a little use each time: nothing of a window may outlive it.

#include "WindowFixture.h"

#include <QCoreApplication>

#include <cstdio>
#include <fstream>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

long ResidentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class WindowCycles : public WindowTest {
protected:
    // One start and quit: create, show (which loads the list), a press and
    // a choice, the help panel, a paint; then the window is destroyed as at
    // the end of the program's event loop.
    void Cycle() {
        CreateAndShowWindow();
        ASSERT_EQ(Form1->ComboBox1->Items().Count(), 246);
        PressMap(1865, 400);
        QTest::keyClick(Form1->ComboBox1->Handle(), Qt::Key_Down);
        QTest::mouseClick(Form1->BtAyuda->Handle(), Qt::LeftButton);
        ASSERT_TRUE(Form1->Memo1->Visible());
        Form1->Handle()->repaint();
        QCoreApplication::processEvents();
        platform::Application->DestroyForms();
        Form1 = nullptr;
        // The tables as a fresh process has them, for the next start.
        Nombres.fill({});
        CoordX.fill(0);
        CoordY.fill(0);
        Elegido = 0;
        Ultimo = 0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(WindowCycles, HundredStartsAndQuitsLeaveNothingBehind) {
    std::filesystem::copy_file(std::filesystem::path(ORBE_SOURCE_DIR) / "assets" / "NOMBRES.TXT",
                               directory_ / "NOMBRES.TXT");
    // The first start loads fonts and styles for the whole process.
    for (int i = 0; i < 10; ++i) ASSERT_NO_FATAL_FAILURE(Cycle());
    const long warm = ResidentBytes();
    for (int i = 10; i < 100; ++i) ASSERT_NO_FATAL_FAILURE(Cycle()) << "start " << i;
    const long end = ResidentBytes();
    std::printf("cycles: resident %ld KiB after 10 starts, %ld KiB after 100\n", warm / 1024, end / 1024);
    EXPECT_TRUE(errors.empty());
#if defined(__SANITIZE_ADDRESS__)
    // Every block that nothing points to any more is a leak, reported with
    // where it was allocated.
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "leaks: see the LeakSanitizer report above";
#else
    // Ninety windows, each with its 21 MB picture, must not leave their
    // memory behind; a small allowance for the allocator's own growth.
    EXPECT_LE(end - warm, 4L * 1024 * 1024);
#endif
}

}  // namespace
