#pragma once

#include "AnsiString.h"

#include <functional>
#include <vector>

namespace platform {

// A list of 8-bit texts, such as a drop-down list's entries.
class TStrings {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const AnsiString& Strings(int index) const { return items_.at(static_cast<size_t>(index)); }
    const AnsiString& operator[](int index) const { return Strings(index); }
    // Appends a text at the end and returns its index.
    int Add(AnsiString text);
    void Clear();

    // Told of every change, so that a control can show it.
    std::function<void(int index, const AnsiString& text)> OnAdded;
    std::function<void()> OnCleared;

private:
    std::vector<AnsiString> items_;
};

}  // namespace platform
