#include "app/RecordingSave.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "app/CaptureOptions.h"
#include "app/RecordingFrames.h"
#include "app/RecordingMp4.h"
#include "output/save_error.h"
#include "output/windows/atomic_save.h"
#include "output/windows/clipboard_copy.h"
#include "recording/gif_animation.h"
#include "win/CurrentDirectory.h"
#include "win/SystemFunction.h"
#include "win/Utf8.h"

void SaveRecordingAsGif(RecordingFrames& frames, int first, int last, std::int64_t end,
                        glimra::ByteSink& sink) {
    const int width = frames.Width(), height = frames.Height();
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4);
    const glimra::PixelView view{pixels.data(), width, height, std::ptrdiff_t(width) * 4, 4};
    glimra::GifAnimation gif(sink, width, height);
    const std::int64_t start = frames.Time(first);
    for (int i = first; i <= last; ++i) {
        if (!frames.Read(i, view))
            throw std::runtime_error("The recording's file " + frames.Path() +
                                     " does not give back frame " + std::to_string(i + 1) + ".");
        gif.Add(view, frames.Time(i) - start);
    }
    gif.Finish(end - start);
}

bool WriteRecording(RecordingFrames& frames, int first, int last, std::int64_t end,
                    const std::wstring& file, bool mp4) {
    if (!mp4) {
        glimra::SaveAtomically(win::NarrowTo(CP_UTF8, file), [&](glimra::ByteSink& sink) {
            SaveRecordingAsGif(frames, first, last, end, sink);
        });
        return true;
    }
    // Written beside under another name, then moved into place, so that a file
    // of that name is never left half written.
    const std::wstring part = file + L".part";
    bool written = false;
    try {
        written = SaveRecordingAsMp4(frames, first, last, end, part);
    } catch (...) {
        ::DeleteFileW(part.c_str());
        throw;
    }
    if (!written) return false;
    if (!glimra::MoveIntoPlace(part, file)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(part.c_str());
        throw glimra::SaveError(win::SystemErrorText(error));
    }
    return true;
}

std::optional<std::string> SaveRecording(HWND owner, RecordingFrames& frames, int first, int last,
                                         std::int64_t end, const std::string& folder,
                                         const std::string& name) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::wstring file = win::WideFrom(CP_UTF8, ExpandName(name, now, 1));
    const std::wstring initial = win::WideFrom(CP_UTF8, folder);
    DWORD type = 1;  // 1 GIF, 2 MP4
    for (;;) {
        std::vector<wchar_t> chosen(32768, L'\0');
        std::copy(file.begin(), file.end(), chosen.begin());
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = L"GIF animation (*.gif)\0*.gif\0MP4 video (*.mp4)\0*.mp4\0";
        dialog.nFilterIndex = type;
        dialog.lpstrFile = chosen.data();
        dialog.nMaxFile = DWORD(chosen.size());
        dialog.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
        dialog.lpstrDefExt = type == 2 ? L"mp4" : L"gif";
        dialog.lpstrTitle = L"Save Recording";
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        static auto* const getSaveFileName =
            win::SystemFunction<decltype(::GetSaveFileNameW)>("comdlg32.dll", "GetSaveFileNameW");
        const bool named = [&] {
            const win::CurrentDirectoryKept kept;
            return getSaveFileName(&dialog) != 0;
        }();
        if (!named) return std::nullopt;
        file = chosen.data();
        type = dialog.nFilterIndex == 2 ? 2 : 1;
        try {
            if (!WriteRecording(frames, first, last, end, file, type == 2)) {
                if (::MessageBoxA(owner,
                                  "This Windows has no H.264 encoder for MP4 (Windows N "
                                  "editions, some virtual machines and Wine have none). Save "
                                  "the recording as a GIF instead?",
                                  "Record Screen",
                                  MB_YESNO | MB_ICONINFORMATION | MB_SETFOREGROUND) == IDYES) {
                    type = 1;
                    const std::size_t dot = file.find_last_of(L'.');
                    if (dot != std::wstring::npos &&
                        file.find_first_of(L"\\/", dot) == std::wstring::npos)
                        file.erase(dot);
                    file += L".gif";
                }
                continue;
            }
        } catch (const std::exception& e) {
            const std::string text = std::string("The recording could not be saved: ") + e.what();
            ::MessageBoxA(owner, text.c_str(), "Record Screen",
                          MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
            continue;
        }
        const std::string saved = "Recording saved to " + win::NarrowTo(CP_ACP, file);
        try {
            glimra::CopyFileToClipboard(owner, file);
        } catch (const std::exception& e) {
            return saved + "; it could not be copied: " + e.what();
        }
        return saved + " and copied as a file.";
    }
}
