// Small owners for Windows handles, so that every clean-up runs on every path,
// including when a step throws.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

// Owns one handle; Traits gives the empty value and how to release it.
template <class Traits>
class Owned {
  public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle h) : handle_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~Owned() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }
    Handle Release() { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle h = Traits::Empty()) {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::Empty()) Traits::Close(old);
    }

  private:
    Handle handle_ = Traits::Empty();
};

template <class H, auto CloseFn>
struct HandleTraits {
    using Handle = H;
    static constexpr Handle Empty() { return nullptr; }
    static void Close(Handle h) { CloseFn(h); }
};

struct FileTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

using GdiObject = Owned<HandleTraits<HGDIOBJ, ::DeleteObject>>;
using Bitmap = Owned<HandleTraits<HBITMAP, ::DeleteObject>>;
using Font = Owned<HandleTraits<HFONT, ::DeleteObject>>;
using Brush = Owned<HandleTraits<HBRUSH, ::DeleteObject>>;
using Pen = Owned<HandleTraits<HPEN, ::DeleteObject>>;
using Palette = Owned<HandleTraits<HPALETTE, ::DeleteObject>>;
using MemoryDC = Owned<HandleTraits<HDC, ::DeleteDC>>;
using Window = Owned<HandleTraits<HWND, ::DestroyWindow>>;
using Icon = Owned<HandleTraits<HICON, ::DestroyIcon>>;
using Menu = Owned<HandleTraits<HMENU, ::DestroyMenu>>;
using RegKey = Owned<HandleTraits<HKEY, ::RegCloseKey>>;
using Module = Owned<HandleTraits<HMODULE, ::FreeLibrary>>;
using File = Owned<FileTraits>;

// A drawing context taken with GetDC or GetWindowDC: released with the window.
class WindowDC {
  public:
    WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
    static WindowDC Of(HWND window) { return {window, ::GetDC(window)}; }
    static WindowDC WholeWindow(HWND window) { return {window, ::GetWindowDC(window)}; }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a drawing context and puts the old one back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (old_) ::SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace win
