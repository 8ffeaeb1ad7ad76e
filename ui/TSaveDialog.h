// The save-file dialog component: the platform's Explorer-style Save As dialog
// with a type list (Filter, FilterIndex from 1), a default extension, options,
// and OnTypeChange, which runs each time the user picks another type while the
// dialog is open. The name the user types gets the extension of the selected
// type when it has none ("shot" saved as "*.jpg" becomes "shot.jpg").
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "ui/Graphics.h"
#include "ui/TComponent.h"

namespace ui {

enum TOpenOption {
    ofOverwritePrompt = 1 << 0,  // asks before an existing file is replaced
    ofHideReadOnly = 1 << 1,     // no read-only check box
    ofEnableSizing = 1 << 2,     // the dialog can be resized
};

class TSaveDialog : public TComponent {
  public:
    explicit TSaveDialog(TComponent* owner) : TComponent(owner) {}

    // "Label|*.ext|Label|*.ext..."
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    int Options() const { return options_; }
    void SetOptions(int options) { options_ = options; }

    TNotifyEvent OnTypeChange;

    // FileName and InitialDir are paths in UTF-8; Filter, DefaultExt and Title
    // window texts in the ANSI code page.
    // Shows the dialog modally over `owner`; true on OK, with FileName the full
    // path and FilterIndex the selected type. An error of OnTypeChange closes
    // nothing: it is thrown from here once the dialog has returned.
    bool Execute(HWND owner);

    // The extension (without the dot) that a name of type `index` gets: that of
    // the type's first pattern ("*.jpg" gives "jpg"), or DefaultExt when the
    // pattern has none of its own ("*.*").
    std::string ExtensionOf(int index) const;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void TypeChanged(HWND dialog, int index);

    std::string filter_, defaultExt_, fileName_, initialDir_, title_;
    int filterIndex_ = 1;
    int options_ = 0;
    std::exception_ptr pending_;
};

}  // namespace ui
