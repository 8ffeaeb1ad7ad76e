/* The C interface of glimra_ocr.dll, the built-in text recogniser (Tesseract's
 * LSTM engine with Leptonica, linked in whole). The program loads the DLL from
 * its own folder when text is first recognised and frees it when done, so that
 * neither the engine nor its model costs memory otherwise. Only C types cross
 * the boundary; every function is __cdecl and catches whatever the engine
 * throws. Texts are UTF-8. One reader reads on one thread at a time. */
#ifndef GLIMRA_OCR_H
#define GLIMRA_OCR_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(GLIMRA_OCR_BUILDING)
#define GLIMRA_OCR_API __declspec(dllexport)
#else
#define GLIMRA_OCR_API
#endif

/* The interface's version, which glimra_ocr_version returns: a program refuses
 * a DLL of another one. */
#define GLIMRA_OCR_VERSION 1

typedef struct glimra_ocr_reader glimra_ocr_reader;

/* A word as read: its text (UTF-8, ended by a zero, valid during the callback
 * only) and its box in the line's pixels (left and top inclusive, right and
 * bottom exclusive). */
typedef struct glimra_ocr_word {
    const char* text;
    int32_t left, top, right, bottom;
} glimra_ocr_word;

typedef void(__cdecl* glimra_ocr_word_fn)(void* context, const glimra_ocr_word* word);

typedef int32_t(__cdecl* glimra_ocr_version_fn)(void);
typedef glimra_ocr_reader*(__cdecl* glimra_ocr_open_fn)(const void* model, size_t model_size,
                                                        const char* language, char* error,
                                                        size_t error_size);
typedef int32_t(__cdecl* glimra_ocr_read_line_fn)(glimra_ocr_reader* reader, const uint8_t* pixels,
                                                  int32_t width, int32_t height, int32_t stride,
                                                  glimra_ocr_word_fn word, void* context);
typedef void(__cdecl* glimra_ocr_close_fn)(glimra_ocr_reader* reader);

/* GLIMRA_OCR_VERSION of the DLL. */
GLIMRA_OCR_API int32_t __cdecl glimra_ocr_version(void);

/* Opens a reader of `language` ("eng", "deu") from the bytes of its
 * .traineddata file, which the caller may free when the call returns. Returns
 * the reader, or null with the reason in `error` (UTF-8, cut to error_size
 * bytes with its ending zero). */
GLIMRA_OCR_API glimra_ocr_reader* __cdecl glimra_ocr_open(const void* model, size_t model_size,
                                                          const char* language, char* error,
                                                          size_t error_size);

/* Reads one line of dark text on white: 8-bit gray pixels (0 ink, 255 paper),
 * `stride` bytes from one row to the next. Calls `word` for each word read,
 * from left to right. Returns 1 when the line was read (with or without
 * words), 0 when the engine failed (out of memory) or the arguments are not
 * a picture. */
GLIMRA_OCR_API int32_t __cdecl glimra_ocr_read_line(glimra_ocr_reader* reader,
                                                    const uint8_t* pixels, int32_t width,
                                                    int32_t height, int32_t stride,
                                                    glimra_ocr_word_fn word, void* context);

/* Closes a reader and frees all its memory; null is allowed. */
GLIMRA_OCR_API void __cdecl glimra_ocr_close(glimra_ocr_reader* reader);

#ifdef __cplusplus
}
#endif

#endif
