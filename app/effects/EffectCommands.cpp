#include "app/effects/EffectCommands.h"

#include <optional>
#include <string>

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "app/editor/ToolSettings.h"
#include "resources/dialog_ids.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"

namespace {

const char* TemplateOf(Effect effect) {
    switch (effect) {
        case Effect::Border:
            return "FX_BORDER";
        case Effect::Shadow:
            return "FX_SHADOW";
        case Effect::TornEdge:
            return "FX_TORN";
        case Effect::RoundedCorners:
            return "FX_CORNERS";
    }
    return "";
}

const char* TitleOf(Effect effect) {
    switch (effect) {
        case Effect::Border:
            return "Border";
        case Effect::Shadow:
            return "Drop Shadow";
        case Effect::TornEdge:
            return "Torn Edge";
        case Effect::RoundedCorners:
            return "Rounded Corners";
    }
    return "";
}

struct DialogState {
    Effect effect;
    EffectChoices* choices;
};

constexpr int kTornBoxes[] = {IDC_FX_TOP, IDC_FX_RIGHT, IDC_FX_BOTTOM, IDC_FX_LEFT};

void Show(HWND dialog, const DialogState& state) {
    const EffectChoices& c = *state.choices;
    ::SetDlgItemTextA(dialog, IDC_FX_BACKGROUND, FormatColour(ColourOf(c.background)).c_str());
    ::CheckDlgButton(dialog, IDC_FX_EVERY, c.Every(state.effect) ? BST_CHECKED : BST_UNCHECKED);
    switch (state.effect) {
        case Effect::Border: {
            const std::string text = "The border takes the tools' colour (" +
                                     FormatColour(c.borderColour) + ") and line width (" +
                                     std::to_string(c.borderWidth) + " pixels).";
            ::SetDlgItemTextA(dialog, IDC_FX_BORDER, text.c_str());
            break;
        }
        case Effect::Shadow:
            ::SetDlgItemInt(dialog, IDC_FX_OFFSET_X, UINT(c.shadow.offsetX), TRUE);
            ::SetDlgItemInt(dialog, IDC_FX_OFFSET_Y, UINT(c.shadow.offsetY), TRUE);
            ::SetDlgItemInt(dialog, IDC_FX_SOFTNESS, UINT(c.shadow.softness), TRUE);
            ::SetDlgItemInt(dialog, IDC_FX_OPACITY, UINT(c.shadow.opacity), TRUE);
            break;
        case Effect::TornEdge:
            for (int side = 0; side < 4; ++side)
                ::CheckDlgButton(dialog, kTornBoxes[side],
                                 c.tornSides & (1u << side) ? BST_CHECKED : BST_UNCHECKED);
            ::SetDlgItemInt(dialog, IDC_FX_DEPTH, UINT(c.tornDepth), TRUE);
            break;
        case Effect::RoundedCorners:
            ::SetDlgItemInt(dialog, IDC_FX_RADIUS, UINT(c.cornerRadius), TRUE);
            break;
    }
}

// The number in a field, within from..to; the reason otherwise.
std::optional<std::string> ReadNumber(HWND dialog, int id, const char* name, int from, int to,
                                      int& value) {
    BOOL read = FALSE;
    const int number = int(::GetDlgItemInt(dialog, id, &read, TRUE));
    if (!read || number < from || number > to)
        return std::string("The ") + name + " must be a whole number from " + std::to_string(from) +
               " to " + std::to_string(to) + ".";
    value = number;
    return std::nullopt;
}

// Reads the dialog into `chosen`; the first reason it cannot, if any.
std::optional<std::string> Read(HWND dialog, Effect effect, EffectChoices& chosen) {
    char text[16] = {};
    ::GetDlgItemTextA(dialog, IDC_FX_BACKGROUND, text, sizeof text);
    const std::optional<glimra::Colour> background = ParseColour(text);
    if (!background)
        return std::string(
            "The background colour must be six hexadecimal digits, "
            "red, green and blue (FFFFFF is white).");
    chosen.background = ColourRefOf(*background);
    chosen.Every(effect) = ::IsDlgButtonChecked(dialog, IDC_FX_EVERY) == BST_CHECKED;
    const int reach = glimra::kMaxEffectReach;
    std::optional<std::string> problem;
    switch (effect) {
        case Effect::Border:
            break;
        case Effect::Shadow:
            if (!problem)
                problem = ReadNumber(dialog, IDC_FX_OFFSET_X, "offset to the right", -reach, reach,
                                     chosen.shadow.offsetX);
            if (!problem)
                problem = ReadNumber(dialog, IDC_FX_OFFSET_Y, "offset down", -reach, reach,
                                     chosen.shadow.offsetY);
            if (!problem)
                problem = ReadNumber(dialog, IDC_FX_SOFTNESS, "softness", 0, reach,
                                     chosen.shadow.softness);
            if (!problem)
                problem =
                    ReadNumber(dialog, IDC_FX_OPACITY, "darkness", 0, 100, chosen.shadow.opacity);
            break;
        case Effect::TornEdge:
            chosen.tornSides = 0;
            for (int side = 0; side < 4; ++side)
                if (::IsDlgButtonChecked(dialog, kTornBoxes[side]) == BST_CHECKED)
                    chosen.tornSides |= 1u << side;
            if (chosen.tornSides == 0) return std::string("Choose at least one side to tear.");
            problem = ReadNumber(dialog, IDC_FX_DEPTH, "depth", 2, reach, chosen.tornDepth);
            break;
        case Effect::RoundedCorners:
            problem = ReadNumber(dialog, IDC_FX_RADIUS, "radius", 1, reach, chosen.cornerRadius);
            break;
    }
    return problem;
}

INT_PTR CALLBACK EffectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Show(dialog, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK: {
            EffectChoices chosen = *state->choices;
            if (const std::optional<std::string> problem = Read(dialog, state->effect, chosen)) {
                ::MessageBoxA(dialog, problem->c_str(), TitleOf(state->effect),
                              MB_OK | MB_ICONWARNING);
                return TRUE;
            }
            *state->choices = chosen;
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

bool EditEffect(HWND owner, Effect effect, EffectChoices& choices) {
    DialogState state{effect, &choices};
    return ::DialogBoxParamA(ui::Application->Instance(), TemplateOf(effect), owner, EffectProc,
                             reinterpret_cast<LPARAM>(&state)) == IDOK;
}

EffectCommands::EffectCommands(ui::TForm& window, CurrentPicture& picture, History& history,
                               const ToolSettings& tools)
    : window_(window), picture_(picture), history_(history), tools_(tools) {
    picture_.Viewer().SetBackdrop(Choices().background);
}

EffectChoices EffectCommands::Choices() const {
    EffectChoices choices = EffectChoices::Load();
    choices.borderColour = tools_.Colour();
    choices.borderWidth = tools_.Width();
    return choices;
}

void EffectCommands::Run(Effect effect) {
    EffectChoices choices = Choices();
    if (!EditEffect(window_.Handle(), effect, choices)) return;
    choices.Store(effect);
    picture_.Viewer().SetBackdrop(choices.background);
    if (picture_.Empty()) return;
    ui::TBitmap result;
    MakeEffect(effect, choices, picture_.Bitmap(), result);
    history_.Replace(result);
}

void EffectCommands::OnCapture(ui::TBitmap& picture) const {
    ApplyCaptureEffects(Choices(), picture);
}

bool EffectCommands::FramesEveryCapture() const {
    const EffectChoices choices = Choices();
    for (Effect effect : kEffects)
        if (choices.Every(effect)) return true;
    return false;
}
