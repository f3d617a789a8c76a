// The real orbe, started and closed under valgrind's memcheck on a private
// Xvfb display: no invalid read or write, and no block of ours definitely
// lost. The system libraries' own blocks are suppressed in valgrind.supp.

#include "XSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace orbe_test {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(Memcheck, StartAndCloseWithoutMemoryErrorsOrDefiniteLeaks) {
    ASSERT_TRUE(fs::exists("/usr/bin/valgrind")) << "valgrind is needed (scripts/install-deps)";
    TempDir folder("orbe-memcheck");
    fs::copy_file(fs::path(ORBE_SOURCE_DIR) / "assets" / "NOMBRES.TXT", fs::path(folder.Path()) / "NOMBRES.TXT");
    const std::string log = folder.Path() + "/memcheck.log";

    XServer server(1280, 1024);
    const std::vector<std::string> env = {"DISPLAY=" + server.Display(), "QT_QPA_PLATFORM=xcb",
                                          "HOME=" + folder.Path(), "XDG_RUNTIME_DIR=" + folder.Path(),
                                          "PATH=/usr/bin:/bin",
                                          // No session bus to start: GLib would fork for it.
                                          "DBUS_SESSION_BUS_ADDRESS=disabled:"};
    ProcessOptions options;
    options.argv = {"/usr/bin/valgrind", "--tool=memcheck", "--error-exitcode=97", "--leak-check=full",
                    "--show-leak-kinds=definite", "--errors-for-leak-kinds=definite", "--num-callers=40",
                    "--suppressions=" ORBE_VALGRIND_SUPPRESSIONS, "--gen-suppressions=all",
                    "--log-file=" + log, ORBE_EXECUTABLE};
    options.env = env;
    options.cwd = folder.Path();
    options.quiet = true;
    Process orbe(options);

    // Under valgrind everything is some 20 to 50 times slower.
    std::string window;
    ASSERT_TRUE(WaitFor(
        [&] {
            const RunResult r = RunCommand({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "Orbe"}, env);
            std::istringstream lines(r.out);
            return static_cast<bool>(std::getline(lines, window)) && !window.empty();
        },
        300s, 500ms))
        << "no window under valgrind";
    // The list loads on activation and the map is decoded on the first paint;
    // give both time, then press Enter: the exit button has the focus.
    SleepFor(20s);
    ASSERT_EQ(RunCommand({"/usr/bin/xdotool", "windowfocus", "--sync", window}, env).code, 0);
    ASSERT_EQ(RunCommand({"/usr/bin/xdotool", "key", "Return"}, env).code, 0);

    const std::optional<int> code = orbe.WaitExit(300s);
    const std::string report = ReadText(log);
    ASSERT_TRUE(code.has_value()) << "orbe did not end after Enter on the exit button\n" << report;
    EXPECT_FALSE(std::regex_search(report, std::regex("Invalid (read|write|free)|uninitialised|Mismatched free")))
        << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("definitely lost: 0 bytes|All heap blocks were freed")))
        << report;
    EXPECT_EQ(*code, 0) << "97 is valgrind's: errors were found\n" << report;
}

}  // namespace
}  // namespace orbe_test
