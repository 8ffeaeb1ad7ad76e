#include "app/editor/ToolSettings.h"

#include <cstdio>
#include <vector>

#include "app/Settings.h"

std::optional<glimra::Colour> ParseColour(const std::string& text) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    const int value = *SettingNumber(text, 16);
    return glimra::Colour{std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
}

std::string FormatColour(glimra::Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour.red, colour.green, colour.blue);
    return text;
}

std::optional<ToolFont> ParseFont(const std::string& text) {
    // face,size[,bold]
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    if (parts.size() < 2 || parts.size() > 3 || parts[0].empty() || parts[0].size() >= 32)
        return std::nullopt;
    const std::optional<int> size = SettingNumber(parts[1]);
    if (!size || *size < 4 || *size > 400) return std::nullopt;
    if (parts.size() == 3 && parts[2] != "bold") return std::nullopt;
    return ToolFont{parts[0], *size, parts.size() == 3};
}

std::string FormatFont(const ToolFont& font) {
    return font.face + "," + std::to_string(font.size) + (font.bold ? ",bold" : "");
}

ToolSettings ToolSettings::Load() {
    ToolSettings settings;
    if (auto colour = ParseColour(ReadSetting("ToolColour"))) settings.colour_ = *colour;
    if (auto width = SettingNumber(ReadSetting("ToolWidth"));
        width && *width >= 1 && *width <= kMaxWidth)
        settings.width_ = *width;
    if (auto font = ParseFont(ReadSetting("ToolFont"))) settings.font_ = *font;
    return settings;
}

void ToolSettings::SetColour(glimra::Colour colour) {
    colour_ = colour;
    WriteSetting("ToolColour", FormatColour(colour));
}

void ToolSettings::SetWidth(int width) {
    width_ = width;
    WriteSetting("ToolWidth", std::to_string(width));
}

void ToolSettings::SetFont(const ToolFont& font) {
    font_ = font;
    WriteSetting("ToolFont", FormatFont(font));
}
