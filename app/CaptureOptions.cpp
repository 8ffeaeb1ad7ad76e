#include "app/CaptureOptions.h"

#include "app/ScreenRecorder.h"

#include <cstdio>
#include <vector>

#include "app/Settings.h"

namespace {

struct TypeName {
    glimra::SaveType type;
    const char* name;
    const char* extension;
};
constexpr TypeName kTypes[] = {
    {glimra::SaveType::Bmp, "BMP", ".bmp"},
    {glimra::SaveType::Jpeg, "JPEG", ".jpg"},
    {glimra::SaveType::Gif, "GIF", ".gif"},
    {glimra::SaveType::Png, "PNG", ".png"},
};

std::optional<RECT> ParseRegion(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    if (parts.size() != 4) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> n = SettingNumber(parts[std::size_t(i)]);
        if (!n) return std::nullopt;
        v[i] = *n;
    }
    if (v[2] <= v[0] || v[3] <= v[1]) return std::nullopt;
    return RECT{v[0], v[1], v[2], v[3]};
}

}  // namespace

CaptureOptions::CaptureOptions() {
    if (const std::optional<int> delay = SettingNumber(ReadSetting("Delay")))
        for (int d : kDelays)
            if (d == *delay) delay_ = d;
    lastRegion_ = ParseRegion(ReadSetting("LastRegion"));
    autoCopy_ = ReadSetting("AutoCopy") == "1";
    scrollFromCurrent_ = ReadSetting("ScrollFromCurrent") == "1";
    capturePointer_ = ReadSetting("CapturePointer") == "1";
    adjustSelection_ = ReadSetting("AdjustSelection") == "1";
    if (const std::optional<int> rate = SettingNumber(ReadSetting("RecordingRate")))
        for (int r : ScreenRecorder::kRates)
            if (r == *rate) recordingRate_ = r;
    recordPointer_ = ReadSetting("RecordPointer") != "0";
    if (const std::optional<int> minutes = SettingNumber(ReadSetting("RecordingMinutes")))
        if (*minutes >= 1 && *minutes <= 600) recordingMinutes_ = *minutes;
    if (const std::optional<int> free = SettingNumber(ReadSetting("RecordingFreeMB")))
        if (*free >= 0 && *free <= 1 << 20) recordingFree_ = *free;
    autoSave_.on = ReadSetting("AutoSave") == "1";
    autoSave_.folder = ReadSetting("AutoSaveFolder");
    const std::string name = ReadSetting("AutoSaveName");
    if (!name.empty() && !NameProblem(name)) autoSave_.name = name;
    const std::string type = ReadSetting("AutoSaveType");
    for (const TypeName& t : kTypes)
        if (type == t.name) autoSave_.type = t.type;
}

void CaptureOptions::SetDelay(int seconds) {
    delay_ = seconds;
    WriteSetting("Delay", std::to_string(seconds));
}

void CaptureOptions::SetLastRegion(RECT r) {
    lastRegion_ = r;
    WriteSetting("LastRegion", std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                                   std::to_string(r.right) + "," + std::to_string(r.bottom));
}

void CaptureOptions::SetAutoCopy(bool on) {
    autoCopy_ = on;
    WriteSetting("AutoCopy", on ? "1" : "0");
}

void CaptureOptions::SetScrollFromCurrent(bool on) {
    scrollFromCurrent_ = on;
    WriteSetting("ScrollFromCurrent", on ? "1" : "0");
}

void CaptureOptions::SetCapturePointer(bool on) {
    capturePointer_ = on;
    WriteSetting("CapturePointer", on ? "1" : "0");
}

void CaptureOptions::SetAdjustSelection(bool on) {
    adjustSelection_ = on;
    WriteSetting("AdjustSelection", on ? "1" : "0");
}

void CaptureOptions::SetRecordingRate(int rate) {
    recordingRate_ = rate;
    WriteSetting("RecordingRate", std::to_string(rate));
}

void CaptureOptions::SetRecordPointer(bool on) {
    recordPointer_ = on;
    WriteSetting("RecordPointer", on ? "1" : "0");
}

void CaptureOptions::SetSaving(const AutoSave& saving) {
    autoSave_ = saving;
    WriteSetting("AutoSave", saving.on ? "1" : "0");
    WriteSetting("AutoSaveFolder", saving.folder);
    WriteSetting("AutoSaveName", saving.name);
    WriteSetting("AutoSaveType", SaveTypeName(saving.type));
}

std::string ExpandName(const std::string& pattern, const SYSTEMTIME& t, int number) {
    std::string name;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            name += pattern[i];
            continue;
        }
        char field[16] = {};
        switch (pattern[++i]) {
            case 'Y':
                std::snprintf(field, sizeof field, "%04u", t.wYear);
                break;
            case 'm':
                std::snprintf(field, sizeof field, "%02u", t.wMonth);
                break;
            case 'd':
                std::snprintf(field, sizeof field, "%02u", t.wDay);
                break;
            case 'H':
                std::snprintf(field, sizeof field, "%02u", t.wHour);
                break;
            case 'M':
                std::snprintf(field, sizeof field, "%02u", t.wMinute);
                break;
            case 'S':
                std::snprintf(field, sizeof field, "%02u", t.wSecond);
                break;
            case 'n':
                std::snprintf(field, sizeof field, "%d", number);
                break;
            case '%':
                field[0] = '%';
                break;
            default:
                field[0] = '%';
                field[1] = pattern[i];
        }
        name += field;
    }
    return name;
}

std::optional<std::string> NameProblem(const std::string& pattern) {
    if (pattern.empty()) return "The file name is empty.";
    for (char c : pattern)
        if (std::string("\\/:*?\"<>|").find(c) != std::string::npos ||
            static_cast<unsigned char>(c) < 32)
            return std::string("Windows does not allow the character '") + c +
                   "' in a file name: \\ / : * ? \" < > |";
    if (pattern.back() == '.' || pattern.back() == ' ')
        return "Windows does not allow a file name that ends in a dot or a space.";
    return std::nullopt;
}

const char* SaveTypeName(glimra::SaveType type) {
    for (const TypeName& t : kTypes)
        if (t.type == type) return t.name;
    return "PNG";
}

const char* SaveTypeExtension(glimra::SaveType type) {
    for (const TypeName& t : kTypes)
        if (t.type == type) return t.extension;
    return ".png";
}
