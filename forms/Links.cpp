#include "forms/Links.h"

#include <shellapi.h>

const char kWebsiteAddress[] = "http://www.norvanta.example/";
const char kDonationAddress[] =
    "https://www.payments.example/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id=4815162342";

namespace {

std::function<void(HWND, const char*)>& Opener() {
    static std::function<void(HWND, const char*)> opener;
    return opener;
}

}  // namespace

void OpenPage(HWND window, const char* address) {
    if (Opener()) {
        Opener()(window, address);
        return;
    }
    ::ShellExecuteA(window, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void SetPageOpener(std::function<void(HWND, const char*)> opener) {
    Opener() = std::move(opener);
}
