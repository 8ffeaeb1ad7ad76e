// Measures the two fast lossless compressors that the undo history could keep its
// pictures with, LZ4 and zlib at its fastest level, on pictures as the program
// holds them: each PNG named on the command line, decoded into 32 bits per pixel
// (blue, green, red and a fourth byte, as a capture gives it) and into 24 bits
// with rows padded to four bytes (as an edit leaves it). Prints per picture,
// layout and compressor the ratio of the raw size to the compressed one and the
// median speeds of compressing and decompressing, in MB/s of raw bytes; every
// round trip is checked to give back the exact bytes.
//   compression_ratios [runs] picture.png ...
// Built for the host and, for the 32-bit program's own speeds, for Windows, where
// it also times the checksum of the raw bytes.
#include <lz4.h>
#include <png.h>
#include <zlib.h>
#ifdef _WIN32
// The checksum that the history keeps of each block (built with LZ4 for Windows).
#include <xxhash.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Load(const char* path, int bytesPerPixel, Bytes& pixels, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = bytesPerPixel == 4 ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    width = int(image.width);
    height = int(image.height);
    const int stride = (width * bytesPerPixel + 3) & ~3;
    pixels.assign(std::size_t(stride) * std::size_t(height), 0);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), stride, nullptr)) return false;
    if (bytesPerPixel == 4)
        // A screen grab's fourth byte is 0, not the PNG's opaque 255.
        for (std::size_t i = 3; i < pixels.size(); i += 4)
            pixels[i] = 0;
    return true;
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One compressor: `pack` fills `packed` from the raw bytes, `unpack` the raw
// bytes back from `packed` (their size known); both return false on an error.
struct Compressor {
    const char* name;
    std::function<bool(const Bytes& raw, Bytes& packed)> pack;
    std::function<bool(const Bytes& packed, Bytes& raw)> unpack;
};

bool Lz4Pack(const Bytes& raw, Bytes& packed) {
    packed.resize(std::size_t(LZ4_compressBound(int(raw.size()))));
    const int n = LZ4_compress_default(reinterpret_cast<const char*>(raw.data()),
                                       reinterpret_cast<char*>(packed.data()), int(raw.size()),
                                       int(packed.size()));
    packed.resize(std::size_t(n));
    return n > 0;
}

bool Lz4Unpack(const Bytes& packed, Bytes& raw) {
    return LZ4_decompress_safe(reinterpret_cast<const char*>(packed.data()),
                               reinterpret_cast<char*>(raw.data()), int(packed.size()),
                               int(raw.size())) == int(raw.size());
}

// In independent blocks of 256 KiB, as the history packs a picture a block at a
// time between the window's messages.
constexpr std::size_t kBlock = std::size_t(256) << 10;

bool Lz4BlocksPack(const Bytes& raw, Bytes& packed) {
    packed.resize(std::size_t(LZ4_compressBound(int(kBlock))) * (raw.size() / kBlock + 1));
    std::size_t out = 0;
    for (std::size_t at = 0; at < raw.size(); at += kBlock) {
        const int size = int(std::min(kBlock, raw.size() - at));
        const int n = LZ4_compress_default(reinterpret_cast<const char*>(raw.data() + at),
                                           reinterpret_cast<char*>(packed.data() + out + 4), size,
                                           LZ4_compressBound(size));
        if (n <= 0) return false;
        std::memcpy(packed.data() + out, &n, 4);
        out += 4 + std::size_t(n);
    }
    packed.resize(out);
    return true;
}

bool Lz4BlocksUnpack(const Bytes& packed, Bytes& raw) {
    std::size_t in = 0;
    for (std::size_t at = 0; at < raw.size(); at += kBlock) {
        int n = 0;
        std::memcpy(&n, packed.data() + in, 4);
        const int size = int(std::min(kBlock, raw.size() - at));
        if (LZ4_decompress_safe(reinterpret_cast<const char*>(packed.data() + in + 4),
                                reinterpret_cast<char*>(raw.data() + at), n, size) != size)
            return false;
        in += 4 + std::size_t(n);
    }
    return in == packed.size();
}

bool ZlibPack(const Bytes& raw, Bytes& packed, int strategy) {
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, strategy) != Z_OK) return false;
    packed.resize(deflateBound(&z, uLong(raw.size())));
    z.next_in = const_cast<Bytef*>(raw.data());
    z.avail_in = uInt(raw.size());
    z.next_out = packed.data();
    z.avail_out = uInt(packed.size());
    const int result = deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END;
}

bool ZlibUnpack(const Bytes& packed, Bytes& raw) {
    uLongf size = uLongf(raw.size());
    return uncompress(raw.data(), &size, packed.data(), uLong(packed.size())) == Z_OK &&
           size == raw.size();
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1, runs = 5;
    if (argc > 1 && std::strchr(argv[1], '.') == nullptr) {
        runs = std::max(1, std::atoi(argv[1]));
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: compression_ratios [runs] picture.png ...\n");
        return 2;
    }
    const Compressor compressors[] = {
        {"LZ4", Lz4Pack, Lz4Unpack},
        {"LZ4 256K", Lz4BlocksPack, Lz4BlocksUnpack},
        {"zlib 1", [](const Bytes& r, Bytes& p) { return ZlibPack(r, p, Z_DEFAULT_STRATEGY); },
         ZlibUnpack},
        {"zlib 1 RLE", [](const Bytes& r, Bytes& p) { return ZlibPack(r, p, Z_RLE); }, ZlibUnpack},
    };
    std::printf("%-28s %-4s %-14s %8s %10s %10s\n", "picture", "bpp", "compressor", "ratio",
                "pack MB/s", "unpack MB/s");
    int failures = 0;
    for (int i = first; i < argc; ++i) {
        std::string name = argv[i];
        name = name.substr(name.find_last_of("/\\") + 1);
        for (int bytesPerPixel : {4, 3}) {
            Bytes raw;
            int width = 0, height = 0;
            if (!Load(argv[i], bytesPerPixel, raw, width, height)) {
                std::fprintf(stderr, "cannot read %s\n", argv[i]);
                return 1;
            }
            for (const Compressor& c : compressors) {
                Bytes packed, back(raw.size());
                std::vector<double> packTimes, unpackTimes;
                bool ok = true;
                for (int run = 0; run < runs; ++run) {
                    packTimes.push_back(Milliseconds([&] { ok = c.pack(raw, packed) && ok; }));
                    std::fill(back.begin(), back.end(), std::uint8_t(0x5A));
                    unpackTimes.push_back(Milliseconds([&] { ok = c.unpack(packed, back) && ok; }));
                    ok = ok && back == raw;
                }
                const double megabytes = double(raw.size()) / 1e6;
                std::printf("%-28s %-4d %-14s %8.2f %10.0f %10.0f%s\n", name.c_str(),
                            bytesPerPixel * 8, c.name, double(raw.size()) / double(packed.size()),
                            megabytes / (Median(packTimes) / 1000),
                            megabytes / (Median(unpackTimes) / 1000), ok ? "" : "  FAILED");
                failures += !ok;
            }
#ifdef _WIN32
            std::vector<double> sumTimes;
            unsigned sum = 0;
            for (int run = 0; run < runs; ++run)
                sumTimes.push_back(
                    Milliseconds([&] { sum ^= XXH32(raw.data(), raw.size(), unsigned(run)); }));
            std::printf("%-28s %-4d %-14s %8s %10.0f %10s  (%08x)\n", name.c_str(),
                        bytesPerPixel * 8, "XXH32", "",
                        double(raw.size()) / 1e6 / (Median(sumTimes) / 1000), "", sum);
#endif
        }
    }
    return failures == 0 ? 0 : 1;
}
