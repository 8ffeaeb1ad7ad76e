#include "app/AfterCapture.h"

#include <shlobj.h>

#include <exception>

#include "app/CaptureOptions.h"
#include "app/CurrentPicture.h"
#include "app/effects/PictureEffects.h"
#include "output/windows/clipboard_copy.h"
#include "output/windows/picture_save.h"
#include "ui/TForm.h"
#include "ui/TTrayIcon.h"
#include "win/Utf8.h"

namespace {

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void AfterCapture::Run(CurrentPicture& picture) {
    if (picture.Empty()) return;
    if (options_.Saving().on) Save(picture);
    if (options_.AutoCopy()) CopyCurrentPicture(window_.Handle(), picture);
}

std::string FreeNameInFolder(std::string folder, const std::string& pattern, glimra::SaveType type,
                             int number) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    const std::string base = folder + ExpandName(pattern, now, number);
    const char* extension = SaveTypeExtension(type);
    // A name that exists gets " (2)", " (3)", and so on.
    std::string path = base + extension;
    for (int n = 2; Exists(path); ++n)
        path = base + " (" + std::to_string(n) + ")" + extension;
    return path;
}

void AfterCapture::Save(CurrentPicture& picture) {
    const AutoSave& saving = options_.Saving();
    const std::string path = FreeNameInFolder(saving.folder, saving.name, saving.type, number_++);
    try {
        // The folder is made when it is missing.
        const int made = ::SHCreateDirectoryExA(nullptr, saving.folder.c_str(), nullptr);
        if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
            throw std::runtime_error("the folder " + saving.folder + " cannot be made");
        // The folder is a window text (ANSI); the save takes a UTF-8 path.
        SaveCurrentPicture(picture, win::Utf8FromAnsi(path), saving.type);
        status_.SetCaption("Saved " + path);
    } catch (const std::exception& e) {
        tray_.SetBalloonTitle("Glimra could not save the capture");
        tray_.SetBalloonHint(path + ": " + e.what());
        tray_.ShowBalloonHint();
    }
}
