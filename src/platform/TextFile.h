#pragma once

#include "AnsiString.h"

#include <cstddef>
#include <memory>

namespace platform {

// Read-only text-file input by a bare name in the working directory, one line
// at a time. The file is a user's and untrusted: it is never written, anything
// but a regular file is refused, and no line may outgrow MaxLineBytes.
//
// Lines: LF or CR LF ends a line; any other CR is dropped and the line goes
// on; a Ctrl-Z (byte 26) where a line would begin ends the file, inside a
// line it is an ordinary byte; the end of the file ends the last line, and a
// final line end makes no extra empty line. Every other byte is kept as is.
//
// If no entry has exactly the given name, the one whose name equals it
// ignoring ASCII case is opened (the first in byte order if several do).
//
// Failures raise EInOutError with the system's errno; a line that is too
// long raises Exception.
class TextFile {
public:
    static constexpr std::size_t kBufferSize = 64 * 1024;
    static constexpr std::size_t kMaxLineBytes = 256u * 1024 * 1024;

    explicit TextFile(AnsiString name);
    // As above with a tighter bound on a line's length.
    TextFile(AnsiString name, std::size_t maxLineBytes);
    ~TextFile();

    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens the file for reading from its start (closing it first if open).
    void Reset();
    // True at the end of the file or when a Ctrl-Z stands where the next line
    // would begin. May read, so may throw.
    bool Eof();
    // The next line without its line end; empty once at the end.
    AnsiString ReadLine();
    void Close();

private:
    bool Fill();           // false at the end of the file
    AnsiString ResolveName() const;

    AnsiString name_;
    std::size_t maxLineBytes_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool ended_ = false;   // end of file, or a Ctrl-Z at a line start
    long long lineNumber_ = 0;
};

}  // namespace platform
