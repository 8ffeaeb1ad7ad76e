// The main window made in-process as at start-up, with the about box and the
// reminder, for tests that call its handlers and read its controls back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/Unit3.h"
#include "testing/app/WindowsWithoutReminder.h"
#include "forms/Links.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "ui/TApplication.h"
#include "ui/TImage.h"
#include "ui/TMenuItem.h"
#include "ui/TTimer.h"

namespace glimra::test {

class MainWindow : public ::testing::Test {
  protected:
    MainWindow() {
        // Every test starts as a first run: counters and language that another test
        // (or the whole program's tests) stored would show in the new window.
        ::RegDeleteTreeA(HKEY_CURRENT_USER, UseTestSettingsKey());
        InitializeProgram(application);
        application.OnException = [this](const std::string& text) { reports.push_back(text); };
        SetPageOpener([this](HWND, const char* address) { pages.push_back(address); });
        OpenWindowsWithoutReminder(application);
    }
    ~MainWindow() override { SetPageOpener(nullptr); }

    // Handles waiting messages and timer ticks for a while.
    void Pump(DWORD milliseconds = 60) { application.HandleMessagesUntil(nullptr, milliseconds); }
    bool Enabled(const char* name) {
        ui::TComponent& c = MAIN->Get<ui::TComponent>(name);
        if (auto* control = dynamic_cast<ui::TControl*>(&c)) return control->Enabled();
        return MAIN->Get<ui::TMenuItem>(name).Enabled();
    }
    void SetPicture(int width, int height) {
        ui::TImage& view = MAIN->Get<ui::TImage>("Image1");
        ui::TBitmap picture;
        picture.SetSize(width, height);
        view.SetBitmap(picture);
    }

    ui::TApplication application;
    std::vector<std::string> reports, pages;
};

}  // namespace glimra::test
