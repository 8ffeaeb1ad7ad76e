#include "ui/LayoutLoader.h"

#include <windows.h>

#include <unordered_map>

#include "ui/Graphics.h"
#include "ui/TApplication.h"

namespace ui::layout {

namespace {

std::unordered_map<std::string, Factory>& Classes() {
    static std::unordered_map<std::string, Factory> classes;
    return classes;
}

struct Fixup {
    TComponent* component;
    const Property* property;
    std::string target;
    int line;
};

class Builder {
  public:
    Builder(TComponent& form, const HandlerLookup& handlers, const std::string& source)
        : form_(form), handlers_(handlers), source_(source) {}

    void Build(const Object& root) {
        form_.SetName(root.name);
        Assign(form_, root);
        for (const Object& child : root.children)
            Make(form_, child);
        for (const Fixup& f : fixups_) {
            TComponent* target =
                SameName(f.target, form_.Name()) ? &form_ : form_.FindComponent(f.target);
            if (!target) Fail(f.line, "no component named " + f.target);
            Try(f.line, [&] { f.property->setComponent(*f.component, target); });
        }
    }

  private:
    [[noreturn]] void Fail(int line, const std::string& what) const {
        throw LayoutError(source_ + " line " + std::to_string(line) + ": " + what);
    }

    template <class F>
    void Try(int line, F step) {
        try {
            step();
        } catch (const LayoutError&) {
            throw;
        } catch (const std::exception& e) {
            Fail(line, e.what());
        }
    }

    void Make(TComponent& container, const Object& object) {
        auto it = Classes().find(object.className);
        if (it == Classes().end()) Fail(object.line, "unknown class " + object.className);
        TComponent* component = it->second(&form_);
        component->SetName(object.name);
        container.AdoptChild(component);
        Assign(*component, object);
        for (const Object& child : object.children)
            Make(*component, child);
    }

    void Assign(TComponent& component, const Object& object) {
        for (const Assignment& a : object.properties)
            Try(a.line, [&] { Set(component, a); });
    }

    void Set(TComponent& component, const Assignment& a) {
        const Property& p = FindProperty(component, a.name);
        const Value& v = a.value;
        auto want = [&](Value::Kind kind, const char* what) {
            if (v.kind != kind) Fail(a.line, a.name + " takes " + what);
        };
        switch (p.type) {
            case PropType::Text:
                want(Value::Kind::Text, "a quoted text");
                p.setText(component, v.text);
                break;
            case PropType::StringList:
                want(Value::Kind::Lines, "a list of texts");
                p.setLines(component, v.items);
                break;
            case PropType::Integer:
                want(Value::Kind::Number, "a number");
                p.setInt(component, p.scaled ? Application->Scale(int(v.number)) : int(v.number));
                break;
            case PropType::Boolean:
                want(Value::Kind::Identifier, "True or False");
                if (SameName(v.text, "True"))
                    p.setInt(component, 1);
                else if (SameName(v.text, "False"))
                    p.setInt(component, 0);
                else
                    Fail(a.line, a.name + " takes True or False");
                break;
            case PropType::Colour:
                if (v.kind == Value::Kind::Number) {
                    p.setInt(component, int(v.number));
                } else {
                    want(Value::Kind::Identifier, "a colour");
                    long long c = ColourByName(v.text);
                    if (c < 0) Fail(a.line, "unknown colour " + v.text);
                    p.setInt(component, int(c));
                }
                break;
            case PropType::Enum:
                if (v.kind == Value::Kind::Number) {
                    p.setInt(component, int(v.number));
                } else {
                    want(Value::Kind::Identifier, "a name");
                    p.setInt(component, p.ValueOf(v.text));
                }
                break;
            case PropType::Set: {
                want(Value::Kind::Set, "a set [...]");
                int bits = 0;
                for (const std::string& item : v.items)
                    bits |= p.ValueOf(item);
                p.setInt(component, bits);
                break;
            }
            case PropType::Picture:
                want(Value::Kind::Text, "a resource name");
                p.setPicture(component, v.text);
                break;
            case PropType::Component:
                want(Value::Kind::Identifier, "a component name");
                fixups_.push_back({&component, &p, v.text, a.line});
                break;
            case PropType::Event: {
                want(Value::Kind::Identifier, "a handler name");
                const std::any* handler = handlers_(v.text);
                if (!handler) Fail(a.line, "the form has no handler " + v.text);
                p.setEvent(component, *handler);
                break;
            }
        }
    }

    TComponent& form_;
    const HandlerLookup& handlers_;
    const std::string& source_;
    std::vector<Fixup> fixups_;
};

}  // namespace

void RegisterComponentClass(const std::string& className, Factory factory) {
    Classes()[className] = std::move(factory);
}

void Apply(TComponent& form, const HandlerLookup& handlers, const Object& root,
           const std::string& source) {
    Builder(form, handlers, source).Build(root);
}

void LoadForm(TComponent& form, const HandlerLookup& handlers, const char* resourceName) {
    HINSTANCE instance = Application->Instance();
    HRSRC info = ::FindResourceA(instance, resourceName, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL data = info ? ::LoadResource(instance, info) : nullptr;
    const char* text = data ? static_cast<const char*>(::LockResource(data)) : nullptr;
    if (!text) throw LayoutError(std::string("the layout ") + resourceName + " is missing");
    const std::string source(resourceName);
    Apply(form, handlers, Parse(std::string_view(text, ::SizeofResource(instance, info))), source);
}

}  // namespace ui::layout
