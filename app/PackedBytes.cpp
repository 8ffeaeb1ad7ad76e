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
