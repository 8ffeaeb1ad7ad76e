#include "ui/Properties.h"

#include <unordered_set>

#include "ui/TComponent.h"

namespace ui {

std::string LowerAscii(std::string_view text) {
    std::string s(text);
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = char(ch + 32);
    return s;
}

int Property::ValueOf(std::string_view valueName) const {
    for (const auto& [n, v] : names)
        if (SameName(n, valueName)) return v;
    throw EPropertyError("'" + std::string(valueName) + "' is not a value of " + name);
}

PropertyRegistry::PropertyRegistry(const char* className, const PropertyRegistry* base)
    : className_(className), base_(base) {}

Property& PropertyRegistry::Add(Property property) {
    const std::string key = LowerAscii(property.name);
    auto it = index_.find(key);
    if (it != index_.end()) return properties_[it->second] = std::move(property);
    index_.emplace(key, properties_.size());
    properties_.push_back(std::move(property));
    return properties_.back();
}

const Property* PropertyRegistry::Find(std::string_view name) const {
    const std::string key = LowerAscii(name);
    for (const PropertyRegistry* r = this; r; r = r->base_) {
        auto it = r->index_.find(key);
        if (it != r->index_.end()) return &r->properties_[it->second];
    }
    return nullptr;
}

void PropertyRegistry::ForEach(const std::function<void(const Property&)>& visit) const {
    std::vector<const PropertyRegistry*> chain;
    for (const PropertyRegistry* r = this; r; r = r->base_)
        chain.push_back(r);
    std::unordered_set<std::string> seen;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const Property& p : (*it)->properties_) {
            const std::string key = LowerAscii(p.name);
            if (!seen.insert(key).second) continue;
            visit(*Find(p.name));  // the most derived declaration
        }
}

const Property& FindProperty(const TComponent& c, std::string_view name) {
    const Property* p = c.Properties().Find(name);
    if (!p)
        throw EPropertyError(std::string(c.Properties().ClassName()) + " has no property '" +
                             std::string(name) + "'");
    return *p;
}

}  // namespace ui
