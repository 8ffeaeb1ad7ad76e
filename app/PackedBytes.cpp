#include "app/PackedBytes.h"

#include <lz4.h>
#include <xxhash.h>

#include <algorithm>
#include <cstring>

std::size_t PackedBytes::Bytes() const {
    return data_.capacity() + blocks_.capacity() * sizeof(Block);
}

bool PackedBytes::UnpackTo(std::uint8_t* out) const {
    std::size_t in = 0, at = 0;
    for (const Block& block : blocks_) {
        const std::size_t raw = std::min(kBlock, raw_ - at);
        if (at >= raw_ || block.size > data_.size() - in) return false;
        const std::uint8_t* source = data_.data() + in;
        if (block.stored) {
            if (block.size != raw) return false;
            std::memcpy(out + at, source, raw);
        } else if (LZ4_decompress_safe(reinterpret_cast<const char*>(source),
                                       reinterpret_cast<char*>(out + at), int(block.size),
                                       int(raw)) != int(raw)) {
            return false;
        }
        if (XXH32(out + at, raw, 0) != block.sum) return false;
        in += block.size;
        at += raw;
    }
    return at == raw_ && in == data_.size();
}

namespace {

template <class T>
void Put(std::vector<std::uint8_t>& out, T value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

template <class T>
bool Take(const std::uint8_t*& at, const std::uint8_t* end, T& value) {
    if (std::size_t(end - at) < sizeof value) return false;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return true;
}

}  // namespace

void PackedBytes::AppendTo(std::vector<std::uint8_t>& out) const {
    Put(out, std::uint64_t(raw_));
    Put(out, std::uint32_t(blocks_.size()));
    for (const Block& block : blocks_) {
        Put(out, block.size);
        Put(out, block.sum);
        Put(out, std::uint8_t(block.stored));
    }
    out.insert(out.end(), data_.begin(), data_.end());
}

std::optional<PackedBytes> PackedBytes::Read(const std::uint8_t* bytes, std::size_t size) {
    const std::uint8_t *at = bytes, *end = bytes + size;
    std::uint64_t raw = 0;
    std::uint32_t count = 0;
    if (!Take(at, end, raw) || !Take(at, end, count) || count != (raw + kBlock - 1) / kBlock ||
        std::size_t(end - at) / 9 < count)
        return std::nullopt;
    PackedBytes packed;
    packed.raw_ = std::size_t(raw);
    packed.blocks_.resize(count);
    std::uint64_t data = 0;
    for (Block& block : packed.blocks_) {
        std::uint8_t stored = 0;
        Take(at, end, block.size);
        Take(at, end, block.sum);
        Take(at, end, stored);
        block.stored = stored != 0;
        data += block.size;
    }
    if (data != std::uint64_t(end - at)) return std::nullopt;
    packed.data_.assign(at, end);
    return packed;
}

Packer::Packer(const std::uint8_t* raw, std::size_t size) : raw_(raw), size_(size) {
    packed_.raw_ = size;
    packed_.blocks_.reserve((size + PackedBytes::kBlock - 1) / PackedBytes::kBlock);
}

void Packer::Next() {
    if (Done()) return;
    const std::uint8_t* source = raw_ + at_;
    const std::size_t raw = std::min(PackedBytes::kBlock, size_ - at_);
    std::vector<std::uint8_t>& data = packed_.data_;
    const std::size_t start = data.size();
    PackedBytes::Block block;
    block.sum = XXH32(source, raw, 0);
    // Room for the raw bytes: LZ4 is asked for less, and a block that does not fit
    // in less is kept as it is.
    data.resize(start + raw);
    const int size =
        LZ4_compress_default(reinterpret_cast<const char*>(source),
                             reinterpret_cast<char*>(data.data() + start), int(raw), int(raw) - 1);
    if (size > 0) {
        block.size = std::uint32_t(size);
        data.resize(start + std::size_t(size));
    } else {
        block.size = std::uint32_t(raw);
        block.stored = true;
        std::memcpy(data.data() + start, source, raw);
    }
    packed_.blocks_.push_back(block);
    at_ += raw;
}

PackedBytes Packer::Finish() {
    while (!Done())
        Next();
    packed_.data_.shrink_to_fit();
    return std::move(packed_);
}
