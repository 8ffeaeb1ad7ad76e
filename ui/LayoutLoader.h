// Builds a form from its layout: makes the declared components by class name,
// sets their properties through the property registry (lengths scaled from 96
// dpi to the screen's dpi) and binds events to the form's handlers by name.
#pragma once

#include <any>
#include <functional>
#include <string>

#include "ui/LayoutParser.h"
#include "ui/TComponent.h"

namespace ui::layout {

using Factory = std::function<TComponent*(TComponent* owner)>;

// Makes a class known to the layouts by its name.
void RegisterComponentClass(const std::string& className, Factory factory);
template <class T>
void RegisterComponentClass(const std::string& className) {
    RegisterComponentClass(className, [](TComponent* owner) { return new T(owner); });
}

// The form's handler of that name (letter case ignored), or nullptr: what the
// layout's event bindings name.
using HandlerLookup = std::function<const std::any*(const std::string& name)>;

// Loads the layout resource (RCDATA) of that name into the form.
void LoadForm(TComponent& form, const HandlerLookup& handlers, const char* resourceName);
// Applies a parsed layout to the form; `source` names it in error messages.
void Apply(TComponent& form, const HandlerLookup& handlers, const Object& root,
           const std::string& source);

}  // namespace ui::layout
