#include "app/RecordingFrames.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "app/PackedBytes.h"
#include "win/SystemError.h"

namespace {

constexpr const char* kPrefix = "Glimra-recording-";
constexpr std::uint32_t kMagic = 0x31465247;  // "GRF1"
constexpr std::size_t kHeader = 3 * sizeof(std::uint32_t);

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

}  // namespace

RecordingFrames::RecordingFrames(const std::string& folder, int width, int height)
    : width_(width), height_(height), rowBytes_(std::size_t(width) * 4) {
    path_ = InFolder(folder, kPrefix + std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(::GetTickCount64()) + ".tmp");
    // Shared with nobody, and deleted by the system when the handle closes.
    file_ = ::CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file_ == INVALID_HANDLE_VALUE)
        throw std::runtime_error("The recording's file " + path_ +
                                 " could not be made: " + win::SystemErrorText(::GetLastError()));
    last_.resize(rowBytes_ * std::size_t(height));
}

RecordingFrames::~RecordingFrames() {
    if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
}

void RecordingFrames::Add(const glimra::PixelView& frame, std::int64_t milliseconds) {
    // The band of rows that differ from the frame before; all of them for a
    // frame stored whole.
    int first = 0, end = height_;
    if (Count() % kWhole != 0) {
        const auto same = [&](int y) {
            return std::memcmp(frame.Row(y), &last_[std::size_t(y) * rowBytes_], rowBytes_) == 0;
        };
        while (first < height_ && same(first))
            ++first;
        while (end > first && same(end - 1))
            --end;
    }
    for (int y = first; y < end; ++y)
        std::memcpy(&last_[std::size_t(y) * rowBytes_], frame.Row(y), rowBytes_);

    std::vector<std::uint8_t> record(kHeader);
    const std::uint32_t header[] = {kMagic, std::uint32_t(first), std::uint32_t(end - first)};
    std::memcpy(record.data(), header, kHeader);
    Packer(&last_[std::size_t(first) * rowBytes_], std::size_t(end - first) * rowBytes_)
        .Finish()
        .AppendTo(record);

    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(end_);
    DWORD written = 0;
    if (!::SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) ||
        !::WriteFile(file_, record.data(), DWORD(record.size()), &written, nullptr) ||
        written != record.size())
        throw std::runtime_error("The recording's file " + path_ + " takes no more frames: " +
                                 win::SystemErrorText(::GetLastError()));
    index_.push_back({end_, std::uint32_t(record.size()), milliseconds});
    end_ += record.size();
}

bool RecordingFrames::ReadRecord(int frame, std::vector<std::uint8_t>& rows, int& first,
                                 int& count) {
    const Record& r = index_[std::size_t(frame)];
    std::vector<std::uint8_t> bytes(r.size);
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(r.at);
    DWORD read = 0;
    if (!::SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) ||
        !::ReadFile(file_, bytes.data(), r.size, &read, nullptr) || read != r.size ||
        r.size < kHeader)
        return false;
    std::uint32_t header[3];
    std::memcpy(header, bytes.data(), kHeader);
    if (header[0] != kMagic || header[1] > std::uint32_t(height_) ||
        header[2] > std::uint32_t(height_) - header[1])
        return false;
    first = int(header[1]);
    count = int(header[2]);
    const std::optional<PackedBytes> packed =
        PackedBytes::Read(bytes.data() + kHeader, bytes.size() - kHeader);
    if (!packed || packed->RawSize() != std::size_t(count) * rowBytes_) return false;
    rows.resize(packed->RawSize());
    return packed->UnpackTo(rows.data());
}

bool RecordingFrames::Read(int frame, const glimra::PixelView& target) {
    if (frame < 0 || frame >= Count()) return false;
    // On from the frame last rebuilt where it lies between the whole record
    // before `frame` and `frame`, else from that whole record.
    const int whole = frame - frame % kWhole;
    int from = readAt_ >= whole && readAt_ <= frame ? readAt_ + 1 : whole;
    read_.resize(last_.size());
    std::vector<std::uint8_t> rows;
    for (; from <= frame; ++from) {
        int first = 0, count = 0;
        if (!ReadRecord(from, rows, first, count)) {
            readAt_ = -1;
            return false;
        }
        if (!rows.empty())
            std::memcpy(&read_[std::size_t(first) * rowBytes_], rows.data(), rows.size());
        readAt_ = from;
    }
    for (int y = 0; y < height_; ++y)
        std::memcpy(target.Row(y), &read_[std::size_t(y) * rowBytes_], rowBytes_);
    return true;
}

void RecordingFrames::RemoveLeftovers(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search =
        ::FindFirstFileA(InFolder(folder, std::string(kPrefix) + "*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // A running copy's file is open without sharing: its deletion fails.
        ::DeleteFileA(InFolder(folder, found.cFileName).c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}
