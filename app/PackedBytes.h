// Bytes kept compressed, for the undo history: LZ4 in independent blocks, each
// with the XXH32 checksum of its raw bytes, so that damage shows when they are
// unpacked instead of reaching the picture. A block that LZ4 cannot shrink is
// kept as it is. A Packer makes them one block at a time, so that the packing can
// run between the window's messages without holding any of them up for long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class PackedBytes {
  public:
    // Raw bytes per block; the last block holds the rest.
    static constexpr std::size_t kBlock = std::size_t(256) << 10;

    // The number of raw bytes they give back.
    std::size_t RawSize() const { return raw_; }
    // The memory they hold.
    std::size_t Bytes() const;
    bool Empty() const { return raw_ == 0; }

    // Unpacks into `out`, RawSize() bytes; false when a block does not give back
    // exactly its raw bytes with their checksum (`out` may then hold a part).
    [[nodiscard]] bool UnpackTo(std::uint8_t* out) const;

    // Their form in a file: the raw size, each block's size, checksum and kind,
    // then the blocks' bytes.
    void AppendTo(std::vector<std::uint8_t>& out) const;
    // That form read back from exactly `size` bytes; nothing when they are not
    // one. A damaged block's bytes still read, and UnpackTo finds them.
    static std::optional<PackedBytes> Read(const std::uint8_t* bytes, std::size_t size);

  private:
    friend class Packer;
    friend struct PackedBytesDamage;  // the tests' way to damage them
    struct Block {
        std::uint32_t size = 0;  // bytes in data_
        std::uint32_t sum = 0;   // XXH32 of the raw bytes
        bool stored = false;     // kept as it is: LZ4 could not shrink it
    };
    std::vector<Block> blocks_;
    std::vector<std::uint8_t> data_;
    std::size_t raw_ = 0;
};

// Packs `size` bytes at `raw`, which must stay as they are until it is done.
class Packer {
  public:
    Packer(const std::uint8_t* raw, std::size_t size);

    bool Done() const { return at_ == size_; }
    // Packs the next block.
    void Next();
    // Packs the blocks that are left and hands out the result.
    PackedBytes Finish();
    // The memory that the result holds so far.
    std::size_t Bytes() const { return packed_.Bytes(); }

  private:
    const std::uint8_t* raw_;
    std::size_t size_;
    std::size_t at_ = 0;
    PackedBytes packed_;
};
