// The editor's marks over the current picture, kept as objects until they are
// flattened. While there are objects, the picture's own pixels wait in a base
// bitmap and the view's bitmap shows the base with the objects drawn over it in
// order: what the view shows, at 100 %, is the flattened picture, so that saving,
// copying, printing and pinning take it as it is. A change draws again only the
// part of the view that it touched.
//
// Every change is one step of the history that keeps the objects it removed
// and inserted, not pixels. Any other step flattens first (History::BeforePixels):
// the base and the objects go into a step of their own that is undone with the
// step of pixels after it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/editor/MarkObject.h"
#include "ui/TBitmap.h"

class CurrentPicture;
class History;

class MarkObjects {
  public:
    // How far around an object's box the selection's marks may be drawn: the view
    // paints that much more around each change.
    static constexpr int kMarksMargin = 8;

    MarkObjects(CurrentPicture& picture, History& history);
    MarkObjects(const MarkObjects&) = delete;
    MarkObjects& operator=(const MarkObjects&) = delete;

    // The objects from bottom to top.
    const std::vector<MarkObject>& List() const { return objects_; }
    bool Any() const { return !objects_.empty(); }
    // The topmost object under picture pixel p, or nullptr.
    const MarkObject* At(POINT p) const;
    const MarkObject* Find(std::uint64_t id) const;

    // Each is one step of the history.
    // Puts the object on top; an object that draws nothing is dropped.
    void Add(MarkObject object);
    // The objects with these ids take the values given (`before`: as they were
    // before a Show, which the step goes back to).
    void Change(const std::vector<MarkObject>& changed);
    void Change(const std::vector<MarkObject>& changed, const std::vector<MarkObject>& before);
    void Remove(const std::vector<std::uint64_t>& ids);
    // Copies on top, moved by (dx, dy); returns their ids.
    std::vector<std::uint64_t> Duplicate(const std::vector<std::uint64_t>& ids, int dx, int dy);
    // To the top or the bottom, keeping their order among themselves.
    void ToFront(const std::vector<std::uint64_t>& ids);
    void ToBack(const std::vector<std::uint64_t>& ids);

    // Shows the objects with these values while a drag changes them, as no step.
    void Show(const std::vector<MarkObject>& changed);

    // The step numbers count on from the ones already in the pixels; a new
    // capture starts them at 1 again.
    void RestartSteps() { stepsBefore_ = 0; }

  private:
    struct Entry {
        std::size_t index;
        MarkObject object;
    };
    // One step: the entries taken out (indices in the list before) and put in
    // (indices in the list after).
    struct Edit {
        std::vector<Entry> removed, inserted;
        std::size_t Bytes() const;
    };
    // Takes the edit forward or back, and draws again what it touched.
    void Apply(const Edit& edit, bool forward);
    // Applies the edit as a new step of the history.
    void Take(Edit edit);
    std::ptrdiff_t IndexOf(std::uint64_t id) const;
    // The objects with these ids and their places, bottom to top.
    std::vector<Entry> EntriesOf(const std::vector<std::uint64_t>& ids) const;
    // Numbers the step objects in the order of their ids; adds the reach of each
    // whose number changed to `dirty`.
    void Number(RECT& dirty);
    // The base from the view's pixels, before the first object.
    void Start();
    // Draws the part again: the base's pixels, then the objects over them.
    void Redraw(RECT part);
    // The objects go into the pixels for good (a step joined to the next).
    void Flatten();

    CurrentPicture& picture_;
    History& history_;
    std::vector<MarkObject> objects_;
    ui::TBitmap base_;  // the picture's own pixels while there are objects
    std::uint64_t lastId_ = 0;
    int stepsBefore_ = 0;  // step numbers flattened into the pixels
};
