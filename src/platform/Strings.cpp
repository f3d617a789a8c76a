#include "Strings.h"

namespace platform {

int TStrings::Add(AnsiString text) {
    items_.push_back(std::move(text));
    const int index = Count() - 1;
    if (OnAdded) OnAdded(index, items_.back());
    return index;
}

void TStrings::Clear() {
    items_.clear();
    if (OnCleared) OnCleared();
}

}  // namespace platform
