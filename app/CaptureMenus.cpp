#include "app/CaptureMenus.h"

#include <string>

#include "app/CaptureOptions.h"
#include "app/HotKeys.h"
#include "app/ScreenRecorder.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"

namespace {

std::string DelayItem(int delay) {
    return "MenuDelay" + std::to_string(delay);
}

std::string RateItem(int rate) {
    return "MenuRate" + std::to_string(rate);
}

}  // namespace

NamedHandlers CaptureOptionHandlers(ui::TForm& window, CaptureOptions& options) {
    NamedHandlers handlers;
    for (int rate : ScreenRecorder::kRates)
        handlers.push_back({RateItem(rate) + "Click", [&window, &options, rate](ui::TObject*) {
                                options.SetRecordingRate(rate);
                                ShowCaptureOptions(window, options);
                            }});
    handlers.push_back({"MenuRecordPointerClick", [&window, &options](ui::TObject*) {
                            options.SetRecordPointer(!options.RecordPointer());
                            ShowCaptureOptions(window, options);
                        }});
    handlers.push_back({"MenuCapturePointerClick", [&window, &options](ui::TObject*) {
                            options.SetCapturePointer(!options.CapturePointer());
                            ShowCaptureOptions(window, options);
                        }});
    handlers.push_back({"MenuAdjustSelectionClick", [&window, &options](ui::TObject*) {
                            options.SetAdjustSelection(!options.AdjustSelection());
                            ShowCaptureOptions(window, options);
                        }});
    return handlers;
}

NamedHandlers DelayHandlers(ui::TForm& window, CaptureOptions& options) {
    NamedHandlers handlers;
    for (int delay : CaptureOptions::kDelays)
        handlers.push_back({DelayItem(delay) + "Click", [&window, &options, delay](ui::TObject*) {
                                options.SetDelay(delay);
                                ShowCaptureOptions(window, options);
                            }});
    return handlers;
}

void ToggleAutoCopy(ui::TForm& window, CaptureOptions& options) {
    options.SetAutoCopy(!options.AutoCopy());
    ShowCaptureOptions(window, options);
}

void ToggleScrollFromCurrent(ui::TForm& window, CaptureOptions& options) {
    options.SetScrollFromCurrent(!options.ScrollFromCurrent());
    ShowCaptureOptions(window, options);
}

void ShowCaptureOptions(ui::TForm& window, const CaptureOptions& options) {
    for (int delay : CaptureOptions::kDelays)
        window.Get<ui::TMenuItem>(DelayItem(delay).c_str()).SetChecked(delay == options.Delay());
    window.Get<ui::TMenuItem>("MenuAutoCopy").SetChecked(options.AutoCopy());
    window.Get<ui::TMenuItem>("MenuScrollFromCurrent").SetChecked(options.ScrollFromCurrent());
    for (int rate : ScreenRecorder::kRates)
        window.Get<ui::TMenuItem>(RateItem(rate).c_str())
            .SetChecked(rate == options.RecordingRate());
    window.Get<ui::TMenuItem>("MenuRecordPointer").SetChecked(options.RecordPointer());
    window.Get<ui::TMenuItem>("MenuCapturePointer").SetChecked(options.CapturePointer());
    window.Get<ui::TMenuItem>("MenuAdjustSelection").SetChecked(options.AdjustSelection());
}

void ShowCaptureKeys(ui::TForm& window, const HotKeys& keys) {
    // In the order of kCaptureKeys.
    const char* const items[][2] = {
        {"MenuDesktop", "TrayCapture"},
        {"MenuActiveWindow", "TrayCaptureActive"},
        {"MenuSelection", "TrayCaptureSelection"},
        {"MenuWindowControl", "TrayCaptureWindowControl"},
        {"MenuAllDisplays", "TrayAllDisplays"},
        {"MenuLastRegion", "TrayLastRegion"},
        {"MenuScrolling", "TrayScrolling"},
        {"MenuRecord", "TrayRecord"},
        {"MenuTextFromRegion", "TrayTextFromRegion"},
    };
    for (const CaptureKey& c : kCaptureKeys) {
        const KeyChord& k = keys.Key(c.capture);
        const ui::TShortCut shown = k.win ? ui::scNone
                                          : k.key | (k.shift ? ui::scShift : 0) |
                                                (k.ctrl ? ui::scCtrl : 0) | (k.alt ? ui::scAlt : 0);
        for (const char* item : items[int(c.capture)])
            window.Get<ui::TMenuItem>(item).SetShortCut(shown);
    }
}
