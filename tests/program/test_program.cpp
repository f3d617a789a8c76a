// The real orbe executable on a private Xvfb display: what a user sees on
// screen and what keys and the window manager do to it.

#include "XSession.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace orbe_test {
namespace {

namespace fs = std::filesystem;

// The main window's caption ends in the version; the error box carries the
// application title, the program file's name.
const char* const kMainWindow = "V\\. 2\\.3\\)$";
const char* const kErrorBox = "^orbe$";

// Where the stored layout puts the map view in the client area, and its
// sunken edge.
constexpr int kViewLeft = 16;
constexpr int kViewTop = 40;
constexpr int kViewEdge = 2;

constexpr auto kStartTimeout = 60s;  // a loaded 2-core machine, a debug build
constexpr auto kTimeout = 20s;

struct Point {
    int x = 0;
    int y = 0;
};

std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "(" << p.x << ", " << p.y << ")";
}

// The pure lime (0, 255, 0) pixels of a screenshot: how many, and where.
struct LimeSpot {
    int count = 0;
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive bounds

    // The marker is a circle filling its 12 x 12 square with a one-pixel black
    // outline, so its lime lies strictly inside the square and spans most of it.
    bool IsMarkerAt(Point square) const {
        return count >= 60 && left >= square.x + 1 && right <= square.x + 10 &&
               top >= square.y + 1 && bottom <= square.y + 10 && right - left >= 8 &&
               bottom - top >= 8;
    }
};

std::ostream& operator<<(std::ostream& out, const LimeSpot& s) {
    return out << s.count << " lime pixels in x " << s.left << ".." << s.right << ", y " << s.top
               << ".." << s.bottom;
}

// Looks right of and below `from` only: the exit button's glyph above the
// map view has a lime light of its own.
LimeSpot FindLime(const QImage& shot, Point from) {
    LimeSpot spot;
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    for (int y = std::max(from.y, 0); y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = std::max(from.x, 0); x < image.width(); ++x) {
            if ((line[x] & 0xffffffu) != 0x00ff00u) continue;
            if (spot.count == 0) {
                spot.left = spot.right = x;
                spot.top = spot.bottom = y;
            }
            spot.left = std::min(spot.left, x);
            spot.right = std::max(spot.right, x);
            spot.top = std::min(spot.top, y);
            spot.bottom = std::max(spot.bottom, y);
            ++spot.count;
        }
    }
    return spot;
}

std::string ShippedList() { return std::string(ORBE_SOURCE_DIR) + "/assets/NOMBRES.TXT"; }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class OrbeRun : public ::testing::Test {
protected:
    void StartDisplay(int width = 1152, int height = 864) {
        const fs::path runtime = fs::path(home_.Path()) / "runtime";
        fs::create_directory(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        // Where the program's user can read it.
        fs::copy_file(ORBE_LSAN_SUPPRESSIONS, fs::path(home_.Path()) / "lsan-x11.supp");
        x_.emplace(width, height);
    }

    void PutShippedList() {
        fs::copy_file(ShippedList(), fs::path(work_.Path()) / "NOMBRES.TXT");
    }

    // Starts orbe in the working folder, as the current user or as "nobody"
    // (then from a copy the other user can reach, with the same file name).
    void StartOrbe(bool asNobody = false) {
        ProcessOptions options;
        options.argv = {ORBE_EXECUTABLE};
        options.env = Env();
        options.cwd = work_.Path();
        if (asNobody) {
            const passwd* nobody = getpwnam("nobody");
            ASSERT_NE(nobody, nullptr) << "no user 'nobody' on this machine";
            const fs::path bin = fs::path(home_.Path()) / "bin";
            fs::create_directory(bin);
            fs::copy_file(ORBE_EXECUTABLE, bin / "orbe");
            for (const std::string& dir : {home_.Path(), bin.string(), work_.Path()})
                fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
            options.argv = {(bin / "orbe").string()};
            options.uid = nobody->pw_uid;
            options.gid = nobody->pw_gid;
        }
        orbe_ = Process(options);
    }

    // A light window manager, for what only a window manager does: Alt+F4 and
    // the close request.
    void StartWindowManager() {
        ProcessOptions options;
        options.argv = {"/usr/bin/openbox", "--sm-disable"};
        options.env = Env();
        options.cwd = home_.Path();
        options.quiet = true;
        wm_ = Process(options);
        const bool ready = WaitFor(
            [&] {
                return Tool({"/usr/bin/xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).out.find(
                           "window id") != std::string::npos;
            },
            kTimeout, 200ms);
        ASSERT_TRUE(ready) << "openbox did not take over the display";
    }

    std::vector<std::string> Env() const {
        std::vector<std::string> env = {"DISPLAY=" + x_->Display(), "QT_QPA_PLATFORM=xcb",
                                        "HOME=" + home_.Path(),
                                        "XDG_RUNTIME_DIR=" + home_.Path() + "/runtime",
                                        "XDG_CONFIG_HOME=" + home_.Path() + "/.config",
                                        "XDG_CACHE_HOME=" + home_.Path() + "/.cache"};
        for (const char* name : {"PATH", "LANG", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
            if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
        // A sanitized build: on X, Qt also loads D-Bus, whose blocks live
        // for the whole process; the suppressions say so.
        if (std::getenv("LSAN_OPTIONS") || std::getenv("ASAN_OPTIONS"))
            env.push_back("LSAN_OPTIONS=suppressions=" + home_.Path() +
                          "/lsan-x11.supp:print_suppressions=0");
        return env;
    }

    RunResult Tool(std::vector<std::string> argv) { return RunCommand(argv, Env(), kTimeout); }

    // The shown windows whose title matches.
    std::vector<std::string> Windows(const std::string& titleRegex) {
        return Lines(Tool({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", titleRegex}).out);
    }

    std::string WaitWindow(const std::string& titleRegex, std::chrono::milliseconds timeout) {
        std::vector<std::string> found;
        WaitFor([&] { return !(found = Windows(titleRegex)).empty() || !orbe_.Running(); }, timeout,
                200ms);
        return found.empty() ? std::string() : found.front();
    }

    // The window's client area's top-left corner on the screen (xwininfo:
    // xdotool counts a window manager's title bar twice).
    Point ClientCorner(const std::string& window) {
        const RunResult r = Tool({"/usr/bin/xwininfo", "-id", window});
        Point corner{-1, -1};
        for (const std::string& line : Lines(r.out)) {
            const auto value = [&](const char* label) {
                const size_t at = line.find(label);
                return at == std::string::npos ? std::optional<int>()
                                               : std::stoi(line.substr(at + std::strlen(label)));
            };
            if (const auto x = value("Absolute upper-left X:")) corner.x = *x;
            if (const auto y = value("Absolute upper-left Y:")) corner.y = *y;
        }
        return corner;
    }

    // The screen point where the map view's client area begins.
    Point ViewCorner(const std::string& window) {
        const Point client = ClientCorner(window);
        return {client.x + kViewLeft + kViewEdge, client.y + kViewTop + kViewEdge};
    }

    QImage Screenshot() {
        const std::string file = home_.Path() + "/shot.png";
        fs::remove(file);
        const RunResult r = Tool({ORBE_PROBE, "grab", file});
        if (r.code != 0) return {};
        return QImage(QString::fromStdString(file));
    }

    // Waits until the screen shows the marker with its square's top-left
    // corner at `offset` from the map view's client corner.
    ::testing::AssertionResult MarkerShownAt(const std::string& window, Point offset) {
        LimeSpot spot;
        Point square;
        const bool shown = WaitFor(
            [&] {
                const Point view = ViewCorner(window);
                square = {view.x + offset.x, view.y + offset.y};
                spot = FindLime(Screenshot(), view);
                return spot.IsMarkerAt(square);
            },
            kTimeout, 200ms);
        if (shown) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "no marker with its square at " << square << " (view corner + " << offset
               << "); the view shows " << spot;
    }

    void Key(const std::string& keys) {
        ASSERT_EQ(Tool({"/usr/bin/xdotool", "key", "--delay", "60", keys}).code, 0) << keys;
    }

    void Type(const std::string& text) {
        ASSERT_EQ(Tool({"/usr/bin/xdotool", "type", "--delay", "120", text}).code, 0) << text;
    }

    std::string Clipboard() { return Tool({ORBE_PROBE, "clipboard"}).out; }

    // Copies the focused field's whole text and reads it back from the
    // clipboard; waits for the expected text, returns what was there last.
    std::string CopyFocusedField(const std::string& expected) {
        std::string text;
        WaitFor(
            [&] {
                Key("ctrl+a");
                Key("ctrl+c");
                text = Clipboard();
                return text == expected;
            },
            kTimeout, 300ms);
        return text;
    }

    // Waits for the main window and for the marker at the start point, that
    // is 312 and 220 px from the view's client corner.
    std::string WaitStarted() {
        const std::string window = WaitWindow(kMainWindow, kStartTimeout);
        EXPECT_FALSE(window.empty()) << "the main window did not appear";
        if (window.empty()) return window;
        EXPECT_TRUE(MarkerShownAt(window, {312, 220}));
        return window;
    }

    // An error box titled with the application title appears, Enter closes
    // it, and the program goes on with its window and marker unchanged.
    void ExpectErrorBoxAndGoOn() {
        const std::string box = WaitWindow(kErrorBox, kStartTimeout);
        ASSERT_FALSE(box.empty()) << "no window titled \"orbe\" appeared";
        const std::string window = WaitWindow(kMainWindow, kTimeout);
        ASSERT_FALSE(window.empty());

        Key("Return");
        EXPECT_TRUE(WaitFor([&] { return Windows(kErrorBox).empty(); }, kTimeout, 200ms))
            << "Enter did not close the error box";
        EXPECT_TRUE(orbe_.Running());
        EXPECT_EQ(Windows(kMainWindow), std::vector<std::string>{window});
        EXPECT_TRUE(MarkerShownAt(window, {312, 220}));
        // Still answering: the exit button's accelerator ends it normally.
        Key("alt+s");
        EXPECT_EQ(orbe_.WaitExit(kTimeout), std::optional<int>(0));
    }

    TempDir work_{"work"};
    TempDir home_{"home"};
    // Declared so that orbe goes first, the display last.
    std::optional<XServer> x_;
    Process wm_;
    Process orbe_;
};

// The start state on three screen widths: both fitted ones and one that is
// not; the marker is where the start point puts it on each.
struct ScreenSize {
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& out, const ScreenSize& s) {
    return out << s.width << "x" << s.height;
}

class OrbeStart : public OrbeRun, public ::testing::WithParamInterface<ScreenSize> {};

TEST_P(OrbeStart, ShowsTheMarkerOnTheStartPoint) {
    StartDisplay(GetParam().width, GetParam().height);
    PutShippedList();
    StartOrbe();
    const std::string window = WaitStarted();
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(orbe_.Running());
    EXPECT_TRUE(Windows(kErrorBox).empty()) << "the shipped list loads without an error";
}

INSTANTIATE_TEST_SUITE_P(Screens, OrbeStart,
                         ::testing::Values(ScreenSize{1024, 768}, ScreenSize{1152, 864},
                                           ScreenSize{1280, 1024}),
                         [](const auto& param) {
                             return std::to_string(param.param.width) + "x" +
                                    std::to_string(param.param.height);
                         });

// These run with a window manager: without one, nothing gives the focus back
// to the main window when the box closes.
TEST_F(OrbeRun, MissingListShowsAnErrorBoxAndGoesOn) {
    StartDisplay();
    StartWindowManager();
    StartOrbe();
    ExpectErrorBoxAndGoOn();
    EXPECT_EQ(FolderEntries(work_.Path()), std::vector<std::string>{}) << "orbe wrote a file";
}

TEST_F(OrbeRun, UnreadableListShowsAnErrorBoxAndGoesOn) {
    StartDisplay();
    StartWindowManager();
    PutShippedList();
    const fs::path list = fs::path(work_.Path()) / "NOMBRES.TXT";
    fs::permissions(list, fs::perms::none);
    // Root reads any file, so the program runs as another user.
    StartOrbe(geteuid() == 0);
    ExpectErrorBoxAndGoOn();
    EXPECT_EQ(fs::status(list).permissions() & fs::perms::all, fs::perms::none);
    EXPECT_EQ(fs::file_size(list), fs::file_size(ShippedList()));
}

// Choosing with the keyboard: Tab from the exit button to the drop-down list
// and type; auto-completion selects the first entry beginning with the text.
struct TypedChoice {
    const char* name;
    const char* typed;
    const char* field;  // the typed text, then the rest of the entry (UTF-8)
    const char* readOut;
    Point marker;  // from the view's client corner
};

std::ostream& operator<<(std::ostream& out, const TypedChoice& c) { return out << c.name; }

class OrbeTypedChoice : public OrbeRun, public ::testing::WithParamInterface<TypedChoice> {};

TEST_P(OrbeTypedChoice, PutsTheMarkerWhereTheListSays) {
    const TypedChoice& c = GetParam();
    StartDisplay();
    PutShippedList();
    StartOrbe();
    const std::string window = WaitStarted();
    ASSERT_FALSE(window.empty());

    Key("Tab");
    Type(c.typed);
    EXPECT_TRUE(MarkerShownAt(window, c.marker));
    EXPECT_EQ(CopyFocusedField(c.field), c.field);
    Key("Tab");
    EXPECT_EQ(CopyFocusedField(c.readOut), c.readOut);
    EXPECT_TRUE(orbe_.Running());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, OrbeTypedChoice,
    ::testing::Values(
        // The start point itself: the list's field and the read-out show it.
        TypedChoice{"Spain", " esp", " espa\xc3\xb1" "a (Madrid)", "1734  484", {312, 220}},
        // Left of 312: the view stays at the map's left edge.
        TypedChoice{"CookIslands", " islas coo", " islas cook (Avarua)", "145  1205", {145, 220}},
        // Above 220: the view stays at the map's top edge.
        TypedChoice{"Greenland", " groen", " groenlandia (Nuuk)", "1376  219", {312, 219}}),
    [](const auto& param) { return std::string(param.param.name); });

// The exit button has the focus at start; these keys press it and the
// program ends at once with exit code 0.
struct ExitKey {
    const char* name;
    const char* keys;
};

std::ostream& operator<<(std::ostream& out, const ExitKey& k) { return out << k.keys; }

class OrbeExitKey : public OrbeRun, public ::testing::WithParamInterface<ExitKey> {};

TEST_P(OrbeExitKey, EndsTheProgram) {
    StartDisplay();
    PutShippedList();
    StartOrbe();
    ASSERT_FALSE(WaitStarted().empty());

    Key(GetParam().keys);
    EXPECT_EQ(orbe_.WaitExit(kTimeout), std::optional<int>(0));
    EXPECT_EQ(FolderEntries(work_.Path()), std::vector<std::string>{"NOMBRES.TXT"})
        << "orbe wrote a file";
}

INSTANTIATE_TEST_SUITE_P(Keys, OrbeExitKey,
                         ::testing::Values(ExitKey{"Enter", "Return"}, ExitKey{"Space", "space"},
                                           ExitKey{"S", "s"}, ExitKey{"ShiftS", "shift+s"},
                                           ExitKey{"AltS", "alt+s"}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(OrbeRun, EscapeEndsNothing) {
    StartDisplay();
    PutShippedList();
    StartOrbe();
    const std::string window = WaitStarted();
    ASSERT_FALSE(window.empty());

    Key("Escape");
    // Keys reach the program in order: once the help button's accelerator
    // has moved the marker to the map's corner, Esc has been handled.
    Key("alt+a");
    EXPECT_TRUE(MarkerShownAt(window, {0, 0}));
    EXPECT_TRUE(orbe_.Running());
    EXPECT_EQ(Windows(kMainWindow), std::vector<std::string>{window});
}

// With a window manager: Alt+F4 and the window manager's close request.
struct WindowManagerClose {
    const char* name;
    bool altF4;
};

std::ostream& operator<<(std::ostream& out, const WindowManagerClose& c) { return out << c.name; }

class OrbeWindowManagerClose : public OrbeRun,
                               public ::testing::WithParamInterface<WindowManagerClose> {};

TEST_P(OrbeWindowManagerClose, EndsTheProgram) {
    StartDisplay();
    StartWindowManager();
    PutShippedList();
    StartOrbe();
    const std::string window = WaitStarted();
    ASSERT_FALSE(window.empty());
    // Alt+F4 goes to the focused window: wait until the manager has given
    // the focus to ours.
    ASSERT_TRUE(WaitFor(
        [&] { return Lines(Tool({"/usr/bin/xdotool", "getactivewindow"}).out) ==
                     std::vector<std::string>{window}; },
        kTimeout, 200ms));
    EXPECT_TRUE(orbe_.Running());

    if (GetParam().altF4)
        Key("alt+F4");
    else
        ASSERT_EQ(Tool({"/usr/bin/wmctrl", "-i", "-c", window}).code, 0);
    EXPECT_EQ(orbe_.WaitExit(kTimeout), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(Requests, OrbeWindowManagerClose,
                         ::testing::Values(WindowManagerClose{"AltF4", true},
                                           WindowManagerClose{"CloseRequest", false}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace orbe_test
