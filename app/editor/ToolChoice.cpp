#include "app/editor/ToolChoice.h"

#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app/editor/MarkObjects.h"
#include "app/editor/PictureTools.h"
#include "app/editor/PixelateTool.h"
#include "win/SystemFunction.h"
#include "ui/TColorDialog.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"
#include "ui/TSpeedButton.h"

namespace {

// The menus in which every editor tool has an item: Menu<name> and so on.
const char* const kToolMenus[] = {"Menu", "ImagePop", "ToolPop"};

// The colours of the Edit menu's and the drop-down's colour items:
// <menu>Colour<name>.
struct ColourItem {
    const char* name;
    glimra::Colour colour;
};
constexpr ColourItem kColours[] = {
    {"Red", {255, 0, 0}},      {"Blue", {0, 0, 255}}, {"Green", {0, 128, 0}},
    {"Yellow", {255, 255, 0}}, {"Black", {0, 0, 0}},  {"White", {255, 255, 255}},
};
// The menus with colour, width and font items.
const char* const kSettingMenus[] = {"Menu", "ToolPop"};

std::string ColourItemName(const char* menu, const ColourItem& c) {
    return std::string(menu) + "Colour" + c.name;
}

std::string WidthItem(const char* menu, int width) {
    return std::string(menu) + "Width" + std::to_string(width);
}

// The system's font dialog, opening with the font; true when one was chosen.
bool ChooseFontDialog(HWND owner, ToolFont& font) {
    LOGFONTA logFont{};
    logFont.lfHeight = -::MulDiv(font.size, 96, 72);
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    font.face.copy(logFont.lfFaceName, sizeof logFont.lfFaceName - 1);
    CHOOSEFONTA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.lpLogFont = &logFont;
    choice.iPointSize = font.size * 10;
    choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
    static const auto chooseFont =
        win::SystemFunction<decltype(::ChooseFontA)>("comdlg32.dll", "ChooseFontA");
    if (!chooseFont(&choice)) return false;
    font = {logFont.lfFaceName, std::max(4, choice.iPointSize / 10), logFont.lfWeight >= FW_BOLD};
    return true;
}

}  // namespace

NamedHandlers ToolChoice::Handlers(const std::unique_ptr<ToolChoice>& choice) {
    NamedHandlers handlers;
    const auto add = [&](const std::string& name, std::function<void(ToolChoice&)> f) {
        handlers.push_back({name, [&choice, f](ui::TObject*) { f(*choice); }});
    };
    for (const EditorTool& tool : kEditorTools)
        for (const char* menu : kToolMenus)
            add(std::string(menu) + tool.name + "Click",
                [&tool](ToolChoice& c) { c.Choose(tool); });
    for (const char* menu : kSettingMenus) {
        for (const ColourItem& item : kColours)
            add(ColourItemName(menu, item) + "Click",
                [colour = item.colour](ToolChoice& c) { c.SetColour(colour); });
        add(std::string(menu) + "ColourCustomClick", [](ToolChoice& c) { c.ChooseCustomColour(); });
        for (int width : ToolSettings::kWidths)
            add(WidthItem(menu, width) + "Click", [width](ToolChoice& c) { c.SetWidth(width); });
    }
    for (const char* name : {"MenuToolFontClick", "ToolPopFontClick"})
        add(name, [](ToolChoice& c) { c.ChooseToolFont(); });
    add("ImagePopBringToFrontClick",
        [](ToolChoice& c) { c.tools_.Context().objects.ToFront(c.editor_.selection); });
    add("ImagePopSendToBackClick",
        [](ToolChoice& c) { c.tools_.Context().objects.ToBack(c.editor_.selection); });
    return handlers;
}

void ToolChoice::Restyle(const std::function<void(MarkObject&)>& change) {
    MarkObjects& objects = tools_.Context().objects;
    std::vector<MarkObject> changed;
    for (std::uint64_t id : editor_.selection)
        if (const MarkObject* o = objects.Find(id)) {
            changed.push_back(*o);
            change(changed.back());
        }
    if (!changed.empty()) objects.Change(changed);
}

void ToolChoice::SetColour(glimra::Colour colour) {
    editor_.settings.SetColour(colour);
    ShowSettings();
    Restyle([colour](MarkObject& o) { o.colour = colour; });
}

void ToolChoice::ChooseCustomColour() {
    ui::TColorDialog& dialog = window_.Get<ui::TColorDialog>("ToolColorDialog");
    const glimra::Colour c = editor_.settings.Colour();
    dialog.SetColor(RGB(c.red, c.green, c.blue));
    if (!dialog.Execute(window_.Handle())) return;
    const COLORREF chosen = dialog.Color();
    SetColour({GetRValue(chosen), GetGValue(chosen), GetBValue(chosen)});
}

void ToolChoice::SetWidth(int width) {
    editor_.settings.SetWidth(width);
    ShowSettings();
    Restyle([width](MarkObject& o) { o.width = width; });
}

void ToolChoice::ChooseToolFont() {
    ToolFont font = editor_.settings.Font();
    if (!ChooseFontDialog(window_.Handle(), font)) return;
    editor_.settings.SetFont(font);
    Restyle([&font](MarkObject& o) {
        if (o.kind == MarkObject::Kind::Text) o.font = font;
    });
}

void ToolChoice::ShowSettings() {
    const glimra::Colour now = editor_.settings.Colour();
    for (const char* menu : kSettingMenus) {
        for (const ColourItem& c : kColours)
            window_.Get<ui::TMenuItem>(ColourItemName(menu, c).c_str())
                .SetChecked(c.colour.red == now.red && c.colour.green == now.green &&
                            c.colour.blue == now.blue);
        for (int width : ToolSettings::kWidths)
            window_.Get<ui::TMenuItem>(WidthItem(menu, width).c_str())
                .SetChecked(width == editor_.settings.Width());
    }
}

void ToolChoice::SetButton(const char* name, bool down) {
    window_.Get<ui::TSpeedButton>(name).SetDown(down);
}

void ToolChoice::Check(const EditorTool* chosen) {
    for (const EditorTool& tool : kEditorTools)
        for (const char* menu : kToolMenus)
            window_.Get<ui::TMenuItem>((std::string(menu) + tool.name).c_str())
                .SetChecked(&tool == chosen);
}

void ToolChoice::Choose(const EditorTool& tool) {
    SetButton("ButtonBrush", false);
    SetButton("ButtonPixelate", false);
    Check(&tool);
    last_ = &tool;
    panning_ = false;
    tools_.Choose(tool.make(tools_.Context(), editor_));
}

void ToolChoice::Pan() {
    SetButton("ButtonBrush", false);
    SetButton("ButtonPixelate", false);
    Check(nullptr);
    panning_ = true;
    tools_.Choose(nullptr);
}

void ToolChoice::BrushClicked() {
    const bool down = window_.Get<ui::TSpeedButton>("ButtonBrush").Down();
    Check(nullptr);
    panning_ = !down;
    tools_.Choose(down ? std::make_unique<BrushTool>(tools_.Context(), brush_) : nullptr);
}

void ToolChoice::PixelateClicked() {
    // The brush and pixelating exclude each other (one group of buttons).
    const bool down = window_.Get<ui::TSpeedButton>("ButtonPixelate").Down();
    Check(nullptr);
    panning_ = !down;
    tools_.Choose(down ? std::make_unique<PixelateTool>(tools_.Context()) : nullptr);
}

void ToolChoice::RepeatClicked() {
    Choose(*last_);
}

bool ToolChoice::Key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    if (msg.wParam == VK_ESCAPE) {
        if (panning_) return false;
        Pan();
        return true;
    }
    // The tools need a picture, as their buttons and items do.
    if (!window_.Get<ui::TSpeedButton>("ButtonBrush").Enabled()) return false;
    for (const EditorTool& tool : kEditorTools)
        if (msg.wParam == tool.key) {
            Choose(tool);
            return true;
        }
    for (const auto& [key, button] :
         {std::pair{'B', "ButtonBrush"}, std::pair{'P', "ButtonPixelate"}})
        if (msg.wParam == WPARAM(key)) {
            SetButton(button, true);
            key == 'B' ? BrushClicked() : PixelateClicked();
            return true;
        }
    return false;
}
