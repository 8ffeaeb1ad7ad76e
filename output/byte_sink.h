// Where the image writers put their bytes. A writer calls Write any number of
// times and Flush once at the end; either throws SaveError when the bytes cannot
// be stored (a full disk, a closed handle), and the writer lets that error out
// of its call unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace glimra {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
    // Pushes out whatever the sink still holds, so that a late failure (such as
    // a buffered write that meets a full disk) surfaces from the writer's call.
    virtual void Flush() {}
};

// Collects the bytes in memory.
class VectorSink : public ByteSink {
  public:
    void Write(const std::uint8_t* data, std::size_t size) override;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

// Writes to a C stream that the caller opened and closes; Flush flushes it.
class FileSink : public ByteSink {
  public:
    explicit FileSink(std::FILE* file) : file_(file) {}
    void Write(const std::uint8_t* data, std::size_t size) override;
    void Flush() override;

  private:
    std::FILE* file_;
};

}  // namespace glimra
