// A component's plain properties read and written by name, as the tests check
// what a layout or a registrar declared.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Properties.h"
#include "ui/TComponent.h"

namespace glimra::test {

// An unknown name or a property of another kind raises ui::EPropertyError; the
// integer access takes booleans, colours, enumerations and sets as well.
std::string GetTextProperty(const ui::TComponent& c, std::string_view name);
void SetTextProperty(ui::TComponent& c, std::string_view name, const std::string& value);
std::vector<std::string> GetLinesProperty(const ui::TComponent& c, std::string_view name);
void SetLinesProperty(ui::TComponent& c, std::string_view name,
                      const std::vector<std::string>& lines);
int GetIntProperty(const ui::TComponent& c, std::string_view name);
void SetIntProperty(ui::TComponent& c, std::string_view name, int value);

}  // namespace glimra::test
