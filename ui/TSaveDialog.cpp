#include "ui/TSaveDialog.h"

#include <commdlg.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "win/CurrentDirectory.h"
#include "win/SystemFunction.h"
#include "win/Utf8.h"

namespace ui {

namespace {

// The parts between the bars: label, pattern, label, pattern, ...
std::vector<std::string> FilterParts(const std::string& filter) {
    std::vector<std::string> parts(1);
    for (char c : filter) {
        if (c == '|')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string WithoutDot(const std::string& ext) {
    return !ext.empty() && ext[0] == '.' ? ext.substr(1) : ext;
}

}  // namespace

std::string TSaveDialog::ExtensionOf(int index) const {
    const std::vector<std::string> parts = FilterParts(filter_);
    const std::size_t at = 2 * static_cast<std::size_t>(index) - 1;
    if (index >= 1 && at < parts.size()) {
        const std::string pattern = parts[at].substr(0, parts[at].find(';'));
        const std::string ext = pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0
                                    ? pattern.substr(2)
                                    : std::string();
        if (!ext.empty() && ext.find_first_of("*?. ") == std::string::npos) return ext;
    }
    return WithoutDot(defaultExt_);
}

bool TSaveDialog::Execute(HWND owner) {
    // The wide-character dialog, so that any folder and name can be chosen; the
    // labels and the title are window texts in the ANSI code page, the names
    // are UTF-8 paths.
    std::wstring filter = win::WideFrom(CP_ACP, filter_);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    win::WidePath(fileName_).copy(file.data(), file.size() - 1);
    const std::wstring defaultExt = win::WideFrom(CP_ACP, ExtensionOf(filterIndex_));
    const std::wstring initialDir = win::WidePath(initialDir_);
    const std::wstring title = win::WideFrom(CP_ACP, title_);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.c_str();
    // The program's current folder stays where it was.
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;
    if (options_ & ofOverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (options_ & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (options_ & ofEnableSizing) ofn.Flags |= OFN_ENABLESIZING;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    ofn.lpfnHook = &TSaveDialog::Hook;

    pending_ = nullptr;
    static const auto getSaveFileName =
        win::SystemFunction<decltype(::GetSaveFileNameW)>("comdlg32.dll", "GetSaveFileNameW");
    const bool ok = [&] {
        const win::CurrentDirectoryKept kept;
        return getSaveFileName(&ofn) != 0;
    }();
    const DWORD failure = ok ? 0 : win::CommonDialogError();
    if (ok) {
        fileName_ = win::Utf8Path(file.data());
        filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    }
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
    if (failure != 0)
        throw std::runtime_error("The save dialog could not be shown (error " +
                                 std::to_string(failure) + ")");
    return ok;
}

UINT_PTR CALLBACK TSaveDialog::Hook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notify->hdr.code == CDN_TYPECHANGE) {
        auto* self = reinterpret_cast<TSaveDialog*>(notify->lpOFN->lCustData);
        self->TypeChanged(::GetParent(dialog), static_cast<int>(notify->lpOFN->nFilterIndex));
    }
    return 0;
}

void TSaveDialog::TypeChanged(HWND dialog, int index) {
    filterIndex_ = index;
    const std::string ext = ExtensionOf(index);
    const std::wstring wide = win::WideFrom(CP_ACP, ext);
    ::SendMessageW(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    // No exception may cross the dialog's callback: it waits until Execute returns.
    if (!OnTypeChange) return;
    try {
        OnTypeChange(this);
    } catch (...) {
        if (!pending_) pending_ = std::current_exception();
    }
}

const PropertyRegistry& TSaveDialog::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TSaveDialog", &TComponent::ClassProperties());
        Registrar<TSaveDialog>(r)
            .Text("DefaultExt", &TSaveDialog::DefaultExt, &TSaveDialog::SetDefaultExt)
            .Text("FileName", &TSaveDialog::FileName, &TSaveDialog::SetFileName)
            .Text("Filter", &TSaveDialog::Filter, &TSaveDialog::SetFilter)
            .Integer("FilterIndex", &TSaveDialog::FilterIndex, &TSaveDialog::SetFilterIndex)
            .Text("InitialDir", &TSaveDialog::InitialDir, &TSaveDialog::SetInitialDir)
            .Text("Title", &TSaveDialog::Title, &TSaveDialog::SetTitle)
            .Set("Options",
                 {{"ofOverwritePrompt", ofOverwritePrompt},
                  {"ofHideReadOnly", ofHideReadOnly},
                  {"ofEnableSizing", ofEnableSizing}},
                 &TSaveDialog::Options, &TSaveDialog::SetOptions)
            .Event<TNotifyEvent>("OnTypeChange",
                                 [](TSaveDialog& d, TNotifyEvent e) { d.OnTypeChange = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
