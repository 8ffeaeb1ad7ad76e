#include "output/byte_sink.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "output/save_error.h"

namespace glimra {

namespace {

[[noreturn]] void ThrowWriteError(int error) {
    std::string text = "Cannot write the file";
    if (error != 0) text += std::string(": ") + std::strerror(error);
    throw SaveError(text + ".");
}

}  // namespace

void VectorSink::Write(const std::uint8_t* data, std::size_t size) {
    bytes_.insert(bytes_.end(), data, data + size);
}

void FileSink::Write(const std::uint8_t* data, std::size_t size) {
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size) ThrowWriteError(errno);
}

void FileSink::Flush() {
    errno = 0;
    if (std::fflush(file_) != 0 || std::ferror(file_)) ThrowWriteError(errno);
}

}  // namespace glimra
