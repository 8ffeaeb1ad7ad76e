#include "ocr/windows/tesseract_dll.h"

#include <bcrypt.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "win/SystemError.h"
#include "win/SystemFunction.h"
#include "win/Utf8.h"
#include "win/handles.h"

namespace glimra::ocr {

namespace {

constexpr const wchar_t* kDllName = L"glimra_ocr.dll";
constexpr const wchar_t* kModelFolder = L"tessdata";
constexpr const wchar_t* kModelList = L"models.txt";

std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/"));
}

// The folder to load from, in wide characters: the program's own as the system
// names it where `programDir` is empty or is that folder in ANSI characters.
std::wstring FolderOf(const std::string& programDir) {
    const std::wstring own = OwnFolder();
    if (programDir.empty() || programDir == win::NarrowTo(CP_ACP, own)) return own;
    std::wstring folder = win::WideFrom(CP_ACP, programDir);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

bool Exists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The whole file, or false with the system's error in `error`.
bool ReadWhole(const std::wstring& path, std::string& bytes, DWORD& error) {
    win::File file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x40000000) {
        error = ERROR_FILE_TOO_LARGE;
        return false;
    }
    bytes.resize(std::size_t(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, DWORD(bytes.size() - done), &got,
                        nullptr)) {
            error = ::GetLastError();
            return false;
        }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

// The SHA-256 of `bytes` in lower-case hexadecimal, by the system's bcrypt.dll,
// found when first needed (the program imports no DLL for it); empty where the
// system has none.
std::string Sha256(const std::string& bytes) {
    static const auto open = win::OptionalSystemFunction<decltype(::BCryptOpenAlgorithmProvider)>(
        "bcrypt.dll", "BCryptOpenAlgorithmProvider");
    static const auto create =
        win::OptionalSystemFunction<decltype(::BCryptCreateHash)>("bcrypt.dll", "BCryptCreateHash");
    static const auto data =
        win::OptionalSystemFunction<decltype(::BCryptHashData)>("bcrypt.dll", "BCryptHashData");
    static const auto finish =
        win::OptionalSystemFunction<decltype(::BCryptFinishHash)>("bcrypt.dll", "BCryptFinishHash");
    static const auto destroy = win::OptionalSystemFunction<decltype(::BCryptDestroyHash)>(
        "bcrypt.dll", "BCryptDestroyHash");
    static const auto close = win::OptionalSystemFunction<decltype(::BCryptCloseAlgorithmProvider)>(
        "bcrypt.dll", "BCryptCloseAlgorithmProvider");
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!open || !create || !data || !finish || !destroy || !close ||
        open(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0)
        return {};
    std::string hex;
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[32] = {};
    if (create(algorithm, &hash, nullptr, 0, nullptr, 0, 0) >= 0) {
        bool ok = true;
        for (std::size_t at = 0; ok && at < bytes.size(); at += 0x10000000) {
            const ULONG n = ULONG(std::min<std::size_t>(bytes.size() - at, 0x10000000));
            ok = data(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + at)), n, 0) >=
                 0;
        }
        if (ok && finish(hash, digest, sizeof digest, 0) >= 0) {
            for (unsigned char b : digest) {
                char two[3];
                std::snprintf(two, sizeof two, "%02x", b);
                hex += two;
            }
        }
        destroy(hash);
    }
    close(algorithm, 0);
    return hex;
}

// The size and SHA-256 models.txt gives for `name`; false where it names no
// such file (or is missing).
bool Listed(const std::string& list, const std::string& name, unsigned long long& size,
            std::string& sha256) {
    // Lines of "name size sha256", read without the stream library, which
    // nothing else in the program needs.
    std::size_t at = 0;
    while (at < list.size()) {
        std::size_t end = list.find('\n', at);
        if (end == std::string::npos) end = list.size();
        char file[128] = {}, hash[80] = {};
        const std::string line = list.substr(at, end - at);
        at = end + 1;
        if (std::sscanf(line.c_str(), "%127s %llu %79s", file, &size, hash) == 3 && file == name) {
            sha256 = hash;
            return true;
        }
    }
    return false;
}

void Fail(LoadError& error, LoadError::Kind kind, std::string text) {
    error.kind = kind;
    error.text = std::move(text);
}

template <class F>
F Find(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

TesseractDll::TesseractDll(HMODULE module, Functions functions, glimra_ocr_reader* reader)
    : module_(module), functions_(functions), reader_(reader) {}

TesseractDll::~TesseractDll() {
    functions_.close(reader_);
    ::FreeLibrary(module_);
}

std::unique_ptr<TesseractDll> TesseractDll::Load(const std::string& programDir,
                                                 const std::string& language, LoadError& error) {
    using Kind = LoadError::Kind;
    error = {};
    const std::wstring folder = FolderOf(programDir);
    const std::wstring dllPath = folder + L"\\" + kDllName;
    if (!Exists(dllPath)) {
        Fail(error, Kind::NotInstalled,
             "The built-in text recogniser is not installed: glimra_ocr.dll is missing from " +
                 win::Utf8Path(folder) +
                 ". Install it with Glimra's setup (the \"Text recognition\" component).");
        return nullptr;
    }

    // The model is read and checked first, so that a missing or damaged one does
    // not cost the DLL's loading.
    const std::string modelName = language + ".traineddata";
    const std::wstring models = folder + L"\\" + kModelFolder + L"\\";
    const std::wstring modelPath = models + win::WidePath(modelName);
    std::string list, model;
    unsigned long long size = 0;
    std::string sha256;
    DWORD systemError = 0;
    if (!Exists(modelPath) || !ReadWhole(models + kModelList, list, systemError) ||
        !Listed(list, modelName, size, sha256)) {
        Fail(error, Kind::ModelMissing,
             "The built-in text recogniser has no model for the language \"" + language +
                 "\": " + win::Utf8Path(modelPath) +
                 " is not installed. Install Glimra's \"Text recognition\" component again.");
        return nullptr;
    }
    const std::string damaged = "The model of the built-in text recogniser for \"" + language +
                                "\" (" + win::Utf8Path(modelPath) + ") ";
    if (!ReadWhole(modelPath, model, systemError)) {
        Fail(error, Kind::Failed,
             damaged + "cannot be read: " + win::Utf8FromAnsi(win::SystemErrorText(systemError)));
        return nullptr;
    }
    if (model.size() != size || Sha256(model) != sha256) {
        Fail(error, Kind::ModelDamaged,
             damaged + "is damaged. Install Glimra's \"Text recognition\" component again.");
        return nullptr;
    }

    // The full path, and the DLL's own folder for anything it loads in turn.
    win::Module module(::LoadLibraryExW(dllPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module) {
        Fail(error, Kind::Failed,
             "The built-in text recogniser (" + win::Utf8Path(dllPath) + ") cannot be loaded: " +
                 win::Utf8FromAnsi(win::SystemErrorText(::GetLastError())));
        return nullptr;
    }
    const auto version = Find<glimra_ocr_version_fn>(module.Get(), "glimra_ocr_version");
    const auto open = Find<glimra_ocr_open_fn>(module.Get(), "glimra_ocr_open");
    Functions functions;
    functions.readLine = Find<glimra_ocr_read_line_fn>(module.Get(), "glimra_ocr_read_line");
    functions.close = Find<glimra_ocr_close_fn>(module.Get(), "glimra_ocr_close");
    if (!version || !open || !functions.readLine || !functions.close ||
        version() != GLIMRA_OCR_VERSION) {
        Fail(error, Kind::Failed,
             "The built-in text recogniser (" + win::Utf8Path(dllPath) +
                 ") belongs to another version of Glimra. Install Glimra again.");
        return nullptr;
    }

    char why[512] = {};
    glimra_ocr_reader* reader = open(model.data(), model.size(), language.c_str(), why, sizeof why);
    if (!reader) {
        Fail(error, Kind::ModelDamaged, damaged + "was refused: " + why + ".");
        return nullptr;
    }
    return std::unique_ptr<TesseractDll>(new TesseractDll(module.Release(), functions, reader));
}

std::vector<Word> TesseractDll::ReadLine(const GrayImage& line) {
    struct Collected {
        std::vector<Word> words;
        bool failed = false;
    } collected;
    // No exception crosses the DLL: a word that cannot be kept fails the read.
    const auto keep = [](void* context, const glimra_ocr_word* word) {
        auto& c = *static_cast<Collected*>(context);
        try {
            c.words.push_back({word->text, word->left, word->top, word->right, word->bottom});
        } catch (...) {
            c.failed = true;
        }
    };
    if (line.width <= 0 || line.height <= 0) return {};
    if (line.pixels.size() < std::size_t(line.width) * std::size_t(line.height))
        throw std::runtime_error("the line's picture is smaller than its size");
    if (!functions_.readLine(reader_, line.pixels.data(), line.width, line.height, line.width, keep,
                             &collected) ||
        collected.failed) {
        throw std::runtime_error("the built-in text recogniser failed to read a line");
    }
    return std::move(collected.words);
}

}  // namespace glimra::ocr
