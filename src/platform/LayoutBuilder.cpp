#include "LayoutBuilder.h"

#include "Buttons.h"
#include "ComboBox.h"
#include "ExtCtrls.h"
#include "Form.h"
#include "LayoutBindings.h"
#include "LayoutParser.h"
#include "StdCtrls.h"
#include "StoredValues.h"

#include <QFile>

#include <functional>
#include <map>

namespace platform {
namespace {

using Factory = std::function<std::unique_ptr<TControl>(TComponent* owner)>;

template <class T>
Factory Make() {
    return [](TComponent* owner) { return std::make_unique<T>(owner); };
}

const std::map<QString, Factory>& Classes() {
    static const std::map<QString, Factory> classes = {
        {QStringLiteral("TBitBtn"), Make<TBitBtn>()},     {QStringLiteral("TComboBox"), Make<TComboBox>()},
        {QStringLiteral("TEdit"), Make<TEdit>()},         {QStringLiteral("TImage"), Make<TImage>()},
        {QStringLiteral("TLabel"), Make<TLabel>()},       {QStringLiteral("TMemo"), Make<TMemo>()},
        {QStringLiteral("TScrollBox"), Make<TScrollBox>()}, {QStringLiteral("TShape"), Make<TShape>()},
    };
    return classes;
}

void ApplyProperties(TComponent& component, const StoredComponent& stored) {
    for (auto it = stored.properties.begin(); it != stored.properties.end(); ++it)
        if (!component.SetStoredProperty(it.key(), it.value()))
            throw ELayoutError("Unknown property " + it.key().toStdString() + " of " +
                               stored.name.toStdString() + " (" + stored.className.toStdString() + ")");
}

void BindEvents(TComponent& component, const StoredComponent& stored, const LayoutBindings& bindings) {
    for (const auto& [event, handler] : stored.events)
        if (!component.BindStoredEvent(event, handler, bindings))
            throw ELayoutError("Unknown event " + event.toStdString() + " of " + stored.name.toStdString());
}

void BuildControls(TForm& form, TWinControl& parent, const StoredComponent& stored,
                   const LayoutBindings& bindings, std::vector<TComponent*>& built) {
    for (const StoredComponent& child : stored.controls) {
        const auto factory = Classes().find(child.className);
        if (factory == Classes().end())
            throw ELayoutError("Unknown class " + child.className.toStdString() + " of " +
                               child.name.toStdString());
        TControl* control = form.Own(factory->second(&form));
        control->BeginLoading();
        built.push_back(control);
        control->SetName(child.name.toStdString());
        control->SetParent(&parent);
        ApplyProperties(*control, child);
        BindEvents(*control, child, bindings);
        const AnsiString name = child.name.toStdString();
        if (!bindings.HasField(name)) throw ELayoutError("The form has no member named " + name);
        if (!bindings.BindField(name, control))
            throw ELayoutError("Member " + name + " is not a " + child.className.toStdString());
        if (!child.controls.empty()) {
            auto* container = dynamic_cast<TWinControl*>(control);
            if (!container) throw ELayoutError(name + " cannot hold controls");
            BuildControls(form, *container, child, bindings, built);
        }
    }
}

}  // namespace

void BuildStoredLayout(TForm& form, const StoredComponent& layout, const LayoutBindings& bindings) {
    std::vector<TComponent*> built{&form};
    form.BeginLoading();
    form.SetName(layout.name.toStdString());
    ApplyProperties(form, layout);
    BindEvents(form, layout, bindings);
    BuildControls(form, form, layout, bindings, built);
    for (auto it = built.rbegin(); it != built.rend(); ++it) (*it)->EndLoading();
}

void LoadStoredLayout(TForm& form, const QString& resource, const LayoutBindings& bindings) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw ELayoutError("Cannot read the stored layout " + resource.toStdString());
    BuildStoredLayout(form, ParseStoredLayout(file.readAll()), bindings);
}

}  // namespace platform
