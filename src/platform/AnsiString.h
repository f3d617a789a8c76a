#pragma once

#include <string>

namespace platform {

// The program's texts are 8-bit Windows-1252 bytes, from the list file to the
// drop-down entries; they become Unicode only where Qt draws them.
using AnsiString = std::string;

}  // namespace platform
