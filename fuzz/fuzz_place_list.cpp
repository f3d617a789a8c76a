// Feeds arbitrary bytes through the real loading path: the bytes become
// NOMBRES.TXT in a private working directory and the real main window's
// FormActivate reads them into the place tables and the drop-down list.
// After each input the tables and the list are checked against a small,
// independent reading of the same bytes.
//
// The first byte of an input is not written as it stands: 0 writes the rest
// as the file; any other value k puts a padding line in front so that the
// rest starts k bytes before the reader's buffer ends, where lines and
// Ctrl-Z cross buffer boundaries.

#include "ListLineRules.h"
#include "TextFile.h"
#include "Unit1.h"

#include <QComboBox>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path g_folder;
std::vector<std::string> g_errors;

[[noreturn]] void Fail(const char* what, std::size_t index = 0) {
    std::fprintf(stderr, "fuzz_place_list: %s (entry %zu)\n", what, index);
    std::abort();
}

void Check(bool ok, const char* what, std::size_t index = 0) {
    if (!ok) Fail(what, index);
}

// ---- The reading the tables must match, written from the file's rules ----
// (its lines: LinesByTheListRules)

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The number at the start of a field; what follows it is ignored.
std::int32_t FieldValue(std::string_view f) {
    std::size_t i = 0;
    while (i < f.size() && f[i] == ' ') ++i;
    std::size_t hexStart = 0;
    if (i < f.size() && (f[i] == '$' || f[i] == 'x' || f[i] == 'X'))
        hexStart = i + 1;
    else if (i + 1 < f.size() && f[i] == '0' && (f[i + 1] == 'x' || f[i + 1] == 'X'))
        hexStart = i + 2;
    if (hexStart != 0) {
        std::uint32_t v = 0;
        for (std::size_t j = hexStart; j < f.size() && HexDigit(f[j]) >= 0; ++j)
            v = v * 16 + static_cast<std::uint32_t>(HexDigit(f[j]));
        return static_cast<std::int32_t>(v);
    }
    bool minus = false;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) {
        minus = f[i] == '-';
        ++i;
        if (i == f.size() || !IsDigit(f[i])) return 0;
    }
    std::int64_t v = 0;
    std::size_t j = i;
    for (; j < f.size() && IsDigit(f[j]); ++j) v = v * 10 + (f[j] - '0');
    // The sign counts only when the digits run to the end of the field.
    if (minus && j == f.size()) v = -v;
    return static_cast<std::int32_t>(v);
}

std::string_view Sub(std::string_view s, std::size_t from, std::size_t count) {
    return from >= s.size() ? std::string_view{} : s.substr(from, count);
}

struct Place {
    std::string name;
    std::int32_t x;
    std::int32_t y;
};

Place Cut(std::string_view line) {
    const std::size_t eq = line.find('=');
    const std::size_t p = eq == std::string_view::npos ? 0 : eq + 1;  // 1-based, 0: none
    const std::string_view name = p > 1 ? line.substr(0, p - 1) : std::string_view{};
    const std::string_view window = Sub(line, p, 10);
    const std::size_t comma = window.find(',');
    const std::size_t q = comma == std::string_view::npos ? 0 : comma + 1;
    const std::string_view xField = q > 1 ? window.substr(0, q - 1) : std::string_view{};
    const std::string_view yField = Sub(window, q, 5);
    return {std::string(name), FieldValue(xField), FieldValue(yField)};
}

// ---- The harness ----

void WriteList(const std::string& bytes) {
    const int fd = ::open("NOMBRES.TXT", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    Check(fd >= 0, "cannot write the list");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        Check(n > 0, "cannot write the list");
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::string ReadList() {
    std::string bytes;
    const int fd = ::open("NOMBRES.TXT", O_RDONLY | O_CLOEXEC);
    Check(fd >= 0, "the list is gone");
    char chunk[65536];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
}

// The tables and the list as a fresh start leaves them.
void ResetWindow() {
    Nombres.fill({});
    CoordX.fill(0);
    CoordY.fill(0);
    Elegido = 0;
    Ultimo = 0;
    Form1->ComboBox1->Items().Clear();
    g_errors.clear();
}

void RemoveFolder() {
    std::error_code ec;
    fs::current_path("/", ec);
    fs::remove_all(g_folder, ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No display; the window is created but never shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "orbe-fuzz";
    static char* argv[] = {name, nullptr};
    static platform::TApplication application(argc, argv);
    application.ErrorBox = [](const platform::AnsiString&, const platform::AnsiString& message) {
        g_errors.push_back(message);
    };

    char pattern[] = "/tmp/orbe-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) Fail("cannot make a working directory");
    g_folder = pattern;
    fs::current_path(g_folder);
    std::atexit(RemoveFolder);

    application.CreateForm(Form1);
    // The first entry ever shown loads the fonts; done here, that one-time
    // work is not taken for a leak of the first input.
    Form1->ComboBox1->Items().Add(" ");
    Form1->ComboBox1->Items().Clear();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return -1;  // the first byte chooses the padding
    std::string bytes;
    if (data[0] != 0) {
        const std::size_t line = platform::TextFile::kBufferSize - data[0];
        bytes.assign(line - 1, 'P');
        bytes += '\n';
    }
    bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);

    ResetWindow();
    WriteList(bytes);
    platform::Application->Dispatch([] { Form1->FormActivate(Form1); });

    const std::vector<std::string> lines = LinesByTheListRules(bytes);
    const std::size_t loaded = std::min<std::size_t>(lines.size(), MaxLugares);
    const platform::TStrings& items = Form1->ComboBox1->Items();

    Check(Ultimo >= -1 && Ultimo <= MaxLugares - 1, "Ultimo left the tables");
    Check(items.Count() == Ultimo + 1, "the list and Ultimo disagree");
    Check(static_cast<std::size_t>(Ultimo + 1) == loaded, "wrong number of places");
    Check(static_cast<QComboBox*>(Form1->ComboBox1->Handle())->count() == items.Count(),
          "the shown list and its entries disagree");
    // Only a list longer than the tables is refused, with one message.
    Check(g_errors.size() == (lines.size() > MaxLugares ? 1u : 0u), "unexpected error box");
    Check(Elegido == 0, "loading changed Elegido");
    Check(Form1->ComboBox1->ItemIndex() == -1, "loading selected an entry");

    for (std::size_t i = 0; i < loaded; ++i) {
        const int k = static_cast<int>(i);
        Check(items[k] == " " + Nombres[i], "entry is not a blank and the name", i);
        const Place expected = Cut(lines[i]);
        Check(Nombres[i] == expected.name, "wrong name", i);
        Check(CoordX[i] == expected.x, "wrong x", i);
        Check(CoordY[i] == expected.y, "wrong y", i);
    }
    for (std::size_t i = loaded; i < MaxLugares; ++i)
        Check(Nombres[i].empty() && CoordX[i] == 0 && CoordY[i] == 0, "an unused entry changed", i);

    Check(ReadList() == bytes, "the list file changed");
    return 0;
}
