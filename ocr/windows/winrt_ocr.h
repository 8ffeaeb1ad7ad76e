// The few Windows Runtime interfaces that Windows' own text recogniser
// (Windows.Media.Ocr, Windows 10 and later) is reached through, for plain C++ with
// no projection library. Each is declared as its ABI has it: IUnknown's three
// methods, IInspectable's three, then the interface's own methods in the order of
// the Windows metadata, so that vtable slot 6 is the first of them. A method that
// is never called may be left off the end of an interface, never out of its middle.
//
// MinGW-w64's own headers give IInspectable and HSTRING (inspectable.h,
// winstring.h), the Ro* declarations (roapi.h; their types only: the functions are
// found at run time, see windows_ocr.cpp), Windows.Foundation.IAsyncInfo
// (asyncinfo.h), IAgileObject (objidl.h) and Windows.Storage.Streams.IBuffer and
// IBufferFactory (windows.storage.streams.h). Their windows.foundation.h does not
// compile as C++ in this release (a forward typedef of an enum), so Rect is
// declared here. The IIDs are constants here rather than the headers' DEFINE_GUID
// names, which would need them in a library that MinGW-w64 does not have.
#pragma once

#include <windows.h>

#include <asyncinfo.h>
#include <inspectable.h>
#include <objidl.h>
#include <roapi.h>
#include <windows.storage.streams.h>
#include <winstring.h>

namespace glimra::ocr::winrt {

using ABI::Windows::Storage::Streams::IBuffer;
using ABI::Windows::Storage::Streams::IBufferFactory;

// ---- Interfaces of COM and of the headers above --------------------------------

inline constexpr GUID kIID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// IAgileObject (objidl.h): an object that any apartment may call directly.
inline constexpr GUID kIID_IAgileObject = {
    0x94ea2b94, 0xe9cc, 0x49e0, {0xc0, 0xff, 0xee, 0x64, 0xca, 0x8f, 0x5b, 0x90}};
// Windows.Foundation.IAsyncInfo (asyncinfo.h): get_Id, get_Status, get_ErrorCode,
// Cancel, Close.
inline constexpr GUID kIID_IAsyncInfo = {
    0x00000036, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// Windows.Storage.Streams.IBufferFactory (windows.storage.streams.h): the
// constructor Buffer(UInt32 capacity).
inline constexpr GUID kIID_IBufferFactory = {
    0x71af914d, 0xc10f, 0x484b, {0xbc, 0x50, 0x14, 0xbc, 0x62, 0x3b, 0x3a, 0x27}};

// Windows::Storage::Streams::IBufferByteAccess (robuffer.h, not in MinGW-w64): the
// bytes of an IBuffer. A COM interface, derived from IUnknown only.
inline constexpr GUID kIID_IBufferByteAccess = {
    0x905a0fef, 0xbc53, 0x11df, {0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda}};
struct IBufferByteAccess : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Buffer(BYTE** value) = 0;  // slot 3
};

// ---- Windows.Foundation ---------------------------------------------------------

// Windows.Foundation.Rect: a rectangle in floating-point pixels.
struct Rect {
    FLOAT X;
    FLOAT Y;
    FLOAT Width;
    FLOAT Height;
};

// ---- Windows.Globalization ------------------------------------------------------

// Windows.Globalization.ILanguage, the default interface of Language.
inline constexpr GUID kIID_ILanguage = {
    0xea79a752, 0xf7c2, 0x4265, {0xb1, 0xbd, 0xc4, 0xde, 0xc4, 0xe4, 0xf0, 0x80}};
struct ILanguage : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_LanguageTag(HSTRING* value) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING* value) = 0;  // slot 7
    virtual HRESULT STDMETHODCALLTYPE get_NativeName(HSTRING* value) = 0;   // slot 8
    virtual HRESULT STDMETHODCALLTYPE get_Script(HSTRING* value) = 0;       // slot 9
};

// Windows.Globalization.ILanguageFactory: the constructor Language(String tag),
// which fails with E_INVALIDARG for a tag that is not well-formed BCP-47.
inline constexpr GUID kIID_ILanguageFactory = {
    0x9b0252ac, 0x0c27, 0x44f8, {0xb7, 0x92, 0x97, 0x93, 0xfb, 0x66, 0xc6, 0x3e}};
struct ILanguageFactory : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE CreateLanguage(HSTRING languageTag,
                                                     ILanguage** result) = 0;  // slot 6
};

// ---- Windows.Graphics.Imaging ---------------------------------------------------

// Windows.Graphics.Imaging.BitmapPixelFormat (the values of DXGI_FORMAT).
enum class BitmapPixelFormat : INT32 {
    Gray8 = 62,
    Bgra8 = 87,
};

// Windows.Graphics.Imaging.ISoftwareBitmap (689e0708-7eef-483f-963f-da938818e073),
// the default interface of SoftwareBitmap. Only handed from the statics below to
// the recogniser and released: none of its own methods is called, so none is
// declared.
struct ISoftwareBitmap : IInspectable {};

// Windows.Graphics.Imaging.ISoftwareBitmapStatics: the static methods of
// SoftwareBitmap. The two methods after CreateCopyWithAlphaFromBuffer
// (CreateCopyFromSurfaceAsync, CreateCopyWithAlphaFromSurfaceAsync) are left off.
inline constexpr GUID kIID_ISoftwareBitmapStatics = {
    0xdf0385db, 0x672f, 0x4a9d, {0x80, 0x6e, 0xc2, 0x44, 0x2f, 0x34, 0x3e, 0x86}};
enum class BitmapAlphaMode : INT32 { Premultiplied = 0, Straight = 1, Ignore = 2 };
struct ISoftwareBitmapStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE Copy(ISoftwareBitmap* source,
                                           ISoftwareBitmap** value) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE Convert(ISoftwareBitmap* source, BitmapPixelFormat format,
                                              ISoftwareBitmap** value) = 0;  // slot 7
    virtual HRESULT STDMETHODCALLTYPE ConvertWithAlpha(ISoftwareBitmap* source,
                                                       BitmapPixelFormat format,
                                                       BitmapAlphaMode alpha,
                                                       ISoftwareBitmap** value) = 0;  // slot 8
    // A new bitmap with a copy of `source`'s bytes, rows of width * bytes a pixel
    // without padding; premultiplied alpha.
    virtual HRESULT STDMETHODCALLTYPE CreateCopyFromBuffer(IBuffer* source,
                                                           BitmapPixelFormat format, INT32 width,
                                                           INT32 height,
                                                           ISoftwareBitmap** value) = 0;  // slot 9
    virtual HRESULT STDMETHODCALLTYPE CreateCopyWithAlphaFromBuffer(
        IBuffer* source, BitmapPixelFormat format, INT32 width, INT32 height, BitmapAlphaMode alpha,
        ISoftwareBitmap** value) = 0;  // slot 10
};

// ---- Windows.Media.Ocr ----------------------------------------------------------

// Windows.Media.Ocr.IOcrWord, the default interface of OcrWord.
inline constexpr GUID kIID_IOcrWord = {
    0x3c2a477a, 0x5cd9, 0x3525, {0xba, 0x2a, 0x23, 0xd1, 0xe0, 0xa6, 0x8a, 0x1d}};
struct IOcrWord : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_BoundingRect(Rect* value) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_Text(HSTRING* value) = 0;       // slot 7
};

// Windows.Foundation.Collections.IVectorView<Windows.Media.Ocr.OcrWord>: the
// parameterised interface's IID, computed from its signature by the SDK's tools.
// Reached only as IOcrLine::get_Words returns it, never asked for by IID.
inline constexpr GUID kIID_IVectorViewOfOcrWord = {
    0x805a60c7, 0xdf4f, 0x527c, {0x86, 0xb2, 0xe2, 0x9e, 0x43, 0x9a, 0x83, 0xd2}};
struct IOcrWordVectorView : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, IOcrWord** value) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* value) = 0;                // slot 7
    virtual HRESULT STDMETHODCALLTYPE IndexOf(IOcrWord* value, UINT32* index,
                                              boolean* found) = 0;  // slot 8
    virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 startIndex, UINT32 capacity, IOcrWord** items,
                                              UINT32* count) = 0;  // slot 9
};

// Windows.Media.Ocr.IOcrLine, the default interface of OcrLine.
inline constexpr GUID kIID_IOcrLine = {
    0x0043a16f, 0xe31f, 0x3a24, {0x89, 0x9c, 0xd4, 0x44, 0xbd, 0x08, 0x81, 0x24}};
struct IOcrLine : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Words(IOcrWordVectorView** value) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_Text(HSTRING* value) = 0;               // slot 7
};

// Windows.Foundation.Collections.IVectorView<Windows.Media.Ocr.OcrLine>, as
// IOcrResult::get_Lines returns it.
inline constexpr GUID kIID_IVectorViewOfOcrLine = {
    0x60c76eac, 0x8875, 0x5ddb, {0xa1, 0x9b, 0x65, 0xa3, 0x93, 0x62, 0x79, 0xea}};
struct IOcrLineVectorView : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, IOcrLine** value) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_Size(UINT32* value) = 0;                // slot 7
    virtual HRESULT STDMETHODCALLTYPE IndexOf(IOcrLine* value, UINT32* index,
                                              boolean* found) = 0;  // slot 8
    virtual HRESULT STDMETHODCALLTYPE GetMany(UINT32 startIndex, UINT32 capacity, IOcrLine** items,
                                              UINT32* count) = 0;  // slot 9
};

// Windows.Media.Ocr.IOcrResult, the default interface of OcrResult.
inline constexpr GUID kIID_IOcrResult = {
    0x9bd235b2, 0x175b, 0x3d6a, {0x92, 0xe2, 0x38, 0x8c, 0x20, 0x6e, 0x2f, 0x63}};
struct IOcrResult : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_Lines(IOcrLineVectorView** value) = 0;  // slot 6
    // An IReference<Double>, null where the text is not turned; not read here.
    virtual HRESULT STDMETHODCALLTYPE get_TextAngle(IInspectable** value) = 0;  // slot 7
    virtual HRESULT STDMETHODCALLTYPE get_Text(HSTRING* value) = 0;             // slot 8
};

struct IOcrResultOperation;

// Windows.Foundation.AsyncOperationCompletedHandler<Windows.Media.Ocr.OcrResult>:
// a delegate, so an IUnknown with Invoke in slot 3. Implemented by
// windows_ocr.cpp, whose QueryInterface answers this IID.
inline constexpr GUID kIID_OcrResultCompletedHandler = {
    0x989c1371, 0x444a, 0x5e7e, {0xb1, 0x97, 0x9e, 0xaa, 0xf9, 0xd2, 0x82, 0x9a}};
struct IOcrResultCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IOcrResultOperation* operation,
                                             AsyncStatus status) = 0;  // slot 3
};

// Windows.Foundation.IAsyncOperation<Windows.Media.Ocr.OcrResult>, as
// IOcrEngine::RecognizeAsync returns it; its IAsyncInfo is asked for by
// kIID_IAsyncInfo.
inline constexpr GUID kIID_IAsyncOperationOfOcrResult = {
    0xc7d7118e, 0xae36, 0x59c0, {0xac, 0x76, 0x7b, 0xad, 0xee, 0x71, 0x1c, 0x8b}};
struct IOcrResultOperation : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE
    put_Completed(IOcrResultCompletedHandler* handler) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE
    get_Completed(IOcrResultCompletedHandler** handler) = 0;                 // slot 7
    virtual HRESULT STDMETHODCALLTYPE GetResults(IOcrResult** results) = 0;  // slot 8
};

// Windows.Media.Ocr.IOcrEngine, the default interface of OcrEngine.
inline constexpr GUID kIID_IOcrEngine = {
    0x5a14bc41, 0x5b76, 0x3140, {0xb6, 0x80, 0x88, 0x25, 0x56, 0x26, 0x83, 0xac}};
struct IOcrEngine : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE RecognizeAsync(ISoftwareBitmap* bitmap,
                                                     IOcrResultOperation** result) = 0;  // slot 6
    virtual HRESULT STDMETHODCALLTYPE get_RecognizerLanguage(ILanguage** value) = 0;     // slot 7
};

// Windows.Media.Ocr.IOcrEngineStatics: the static members of OcrEngine.
inline constexpr GUID kIID_IOcrEngineStatics = {
    0x5bffa85a, 0x3384, 0x3540, {0x99, 0x40, 0x69, 0x91, 0x20, 0xd4, 0x28, 0xa8}};
struct IOcrEngineStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_MaxImageDimension(UINT32* value) = 0;  // slot 6
    // An IVectorView<Language>; not read here.
    virtual HRESULT STDMETHODCALLTYPE
    get_AvailableRecognizerLanguages(IInspectable** value) = 0;  // slot 7
    virtual HRESULT STDMETHODCALLTYPE IsLanguageSupported(ILanguage* language,
                                                          boolean* result) = 0;  // slot 8
    // Null in `result` (and S_OK) where the language has no recogniser.
    virtual HRESULT STDMETHODCALLTYPE TryCreateFromLanguage(ILanguage* language,
                                                            IOcrEngine** result) = 0;  // slot 9
    virtual HRESULT STDMETHODCALLTYPE
    TryCreateFromUserProfileLanguages(IOcrEngine** result) = 0;  // slot 10
};

// The runtime classes, as RoGetActivationFactory takes their names.
inline constexpr wchar_t kOcrEngineClass[] = L"Windows.Media.Ocr.OcrEngine";
inline constexpr wchar_t kSoftwareBitmapClass[] = L"Windows.Graphics.Imaging.SoftwareBitmap";
inline constexpr wchar_t kLanguageClass[] = L"Windows.Globalization.Language";
inline constexpr wchar_t kBufferClass[] = L"Windows.Storage.Streams.Buffer";

}  // namespace glimra::ocr::winrt
