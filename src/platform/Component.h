#pragma once

#include "AnsiString.h"
#include "Types.h"

#include <memory>
#include <vector>

class QJsonValue;
class QString;

namespace platform {

class LayoutBindings;

// A named part of a window. The owner destroys what it owns, newest first, so
// that a child always goes before its parent.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    const AnsiString& Name() const { return name_; }
    void SetName(AnsiString name) { name_ = std::move(name); }
    TComponent* Owner() const { return owner_; }

    // Takes ownership of a component created for this owner.
    template <class T>
    T* Own(std::unique_ptr<T> component) {
        T* raw = component.get();
        owned_.push_back(std::move(component));
        return raw;
    }
    int ComponentCount() const { return static_cast<int>(owned_.size()); }
    TComponent* Components(int index) const { return owned_.at(static_cast<size_t>(index)).get(); }
    TComponent* FindComponent(const AnsiString& name) const;

    // While a stored layout is read, properties are stored as they stand and
    // no event reaches a handler.
    bool IsLoading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    void EndLoading();

    // Stored-layout hooks: false means "not a property or event of mine".
    virtual bool SetStoredProperty(const QString& name, const QJsonValue& value);
    virtual bool BindStoredEvent(const QString& event, const QString& handler,
                                 const LayoutBindings& bindings);

protected:
    // Called once the whole layout has been read.
    virtual void Loaded() {}

private:
    AnsiString name_;
    TComponent* owner_;
    bool loading_ = false;
    std::vector<std::unique_ptr<TComponent>> owned_;
};

}  // namespace platform
