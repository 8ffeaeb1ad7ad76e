#include "testing/ui/PropertyAccess.h"

namespace glimra::test {

namespace {

using ui::EPropertyError;
using ui::Property;
using ui::PropType;

const Property& Typed(const ui::TComponent& c, std::string_view name, PropType type) {
    const Property& p = ui::FindProperty(c, name);
    const bool intLike =
        type == PropType::Integer && (p.type == PropType::Boolean || p.type == PropType::Colour ||
                                      p.type == PropType::Enum || p.type == PropType::Set);
    if (p.type != type && !intLike)
        throw EPropertyError("property '" + std::string(name) + "' of " +
                             c.Properties().ClassName() + " is of another kind");
    return p;
}

}  // namespace

std::string GetTextProperty(const ui::TComponent& c, std::string_view name) {
    return Typed(c, name, PropType::Text).getText(c);
}

void SetTextProperty(ui::TComponent& c, std::string_view name, const std::string& value) {
    Typed(c, name, PropType::Text).setText(c, value);
}

std::vector<std::string> GetLinesProperty(const ui::TComponent& c, std::string_view name) {
    return Typed(c, name, PropType::StringList).getLines(c);
}

void SetLinesProperty(ui::TComponent& c, std::string_view name,
                      const std::vector<std::string>& lines) {
    Typed(c, name, PropType::StringList).setLines(c, lines);
}

int GetIntProperty(const ui::TComponent& c, std::string_view name) {
    return Typed(c, name, PropType::Integer).getInt(c);
}

void SetIntProperty(ui::TComponent& c, std::string_view name, int value) {
    Typed(c, name, PropType::Integer).setInt(c, value);
}

}  // namespace glimra::test
