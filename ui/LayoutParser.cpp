#include "ui/LayoutParser.h"

#include <cctype>

namespace ui::layout {

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    Object Document() {
        Object root = ParseObject();
        SkipSpace();
        if (pos_ < text_.size()) Fail("text after the last 'end'");
        return root;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw LayoutError("layout line " + std::to_string(line_) + ": " + what);
    }

    void SkipSpace() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') ++line_;
            if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (pos_ < text_.size() && text_[pos_] != '\n')
                    ++pos_;
                continue;
            }
            if (!std::isspace(static_cast<unsigned char>(c))) break;
            ++pos_;
        }
    }

    bool Peek(char c) {
        SkipSpace();
        return pos_ < text_.size() && text_[pos_] == c;
    }

    void Expect(char c) {
        if (!Peek(c)) Fail(std::string("'") + c + "' expected");
        ++pos_;
    }

    static bool NameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    std::string Name(bool dotted = false) {
        SkipSpace();
        std::size_t start = pos_;
        while (pos_ < text_.size() && (NameChar(text_[pos_]) || (dotted && text_[pos_] == '.')))
            ++pos_;
        if (start == pos_) Fail("a name expected");
        return std::string(text_.substr(start, pos_ - start));
    }

    Object ParseObject() {
        SkipSpace();
        Object object;
        object.line = line_;
        if (Name() != "object") Fail("'object' expected");
        object.name = Name();
        Expect(':');
        object.className = Name();
        for (;;) {
            SkipSpace();
            std::size_t save = pos_;
            int saveLine = line_;
            std::string word = Name(true);
            if (word == "end") return object;
            if (word == "object") {
                pos_ = save;
                line_ = saveLine;
                object.children.push_back(ParseObject());
                continue;
            }
            Assignment a;
            a.name = word;
            a.line = line_;
            Expect('=');
            a.value = ParseValue();
            object.properties.push_back(std::move(a));
        }
    }

    Value ParseValue() {
        SkipSpace();
        if (pos_ >= text_.size()) Fail("a value expected");
        Value v;
        char c = text_[pos_];
        if (c == '\'' || c == '#') {
            v.kind = Value::Kind::Text;
            v.text = Text();
        } else if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            v.kind = Value::Kind::Number;
            v.number = Number();
        } else if (c == '[') {
            v.kind = Value::Kind::Set;
            ++pos_;
            if (!Peek(']')) {
                v.items.push_back(Name());
                while (Peek(',')) {
                    ++pos_;
                    v.items.push_back(Name());
                }
            }
            Expect(']');
        } else if (c == '(') {
            v.kind = Value::Kind::Lines;
            ++pos_;
            while (!Peek(')'))
                v.items.push_back(Text());
            ++pos_;
        } else {
            v.kind = Value::Kind::Identifier;
            v.text = Name(true);
        }
        return v;
    }

    long long Number() {
        bool negative = false;
        if (text_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        int base = 10;
        if (pos_ < text_.size() && text_[pos_] == '$') {
            base = 16;
            ++pos_;
        }
        long long n = 0;
        std::size_t start = pos_;
        while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
            char d = text_[pos_];
            int digit = std::isdigit(static_cast<unsigned char>(d))
                            ? d - '0'
                            : std::tolower(static_cast<unsigned char>(d)) - 'a' + 10;
            if (digit >= base) Fail("bad digit in a number");
            n = n * base + digit;
            if (n > 0xFFFFFFFFLL) Fail("number too large");
            ++pos_;
        }
        if (start == pos_) Fail("digits expected");
        return negative ? -n : n;
    }

    // One text: quoted pieces and #code characters written one after another.
    std::string Text() {
        SkipSpace();
        std::string s;
        bool any = false;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated text");
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                            s += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    s += text_[pos_++];
                }
            } else if (c == '#') {
                ++pos_;
                long long code = Number();
                if (code < 0 || code > 255) Fail("character code out of range");
                s += static_cast<char>(code);
            } else {
                break;
            }
            any = true;
        }
        if (!any) Fail("a quoted text expected");
        return s;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

Object Parse(std::string_view text) {
    return Parser(text).Document();
}

}  // namespace ui::layout
