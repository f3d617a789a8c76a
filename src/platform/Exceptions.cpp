#include "Exceptions.h"

#include "AnsiStrings.h"

#include <cerrno>

namespace platform {

EInOutError::EInOutError(AnsiString message, int errorCode)
    : Exception(std::move(message)), errorCode_(errorCode) {}

EInOutError EInOutError::FromErrno(int err) {
    switch (err) {
    case ENOENT:
        return EInOutError("File not found", err);
    case ENOTDIR:       // a folder on the path is missing or is a file
    case ENAMETOOLONG:
        return EInOutError("Invalid filename", err);
    case EMFILE:
    case ENFILE:
        return EInOutError("Too many open files", err);
    case EACCES:
    case EPERM:
    case EISDIR:
        return EInOutError("File access denied", err);
    default:
        return EInOutError("I/O error " + IntToStr(err), err);
    }
}

}  // namespace platform
