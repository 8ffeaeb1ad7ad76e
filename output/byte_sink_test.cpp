#include "output/byte_sink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <vector>

#include "testing/imaging/test_picture.h"
#include "output/bmp_writer.h"
#include "output/buffered_writer.h"
#include "output/save_error.h"
#include "testing/output/decoders.h"

namespace glimra {
namespace {

std::vector<std::uint8_t> Counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
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

}  // namespace
}  // namespace glimra
