#include "output/buffered_writer.h"

#include <algorithm>
#include <cstring>

namespace glimra {

namespace {

// Large enough that a sink sees few calls, small enough to stay in the cache.
constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

BufferedWriter::BufferedWriter(ByteSink& sink) : sink_(sink), buffer_(kBufferSize) {}

void BufferedWriter::Put(const std::uint8_t* data, std::size_t size) {
    RethrowPending();
    while (size > 0) {
        if (used_ == buffer_.size()) Drain();
        const std::size_t part = std::min(size, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, data, part);
        used_ += part;
        data += part;
        size -= part;
    }
}

bool BufferedWriter::TryPut(const std::uint8_t* data, std::size_t size) noexcept {
    if (pending_) return false;
    try {
        Put(data, size);
        return true;
    } catch (...) {
        pending_ = std::current_exception();
        return false;
    }
}

void BufferedWriter::RethrowPending() {
    if (pending_) std::rethrow_exception(pending_);
}

void BufferedWriter::Finish() {
    RethrowPending();
    Drain();
    sink_.Flush();
}

void BufferedWriter::Drain() {
    // Emptied before the call, so that a failing sink is never handed the same
    // bytes twice.
    const std::size_t size = used_;
    used_ = 0;
    if (size > 0) sink_.Write(buffer_.data(), size);
}

}  // namespace glimra
