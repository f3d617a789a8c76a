#include "Component.h"

#include <QJsonValue>
#include <QString>

namespace platform {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() {
    while (!owned_.empty()) owned_.pop_back();
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    for (const auto& component : owned_)
        if (component->Name() == name) return component.get();
    return nullptr;
}

void TComponent::EndLoading() {
    if (!loading_) return;
    loading_ = false;
    Loaded();
}

bool TComponent::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("Name")) {
        name_ = value.toString().toStdString();
        return true;
    }
    return false;
}

bool TComponent::BindStoredEvent(const QString&, const QString&, const LayoutBindings&) {
    return false;
}

}  // namespace platform
