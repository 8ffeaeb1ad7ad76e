#include "output/jpeg_writer.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/jpeg_errors.h"
#include "output/picture_check.h"
#include "output/save_error.h"

namespace glimra {

namespace {

constexpr int kQuality = 90;
constexpr std::size_t kFirstBufferSize = 64 * 1024;

// Collects the compressed stream in a buffer that doubles when full.
struct MemoryDestination {
    jpeg_destination_mgr pub;  // first: libjpeg sees a jpeg_destination_mgr*
    std::vector<std::uint8_t> bytes;
    std::size_t size = 0;  // bytes written once the compression has ended

    // Grows `bytes` to `newSize`; false when memory runs out (libjpeg's caller
    // must not see the exception).
    bool Resize(std::size_t newSize) noexcept {
        try {
            bytes.resize(newSize);
            return true;
        } catch (...) {
            return false;
        }
    }
};

MemoryDestination& DestinationOf(j_compress_ptr info) {
    return *reinterpret_cast<MemoryDestination*>(info->dest);
}

void InitDestination(j_compress_ptr info) {
    auto& dest = DestinationOf(info);
    if (!dest.Resize(kFirstBufferSize)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    dest.pub.next_output_byte = dest.bytes.data();
    dest.pub.free_in_buffer = dest.bytes.size();
}

// Called when the buffer is full (libjpeg's contract: all of it is output).
boolean EmptyOutputBuffer(j_compress_ptr info) {
    auto& dest = DestinationOf(info);
    const std::size_t full = dest.bytes.size();
    if (full > dest.bytes.max_size() / 2 || !dest.Resize(2 * full))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    dest.pub.next_output_byte = dest.bytes.data() + full;
    dest.pub.free_in_buffer = dest.bytes.size() - full;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto& dest = DestinationOf(info);
    dest.size = dest.bytes.size() - dest.pub.free_in_buffer;
}

// Runs libjpeg over the picture, rows from the top. The rows go in as they
// are, blue, green, red: libjpeg-turbo reads that order itself (JCS_EXT_BGR)
// and writes the same file as for rows of red, green, blue, without a copy of
// each row. Answers false when libjpeg reported an error (its text is in
// errors.message). An error leaves this function by longjmp, so it holds no
// object with a destructor.
bool Compress(jpeg_compress_struct& info, JpegErrors& errors, MemoryDestination& destination,
              const PixelView& view) {
    if (setjmp(errors.jump)) return false;
    jpeg_CreateCompress(&info, JPEG_LIB_VERSION, sizeof info);
    info.dest = &destination.pub;
    info.image_width = static_cast<JDIMENSION>(view.width);
    info.image_height = static_cast<JDIMENSION>(view.height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < view.height; ++y) {
        JSAMPROW row = view.Row(y);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// Owns the compression object; destroying it is safe in every state, also when
// jpeg_CreateCompress itself failed (the object starts zeroed).
struct CompressObject {
    jpeg_compress_struct info{};
    ~CompressObject() { jpeg_destroy_compress(&info); }
};

}  // namespace

void WriteJpeg(const PixelView& view, ByteSink& sink) {
    CheckPicture(view, "JPEG");
    MemoryDestination destination;
    destination.pub.init_destination = InitDestination;
    destination.pub.empty_output_buffer = EmptyOutputBuffer;
    destination.pub.term_destination = TermDestination;
    JpegErrors errors;
    {
        CompressObject compress;
        compress.info.err = errors.Install();
        if (!Compress(compress.info, errors, destination, view))
            throw SaveError(std::string("Cannot save as JPEG: ") + errors.message + ".");
    }
    sink.Write(destination.bytes.data(), destination.size);
    sink.Flush();
}

}  // namespace glimra
