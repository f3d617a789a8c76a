#include "TextFile.h"

#include "AnsiStrings.h"
#include "Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kCtrlZ = '\x1a';

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Appends [first, last) to line without its carriage returns: a CR before a
// LF belongs to the line end, and a lone CR is dropped.
void AppendWithoutCR(AnsiString& line, const char* first, const char* last) {
    while (first != last) {
        const void* cr = std::memchr(first, kCarriageReturn, static_cast<std::size_t>(last - first));
        const char* stop = cr ? static_cast<const char*>(cr) : last;
        line.append(first, stop);
        first = cr ? stop + 1 : last;
    }
}

std::size_t KeptBytes(const char* first, const char* last) {
    return static_cast<std::size_t>(last - first) -
           static_cast<std::size_t>(std::count(first, last, kCarriageReturn));
}

// "256 MiB", or a byte count for a bound that is not whole mebibytes.
AnsiString SizeText(std::size_t bytes) {
    constexpr std::size_t kMiB = 1024 * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return IntToStr(static_cast<std::int64_t>(bytes / kMiB)) + " MiB";
    return IntToStr(static_cast<std::int64_t>(bytes)) + " bytes";
}

}  // namespace

TextFile::TextFile(AnsiString name) : TextFile(std::move(name), kMaxLineBytes) {}

TextFile::TextFile(AnsiString name, std::size_t maxLineBytes)
    : name_(std::move(name)), maxLineBytes_(maxLineBytes) {}

TextFile::~TextFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

AnsiString TextFile::ResolveName() const {
    // Only bare names are looked up; anything with a folder is taken as given.
    if (name_.empty() || name_.find('/') != AnsiString::npos)
        return name_;
    struct stat st {};
    if (::fstatat(AT_FDCWD, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return name_;

    DIR* dir = ::opendir(".");
    if (!dir)
        return name_;  // the open below reports what is wrong
    AnsiString best;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (EqualIgnoringAsciiCase(candidate, name_) && (!found || candidate < best)) {
            best = AnsiString(candidate);
            found = true;
        }
    }
    ::closedir(dir);
    return found ? best : name_;
}

void TextFile::Reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    pos_ = len_ = 0;
    ended_ = false;
    lineNumber_ = 0;
    if (!buffer_)  // before anything is opened, so a failure here leaks nothing
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);

    const AnsiString path = ResolveName();
    // Non-blocking so that opening a FIFO or a device cannot hang us before
    // the check below refuses it.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        // Sockets and devices without a driver fail here rather than at the
        // type check; they are refused the same way.
        struct stat st {};
        if ((err == ENXIO || err == ENODEV) && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            throw EInOutError::FromErrno(EACCES);
        throw EInOutError::FromErrno(err);
    }

    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw EInOutError::FromErrno(err);
    }
    if (!S_ISREG(st.st_mode)) {  // folder, FIFO, device, socket
        ::close(fd);
        throw EInOutError::FromErrno(EACCES);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        const int err = errno;
        ::close(fd);
        throw EInOutError::FromErrno(err);
    }

    fd_ = fd;
}

bool TextFile::Fill() {
    if (fd_ < 0)
        throw EInOutError::FromErrno(EBADF);
    ssize_t n;
    do {
        n = ::read(fd_, buffer_.get(), kBufferSize);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        throw EInOutError::FromErrno(errno);
    pos_ = 0;
    len_ = static_cast<std::size_t>(n);
    return n > 0;
}

bool TextFile::Eof() {
    if (fd_ < 0)
        throw EInOutError::FromErrno(EBADF);
    if (ended_)
        return true;
    if (pos_ == len_ && !Fill()) {
        ended_ = true;
        return true;
    }
    if (buffer_[pos_] == kCtrlZ)
        ended_ = true;
    return ended_;
}

AnsiString TextFile::ReadLine() {
    AnsiString line;
    if (Eof())
        return line;
    ++lineNumber_;
    for (;;) {
        if (pos_ == len_ && !Fill()) {
            ended_ = true;  // the end of the file ends the last line
            return line;
        }
        const char* first = buffer_.get() + pos_;
        const char* last = buffer_.get() + len_;
        const void* lf = std::memchr(first, kLineFeed, static_cast<std::size_t>(last - first));
        const char* stop = lf ? static_cast<const char*>(lf) : last;
        if (line.size() + KeptBytes(first, stop) > maxLineBytes_) {
            throw Exception("La l\xEDnea " + IntToStr(lineNumber_) + " de " + name_ +
                            " es demasiado larga (m\xE1s de " + SizeText(maxLineBytes_) + ")");
        }
        AppendWithoutCR(line, first, stop);
        if (lf) {
            pos_ = static_cast<std::size_t>(stop - buffer_.get()) + 1;
            return line;
        }
        pos_ = len_;
    }
}

void TextFile::Close() {
    if (fd_ < 0)
        throw EInOutError::FromErrno(EBADF);
    const int fd = std::exchange(fd_, -1);
    pos_ = len_ = 0;
    ended_ = false;
    // Not retried on EINTR: on Linux the descriptor is gone either way.
    if (::close(fd) != 0 && errno != EINTR)
        throw EInOutError::FromErrno(errno);
}

}  // namespace platform
