#pragma once

// The lines of a place list by the file's rules, written apart from the real
// reader so that tests and the fuzz target can check it: LF or CR LF ends a
// line, other CRs are dropped, a Ctrl-Z where a line begins ends the file,
// and a last line without a line end still counts. Stops once `enough` lines
// are read.

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::string> LinesByTheListRules(
    std::string_view bytes, std::size_t enough = std::numeric_limits<std::size_t>::max()) {
    std::vector<std::string> lines;
    std::string line;
    bool inLine = false;
    for (const char c : bytes) {
        if (lines.size() >= enough) return lines;
        if (!inLine && c == '\x1a') return lines;
        inLine = true;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
            inLine = false;
        } else if (c != '\r') {
            line += c;
        }
    }
    if (inLine) lines.push_back(line);
    return lines;
}
