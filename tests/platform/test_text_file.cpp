#include "Exceptions.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::EInOutError;
using platform::TextFile;

constexpr std::size_t kBuf = TextFile::kBufferSize;

std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out.size() > 200 ? out.substr(0, 200) + "... (" + std::to_string(s.size()) + " bytes)" : out;
}

std::vector<std::string> Printable(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines)
        out.push_back(Printable(line));
    return out;
}

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& name) {
    std::string bytes;
    const int fd = ::open(name.c_str(), O_RDONLY);
    if (fd < 0)
        return "(unreadable)";
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
}

std::vector<std::string> ReadAllLines(TextFile& file) {
    std::vector<std::string> lines;
    file.Reset();
    while (!file.Eof())
        lines.push_back(file.ReadLine());
    file.Close();
    return lines;
}

int OpenDescriptors() {
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir))
            ++n;
        ::closedir(dir);
    }
    return n;
}

// Each test runs in a fresh folder of its own as the working directory,
// since TextFile opens bare names there.
class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "orbe-textfile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        folder_ = pattern;
        ASSERT_EQ(::chdir(folder_.c_str()), 0) << std::strerror(errno);
    }
    void TearDown() override {
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(folder_, ec);
    }

    fs::path previous_;
    fs::path folder_;
};

// ---------------------------------------------------------------------------
// Line rules: file bytes -> the lines read.

struct LinesCase {
    const char* label;
    std::string bytes;
    std::vector<std::string> lines;
};

std::string Pattern(std::size_t n) {
    std::string s(n, ' ');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + i % 26);
    return s;
}

std::vector<LinesCase> LineCases() {
    const std::string several(700, 'L');
    const std::string huge = Pattern(3 * kBuf + 17);
    const std::string almostBuffer = Pattern(kBuf - 1);
    const std::string fullBuffer = Pattern(kBuf);
    return {
        {"Empty", "", {}},
        {"CtrlZFirst", "\x1a" "A=1,2\r\n", {}},
        {"CrLf", "A=1,2\r\nB=3,4\r\n", {"A=1,2", "B=3,4"}},
        {"NoFinalLineEnd", "A=1,2\r\nB=3,4", {"A=1,2", "B=3,4"}},
        {"TwoFinalLineEnds", "A=1,2\r\nB=3,4\r\n\r\n", {"A=1,2", "B=3,4", ""}},
        {"EmptyLinesInside", "\nA\n\n\nB", {"", "A", "", "", "B"}},
        {"LfOnly", "A=1,2\nB=3,4\n", {"A=1,2", "B=3,4"}},
        {"CrOnly", "A=1,2\rB=3,4\r", {"A=1,2B=3,4"}},
        {"LoneCrAtEnd", "A=1,2\r", {"A=1,2"}},
        {"LoneCrAfterFinalLineEnd", "A\r\n\r", {"A", ""}},
        {"LoneCrInsideLine", "A=1\r,2\r\n", {"A=1,2"}},
        {"CrCrLf", "A\r\r\nB", {"A", "B"}},
        {"CtrlZAtLineStartMidFile", "A\r\nB\r\n\x1a" "C\r\n", {"A", "B"}},
        {"CtrlZAfterEmptyLine", "A\n\n\x1a" "B", {"A", ""}},
        {"CtrlZInsideLine", "A\x1a" "B\r\n\x1a", {"A\x1a" "B"}},
        {"OtherBytesKept", std::string("Espa\xF1" "a\0\t \x7f\xff\n", 12), {std::string("Espa\xF1" "a\0\t \x7f\xff", 11)}},
        {"ByteOrderMarkKept", "\xEF\xBB\xBF" "A=1,2\r\n", {"\xEF\xBB\xBF" "A=1,2"}},
        {"SeveralHundredChars", several + "\r\nB", {several, "B"}},
        {"LineLongerThanBuffer", huge + "\r\nB\r\n", {huge, "B"}},
        {"CrLfAcrossBuffers", almostBuffer + "\r\nB", {almostBuffer, "B"}},
        {"LineEndsWithBuffer", almostBuffer + "\n", {almostBuffer}},
        {"CtrlZStartsSecondBuffer", almostBuffer + "\n\x1a" "B\n", {almostBuffer}},
        {"CtrlZInsideLineStartsSecondBuffer", fullBuffer + "\x1a" "B\n", {fullBuffer + "\x1a" "B"}},
    };
}

class LineRules : public TextFileTest, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(LineRules, ReadsTheLinesAndLeavesTheFileAlone) {
    const LinesCase& c = GetParam();
    WriteFile("NOMBRES.TXT", c.bytes);
    TextFile file("NOMBRES.TXT");
    EXPECT_EQ(Printable(ReadAllLines(file)), Printable(c.lines));
    EXPECT_TRUE(ReadBytes("NOMBRES.TXT") == c.bytes) << "the file was changed";
}

INSTANTIATE_TEST_SUITE_P(TextFile, LineRules, ::testing::ValuesIn(LineCases()),
                         [](const auto& p) { return std::string(p.param.label); });

TEST_F(TextFileTest, StaysAtTheEndOnceThere) {
    WriteFile("NOMBRES.TXT", "A\n\x1a" "B\n");
    TextFile file("NOMBRES.TXT");
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "A");
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_TRUE(file.Eof());
    file.Close();
}

TEST_F(TextFileTest, ResetStartsOverAndCloseReleasesTheFile) {
    WriteFile("NOMBRES.TXT", "A\nB\n");
    const int before = OpenDescriptors();
    {
        TextFile file("NOMBRES.TXT");
        file.Reset();
        EXPECT_EQ(file.ReadLine(), "A");
        file.Reset();
        EXPECT_EQ(file.ReadLine(), "A");
        EXPECT_EQ(OpenDescriptors(), before + 1);
        file.Close();
        EXPECT_EQ(OpenDescriptors(), before);
        for (auto op : {+[](TextFile& f) { f.Eof(); }, +[](TextFile& f) { f.ReadLine(); },
                        +[](TextFile& f) { f.Close(); }}) {
            try {
                op(file);
                ADD_FAILURE() << "no error on a closed file";
            } catch (const EInOutError& e) {
                EXPECT_EQ(e.ErrorCode(), EBADF);
            }
        }
        file.Reset();  // left open for the destructor
        EXPECT_EQ(OpenDescriptors(), before + 1);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

// ---------------------------------------------------------------------------
// Lines too long for memory.

TEST_F(TextFileTest, RefusesALineLongerThanTheBound) {
    // CRs are dropped, so they do not count towards the bound.
    WriteFile("NOMBRES.TXT", "ok\n" + std::string(50, 'a') + "\r\r" + std::string(50, 'a') + "\r\n" +
                                 std::string(101, 'b') + "\n");
    TextFile file("NOMBRES.TXT", 100);
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "ok");
    EXPECT_EQ(file.ReadLine(), std::string(100, 'a'));
    try {
        file.ReadLine();
        ADD_FAILURE() << "a 101-byte line was read under a 100-byte bound";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), "La l\xEDnea 3 de NOMBRES.TXT es demasiado larga (m\xE1s de 100 bytes)");
    }
    file.Close();
}

TEST_F(TextFileTest, RefusesALineOfMoreThan256MiB) {
    // Sparse: costs no disk, and NULs are ordinary bytes of the line.
    {
        std::ofstream out("NOMBRES.TXT", std::ios::binary);
    }
    ASSERT_EQ(::truncate("NOMBRES.TXT", static_cast<off_t>(TextFile::kMaxLineBytes + 1)), 0);
    TextFile file("NOMBRES.TXT");
    file.Reset();
    try {
        file.ReadLine();
        ADD_FAILURE() << "a line over 256 MiB was read";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), "La l\xEDnea 1 de NOMBRES.TXT es demasiado larga (m\xE1s de 256 MiB)");
    }
}

// ---------------------------------------------------------------------------
// Errors.

TEST(EInOutError, MessageFollowsErrno) {
    const struct {
        int err;
        const char* message;
    } cases[] = {
        {ENOENT, "File not found"},      {ENOTDIR, "Invalid filename"},
        {ENAMETOOLONG, "Invalid filename"}, {EMFILE, "Too many open files"},
        {ENFILE, "Too many open files"}, {EACCES, "File access denied"},
        {EPERM, "File access denied"},   {EISDIR, "File access denied"},
        {EIO, "I/O error 5"},            {EBUSY, "I/O error 16"},
        {ETXTBSY, "I/O error 26"},
    };
    for (const auto& c : cases) {
        const EInOutError e = EInOutError::FromErrno(c.err);
        EXPECT_EQ(e.Message(), c.message) << "errno " << c.err;
        EXPECT_EQ(e.ErrorCode(), c.err);
    }
}

struct OpenFailure {
    const char* label;
    std::string name;
    void (*setup)();
    int err;
    const char* message;
};

std::vector<OpenFailure> OpenFailureCases() {
    return {
        {"Missing", "NOMBRES.TXT", [] {}, ENOENT, "File not found"},
        {"DanglingLink", "NOMBRES.TXT", [] { ASSERT_EQ(::symlink("nowhere", "NOMBRES.TXT"), 0); },
         ENOENT, "File not found"},
        {"FileOnThePath", "afile/NOMBRES.TXT", [] { WriteFile("afile", "x"); }, ENOTDIR,
         "Invalid filename"},
        {"NameTooLong", std::string(300, 'N'), [] {}, ENAMETOOLONG, "Invalid filename"},
        {"Folder", "NOMBRES.TXT", [] { ASSERT_EQ(::mkdir("NOMBRES.TXT", 0755), 0); }, EACCES,
         "File access denied"},
        {"Fifo", "NOMBRES.TXT", [] { ASSERT_EQ(::mkfifo("NOMBRES.TXT", 0644), 0); }, EACCES,
         "File access denied"},
        {"EndlessDevice", "NOMBRES.TXT", [] { ASSERT_EQ(::symlink("/dev/zero", "NOMBRES.TXT"), 0); },
         EACCES, "File access denied"},
        {"Socket", "NOMBRES.TXT",
         [] {
             const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
             ASSERT_GE(s, 0);
             sockaddr_un addr{};
             addr.sun_family = AF_UNIX;
             std::strcpy(addr.sun_path, "NOMBRES.TXT");
             const int rc = ::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
             ::close(s);
             ASSERT_EQ(rc, 0);
         },
         EACCES, "File access denied"},
    };
}

class OpenFailures : public TextFileTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailures, RaiseTheirMessageWithoutHangingOrLeaking) {
    const OpenFailure& c = GetParam();
    c.setup();
    if (HasFatalFailure())
        return;
    const int before = OpenDescriptors();
    TextFile file(c.name);
    ::alarm(10);  // a blocking open would otherwise hang the run
    try {
        file.Reset();
        ADD_FAILURE() << "opened";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), c.message);
        EXPECT_EQ(e.ErrorCode(), c.err);
    }
    ::alarm(0);
    EXPECT_EQ(OpenDescriptors(), before);
}

INSTANTIATE_TEST_SUITE_P(TextFile, OpenFailures, ::testing::ValuesIn(OpenFailureCases()),
                         [](const auto& p) { return std::string(p.param.label); });

// 0 when a readable file opens and an unreadable one is refused as it should.
int CheckUnreadableIsRefused() {
    try {
        TextFile control("OTRO.TXT");
        control.Reset();
        control.Close();
    } catch (const EInOutError&) {
        return 10;  // cannot even read a readable file here
    }
    try {
        TextFile file("NOMBRES.TXT");
        file.Reset();
        return 11;
    } catch (const EInOutError& e) {
        if (e.ErrorCode() != EACCES)
            return 12;
        if (e.Message() != "File access denied")
            return 13;
    }
    return 0;
}

TEST_F(TextFileTest, FileWithoutReadPermissionIsRefused) {
    WriteFile("OTRO.TXT", "A=1,2\n");
    WriteFile("NOMBRES.TXT", "A=1,2\n");
    ASSERT_EQ(::chmod("NOMBRES.TXT", 0200), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(CheckUnreadableIsRefused(), 0);
        return;
    }
    // Root reads anything, so the check runs in a child as nobody.
    ASSERT_EQ(::chmod(".", 0755), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(20);
        ::_exit(CheckUnreadableIsRefused());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: readable file refused, 11: unreadable opened, "
                                         "12/13: wrong error, 20: could not drop to nobody";
}

TEST_F(TextFileTest, ReadErrorRaisesTheSystemErrorNumber) {
    // Reading this process's memory at offset 0 fails with EIO.
    if (::access("/proc/self/mem", F_OK) != 0)
        GTEST_SKIP() << "no /proc";
    ASSERT_EQ(::symlink("/proc/self/mem", "NOMBRES.TXT"), 0);
    TextFile file("NOMBRES.TXT");
    file.Reset();
    try {
        file.Eof();
        ADD_FAILURE() << "read without error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), EIO);
        EXPECT_EQ(e.Message(), "I/O error 5");
    }
    file.Close();
}

// ---------------------------------------------------------------------------
// The name's case.

struct NameCase {
    const char* label;
    std::string requested;
    std::vector<std::string> present;
    const char* opened;  // nullptr: "File not found"
};

std::vector<NameCase> NameCases() {
    return {
        {"Exact", "NOMBRES.TXT", {"NOMBRES.TXT"}, "NOMBRES.TXT"},
        {"OtherCase", "NOMBRES.TXT", {"Nombres.txt"}, "Nombres.txt"},
        {"SeveralTakesFirstInByteOrder", "NOMBRES.TXT", {"nombres.txt", "Nombres.txt", "NOMBRES.txt"},
         "NOMBRES.txt"},
        {"ExactBeatsAnEarlierMatch", "Nombres.txt", {"nombres.txt", "NOMBRES.TXT", "Nombres.txt"},
         "Nombres.txt"},
        {"SimilarNamesDoNotMatch", "NOMBRES.TXT",
         {"NOMBRES.TXT~", "NOMBRES.TX", "NOMBRES_TXT", " NOMBRES.TXT", "NOMBRES.TXT.bak"}, nullptr},
        {"OnlyAsciiLettersFold", "\xD1.TXT", {"\xF1.txt"}, nullptr},
    };
}

class NameLookup : public TextFileTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameLookup, OpensTheMatchingEntry) {
    const NameCase& c = GetParam();
    for (const auto& name : c.present)
        WriteFile(name, name + "\n");
    TextFile file(c.requested);
    if (c.opened == nullptr) {
        try {
            file.Reset();
            ADD_FAILURE() << "opened something";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Message(), "File not found");
        }
        return;
    }
    file.Reset();
    EXPECT_EQ(file.ReadLine(), c.opened);
    file.Close();
}

INSTANTIATE_TEST_SUITE_P(TextFile, NameLookup, ::testing::ValuesIn(NameCases()),
                         [](const auto& p) { return std::string(p.param.label); });

}  // namespace
