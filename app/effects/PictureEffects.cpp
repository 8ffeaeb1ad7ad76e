#include "app/effects/PictureEffects.h"

#include <optional>
#include <stdexcept>
#include <vector>

#include "app/CurrentPicture.h"
#include "app/Settings.h"
#include "app/editor/ToolSettings.h"
#include "output/windows/clipboard_copy.h"
#include "output/windows/picture_save.h"

namespace {

const char* SettingName(Effect effect) {
    switch (effect) {
        case Effect::Border:
            return "EffectBorder";
        case Effect::Shadow:
            return "EffectShadow";
        case Effect::TornEdge:
            return "EffectTornEdge";
        case Effect::RoundedCorners:
            return "EffectCorners";
    }
    return "";
}

// A stored value: whole numbers separated by commas, as many as `count`; nothing
// where it is absent or not all of it reads.
std::optional<std::vector<int>> Numbers(const char* name, std::size_t count) {
    // Split by hand: the stream library would add 700 KB to the program for this.
    std::vector<int> numbers;
    const std::string text = ReadSetting(name);
    for (std::size_t at = 0; at <= text.size() && !text.empty();) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos) end = text.size();
        const std::optional<int> number = SettingNumber(text.substr(at, end - at));
        if (!number) return std::nullopt;
        numbers.push_back(*number);
        at = end + 1;
    }
    if (numbers.size() != count) return std::nullopt;
    return numbers;
}

std::string Join(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers)
        text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
}

void Check(bool done) {
    if (!done) throw std::runtime_error("The effect cannot be applied with these values.");
}

}  // namespace

glimra::ColourRef ColourRefOf(glimra::Colour c) {
    return glimra::ColourRef(c.red) | glimra::ColourRef(c.green) << 8 |
           glimra::ColourRef(c.blue) << 16;
}

glimra::Colour ColourOf(glimra::ColourRef c) {
    return {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)};
}

EffectChoices EffectChoices::Load() {
    EffectChoices c;
    const ToolSettings tools = ToolSettings::Load();
    c.borderColour = tools.Colour();
    c.borderWidth = tools.Width();
    if (auto n = Numbers("EffectBorder", 1)) c.Every(Effect::Border) = (*n)[0] != 0;
    if (auto n = Numbers("EffectShadow", 5)) {
        c.shadow = {(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
        c.Every(Effect::Shadow) = (*n)[4] != 0;
    }
    if (auto n = Numbers("EffectTornEdge", 3)) {
        c.tornSides = unsigned((*n)[0]) & 15u;
        c.tornDepth = (*n)[1];
        c.Every(Effect::TornEdge) = (*n)[2] != 0;
    }
    if (auto n = Numbers("EffectCorners", 2)) {
        c.cornerRadius = (*n)[0];
        c.Every(Effect::RoundedCorners) = (*n)[1] != 0;
    }
    if (const auto colour = ParseColour(ReadSetting("EffectBackground")))
        c.background = ColourRefOf(*colour);
    return c;
}

void EffectChoices::Store(Effect effect) const {
    const int every = Every(effect) ? 1 : 0;
    std::vector<int> values;
    switch (effect) {
        case Effect::Border:
            values = {every};
            break;
        case Effect::Shadow:
            values = {shadow.offsetX, shadow.offsetY, shadow.softness, shadow.opacity, every};
            break;
        case Effect::TornEdge:
            values = {int(tornSides), tornDepth, every};
            break;
        case Effect::RoundedCorners:
            values = {cornerRadius, every};
            break;
    }
    WriteSetting(SettingName(effect), Join(values));
    WriteSetting("EffectBackground", FormatColour(ColourOf(background)));
}

void MakeEffect(Effect effect, const EffectChoices& choices, ui::TBitmap& picture,
                ui::TBitmap& result) {
    if (picture.BitsPerPixel() != 24 && picture.BitsPerPixel() != 32)
        picture.SetPixelFormat(ui::TPixelFormat::pf32bit);
    const glimra::PixelView source = picture.View();
    const bool alpha = picture.Alpha();
    glimra::EffectSize size{source.width, source.height};
    if (effect == Effect::Border)
        size = glimra::BorderSize(source.width, source.height, choices.borderWidth);
    else if (effect == Effect::Shadow)
        size = glimra::ShadowSize(source.width, source.height, choices.shadow);
    result.Recreate(ui::TPixelFormat::pf32bit, size.width, size.height);
    const glimra::PixelView target = result.View();
    switch (effect) {
        case Effect::Border:
            Check(glimra::AddBorder(source, alpha, choices.borderWidth,
                                    ColourRefOf(choices.borderColour), target));
            break;
        case Effect::Shadow:
            Check(glimra::AddShadow(source, alpha, choices.shadow, target));
            break;
        case Effect::TornEdge:
            Check(glimra::TearEdges(source, alpha, choices.tornSides, choices.tornDepth, target));
            break;
        case Effect::RoundedCorners:
            Check(glimra::RoundCorners(source, alpha, choices.cornerRadius, target));
            break;
    }
    // A border around an opaque picture leaves it opaque; the others make parts
    // of it transparent.
    result.SetAlpha(alpha || effect != Effect::Border);
}

void ApplyEffect(Effect effect, const EffectChoices& choices, ui::TBitmap& picture) {
    if (picture.Empty()) return;
    ui::TBitmap result;
    MakeEffect(effect, choices, picture, result);
    picture.Take(result);
}

void ApplyCaptureEffects(const EffectChoices& choices, ui::TBitmap& picture) {
    for (Effect effect : kEffects)
        if (choices.Every(effect)) ApplyEffect(effect, choices, picture);
}

glimra::PixelView OpaquePixels(CurrentPicture& picture, ui::TBitmap& flat) {
    if (!picture.HasAlpha()) return picture.View24();
    const glimra::PixelView pixels = picture.View();
    flat.Recreate(ui::TPixelFormat::pf24bit, pixels.width, pixels.height);
    const glimra::PixelView target = flat.View();
    Check(glimra::BlendOver(pixels, EffectChoices::Load().background, target));
    return target;
}

void SaveCurrentPicture(CurrentPicture& picture, const std::string& path, glimra::SaveType type) {
    if (picture.HasAlpha() && type == glimra::SaveType::Png) {
        glimra::SavePngWithAlpha(path, picture.View());
        return;
    }
    ui::TBitmap flat;
    glimra::SavePicture(path, type, OpaquePixels(picture, flat));
}

void CopyCurrentPicture(HWND owner, CurrentPicture& picture) {
    if (!picture.HasAlpha()) {
        glimra::CopyToClipboard(owner, picture.View());
        return;
    }
    ui::TBitmap flat;
    glimra::CopyToClipboardWithAlpha(owner, picture.View(), OpaquePixels(picture, flat));
}
