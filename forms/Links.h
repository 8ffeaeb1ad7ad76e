// The two web pages that the program opens, kept in one place, and the way a page
// is opened: one ShellExecuteA "open" call; nothing is reported when it fails.
#pragma once

#include <windows.h>

#include <functional>

// The maker's web site.
extern const char kWebsiteAddress[];
// The donation page of the payment service, with the maker's donation button.
extern const char kDonationAddress[];

void OpenPage(HWND window, const char* address);

// Replaces the shell call (tests record the pages instead of starting a browser);
// an empty function restores it.
void SetPageOpener(std::function<void(HWND, const char*)> opener);
