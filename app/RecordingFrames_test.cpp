// The recorder's frames come back exactly, in the order a preview plays them and
// in any order it steps to, from a file that holds only what changed; the file
// goes with the recording, and files left behind are cleared unless a running
// recording holds them.
#include "app/RecordingFrames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 160, kHeight = 120;

std::string Folder() {
    char path[MAX_PATH];
    ::GetTempPathA(MAX_PATH, path);
    std::string folder = std::string(path) + "recording-frames-test";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Frame `n` of a screen: a still background, a counter's rows that change every
// frame, a square that moves, and every 50th frame all of it new.
std::vector<std::uint32_t> Screen(int n) {
    std::vector<std::uint32_t> pixels(std::size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint32_t p = std::uint32_t(x * 3 + y * 5 + (n / 50) * 77);
            if (y >= 40 && y < 48 && x < 40) p = std::uint32_t(n * 2654435761u) ^ std::uint32_t(x);
            const int sx = (n * 7) % (kWidth - 20), sy = 40 + (n % 3) * 10;
            if (x >= sx && x < sx + 20 && y >= sy && y < sy + 20) p = 0xFF0000;
            pixels[std::size_t(y) * kWidth + std::size_t(x)] = p;
        }
    return pixels;
}

glimra::PixelView View(std::vector<std::uint32_t>& pixels) {
    return {reinterpret_cast<std::uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4, 4};
}

TEST(RecordingFrames, EveryFrameComesBackExactly_PlayedInOrderOrSteppedToAtRandom) {
    const int frames = 3 * RecordingFrames::kWhole + 17;
    std::string path;
    {
        RecordingFrames store(Folder(), kWidth, kHeight);
        path = store.Path();
        for (int n = 0; n < frames; ++n) {
            std::vector<std::uint32_t> screen = Screen(n);
            // Some frames repeat the one before, as a still screen does.
            if (n % 10 == 5) screen = Screen(n - 1);
            store.Add(View(screen), n * 100);
        }
        ASSERT_EQ(store.Count(), frames);
        EXPECT_EQ(store.Time(frames - 1), (frames - 1) * 100);
        // Only the changed rows are kept: far less than the frames themselves.
        EXPECT_LT(store.FileBytes(), std::uint64_t(frames) * kWidth * kHeight * 4 / 2);
        EXPECT_TRUE(Exists(path));

        std::vector<std::uint32_t> back(std::size_t(kWidth) * kHeight);
        const auto same = [&](int n) {
            std::vector<std::uint32_t> expected = Screen(n % 10 == 5 ? n - 1 : n);
            return store.Read(n, View(back)) && back == expected;
        };
        for (int n = 0; n < frames; ++n)
            ASSERT_TRUE(same(n)) << "in order, frame " << n;
        std::mt19937 random(7);
        for (int i = 0; i < 60; ++i) {
            const int n = int(random() % std::uint32_t(frames));
            ASSERT_TRUE(same(n)) << "stepped to frame " << n;
        }
        EXPECT_TRUE(same(frames - 1));
        EXPECT_TRUE(same(0));
        EXPECT_FALSE(store.Read(frames, View(back)));
    }
    EXPECT_FALSE(Exists(path)) << "the file outlives its recording";
}

TEST(RecordingFrames, LeftoversAreCleared_ButNotTheFileOfARecordingThatRuns) {
    const std::string folder = Folder();
    const std::string left = folder + "\\Glimra-recording-999-1.tmp";
    const std::string other = folder + "\\notes.tmp";
    for (const std::string& path : {left, other}) {
        HANDLE h =
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ::CloseHandle(h);
    }
    RecordingFrames running(folder, kWidth, kHeight);
    std::vector<std::uint32_t> screen = Screen(0);
    running.Add(View(screen), 0);
    RecordingFrames::RemoveLeftovers(folder);
    EXPECT_FALSE(Exists(left));
    EXPECT_TRUE(Exists(other));
    EXPECT_TRUE(Exists(running.Path()));
    std::vector<std::uint32_t> back(screen.size());
    EXPECT_TRUE(running.Read(0, View(back)));
    EXPECT_EQ(back, screen);
    ::DeleteFileA(other.c_str());
}

TEST(RecordingFrames, AFolderThatCannotHoldTheFileIsSaidWithItsReason) {
    try {
        RecordingFrames store("Z:\\no\\such\\folder", kWidth, kHeight);
        FAIL() << "made " << store.Path();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("could not be made"), std::string::npos) << e.what();
    }
}

}  // namespace
