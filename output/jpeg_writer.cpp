#include "output/jpeg_writer.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdint>
#include <string>

#include "imaging/jpeg_errors.h"
#include "output/buffered_writer.h"
#include "output/picture_check.h"
#include "output/save_error.h"

namespace glimra {

namespace {

constexpr int kQuality = 90;
// libjpeg's output goes to the writer in pieces of this size, through one small
// buffer that stays in the cache. A buffer for the whole stream would be new
// memory at each save, growing by copies, and every new page costs a fault (under
// Wine more than the page's copy): a fifth of the time of a 3840 x 2160 save. A
// sink's error is kept by the writer (TryPut) and stops libjpeg through its
// error exit.
constexpr std::size_t kPieceSize = 16 * 1024;

struct WriterDestination {
    jpeg_destination_mgr pub;  // first: libjpeg sees a jpeg_destination_mgr*
    BufferedWriter& out;
    std::uint8_t piece[kPieceSize];

    explicit WriterDestination(BufferedWriter& writer) : pub{}, out(writer) {}
};

WriterDestination& DestinationOf(j_compress_ptr info) {
    return *reinterpret_cast<WriterDestination*>(info->dest);
}

void InitDestination(j_compress_ptr info) {
    auto& dest = DestinationOf(info);
    dest.pub.next_output_byte = dest.piece;
    dest.pub.free_in_buffer = kPieceSize;
}

// Called when the piece is full (libjpeg's contract: all of it is output).
boolean EmptyOutputBuffer(j_compress_ptr info) {
    auto& dest = DestinationOf(info);
    if (!dest.out.TryPut(dest.piece, kPieceSize)) ERREXIT(info, JERR_FILE_WRITE);
    dest.pub.next_output_byte = dest.piece;
    dest.pub.free_in_buffer = kPieceSize;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto& dest = DestinationOf(info);
    if (!dest.out.TryPut(dest.piece, kPieceSize - dest.pub.free_in_buffer))
        ERREXIT(info, JERR_FILE_WRITE);
}

// Runs libjpeg over the picture, rows from the top. The rows go in as they
// are, blue, green, red: libjpeg-turbo reads that order itself (JCS_EXT_BGR)
// and writes the same file as for rows of red, green, blue, without a copy of
// each row. Answers false when libjpeg reported an error (its text is in
// errors.message). An error leaves this function by longjmp, so it holds no
// object with a destructor.
bool Compress(jpeg_compress_struct& info, JpegErrors& errors, WriterDestination& destination,
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
    BufferedWriter out(sink);
    WriterDestination destination(out);
    destination.pub.init_destination = InitDestination;
    destination.pub.empty_output_buffer = EmptyOutputBuffer;
    destination.pub.term_destination = TermDestination;
    JpegErrors errors;
    {
        CompressObject compress;
        compress.info.err = errors.Install();
        if (!Compress(compress.info, errors, destination, view)) {
            // A failing sink's own error wins over libjpeg's report of it.
            out.RethrowPending();
            throw SaveError(std::string("Cannot save as JPEG: ") + errors.message + ".");
        }
    }
    out.Finish();
}

}  // namespace glimra
