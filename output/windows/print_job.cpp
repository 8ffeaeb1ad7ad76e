#include "output/windows/print_job.h"

#include <stdexcept>
#include <string>

#include "output/windows/atomic_save.h"
#include "output/windows/print_page.h"

namespace glimra {

namespace {

[[noreturn]] void Fail(const char* step) {
    const DWORD error = ::GetLastError();
    throw std::runtime_error(std::string("Printing failed (") + step +
                             "): " + SystemErrorText(error != 0 ? error : ERROR_PRINTER_NOT_FOUND));
}

// An open document that is aborted unless it was ended.
class Document {
  public:
    explicit Document(HDC printer) : printer_(printer) {
        DOCINFOA info{};
        info.cbSize = sizeof info;
        info.lpszDocName = "";
        if (::StartDocA(printer, &info) <= 0) Fail("StartDoc");
    }
    ~Document() {
        if (printer_) ::AbortDoc(printer_);
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    void End() {
        HDC printer = printer_;
        printer_ = nullptr;
        if (::EndDoc(printer) <= 0) {
            ::AbortDoc(printer);
            Fail("EndDoc");
        }
    }

  private:
    HDC printer_;
};

}  // namespace

void PrintPicture(HDC printer, const PixelView& picture) {
    if (picture.Empty() || picture.data == nullptr)
        throw std::runtime_error("Cannot print: the picture is empty (width or height 0).");
    const PageSize page{::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES),
                        ::GetDeviceCaps(printer, LOGPIXELSY)};
    Document document(printer);
    if (::StartPage(printer) <= 0) Fail("StartPage");
    DrawPage(printer, page, picture, CurrentFooterText());
    if (::EndPage(printer) <= 0) Fail("EndPage");
    document.End();
}

}  // namespace glimra
