// The colour, line width and text font that the editor's tools share. They are
// kept in the registry as ToolColour (six hexadecimal digits, "FF0000"),
// ToolWidth ("3") and ToolFont ("Tahoma,20,bold"), written when they change; a
// value that cannot be read gives its default.
#pragma once

#include <optional>
#include <string>

#include "imaging/marks.h"

struct ToolFont {
    std::string face = "Tahoma";
    int size = 20;  // in points
    bool bold = true;
};

std::optional<glimra::Colour> ParseColour(const std::string& text);
std::string FormatColour(glimra::Colour colour);
std::optional<ToolFont> ParseFont(const std::string& text);
std::string FormatFont(const ToolFont& font);

class ToolSettings {
  public:
    // The widths the menus offer.
    static constexpr int kWidths[] = {1, 2, 3, 5, 8};
    static constexpr int kMaxWidth = 50;

    // The stored values, each falling back to its default.
    static ToolSettings Load();

    glimra::Colour Colour() const { return colour_; }
    int Width() const { return width_; }
    const ToolFont& Font() const { return font_; }
    void SetColour(glimra::Colour colour);
    void SetWidth(int width);
    void SetFont(const ToolFont& font);

  private:
    glimra::Colour colour_{255, 0, 0};
    int width_ = 3;
    ToolFont font_;
};
