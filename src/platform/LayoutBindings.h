#pragma once

#include "AnsiString.h"
#include "Types.h"

#include <functional>
#include <map>
#include <string>

namespace platform {

class TComponent;

// What a window class offers its stored layout: the member that receives each
// named control, and the handlers that events are bound to by name.
class LayoutBindings {
public:
    template <class T>
    void Field(const AnsiString& name, T*& member) {
        fields_[name] = [&member](TComponent* component) {
            auto* typed = dynamic_cast<T*>(component);
            if (typed) member = typed;
            return typed != nullptr;
        };
    }
    void Handler(const AnsiString& name, TNotifyEvent handler) { notify_[name] = std::move(handler); }
    void Handler(const AnsiString& name, TMouseEvent handler) { mouse_[name] = std::move(handler); }

    bool HasField(const AnsiString& name) const { return fields_.count(name) != 0; }
    // False when the component is not of the member's class.
    bool BindField(const AnsiString& name, TComponent* component) const {
        return fields_.at(name)(component);
    }
    const TNotifyEvent* NotifyHandler(const AnsiString& name) const { return Find(notify_, name); }
    const TMouseEvent* MouseHandler(const AnsiString& name) const { return Find(mouse_, name); }
    bool HasHandler(const AnsiString& name) const {
        return notify_.count(name) != 0 || mouse_.count(name) != 0;
    }

private:
    template <class Map>
    static const typename Map::mapped_type* Find(const Map& map, const AnsiString& name) {
        auto it = map.find(name);
        return it == map.end() ? nullptr : &it->second;
    }

    std::map<AnsiString, std::function<bool(TComponent*)>> fields_;
    std::map<AnsiString, TNotifyEvent> notify_;
    std::map<AnsiString, TMouseEvent> mouse_;
};

}  // namespace platform
