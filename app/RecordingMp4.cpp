#include "app/RecordingMp4.h"

#include <windows.h>

#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "app/RecordingFrames.h"
#include "output/save_error.h"
#include "win/SystemFunction.h"

namespace {

// Media Foundation's entry points, looked up when first needed.
struct MediaFoundation {
    decltype(::MFStartup)* startup =
        win::OptionalSystemFunction<decltype(::MFStartup)>("mfplat.dll", "MFStartup");
    decltype(::MFShutdown)* shutdown =
        win::OptionalSystemFunction<decltype(::MFShutdown)>("mfplat.dll", "MFShutdown");
    decltype(::MFCreateMediaType)* mediaType =
        win::OptionalSystemFunction<decltype(::MFCreateMediaType)>("mfplat.dll",
                                                                   "MFCreateMediaType");
    decltype(::MFCreateMemoryBuffer)* buffer =
        win::OptionalSystemFunction<decltype(::MFCreateMemoryBuffer)>("mfplat.dll",
                                                                      "MFCreateMemoryBuffer");
    decltype(::MFCreateSample)* sample =
        win::OptionalSystemFunction<decltype(::MFCreateSample)>("mfplat.dll", "MFCreateSample");
    decltype(::MFCreateSinkWriterFromURL)* writer =
        win::OptionalSystemFunction<decltype(::MFCreateSinkWriterFromURL)>(
            "mfreadwrite.dll", "MFCreateSinkWriterFromURL");
    bool Complete() const { return startup && shutdown && mediaType && buffer && sample && writer; }
};

// Releases a COM object when it goes.
template <class T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// The video's type: H.264 out, or the frames' RGB32 in (rows from the top).
bool VideoType(const MediaFoundation& mf, IMFMediaType** type, const GUID& format, UINT32 width,
               UINT32 height, UINT32 rate) {
    if (FAILED(mf.mediaType(type))) return false;
    IMFMediaType* t = *type;
    bool ok = SUCCEEDED(t->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video)) &&
              SUCCEEDED(t->SetGUID(MF_MT_SUBTYPE, format)) &&
              SUCCEEDED(t->SetUINT32(MF_MT_INTERLACE_MODE, MFVideoInterlace_Progressive)) &&
              SUCCEEDED(MFSetAttributeSize(t, MF_MT_FRAME_SIZE, width, height)) &&
              SUCCEEDED(MFSetAttributeRatio(t, MF_MT_FRAME_RATE, rate, 1)) &&
              SUCCEEDED(MFSetAttributeRatio(t, MF_MT_PIXEL_ASPECT_RATIO, 1, 1));
    if (format == MFVideoFormat_H264)
        ok = ok && SUCCEEDED(t->SetUINT32(MF_MT_AVG_BITRATE,
                                          std::max<UINT32>(width * height * rate / 8, 500000)));
    else
        ok = ok && SUCCEEDED(t->SetUINT32(MF_MT_DEFAULT_STRIDE, width * 4));
    return ok;
}

}  // namespace

bool SaveRecordingAsMp4(RecordingFrames& frames, int first, int last, std::int64_t end,
                        const std::wstring& path) {
    static const MediaFoundation mf;
    if (!mf.Complete()) return false;
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(mf.startup(MF_VERSION, MFSTARTUP_LITE))) {
        if (SUCCEEDED(com)) ::CoUninitialize();
        return false;
    }
    struct Shutdown {
        const MediaFoundation& mf;
        HRESULT com;
        ~Shutdown() {
            mf.shutdown();
            if (SUCCEEDED(com)) ::CoUninitialize();
        }
    } shutdown{mf, com};

    // H.264 takes even sizes: an odd last column or row is left out.
    const UINT32 width = UINT32(frames.Width()) & ~1u, height = UINT32(frames.Height()) & ~1u;
    // The nominal rate, from the frames' own times; each sample keeps its time.
    const std::int64_t span = std::max<std::int64_t>(1, end - frames.Time(first));
    const UINT32 rate = std::clamp<UINT32>(UINT32((last - first + 1) * 1000 / span), 1, 60);
    Com<IMFSinkWriter> writer;
    Com<IMFMediaType> out, in;
    DWORD stream = 0;
    if (width == 0 || height == 0 || FAILED(mf.writer(path.c_str(), nullptr, nullptr, &writer)) ||
        !VideoType(mf, &out, MFVideoFormat_H264, width, height, rate) ||
        FAILED(writer->AddStream(out.p, &stream)) ||
        !VideoType(mf, &in, MFVideoFormat_RGB32, width, height, rate) ||
        FAILED(writer->SetInputMediaType(stream, in.p, nullptr)) ||
        FAILED(writer->BeginWriting())) {
        // No encoder: whatever the writer began is removed.
        if (writer.p) writer.p->Release();
        writer.p = nullptr;
        ::DeleteFileW(path.c_str());
        return false;
    }

    std::vector<std::uint8_t> pixels(std::size_t(frames.Width()) * frames.Height() * 4);
    const glimra::PixelView view{pixels.data(), frames.Width(), frames.Height(),
                                 std::ptrdiff_t(frames.Width()) * 4, 4};
    const std::int64_t start = frames.Time(first);
    for (int i = first; i <= last; ++i) {
        if (!frames.Read(i, view))
            throw std::runtime_error("The recording's file does not give back frame " +
                                     std::to_string(i + 1) + ".");
        const std::int64_t from = frames.Time(i) - start;
        const std::int64_t to = (i < last ? frames.Time(i + 1) : end) - start;
        Com<IMFMediaBuffer> buffer;
        Com<IMFSample> sample;
        BYTE* data = nullptr;
        const DWORD bytes = width * height * 4;
        if (FAILED(mf.buffer(bytes, &buffer)) || FAILED(buffer->Lock(&data, nullptr, nullptr)))
            throw glimra::SaveError("Media Foundation gave no memory for a frame.");
        for (UINT32 y = 0; y < height; ++y)
            std::memcpy(data + std::size_t(y) * width * 4, view.Row(int(y)), width * 4);
        buffer->Unlock();
        // Times in units of 100 ns.
        if (FAILED(buffer->SetCurrentLength(bytes)) || FAILED(mf.sample(&sample)) ||
            FAILED(sample->AddBuffer(buffer.p)) || FAILED(sample->SetSampleTime(from * 10000)) ||
            FAILED(sample->SetSampleDuration(std::max<std::int64_t>(1, to - from) * 10000)) ||
            FAILED(writer->WriteSample(stream, sample.p)))
            throw glimra::SaveError("The video encoder refused frame " + std::to_string(i + 1) +
                                    ".");
    }
    if (FAILED(writer->Finalize())) throw glimra::SaveError("The MP4 file could not be finished.");
    return true;
}
