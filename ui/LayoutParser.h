// The window layouts are text, one object tree per window:
//
//   object MAIN: TMAIN
//     Caption = 'Norvanta Glimra 1.3'
//     Width = 680
//     BorderIcons = [biSystemMenu, biMinimize]
//     OnCreate = FormCreate
//     object Timer1: TTimer
//       Interval = 1
//     end
//   end
//
// Values are numbers (decimal, or $hex), quoted texts ('it''s', with #176 for a
// character by its code, pieces written one after another), identifiers (True,
// alTop, clBtnFace, a handler or component name), sets ([a, b]) and string lists
// (('line one' 'line two')). This file only reads that syntax; layout/Loader
// gives it meaning.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ui::layout {

class LayoutError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Value {
    enum class Kind { Number, Text, Identifier, Set, Lines };
    Kind kind = Kind::Number;
    long long number = 0;
    std::string text;                // Text, Identifier
    std::vector<std::string> items;  // Set, Lines
};

struct Assignment {
    std::string name;  // may be dotted: Font.Height
    Value value;
    int line = 0;
};

struct Object {
    std::string name;
    std::string className;
    std::vector<Assignment> properties;
    std::vector<Object> children;
    int line = 0;
};

// Parses one layout; raises LayoutError naming the line for any syntax error.
Object Parse(std::string_view text);

}  // namespace ui::layout
