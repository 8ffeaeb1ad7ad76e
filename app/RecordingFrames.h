// The frames of a screen recording, kept in a temporary file as they come, so
// that memory does not grow with the recording's length. Each frame is stored as
// the band of rows that changed from the frame before, packed (PackedBytes), with
// its time; every kWhole-th frame is stored whole, so that any frame is rebuilt
// from at most kWhole records. Memory holds the last frame written, the frame
// last read, and a small index of the records.
//
// The file is opened to be deleted when it is closed, which the system does also
// for a process that is killed; RemoveLeftovers clears what a machine that went
// down while recording left.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/pixel_view.h"

class RecordingFrames {
  public:
    static constexpr int kWhole = 64;

    // A new file in `folder` for frames of width x height (32-bit pixels);
    // throws std::runtime_error with the system's reason when it cannot be made.
    RecordingFrames(const std::string& folder, int width, int height);
    ~RecordingFrames();
    RecordingFrames(const RecordingFrames&) = delete;
    RecordingFrames& operator=(const RecordingFrames&) = delete;

    // Appends a frame (width x height, 4 bytes a pixel) shown from `milliseconds`
    // after the start; throws std::runtime_error when the disk takes no more.
    void Add(const glimra::PixelView& frame, std::int64_t milliseconds);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return int(index_.size()); }
    std::int64_t Time(int frame) const { return index_[std::size_t(frame)].time; }
    // The bytes the file holds.
    std::uint64_t FileBytes() const { return end_; }
    const std::string& Path() const { return path_; }

    // Rebuilds frame `frame` into `target` (width x height, 4 bytes a pixel);
    // false when the file does not give back what was written.
    [[nodiscard]] bool Read(int frame, const glimra::PixelView& target);

    // Deletes the recording files in `folder` that no running Glimra holds open.
    static void RemoveLeftovers(const std::string& folder);

  private:
    struct Record {
        std::uint64_t at;    // where it starts in the file
        std::uint32_t size;  // its bytes
        std::int64_t time;
    };
    bool ReadRecord(int frame, std::vector<std::uint8_t>& rows, int& first, int& count);

    int width_, height_;
    std::size_t rowBytes_;
    std::string path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::uint64_t end_ = 0;
    std::vector<Record> index_;
    std::vector<std::uint8_t> last_;  // the last frame added
    std::vector<std::uint8_t> read_;  // the frame last rebuilt
    int readAt_ = -1;                 // its number, or -1
};
