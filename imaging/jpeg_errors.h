// The one libjpeg error manager of the program and its tests. libjpeg reports a
// fatal error by calling error_exit, which must not return: this one keeps the
// library's text and jumps back to the setjmp of the routine that runs libjpeg,
// so that the error never ends the program and no C++ exception crosses
// libjpeg's frames. Warnings are not shown: a GUI program has no console to print
// them on. Include <cstdio> and <jpeglib.h> first.
#pragma once

#include <csetjmp>

namespace glimra {

struct JpegErrors {
    jpeg_error_mgr pub;  // first: libjpeg sees a jpeg_error_mgr*
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};

    // The manager for a compress or decompress object's `err`.
    jpeg_error_mgr* Install() {
        jpeg_std_error(&pub);
        pub.error_exit = Exit;
        pub.output_message = Quiet;
        return &pub;
    }

  private:
    static void Exit(j_common_ptr info) {
        auto* errors = reinterpret_cast<JpegErrors*>(info->err);
        (*info->err->format_message)(info, errors->message);
        std::longjmp(errors->jump, 1);
    }
    static void Quiet(j_common_ptr) {}
};

}  // namespace glimra
