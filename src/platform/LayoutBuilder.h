#pragma once

class QString;

namespace platform {

class TForm;
class LayoutBindings;
struct StoredComponent;

// Builds a form's controls from a parsed layout: creates each control by its
// class name, sets its properties by name, binds its events to the named
// handlers and its name to the form's member. Everything happens in the
// loading state; the controls are told when the whole layout is read.
void BuildStoredLayout(TForm& form, const StoredComponent& layout, const LayoutBindings& bindings);

// Reads the layout from a Qt resource, then builds it.
void LoadStoredLayout(TForm& form, const QString& resource, const LayoutBindings& bindings);

}  // namespace platform
