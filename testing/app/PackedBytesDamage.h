// Damage to packed bytes, as a fault of the memory would do it, for the tests
// that check that it is found before it reaches a picture.
#pragma once

#include <cstddef>

#include "app/PackedBytes.h"

struct PackedBytesDamage {
    // Flips a bit of the packed byte at `at`.
    static void FlipByte(PackedBytes& packed, std::size_t at) { packed.data_.at(at) ^= 0x20; }
    // Flips a bit of the checksum of block `block`.
    static void FlipSum(PackedBytes& packed, std::size_t block) {
        packed.blocks_.at(block).sum ^= 1;
    }
    // Drops the last packed byte.
    static void Shorten(PackedBytes& packed) { packed.data_.pop_back(); }
    static std::size_t DataSize(const PackedBytes& packed) { return packed.data_.size(); }
    static std::size_t Blocks(const PackedBytes& packed) { return packed.blocks_.size(); }
    // How many blocks are kept as they are, LZ4 having been unable to shrink them.
    static std::size_t Stored(const PackedBytes& packed) {
        std::size_t stored = 0;
        for (const auto& block : packed.blocks_)
            stored += block.stored;
        return stored;
    }
};
