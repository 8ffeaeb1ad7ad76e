// The copy command's work: the picture on the clipboard as a bitmap; and a
// saved file on the clipboard as a file, which pastes into chat and mail; and
// text read from a picture as text.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/pixel_view.h"

namespace glimra {

// Replaces the clipboard's content with a copy of `picture` (same size and
// pixel layout, 24 or 32 bits per pixel) under CF_BITMAP, and the same pixels as
// a packed bitmap under CF_DIB and CF_DIBV5, which other programs can read where a bitmap
// handle does not cross processes (under Wine). Such pictures have no colour
// table, so there is never a palette to hand over with them. The copies are
// opaque: a 32-bit picture's fourth byte is 255 in every pixel. Throws
// std::runtime_error "Cannot open clipboard" when another program still holds the
// clipboard after about half a second of retries, leaving it as it was; the clipboard is always
// closed again once it was opened.
void CopyToClipboard(HWND owner, const PixelView& picture);

// The same for a picture with alpha: `flat` (its pixels laid over a background,
// 24 or 32 bits per pixel) under CF_BITMAP and CF_DIB, opaque as above; `picture`
// itself (32 bits, straight alpha) under CF_DIBV5, whose header names the fourth
// byte as alpha, and as a PNG file with alpha under the registered format "PNG".
void CopyToClipboardWithAlpha(HWND owner, const PixelView& picture, const PixelView& flat);

// Replaces the clipboard's content with the file at `path` as a file list of
// one (CF_HDROP, wide), as Explorer's Copy leaves it. Throws std::runtime_error
// as CopyToClipboard does.
void CopyFileToClipboard(HWND owner, const std::wstring& path);

// Replaces the clipboard's content with `text` as Unicode text (CF_UNICODETEXT;
// the system offers it as CF_TEXT too). Throws std::runtime_error as
// CopyToClipboard does.
void CopyTextToClipboard(HWND owner, const std::wstring& text);

}  // namespace glimra
