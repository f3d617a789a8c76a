#pragma once

#include "AnsiString.h"

#include <exception>
#include <utility>

namespace platform {

// Base of every error the class library raises; its message is what the
// application's error box shows.
class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : message_(std::move(message)) {}

    const AnsiString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    AnsiString message_;
};

// A failure to open, read or close a file. The message is the short English
// text the error box shows (it adds the full stop); ErrorCode() keeps the
// system's errno for whoever wants the detail.
class EInOutError : public Exception {
public:
    EInOutError(AnsiString message, int errorCode);

    int ErrorCode() const noexcept { return errorCode_; }

    // The message that goes with an errno value.
    static EInOutError FromErrno(int err);

private:
    int errorCode_;
};

// A picture that cannot be read or decoded.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

}  // namespace platform
