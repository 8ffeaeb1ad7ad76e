// What tests of the main window read or set inside it beyond its controls: the
// history of the picture's changes, and the tool that the mouse works with.
#pragma once

#include "app/editor/PictureTools.h"
#include "app/Unit3.h"

namespace glimra::test {

struct MainWindowInternals {
    static const History& PictureHistory(TMAIN& main) { return *main.history_; }
    static PictureTools& Tools(TMAIN& main) { return *main.tools_; }
    // The picture becomes the current one as a capture's does: one step, the
    // objects over the picture before flattened into it.
    static void NewPicture(TMAIN& main, ui::TBitmap& picture) { main.history_->Replace(picture); }
};

}  // namespace glimra::test
