// The property registry: every component class describes its published
// properties by name and type. The layout loader sets properties through it, and
// the language component reads and writes text and string-list properties through
// the very same registry.
#pragma once

#include <any>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ui {

class TComponent;

enum class PropType {
    Text,        // std::string (ANSI)
    StringList,  // std::vector<std::string>, one element per line
    Integer,     // int
    Boolean,     // bool
    Colour,      // COLORREF, or a system colour (see ColourByName in Graphics.h)
    Enum,        // one of a list of names, held as int
    Set,         // several names of a list, held as int bits
    Picture,     // a reference to one of the program's resources, by name
    Component,   // a reference to another component of the same layout, by name
    Event,       // a handler, bound by the handler's name
};

// Raised for an unknown property name or a value of the wrong kind.
class EPropertyError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Property {
    std::string name;
    PropType type = PropType::Text;
    bool scaled = false;  // an Integer that is a length in pixels at 96 dpi
    std::vector<std::pair<std::string, int>> names;  // Enum values, Set bits

    std::function<std::string(const TComponent&)> getText;
    std::function<void(TComponent&, const std::string&)> setText;
    std::function<std::vector<std::string>(const TComponent&)> getLines;
    std::function<void(TComponent&, const std::vector<std::string>&)> setLines;
    std::function<int(const TComponent&)> getInt;  // Integer, Boolean, Colour, Enum, Set
    std::function<void(TComponent&, int)> setInt;
    std::function<void(TComponent&, const std::string&)> setPicture;
    std::function<void(TComponent&, TComponent*)> setComponent;
    std::function<void(TComponent&, const std::any&)> setEvent;

    // The value of an Enum or Set name; throws EPropertyError for an unknown one.
    int ValueOf(std::string_view valueName) const;
};

// The properties of one class; lookups fall through to the base class's registry.
class PropertyRegistry {
  public:
    PropertyRegistry(const char* className, const PropertyRegistry* base);

    const char* ClassName() const { return className_; }
    // The property of that name (letter case ignored), or nullptr.
    const Property* Find(std::string_view name) const;
    // Every property, base classes first, each in declaration order; a property
    // redeclared by a derived class is visited once, in its derived form.
    void ForEach(const std::function<void(const Property&)>& visit) const;

    Property& Add(Property property);

  private:
    const char* className_;
    const PropertyRegistry* base_;
    std::vector<Property> properties_;
    std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> position
};

std::string LowerAscii(std::string_view text);

// Registration with typed accessors: Registrar<TControl>(registry).Text("Caption",
// &TControl::Caption, &TControl::SetCaption). Accessors are anything invocable
// on the class: member functions or lambdas.
template <class C>
class Registrar {
  public:
    explicit Registrar(PropertyRegistry& registry) : registry_(registry) {}

    template <class G, class S>
    Registrar& Text(const char* name, G get, S set) {
        Property p = Make(name, PropType::Text);
        p.getText = [get](const TComponent& c) {
            return std::string(std::invoke(get, static_cast<const C&>(c)));
        };
        p.setText = [set](TComponent& c, const std::string& v) {
            std::invoke(set, static_cast<C&>(c), v);
        };
        registry_.Add(std::move(p));
        return *this;
    }

    template <class G, class S>
    Registrar& Lines(const char* name, G get, S set) {
        Property p = Make(name, PropType::StringList);
        p.getLines = [get](const TComponent& c) {
            return std::vector<std::string>(std::invoke(get, static_cast<const C&>(c)));
        };
        p.setLines = [set](TComponent& c, const std::vector<std::string>& v) {
            std::invoke(set, static_cast<C&>(c), v);
        };
        registry_.Add(std::move(p));
        return *this;
    }

    template <class G, class S>
    Registrar& Integer(const char* name, G get, S set) {
        return Int(Make(name, PropType::Integer), get, set);
    }
    // A length in pixels at 96 dpi, scaled to the screen's dpi by the layout loader.
    template <class G, class S>
    Registrar& Pixels(const char* name, G get, S set) {
        Property p = Make(name, PropType::Integer);
        p.scaled = true;
        return Int(std::move(p), get, set);
    }
    template <class G, class S>
    Registrar& Boolean(const char* name, G get, S set) {
        return Int(Make(name, PropType::Boolean), get, set);
    }
    template <class G, class S>
    Registrar& Colour(const char* name, G get, S set) {
        return Int(Make(name, PropType::Colour), get, set);
    }
    template <class G, class S>
    Registrar& Enum(const char* name, std::vector<std::pair<std::string, int>> names, G get,
                    S set) {
        Property p = Make(name, PropType::Enum);
        p.names = std::move(names);
        return Int(std::move(p), get, set);
    }
    template <class G, class S>
    Registrar& Set(const char* name, std::vector<std::pair<std::string, int>> bits, G get, S set) {
        Property p = Make(name, PropType::Set);
        p.names = std::move(bits);
        return Int(std::move(p), get, set);
    }
    template <class S>
    Registrar& Picture(const char* name, S set) {
        Property p = Make(name, PropType::Picture);
        p.setPicture = [set](TComponent& c, const std::string& v) {
            std::invoke(set, static_cast<C&>(c), v);
        };
        registry_.Add(std::move(p));
        return *this;
    }
    template <class T, class S>
    Registrar& Reference(const char* name, S set) {
        Property p = Make(name, PropType::Component);
        p.setComponent = [set, name = std::string(name)](TComponent& c, TComponent* target) {
            T* typed = dynamic_cast<T*>(target);
            if (target && !typed) throw EPropertyError("wrong kind of component for " + name);
            std::invoke(set, static_cast<C&>(c), typed);
        };
        registry_.Add(std::move(p));
        return *this;
    }
    // An event: the handler bound to it must be a std::function of type F.
    template <class F, class S>
    Registrar& Event(const char* name, S set) {
        Property p = Make(name, PropType::Event);
        p.setEvent = [set, name = std::string(name)](TComponent& c, const std::any& handler) {
            const F* f = std::any_cast<F>(&handler);
            if (!f) throw EPropertyError("the handler bound to " + name + " has the wrong type");
            std::invoke(set, static_cast<C&>(c), *f);
        };
        registry_.Add(std::move(p));
        return *this;
    }

  private:
    static Property Make(const char* name, PropType type) {
        Property p;
        p.name = name;
        p.type = type;
        return p;
    }
    template <class G, class S>
    Registrar& Int(Property p, G get, S set) {
        p.getInt = [get](const TComponent& c) {
            return static_cast<int>(std::invoke(get, static_cast<const C&>(c)));
        };
        p.setInt = [set](TComponent& c, int v) {
            using Arg = std::remove_cvref_t<decltype(std::invoke(std::declval<G>(),
                                                                 std::declval<const C&>()))>;
            std::invoke(set, static_cast<C&>(c), static_cast<Arg>(v));
        };
        registry_.Add(std::move(p));
        return *this;
    }

    PropertyRegistry& registry_;
};

// The property of that name; an unknown name raises EPropertyError.
const Property& FindProperty(const TComponent& c, std::string_view name);

}  // namespace ui
