// List files as a user could spoil them, read by the real window: each ends
// in the places the line rules give, or in one clear error box with what was
// read before it kept, and the window goes on working. The program never
// writes the list file.

#include "WindowFixture.h"
#include "WindowPointer.h"

#include "ListLineRules.h"
#include "PlaceLine.h"
#include "TextFile.h"

#include <QComboBox>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::TextFile;

constexpr std::size_t kBuf = TextFile::kBufferSize;
constexpr std::size_t kMiB = 1024 * 1024;

// One line past what the tables hold is enough to tell a list that is too
// long.
std::vector<std::string> LinesOf(const std::string& bytes) {
    return LinesByTheListRules(bytes, std::size_t(MaxLugares) + 1);
}

std::string Repeat(const std::string& text, std::size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Numbered lines of a fixed length (with CR LF), so reads split them at
// known places.
std::string NumberedLines(int count, std::size_t length) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(i);
        std::string line;
        line.append("L").append(number).append("=").append(number).append(",").append(number).append(" ");
        line.resize(length - 2, '.');
        out.append(line).append("\r\n");
    }
    return out;
}

// What the file was before the load, to show that the load left it alone.
struct Snapshot {
    bool exists = false;
    struct stat st {};
    std::string bytes;  // regular files up to 64 MiB
    bool hasBytes = false;
};

Snapshot Take(const fs::path& path) {
    Snapshot s;
    if (::lstat(path.c_str(), &s.st) != 0) return s;
    s.exists = true;
    if (S_ISREG(s.st.st_mode) && s.st.st_size <= static_cast<off_t>(64 * kMiB)) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        char chunk[65536];
        ssize_t n;
        while (fd >= 0 && (n = ::read(fd, chunk, sizeof chunk)) > 0) s.bytes.append(chunk, std::size_t(n));
        if (fd >= 0) ::close(fd);
        s.hasBytes = fd >= 0;
    }
    return s;
}

std::string Differences(const Snapshot& a, const Snapshot& b) {
    if (a.exists != b.exists) return "the list file appeared or vanished";
    if (!a.exists) return "";
    if (a.st.st_ino != b.st.st_ino || a.st.st_mode != b.st.st_mode || a.st.st_size != b.st.st_size)
        return "the list file was replaced or resized";
    if (a.st.st_mtim.tv_sec != b.st.st_mtim.tv_sec || a.st.st_mtim.tv_nsec != b.st.st_mtim.tv_nsec)
        return "the list file was written";
    if (a.hasBytes && a.bytes != b.bytes) return "the list file's bytes changed";
    return "";
}

constexpr int kFromLines = -1;
constexpr int kNotOpened = -2;

struct BadList {
    const char* label;
    // Makes NOMBRES.TXT (or whatever stands under that name) in the working
    // directory; returns the bytes the reader will see, when it is a file.
    std::function<std::string()> make;
    // The error box expected; nullptr: the one for a list longer than the
    // tables when the bytes have more lines than that, else none.
    const char* error = nullptr;
    // Places loaded before the error; kFromLines: as many as the lines give,
    // at most 301; kNotOpened: none, and Ultimo keeps its start value.
    int placesOnError = kFromLines;
};

void WriteFile(const std::string& bytes) {
    std::ofstream("NOMBRES.TXT", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A file of `size` bytes that takes no room on disk: `head`, then zero bytes.
std::string SparseFile(const std::string& head, off_t size) {
    WriteFile(head);
    EXPECT_EQ(::truncate("NOMBRES.TXT", size), 0) << std::strerror(errno);
    return head;  // the rest is one line too long to be read
}

const char* const kTooManyPlaces =
    "La lista NOMBRES.TXT tiene m\xE1s lugares de los que caben en el programa; solo se han cargado los 301 primeros.";
const char* const kLineTooLong = "La l\xEDnea 2 de NOMBRES.TXT es demasiado larga (m\xE1s de 256 MiB)";
const char* const kFirstLineTooLong = "La l\xEDnea 1 de NOMBRES.TXT es demasiado larga (m\xE1s de 256 MiB)";

std::vector<BadList> BadLists() {
    return {
        {"RandomBinary", [] { auto b = RandomBytes(16 * 1024, 1); WriteFile(b); return b; }},
        {"RandomBinaryOfManyLines", [] { auto b = RandomBytes(400 * 1024, 2); WriteFile(b); return b; }},
        {"NulBytes", [] { std::string b("A\0B=1,2\r\n\0\0\0\r\n=\0" "3,4\r\n\0", 20); WriteFile(b); return b; }},
        {"OnlyNulBytes", [] { std::string b(100000, '\0'); WriteFile(b); return b; }},
        {"BytesWindows1252LeavesUndefined",
         [] { std::string b = "\x81\x8D\x8F\x90\x9D=1,2\r\nA\x81(B\x9D)=3,4\r\n\x90\r\n"; WriteFile(b); return b; }},
        {"Utf16WithByteOrderMark",
         [] {
             std::string b = "\xFF\xFE";
             for (char c : std::string("Espa\xF1" "a=1734,484\r\nFrancia=1865,400\r\n")) b += std::string{c, '\0'};
             WriteFile(b);
             return b;
         }},
        {"Utf8Names", [] { std::string b = "Espa\xC3\xB1" "a (Madrid)=1734,484\r\n\xE2\x82\xAC=1,1\r\n"; WriteFile(b); return b; }},
        {"ControlCharacters",
         [] { std::string b; for (int c = 1; c < 32; ++c) if (c != 10 && c != 13 && c != 26) b += std::string(1, char(c)) + "=1,2\n"; WriteFile(b); return b; }},
        {"OnlyLineEnds", [] { auto b = Repeat("\r\n", 200) + Repeat("\n", 50) + Repeat("\r", 1000); WriteFile(b); return b; }},
        {"OnlyCarriageReturns", [] { auto b = Repeat("\r", 300000); WriteFile(b); return b; }},
        {"CtrlZOnly", [] { std::string b = "\x1a"; WriteFile(b); return b; }},
        {"HugeNumbers", [] { std::string b = "A=99999999999999999999,99999999999\r\nB=-2147483648,-99999\r\nC=$FFFFFFFF,$FFFF\r\n"; WriteFile(b); return b; }},
        {"EqualsAndCommasOnly", [] { auto b = Repeat("=", 5000) + "\r\n" + Repeat(",", 5000) + "\r\n"; WriteFile(b); return b; }},
        {"ExactlyThe301PlacesThatFit", [] { auto b = NumberedLines(301, 40); WriteFile(b); return b; }},
        {"OnePlaceTooMany", [] { auto b = NumberedLines(302, 40); WriteFile(b); return b; }, kTooManyPlaces},
        {"MillionsOfLines", [] { auto b = Repeat("A=1,2\r\n", 3'000'000); WriteFile(b); return b; }, kTooManyPlaces},
        {"MillionsOfEmptyLines", [] { auto b = std::string(5'000'000, '\n'); WriteFile(b); return b; }, kTooManyPlaces},
        {"LongNameOf20MiB", [] { auto b = std::string(20 * kMiB, 'N') + "=1,2\r\nB=3,4\r\n"; WriteFile(b); return b; }},
        {"LongLinesAcrossBuffers", [] { auto b = NumberedLines(100, kBuf / 3 + 7); WriteFile(b); return b; }},
        {"GiganticFirstLine", [] { return SparseFile("", static_cast<off_t>(300 * kMiB)); }, kFirstLineTooLong, 0},
        {"GiganticLineAfterAPlace", [] { return SparseFile("Espa\xF1" "a=1734,484\r\n", static_cast<off_t>(300 * kMiB)); },
         kLineTooLong, 1},
        {"Folder", [] { fs::create_directory("NOMBRES.TXT"); return ""; }, "File access denied.", kNotOpened},
        {"Fifo", [] { EXPECT_EQ(::mkfifo("NOMBRES.TXT", 0644), 0); return ""; }, "File access denied.", kNotOpened},
        {"LinkToDevZero", [] { fs::create_symlink("/dev/zero", "NOMBRES.TXT"); return ""; }, "File access denied.", kNotOpened},
        {"Socket",
         [] {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strcpy(address.sun_path, "NOMBRES.TXT");
             EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
             ::close(fd);
             return "";
         },
         "File access denied.", kNotOpened},
        {"SymlinkLoop", [] { fs::create_symlink("NOMBRES.TXT", "NOMBRES.TXT"); return ""; }, "I/O error 40.", kNotOpened},
        {"LinkToNowhere", [] { fs::create_symlink("gone/NOMBRES.TXT", "NOMBRES.TXT"); return ""; }, "File not found.", kNotOpened},
        {"LinkToAFolder", [] { fs::create_directory("sub"); fs::create_symlink("sub", "NOMBRES.TXT"); return ""; },
         "File access denied.", kNotOpened},
    };
}

class BadListTest : public WindowTest, public ::testing::WithParamInterface<BadList> {
protected:
    // The window goes on: a press on the map shows its point and marks the
    // nearest place, and the arrow key chooses from the list.
    void ExpectTheWindowGoesOn() {
        PressMap(40, 30);
        EXPECT_EQ(Form1->Edit1->Text(), "40  30");
        EXPECT_TRUE(Form1->Marca->Visible());
        if (Form1->ComboBox1->ItemIndex() + 1 < Form1->ComboBox1->Items().Count()) {
            QTest::keyClick(Form1->ComboBox1->Handle(), Qt::Key_Down);
            EXPECT_EQ(Elegido, Form1->ComboBox1->ItemIndex());
            EXPECT_EQ(Form1->Edit1->Text(), std::to_string(CoordX[Elegido]) + "  " + std::to_string(CoordY[Elegido]));
        }
    }

    // Entry i shows place i, and the tables hold the lines' places, the
    // rest left as they start.
    void ExpectPlaces(const std::vector<std::string>& lines, int count) {
        ASSERT_EQ(Ultimo, count - 1);
        const auto& items = Form1->ComboBox1->Items();
        ASSERT_EQ(items.Count(), count);
        ASSERT_EQ(static_cast<QComboBox*>(Form1->ComboBox1->Handle())->count(), count);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(items[i], " " + Nombres[i]) << "entry " << i;
            if (i < static_cast<int>(lines.size())) {
                const PlaceLine place = CutPlaceLine(lines[i]);
                ASSERT_EQ(Nombres[i], place.name) << "place " << i;
                ASSERT_EQ(CoordX[i], place.x) << "place " << i;
                ASSERT_EQ(CoordY[i], place.y) << "place " << i;
            }
        }
        for (int i = std::max(count, 0); i < MaxLugares; ++i)
            ASSERT_TRUE(Nombres[i].empty() && CoordX[i] == 0 && CoordY[i] == 0) << "unused entry " << i;
    }
};

TEST_P(BadListTest, EndsInItsPlacesOrOneClearErrorAndGoesOn) {
    const BadList& c = GetParam();
    const std::string bytes = c.make();
    const Snapshot before = Take(directory_ / "NOMBRES.TXT");

    CreateAndShowWindow();

    const std::vector<std::string> lines = LinesOf(bytes);
    const char* error = c.error ? c.error : lines.size() > std::size_t(MaxLugares) ? kTooManyPlaces : nullptr;
    if (error) {
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].message, error);
        EXPECT_EQ(errors[0].title, platform::Application->Title());
    } else {
        EXPECT_TRUE(errors.empty()) << errors.front().message;
    }
    if (c.placesOnError == kNotOpened) {
        EXPECT_EQ(Ultimo, 0);
        EXPECT_EQ(Form1->ComboBox1->Items().Count(), 0);
    } else {
        const int places = c.placesOnError >= 0 ? c.placesOnError : std::min<int>(int(lines.size()), MaxLugares);
        ExpectPlaces(lines, places);
    }
    EXPECT_EQ(Differences(before, Take(directory_ / "NOMBRES.TXT")), "");
    ExpectTheWindowGoesOn();
    EXPECT_EQ(errors.size(), error ? 1u : 0u) << "the window raised errors after the load";
}

INSTANTIATE_TEST_SUITE_P(BadLists, BadListTest, ::testing::ValuesIn(BadLists()),
                         [](const auto& p) { return std::string(p.param.label); });

// The file changes under the reader. Each entry added to the list marks the
// moment between two lines; at the 10th the file is changed while the reader
// holds it open with the rest of its first buffer still to come.
struct ChangeWhileRead {
    const char* label;
    std::function<void()> change;
    // The bytes the reader sees, from the original's.
    std::function<std::string(const std::string&)> seen;
};

std::vector<ChangeWhileRead> ChangesWhileRead() {
    const std::string extra = NumberedLines(20, 30);
    return {
        {"TruncatedToNothing", [] { ASSERT_EQ(::truncate("NOMBRES.TXT", 0), 0); },
         [](const std::string& original) { return original.substr(0, kBuf); }},
        {"TruncatedWithinTheSecondBuffer", [] { ASSERT_EQ(::truncate("NOMBRES.TXT", kBuf + 100), 0); },
         [](const std::string& original) { return original.substr(0, kBuf + 100); }},
        {"Removed", [] { ASSERT_EQ(::unlink("NOMBRES.TXT"), 0); },
         [](const std::string& original) { return original; }},
        {"ReplacedByAnotherFile",
         [] {
             std::ofstream("other", std::ios::binary) << "Otro=1,1\r\n";
             ASSERT_EQ(::rename("other", "NOMBRES.TXT"), 0);
         },
         [](const std::string& original) { return original; }},
        {"Grown",
         [extra] { std::ofstream("NOMBRES.TXT", std::ios::binary | std::ios::app) << extra; },
         [extra](const std::string& original) { return original + extra; }},
        {"RewrittenShorterInPlace",
         [] {
             const int fd = ::open("NOMBRES.TXT", O_WRONLY | O_TRUNC);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::write(fd, "Nuevo=5,5\r\n", 11), 11);
             ::close(fd);
         },
         [](const std::string& original) { return original.substr(0, kBuf); }},
    };
}

class ListChangedWhileRead : public WindowTest, public ::testing::WithParamInterface<ChangeWhileRead> {};

TEST_P(ListChangedWhileRead, LoadsWhatTheReaderSawAndGoesOn) {
    const ChangeWhileRead& c = GetParam();
    // 200 lines of 1000 bytes: the first read holds 65 whole lines and part
    // of the 66th.
    const std::string original = NumberedLines(200, 1000);
    WriteList(original);
    CreateWindow();
    auto& items = Form1->ComboBox1->Items();
    const auto shown = items.OnAdded;
    bool changed = false;
    items.OnAdded = [&](int index, const platform::AnsiString& text) {
        shown(index, text);
        if (index == 9 && !changed) {
            changed = true;
            c.change();
        }
    };
    ShowWindow();
    items.OnAdded = shown;
    ASSERT_TRUE(changed);

    const std::vector<std::string> lines = LinesOf(c.seen(original));
    EXPECT_TRUE(errors.empty()) << errors.front().message;
    ASSERT_EQ(Ultimo, int(lines.size()) - 1);
    ASSERT_EQ(items.Count(), int(lines.size()));
    for (int i = 0; i < items.Count(); ++i) {
        ASSERT_EQ(items[i], " " + Nombres[i]);
        ASSERT_EQ(Nombres[i], CutPlaceLine(lines[i]).name) << "place " << i;
    }
    PressMap(40, 30);
    EXPECT_EQ(Form1->Edit1->Text(), "40  30");
}

INSTANTIATE_TEST_SUITE_P(BadLists, ListChangedWhileRead, ::testing::ValuesIn(ChangesWhileRead()),
                         [](const auto& p) { return std::string(p.param.label); });

}  // namespace
