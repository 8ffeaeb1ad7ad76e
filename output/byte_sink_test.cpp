#include "output/byte_sink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <vector>

#include "imaging/test_picture.h"
#include "output/bmp_writer.h"
#include "output/buffered_writer.h"
#include "output/save_error.h"
#include "output/test_support.h"

namespace glimra {
namespace {

std::vector<std::uint8_t> Counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

TEST(FileSinkTest, WritesTheBytesToTheStream) {
    const std::string path = test::TestFilePath("file-sink.bin");
    const auto bytes = Counting(100000);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    FileSink sink(file);
    sink.Write(bytes.data(), 10);
    sink.Write(bytes.data() + 10, bytes.size() - 10);
    sink.Flush();
    std::fclose(file);
    EXPECT_EQ(test::ReadFile(path), bytes);
}

// A stream that refuses writes stands for a file that cannot be written: the
// writer's call must fail with SaveError, not report success.
TEST(FileSinkTest, AFailedWriteSurfacesFromTheWriter) {
    const std::string path = test::TestFilePath("file-sink-read-only.bin");
    std::FILE* create = std::fopen(path.c_str(), "wb");
    ASSERT_NE(create, nullptr);
    std::fclose(create);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    test::TestPicture picture(4, 4, 3);
    picture.FillPattern(1);
    FileSink sink(file);
    try {
        WriteBmp(picture.View(), sink);
        ADD_FAILURE() << "no error";
    } catch (const SaveError& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot write the file"), std::string::npos);
    }
    std::fclose(file);
}

// A full disk often shows only when the stream's buffer is flushed.
TEST(FileSinkTest, AFullDeviceFailsAtTheLatestOnFlush) {
    std::FILE* file = std::fopen("/dev/full", "wb");
    if (!file) GTEST_SKIP() << "no /dev/full here";
    test::TestPicture picture(4, 4, 3);
    picture.FillPattern(2);
    FileSink sink(file);
    EXPECT_THROW(WriteBmp(picture.View(), sink), SaveError);
    std::fclose(file);
}

TEST(BufferedWriterTest, PiecesOfAnySizeArriveInOrder) {
    const auto bytes = Counting(1200000);
    VectorSink sink;
    BufferedWriter out(sink);
    const std::size_t pieces[] = {1, 7, 300000, 0, 5, 262144, 600000};
    std::size_t at = 0;
    for (std::size_t size : pieces) {
        out.Put(bytes.data() + at, size);
        at += size;
    }
    out.Put(bytes.data() + at, bytes.size() - at);
    out.Finish();
    EXPECT_EQ(sink.Bytes(), bytes);
}

// The callbacks of the C libraries use TryPut: the sink's error is kept, the
// sink is not called again, and the error comes back unchanged on our side.
TEST(BufferedWriterTest, TryPutKeepsTheSinksErrorForLater) {
    const auto bytes = Counting(600000);
    test::FailingSink sink(300000);
    BufferedWriter out(sink);
    EXPECT_TRUE(out.TryPut(bytes.data(), 200000));
    EXPECT_FALSE(out.TryPut(bytes.data(), 400000));  // the second full buffer fails
    const std::size_t taken = sink.Taken();
    EXPECT_FALSE(out.TryPut(bytes.data(), 1));
    EXPECT_EQ(sink.Taken(), taken);
    try {
        out.RethrowPending();
        ADD_FAILURE() << "no error";
    } catch (const SaveError& error) {
        EXPECT_STREQ(error.what(), test::kFailingSinkText);
    }
    EXPECT_THROW(out.Finish(), SaveError);
}

}  // namespace
}  // namespace glimra
