// Saving without losing anything: the file is written under a temporary name in
// the target's own folder and takes the target's place only once it is
// complete. When anything fails, an existing file keeps its old content and no
// partial file is left.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "output/byte_sink.h"
#include "win/SystemError.h"

namespace glimra {

using win::SystemErrorText;

// Writes to a Windows file handle that the caller opened and closes; throws
// SaveError with the system's text when the handle does not take the bytes.
class HandleSink : public ByteSink {
  public:
    explicit HandleSink(HANDLE file) : file_(file) {}
    void Write(const std::uint8_t* data, std::size_t size) override;

  private:
    HANDLE file_;
};

// Runs `write` on a sink into a new temporary file beside `path` (UTF-8), then replaces
// `path` with it. Throws SaveError (the folder missing or read-only, the disk
// full, the target not replaceable) or whatever `write` throws; either way the
// temporary file is gone and `path` is as it was.
void SaveAtomically(const std::string& path, const std::function<void(ByteSink&)>& write);

// Moves the finished file `from` over `to`. Another program (a virus scanner, an
// indexer, a viewer) may hold the old file for a moment: while the system says
// it is in use, the move is tried again for up to a second. False with the
// system's error (GetLastError) when it does not take place.
bool MoveIntoPlace(const std::wstring& from, const std::wstring& to);

}  // namespace glimra
