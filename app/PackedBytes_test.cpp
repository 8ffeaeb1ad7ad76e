// Packed bytes give back exactly what was packed, whatever its size and content,
// and refuse to give back anything when what they hold has been damaged.
#include "app/PackedBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "testing/app/PackedBytesDamage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kBlock = PackedBytes::kBlock;

// Noise: bytes that no compressor shrinks.
Bytes Noise(std::size_t size, std::uint32_t seed = 2463534242u) {
    Bytes bytes(size);
    for (std::uint8_t& b : bytes) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        b = std::uint8_t(seed >> 24);
    }
    return bytes;
}

// Rows of a screen: runs of a few colours with a little text-like detail.
Bytes Screen(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = std::uint8_t((i / 4096) % 3 == 0 ? 0xF0 : (i % 4 == 3 ? 0 : (i / 61) % 5 * 40));
    return bytes;
}

PackedBytes Pack(const Bytes& bytes) {
    return Packer(bytes.data(), bytes.size()).Finish();
}

Bytes Unpack(const PackedBytes& packed, bool& ok) {
    Bytes back(packed.RawSize(), 0x5A);
    ok = packed.UnpackTo(back.data());
    return back;
}

TEST(PackedBytes, GiveBackExactlyTheBytesOfEverySize) {
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(1000), kBlock - 1, kBlock,
                             kBlock + 1, 3 * kBlock + 17}) {
        for (int kind = 0; kind < 3; ++kind) {
            SCOPED_TRACE("size " + std::to_string(size) + ", kind " + std::to_string(kind));
            const Bytes bytes = kind == 0 ? Bytes(size, 0) : kind == 1 ? Screen(size) : Noise(size);
            const PackedBytes packed = Pack(bytes);
            EXPECT_EQ(packed.RawSize(), size);
            EXPECT_EQ(packed.Empty(), size == 0);
            EXPECT_EQ(PackedBytesDamage::Blocks(packed), (size + kBlock - 1) / kBlock);
            bool ok = false;
            EXPECT_EQ(Unpack(packed, ok), bytes);
            EXPECT_TRUE(ok);
        }
    }
}

TEST(PackedBytes, ShrinkWhatRepeats_AndKeepNoiseAsItIsWithLittleMore) {
    const Bytes screen = Screen(4 * kBlock), noise = Noise(4 * kBlock);
    const PackedBytes packedScreen = Pack(screen), packedNoise = Pack(noise);
    EXPECT_LT(packedScreen.Bytes() * 10, screen.size());
    EXPECT_EQ(PackedBytesDamage::Stored(packedScreen), 0u);
    EXPECT_EQ(PackedBytesDamage::Stored(packedNoise), 4u);
    EXPECT_LE(packedNoise.Bytes(), noise.size() + 4096);
}

TEST(PackedBytes, PackingABlockAtATimeGivesTheSameAsAllAtOnce) {
    Bytes bytes = Screen(2 * kBlock + 5);
    const Bytes noise = Noise(kBlock);
    bytes.insert(bytes.begin() + kBlock, noise.begin(), noise.end());
    Packer packer(bytes.data(), bytes.size());
    int steps = 0;
    while (!packer.Done()) {
        packer.Next();
        ++steps;
        EXPECT_GT(packer.Bytes(), 0u);
    }
    EXPECT_EQ(steps, 4);
    const PackedBytes packed = packer.Finish();
    bool ok = false;
    EXPECT_EQ(Unpack(packed, ok), bytes);
    EXPECT_TRUE(ok);
    EXPECT_EQ(PackedBytesDamage::DataSize(packed), PackedBytesDamage::DataSize(Pack(bytes)));
}

// A changed bit anywhere in the packed bytes is found: the bytes either come
// back exactly as they were (a change that LZ4's format leaves without effect)
// or not at all.
TEST(PackedBytes, ADamagedByteOrChecksumIsFound_NeverGivingBackOtherBytes) {
    Bytes bytes = Screen(kBlock);
    const Bytes noise = Noise(kBlock / 2);
    bytes.insert(bytes.end(), noise.begin(), noise.end());
    const PackedBytes original = Pack(bytes);
    const std::size_t size = PackedBytesDamage::DataSize(original);
    int refused = 0, tried = 0;
    for (std::size_t at = 0; at < size; at += at < 4096 ? 1 : 97) {
        PackedBytes damaged = original;
        PackedBytesDamage::FlipByte(damaged, at);
        bool ok = false;
        const Bytes back = Unpack(damaged, ok);
        ++tried;
        if (!ok) {
            ++refused;
            continue;
        }
        ASSERT_EQ(back, bytes) << "a changed byte at " << at << " gave back other bytes";
    }
    EXPECT_GT(refused, tried * 9 / 10);
    for (std::size_t block = 0; block < 2; ++block) {
        PackedBytes damaged = original;
        PackedBytesDamage::FlipSum(damaged, block);
        bool ok = true;
        Unpack(damaged, ok);
        EXPECT_FALSE(ok) << "the checksum of block " << block;
    }
    PackedBytes shortened = original;
    PackedBytesDamage::Shorten(shortened);
    bool ok = true;
    Unpack(shortened, ok);
    EXPECT_FALSE(ok);
}

// The form kept in a file reads back into the same bytes; a form cut short or
// with a wrong count is refused, and a damaged block still shows when unpacked.
TEST(PackedBytes, TheirFileFormReadsBack_AndACutOrDamagedOneIsNeverTakenForTheBytes) {
    Bytes bytes = Screen(kBlock * 2 + 1234);
    const Bytes noise = Noise(5000);
    bytes.insert(bytes.end(), noise.begin(), noise.end());
    Bytes form;
    Pack(bytes).AppendTo(form);
    std::optional<PackedBytes> back = PackedBytes::Read(form.data(), form.size());
    ASSERT_TRUE(back);
    bool ok = false;
    EXPECT_EQ(Unpack(*back, ok), bytes);
    EXPECT_TRUE(ok);

    for (std::size_t cut : {std::size_t(0), std::size_t(5), std::size_t(20), form.size() - 1})
        EXPECT_FALSE(PackedBytes::Read(form.data(), cut)) << cut;
    Bytes longer = form;
    longer.push_back(0);
    EXPECT_FALSE(PackedBytes::Read(longer.data(), longer.size()));
    Bytes counted = form;
    counted[8] ^= 1;  // the number of blocks
    EXPECT_FALSE(PackedBytes::Read(counted.data(), counted.size()));
    Bytes damaged = form;
    damaged[form.size() - 100] ^= 0x10;
    back = PackedBytes::Read(damaged.data(), damaged.size());
    ASSERT_TRUE(back);
    Unpack(*back, ok);
    EXPECT_FALSE(ok);
}

}  // namespace
