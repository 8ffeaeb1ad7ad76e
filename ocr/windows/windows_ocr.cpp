// Windows' own text recogniser through the Windows Runtime's ABI (winrt_ocr.h):
// each line becomes a Bgra8 SoftwareBitmap made from a system Buffer, is read by
// OcrEngine.RecognizeAsync, and its words come back with their boxes. The runtime's
// functions come from combase.dll when first needed; nothing of it is linked.
#include "ocr/windows/windows_ocr.h"

#include "ocr/windows/winrt_ocr.h"
#include "win/SystemError.h"
#include "win/SystemFunction.h"
#include "win/Utf8.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace glimra::ocr {

using namespace winrt;

// The functions of the Windows Runtime (combase.dll, Windows 8 and later).
struct WindowsOcr::Runtime {
    decltype(&::RoInitialize) roInitialize = nullptr;
    decltype(&::RoUninitialize) roUninitialize = nullptr;
    decltype(&::RoGetActivationFactory) getActivationFactory = nullptr;
    decltype(&::WindowsCreateString) createString = nullptr;
    decltype(&::WindowsDeleteString) deleteString = nullptr;
    decltype(&::WindowsGetStringRawBuffer) stringBuffer = nullptr;
    // CoIncrementMTAUsage and CoDecrementMTAUsage: they keep the multithreaded
    // apartment, and the engine made in it, alive between the calls that join it.
    HRESULT(WINAPI* incrementMtaUsage)(void** cookie) = nullptr;
    HRESULT(WINAPI* decrementMtaUsage)(void* cookie) = nullptr;

    // The runtime's functions, or null where the system lacks any of those that
    // are needed (before Windows 8).
    static const Runtime* Find();
};

namespace {

using Runtime = WindowsOcr::Runtime;

constexpr char kCombase[] = "combase.dll";
// How long one piece of a line may take to be read before the read is given up.
constexpr DWORD kRecognitionTimeout = 30000;

constexpr char kUnavailable[] = "Windows' own text recogniser is unavailable: ";
constexpr char kHowToInstall[] =
    " Windows adds it with the language's optical character recognition feature "
    "(Settings, Time & language, Language & region).";

std::string Hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// "<what>: <the system's reason> (0x...)".
std::string Failure(const std::string& what, HRESULT result) {
    return what + ": " + win::SystemErrorText(static_cast<DWORD>(result)) + " (" + Hex(result) +
           ")";
}

void Check(HRESULT result, const char* step) {
    if (FAILED(result)) throw std::runtime_error(Failure(step, result));
}

// Owns one reference of a COM interface.
template <class T>
class Ref {
  public:
    Ref() = default;
    explicit Ref(T* adopted) : p_(adopted) {}
    Ref(Ref&& other) noexcept : p_(other.release()) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // The place for a method to store a new reference into (the old one released).
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* release() { return std::exchange(p_, nullptr); }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

// Owns one HSTRING.
class HString {
  public:
    explicit HString(const Runtime& runtime) : runtime_(runtime) {}
    HString(const HString&) = delete;
    HString& operator=(const HString&) = delete;
    ~HString() { reset(); }

    HRESULT Assign(const std::wstring& text) {
        reset();
        return runtime_.createString(text.c_str(), static_cast<UINT32>(text.size()), &string_);
    }
    HSTRING get() const { return string_; }
    HSTRING* put() {
        reset();
        return &string_;
    }
    std::string Utf8() const {
        UINT32 length = 0;
        const wchar_t* text = runtime_.stringBuffer(string_, &length);
        return text ? win::NarrowTo(CP_UTF8, std::wstring(text, length)) : std::string();
    }
    void reset() {
        if (string_) runtime_.deleteString(std::exchange(string_, nullptr));
    }

  private:
    const Runtime& runtime_;
    HSTRING string_ = nullptr;
};

// The calling thread in the multithreaded apartment for the scope's life. A thread
// that has a single-threaded apartment already keeps it (RPC_E_CHANGED_MODE): the
// recogniser's objects are agile and may be called from there too.
class ApartmentScope {
  public:
    explicit ApartmentScope(const Runtime& runtime)
        : runtime_(runtime), result_(runtime.roInitialize(RO_INIT_MULTITHREADED)) {}
    ApartmentScope(const ApartmentScope&) = delete;
    ApartmentScope& operator=(const ApartmentScope&) = delete;
    ~ApartmentScope() {
        if (Joined()) runtime_.roUninitialize();
    }
    bool Usable() const { return Joined() || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return result_; }

  private:
    bool Joined() const { return result_ == S_OK || result_ == S_FALSE; }
    const Runtime& runtime_;
    HRESULT result_;
};

// The activation factory (or statics) `iid` of the runtime class `className`.
HRESULT Activation(const Runtime& runtime, const wchar_t* className, const GUID& iid,
                   void** factory) {
    *factory = nullptr;
    HString name(runtime);
    const HRESULT made = name.Assign(className);
    if (FAILED(made)) return made;
    return runtime.getActivationFactory(name.get(), iid, factory);
}

// The delegate that RecognizeAsync calls when it is done: it sets an event that
// the reading thread waits for. Free-threaded, so that the runtime may call it
// from its own threads without marshalling (IAgileObject).
class CompletionHandler final : public IOcrResultCompletedHandler {
  public:
    CompletionHandler() : done_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    CompletionHandler(const CompletionHandler&) = delete;
    CompletionHandler& operator=(const CompletionHandler&) = delete;

    HANDLE Done() const { return done_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == kIID_IUnknown || iid == kIID_IAgileObject ||
            iid == kIID_OcrResultCompletedHandler) {
            *object = static_cast<IOcrResultCompletedHandler*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Invoke(IOcrResultOperation*, AsyncStatus) override {
        ::SetEvent(done_);
        return S_OK;
    }

  private:
    ~CompletionHandler() {
        if (done_) ::CloseHandle(done_);
    }
    std::atomic<ULONG> references_{1};
    HANDLE done_;
};

// Waits, without spinning, for `operation` to finish, and returns its result.
Ref<IOcrResult> Await(IOcrResultOperation* operation) {
    Ref<IAsyncInfo> info;
    Check(operation->QueryInterface(kIID_IAsyncInfo, info.putVoid()),
          "Following the recognition (IAsyncInfo)");
    Ref<CompletionHandler> handler(new CompletionHandler);
    if (!handler->Done())
        throw std::runtime_error(Failure("Making an event", HRESULT_FROM_WIN32(::GetLastError())));
    // The operation holds its own reference to the handler, which it may still
    // call after a time-out here.
    Check(operation->put_Completed(handler.get()), "Waiting for the recognition");
    if (::WaitForSingleObject(handler->Done(), kRecognitionTimeout) != WAIT_OBJECT_0) {
        info->Cancel();
        throw std::runtime_error("Windows' text recogniser did not answer within " +
                                 std::to_string(kRecognitionTimeout / 1000) + " seconds.");
    }
    AsyncStatus status = Started;
    Check(info->get_Status(&status), "Reading the recognition's state");
    HRESULT error = E_FAIL;
    Ref<IOcrResult> result;
    if (status == Completed) {
        error = operation->GetResults(result.put());
    } else if (status == Canceled) {
        error = HRESULT_FROM_WIN32(ERROR_CANCELLED);
    } else if (FAILED(info->get_ErrorCode(&error)) || SUCCEEDED(error)) {
        error = E_FAIL;
    }
    info->Close();
    Check(error, "Recognising the line");
    if (!result) throw std::runtime_error("Windows' text recogniser gave no result.");
    return result;
}

// The words of one result, in the pixels of the bitmap read.
std::vector<Word> WordsOf(const Runtime& runtime, IOcrResult* result) {
    std::vector<Word> words;
    Ref<IOcrLineVectorView> lines;
    Check(result->get_Lines(lines.put()), "Reading the recognised lines");
    UINT32 lineCount = 0;
    if (lines) Check(lines->get_Size(&lineCount), "Counting the recognised lines");
    for (UINT32 i = 0; i < lineCount; ++i) {
        Ref<IOcrLine> line;
        Check(lines->GetAt(i, line.put()), "Reading a recognised line");
        Ref<IOcrWordVectorView> lineWords;
        if (line) Check(line->get_Words(lineWords.put()), "Reading a line's words");
        UINT32 wordCount = 0;
        if (lineWords) Check(lineWords->get_Size(&wordCount), "Counting a line's words");
        for (UINT32 j = 0; j < wordCount; ++j) {
            Ref<IOcrWord> word;
            Check(lineWords->GetAt(j, word.put()), "Reading a recognised word");
            if (!word) continue;
            Rect box{};
            Check(word->get_BoundingRect(&box), "Reading a word's box");
            HString text(runtime);
            Check(word->get_Text(text.put()), "Reading a word's text");
            Word read;
            read.text = text.Utf8();
            if (read.text.empty()) continue;
            read.left = static_cast<int>(std::floor(box.X));
            read.top = static_cast<int>(std::floor(box.Y));
            read.right = static_cast<int>(std::ceil(box.X + box.Width));
            read.bottom = static_cast<int>(std::ceil(box.Y + box.Height));
            words.push_back(std::move(read));
        }
    }
    return words;
}

// `line` made smaller to `width` x `height` (each no larger than the line's), each
// new pixel the mean of the pixels it covers.
GrayImage ScaledDown(const GrayImage& line, int width, int height) {
    GrayImage small;
    small.width = width;
    small.height = height;
    small.pixels.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const int y0 = int(std::int64_t(y) * line.height / height);
        const int y1 = std::max(y0 + 1, int(std::int64_t(y + 1) * line.height / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = int(std::int64_t(x) * line.width / width);
            const int x1 = std::max(x0 + 1, int(std::int64_t(x + 1) * line.width / width));
            std::uint64_t sum = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    sum += line.at(sx, sy);
            const std::uint64_t count = std::uint64_t(y1 - y0) * (x1 - x0);
            small.pixels[std::size_t(y) * width + x] = std::uint8_t((sum + count / 2) / count);
        }
    }
    return small;
}

// The language's name in the user's own language ("German (Germany)"), else its tag.
std::string LanguageName(const Runtime& runtime, ILanguage* language, const std::string& tag) {
    HString name(runtime);
    if (SUCCEEDED(language->get_DisplayName(name.put()))) {
        std::string text = name.Utf8();
        if (!text.empty()) return text;
    }
    return tag;
}

}  // namespace

const Runtime* Runtime::Find() {
    static const Runtime runtime = [] {
        Runtime found;
        found.roInitialize =
            win::OptionalSystemFunction<decltype(::RoInitialize)>(kCombase, "RoInitialize");
        found.roUninitialize =
            win::OptionalSystemFunction<decltype(::RoUninitialize)>(kCombase, "RoUninitialize");
        found.getActivationFactory =
            win::OptionalSystemFunction<decltype(::RoGetActivationFactory)>(
                kCombase, "RoGetActivationFactory");
        found.createString = win::OptionalSystemFunction<decltype(::WindowsCreateString)>(
            kCombase, "WindowsCreateString");
        found.deleteString = win::OptionalSystemFunction<decltype(::WindowsDeleteString)>(
            kCombase, "WindowsDeleteString");
        found.stringBuffer = win::OptionalSystemFunction<decltype(::WindowsGetStringRawBuffer)>(
            kCombase, "WindowsGetStringRawBuffer");
        found.incrementMtaUsage =
            win::OptionalSystemFunction<HRESULT WINAPI(void**)>(kCombase, "CoIncrementMTAUsage");
        found.decrementMtaUsage =
            win::OptionalSystemFunction<HRESULT WINAPI(void*)>(kCombase, "CoDecrementMTAUsage");
        if (!found.incrementMtaUsage || !found.decrementMtaUsage)
            found.incrementMtaUsage = nullptr, found.decrementMtaUsage = nullptr;
        return found;
    }();
    const bool complete = runtime.roInitialize && runtime.roUninitialize &&
                          runtime.getActivationFactory && runtime.createString &&
                          runtime.deleteString && runtime.stringBuffer;
    return complete ? &runtime : nullptr;
}

struct WindowsOcr::State {
    const Runtime* runtime = nullptr;
    IOcrEngine* engine = nullptr;
    void* mtaUsage = nullptr;
    UINT32 maxDimension = 0;
    std::string languageTag;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        // The engine is agile: any thread may let it go, while the apartment it
        // was made in is still held.
        if (engine) engine->Release();
        if (mtaUsage) runtime->decrementMtaUsage(mtaUsage);
    }
};

WindowsOcr::WindowsOcr(std::unique_ptr<State> state) : state_(std::move(state)) {}
WindowsOcr::~WindowsOcr() = default;

const std::string& WindowsOcr::LanguageTag() const {
    return state_->languageTag;
}

int WindowsOcr::MaxImageDimension() const {
    return static_cast<int>(state_->maxDimension);
}

std::unique_ptr<WindowsOcr> WindowsOcr::Create(const std::string& languageTag, std::string& why) {
    why.clear();
    const Runtime* runtime = Runtime::Find();
    if (!runtime) {
        why = std::string(kUnavailable) + "it needs Windows 10 or later.";
        return nullptr;
    }
    ApartmentScope apartment(*runtime);
    if (!apartment.Usable()) {
        why = kUnavailable + Failure("the Windows Runtime did not start", apartment.Result());
        return nullptr;
    }

    Ref<IOcrEngineStatics> statics;
    HRESULT result =
        Activation(*runtime, kOcrEngineClass, kIID_IOcrEngineStatics, statics.putVoid());
    if (result == REGDB_E_CLASSNOTREG || result == CLASS_E_CLASSNOTAVAILABLE) {
        why = std::string(kUnavailable) +
              "this Windows does not have Windows.Media.Ocr, which comes with Windows 10 and "
              "later.";
        return nullptr;
    }
    if (FAILED(result) || !statics) {
        why = kUnavailable + Failure("Windows.Media.Ocr did not start", result);
        return nullptr;
    }

    Ref<IOcrEngine> engine;
    if (languageTag.empty()) {
        result = statics->TryCreateFromUserProfileLanguages(engine.put());
        if (FAILED(result)) {
            why = kUnavailable + Failure("it did not start for your languages", result);
            return nullptr;
        }
        if (!engine) {
            why = std::string(
                      "Windows has no text recogniser installed for any of your "
                      "languages.") +
                  kHowToInstall;
            return nullptr;
        }
    } else {
        Ref<ILanguageFactory> languages;
        result = Activation(*runtime, kLanguageClass, kIID_ILanguageFactory, languages.putVoid());
        if (FAILED(result) || !languages) {
            why = kUnavailable + Failure("Windows.Globalization.Language did not start", result);
            return nullptr;
        }
        HString tag(*runtime);
        Ref<ILanguage> language;
        result = tag.Assign(win::WideFrom(CP_UTF8, languageTag));
        if (SUCCEEDED(result)) result = languages->CreateLanguage(tag.get(), language.put());
        if (FAILED(result) || !language) {
            why = "\"" + languageTag +
                  "\" is not a language tag Windows knows; it takes tags such as en-US or de-DE.";
            return nullptr;
        }
        boolean supported = 0;
        result = statics->IsLanguageSupported(language.get(), &supported);
        if (FAILED(result)) {
            why = kUnavailable + Failure("it could not tell which languages it reads", result);
            return nullptr;
        }
        if (!supported) {
            why = "Windows has no text recogniser for " +
                  LanguageName(*runtime, language.get(), languageTag) + " installed." +
                  kHowToInstall;
            return nullptr;
        }
        result = statics->TryCreateFromLanguage(language.get(), engine.put());
        if (FAILED(result) || !engine) {
            why = kUnavailable + Failure("it did not start for " + languageTag,
                                         FAILED(result) ? result : E_UNEXPECTED);
            return nullptr;
        }
    }

    auto state = std::make_unique<State>();
    state->runtime = runtime;
    result = statics->get_MaxImageDimension(&state->maxDimension);
    if (FAILED(result) || state->maxDimension == 0) {
        why = kUnavailable + Failure("it did not say how large a picture it reads",
                                     FAILED(result) ? result : E_UNEXPECTED);
        return nullptr;
    }
    Ref<ILanguage> recognised;
    HString tag(*runtime);
    if (SUCCEEDED(engine->get_RecognizerLanguage(recognised.put())) && recognised &&
        SUCCEEDED(recognised->get_LanguageTag(tag.put())))
        state->languageTag = tag.Utf8();
    if (state->languageTag.empty()) state->languageTag = languageTag;
    if (runtime->incrementMtaUsage && FAILED(runtime->incrementMtaUsage(&state->mtaUsage)))
        state->mtaUsage = nullptr;
    state->engine = engine.release();
    return std::unique_ptr<WindowsOcr>(new WindowsOcr(std::move(state)));
}

std::vector<Word> WindowsOcr::ReadLine(const GrayImage& line) {
    if (line.width <= 0 || line.height <= 0) return {};
    const Runtime& runtime = *state_->runtime;
    ApartmentScope apartment(runtime);
    if (!apartment.Usable())
        throw std::runtime_error(
            Failure("Joining the Windows Runtime's apartment", apartment.Result()));

    Ref<ISoftwareBitmapStatics> bitmaps;
    Check(Activation(runtime, kSoftwareBitmapClass, kIID_ISoftwareBitmapStatics, bitmaps.putVoid()),
          "Starting Windows.Graphics.Imaging.SoftwareBitmap");
    Ref<IBufferFactory> buffers;
    Check(Activation(runtime, kBufferClass, kIID_IBufferFactory, buffers.putVoid()),
          "Starting Windows.Storage.Streams.Buffer");

    // A line taller than the recogniser reads is made smaller as a whole; a wide one
    // is read in pieces.
    const int limit = static_cast<int>(state_->maxDimension);
    GrayImage smaller;
    const GrayImage* image = &line;
    if (line.height > limit) {
        const int width =
            std::max<int>(1, static_cast<int>(std::int64_t(line.width) * limit / line.height));
        smaller = ScaledDown(line, width, limit);
        image = &smaller;
    }
    const double toLineX = double(line.width) / image->width;
    const double toLineY = double(line.height) / image->height;

    std::vector<Word> words;
    for (const auto& [first, last] : LinePieces(*image, limit)) {
        const int width = last - first;
        const int height = image->height;
        const UINT32 size = UINT32(width) * UINT32(height) * 4;
        Ref<IBuffer> buffer;
        Check(buffers->Create(size, buffer.put()), "Making a buffer for the line");
        Check(buffer->put_Length(size), "Sizing the line's buffer");
        Ref<IBufferByteAccess> access;
        Check(buffer->QueryInterface(kIID_IBufferByteAccess, access.putVoid()),
              "Reaching the buffer's bytes");
        BYTE* bytes = nullptr;
        Check(access->Buffer(&bytes), "Reaching the buffer's bytes");
        for (int y = 0; y < height; ++y) {
            for (int x = first; x < last; ++x) {
                const BYTE gray = image->at(x, y);
                *bytes++ = gray;
                *bytes++ = gray;
                *bytes++ = gray;
                *bytes++ = 255;
            }
        }
        Ref<ISoftwareBitmap> bitmap;
        Check(bitmaps->CreateCopyFromBuffer(buffer.get(), BitmapPixelFormat::Bgra8, width, height,
                                            bitmap.put()),
              "Making the line's bitmap");
        Ref<IOcrResultOperation> operation;
        Check(state_->engine->RecognizeAsync(bitmap.get(), operation.put()),
              "Starting the recognition");
        if (!operation) throw std::runtime_error("Windows' text recogniser did not start.");
        const Ref<IOcrResult> result = Await(operation.get());
        for (Word& word : WordsOf(runtime, result.get())) {
            word.left = std::clamp(int(std::floor((word.left + first) * toLineX)), 0, line.width);
            word.right = std::clamp(int(std::ceil((word.right + first) * toLineX)), 0, line.width);
            word.top = std::clamp(int(std::floor(word.top * toLineY)), 0, line.height);
            word.bottom = std::clamp(int(std::ceil(word.bottom * toLineY)), 0, line.height);
            words.push_back(std::move(word));
        }
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const Word& a, const Word& b) { return a.left < b.left; });
    return words;
}

bool WindowsOcrAvailable(const std::string& languageTag, std::string& why) {
    return WindowsOcr::Create(languageTag, why) != nullptr;
}

std::vector<std::pair<int, int>> LinePieces(const GrayImage& line, int maxWidth,
                                            std::uint8_t paper) {
    std::vector<std::pair<int, int>> pieces;
    if (line.width <= 0 || maxWidth <= 0) return pieces;
    std::vector<bool> blank(std::size_t(line.width), true);
    for (int y = 0; y < line.height; ++y)
        for (int x = 0; x < line.width; ++x)
            if (line.at(x, y) < paper) blank[std::size_t(x)] = false;
    int first = 0;
    while (line.width - first > maxWidth) {
        const int reach = first + maxWidth;
        // The paper the piece starts with is its margin, not a gap between words.
        int ink = first;
        while (ink < reach && blank[std::size_t(ink)])
            ++ink;
        int cut = reach;
        int gap = reach;
        while (gap > ink && !blank[std::size_t(gap - 1)])
            --gap;
        if (gap > ink) {
            // Cut in the middle of the blank run that column gap - 1 belongs to, so
            // that both pieces keep some paper beside their words.
            int runStart = gap - 1;
            while (blank[std::size_t(runStart - 1)])
                --runStart;
            int runEnd = gap;
            while (runEnd < line.width && blank[std::size_t(runEnd)])
                ++runEnd;
            cut = std::min(std::max((runStart + runEnd) / 2, runStart + 1), reach);
        }
        pieces.emplace_back(first, cut);
        first = cut;
    }
    pieces.emplace_back(first, line.width);
    return pieces;
}

}  // namespace glimra::ocr
