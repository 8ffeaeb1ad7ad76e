// The writers' way to a ByteSink: gathers small pieces into large writes, and
// carries a sink's error across the C libraries' callbacks. A callback calls
// TryPut, which never throws: it keeps the error and answers false, the callback
// reports a failure to its library in the library's own way, and once control is
// back on our side RethrowPending throws the kept error unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "output/byte_sink.h"

namespace glimra {

class BufferedWriter {
  public:
    explicit BufferedWriter(ByteSink& sink);

    void Put(const std::uint8_t* data, std::size_t size);
    bool TryPut(const std::uint8_t* data, std::size_t size) noexcept;
    // Throws the error that TryPut kept, if any.
    void RethrowPending();
    // Writes out the gathered bytes and flushes the sink.
    void Finish();

  private:
    void Drain();

    ByteSink& sink_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::exception_ptr pending_;
};

}  // namespace glimra
