// Saving to real files: the format follows the type whatever the extension,
// each file reads back with a reader of its own, and a save that fails (a
// missing or read-only place, a full disk, a picture without pixels) leaves an
// existing file as it was and no partial file behind.
#include "output/windows/picture_save.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "imaging/layout.h"
#include "testing/imaging/test_picture.h"
#include "output/bmp_writer.h"
#include "output/save_error.h"
#include "output/windows/atomic_save.h"
#include "testing/output/decoders.h"
#include "win/handles.h"

namespace glimra {
namespace {

namespace fs = std::filesystem;

class PictureSave : public ::testing::Test {
  protected:
    PictureSave() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = test::TestFilePath(std::string("save-") + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void Put(const std::string& name, const std::string& content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
    }
    std::string Content(const std::string& name) const {
        const std::vector<std::uint8_t> bytes = test::ReadFile(Path(name));
        return {bytes.begin(), bytes.end()};
    }
    // A 24-bit picture (or of `bytesPerPixel`) with a pattern of colours.
    static test::TestPicture Painted(int width, int height, int bytesPerPixel = 3) {
        test::TestPicture picture(width, height, bytesPerPixel);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.Set(x, y, test::TestPicture::Colour(x * 5, y * 10, 255 - x * 5));
        return picture;
    }

    fs::path folder_;
};

// The BMP as Windows itself reads it, as red, green, blue rows.
test::RgbImage LoadedByWindows(const std::string& path) {
    win::Bitmap loaded(static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                         LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    test::RgbImage image;
    if (!loaded) return image;
    BITMAP bm{};
    ::GetObjectA(loaded.Get(), sizeof bm, &bm);
    image.width = bm.bmWidth;
    image.height = bm.bmHeight;
    win::MemoryDC dc(::CreateCompatibleDC(nullptr));
    win::Selection select(dc.Get(), loaded.Get());
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) {
            const COLORREF c = ::GetPixel(dc.Get(), x, y);
            image.rgb.insert(image.rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    return image;
}

TEST_F(PictureSave, EachTypeWritesItsOwnDataWhateverTheNameSays) {
    test::TestPicture captured = Painted(45, 23, 4);
    // The writers take 24 bits per pixel: a 32-bit picture is refused as it is, and
    // written once converted, with its colours.
    EXPECT_THROW(SavePicture(Path("bitmap.gif"), SaveType::Bmp, captured.View()), SaveError);
    test::TestPicture picture(45, 23, 3);
    ASSERT_TRUE(ConvertLayout(captured.View(), picture.View()));
    const PixelView view = picture.View();
    SavePicture(Path("bitmap.gif"), SaveType::Bmp, view);
    EXPECT_EQ(view.bytesPerPixel, 3);
    EXPECT_TRUE(picture.PaddingIntact());
    const test::RgbImage expected = test::RgbOf(view);
    EXPECT_EQ(expected.rgb[3 * 46], 5) << "pixel (1, 1) kept its red";

    EXPECT_EQ(LoadedByWindows(Path("bitmap.gif")), expected);

    SavePicture(Path("jpeg.bmp"), SaveType::Jpeg, view);
    const test::DecodedJpeg jpeg = test::DecodeJpeg(test::ReadFile(Path("jpeg.bmp")));
    EXPECT_TRUE(jpeg.baseline);
    EXPECT_EQ(jpeg.components, 3);
    ASSERT_EQ(jpeg.image.rgb.size(), expected.rgb.size());
    int worst = 0;
    for (std::size_t i = 0; i < expected.rgb.size(); ++i)
        worst = std::max(worst, std::abs(jpeg.image.rgb[i] - expected.rgb[i]));
    EXPECT_LE(worst, 40);

    SavePicture(Path("gif.png"), SaveType::Gif, view);
    const test::DecodedGif gif = test::DecodeGif(test::ReadFile(Path("gif.png")));
    EXPECT_EQ(gif.imageCount, 1);
    EXPECT_EQ(gif.width, 45);
    EXPECT_LE(gif.colors.size(), 256u);

    SavePicture(Path("png.jpg"), SaveType::Png, view);
    EXPECT_EQ(test::DecodePng(test::ReadFile(Path("png.jpg"))), expected);

    EXPECT_EQ(Files(), (std::vector<std::string>{"bitmap.gif", "gif.png", "jpeg.bmp", "png.jpg"}));
}

TEST_F(PictureSave, AFullDiskLeavesTheOldFileAndNoPartialFile) {
    test::TestPicture picture = Painted(300, 200);
    Put("shot.bmp", "old content");
    // A disk that fills up after 10000 bytes.
    struct FullDisk : ByteSink {
        ByteSink& file;
        std::size_t room;
        FullDisk(ByteSink& f, std::size_t r) : file(f), room(r) {}
        void Write(const std::uint8_t* data, std::size_t size) override {
            if (size > room) {
                file.Write(data, room);
                room = 0;
                throw SaveError("Cannot write the file: There is not enough space on the disk.");
            }
            file.Write(data, size);
            room -= size;
        }
    };
    const PixelView view = picture.View();
    for (const char* name : {"shot.bmp", "new.bmp"}) {
        try {
            SaveAtomically(Path(name), [&](ByteSink& sink) {
                FullDisk disk(sink, 10000);
                WriteBmp(view, disk);
            });
            ADD_FAILURE() << "the save did not fail";
        } catch (const SaveError& error) {
            EXPECT_NE(std::string(error.what()).find("not enough space"), std::string::npos);
        }
    }
    EXPECT_EQ(Content("shot.bmp"), "old content");
    EXPECT_EQ(Files(), std::vector<std::string>{"shot.bmp"});

    // Complete, the file takes the old one's place.
    SavePicture(Path("shot.bmp"), SaveType::Bmp, view);
    EXPECT_EQ(test::DecodeBmp(test::ReadFile(Path("shot.bmp"))), test::RgbOf(view));
    EXPECT_EQ(Files(), std::vector<std::string>{"shot.bmp"});
}

TEST_F(PictureSave, AMissingFolderOrAReadOnlyFileIsReportedWithItsName) {
    test::TestPicture picture = Painted(8, 8);
    const std::string missing = Path("no such folder\\shot.bmp");
    try {
        SavePicture(missing, SaveType::Bmp, picture.View());
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const SaveError& error) {
        EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
    }
    EXPECT_TRUE(Files().empty());

    Put("locked.png", "old content");
    ASSERT_TRUE(::SetFileAttributesA(Path("locked.png").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(SavePicture(Path("locked.png"), SaveType::Png, picture.View()), SaveError);
    ::SetFileAttributesA(Path("locked.png").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Content("locked.png"), "old content");
    EXPECT_EQ(Files(), std::vector<std::string>{"locked.png"});
}

TEST_F(PictureSave, AFileHeldForAMomentIsReplacedWhenLetGo_OneHeldOnIsReportedAndKept) {
    test::TestPicture picture = Painted(8, 8);
    const auto hold = [&](const std::string& name) {
        return ::CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    };
    Put("viewed.bmp", "old content");
    HANDLE held = hold("viewed.bmp");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread letGo([held] {
        ::Sleep(300);
        ::CloseHandle(held);
    });
    EXPECT_NO_THROW(SavePicture(Path("viewed.bmp"), SaveType::Bmp, picture.View()));
    letGo.join();
    EXPECT_EQ(LoadedByWindows(Path("viewed.bmp")), test::RgbOf(picture.View()));

    Put("kept.bmp", "old content");
    held = hold("kept.bmp");
    try {
        SavePicture(Path("kept.bmp"), SaveType::Bmp, picture.View());
        ADD_FAILURE() << "replaced a file in use";
    } catch (const SaveError& error) {
        EXPECT_NE(std::string(error.what()).find("kept.bmp"), std::string::npos) << error.what();
    }
    ::CloseHandle(held);
    EXPECT_EQ(Content("kept.bmp"), "old content");
    EXPECT_EQ(Files(), (std::vector<std::string>{"kept.bmp", "viewed.bmp"}));
}

TEST_F(PictureSave, APictureWithoutPixelsOrAnUnknownTypeWritesNothing) {
    Put("shot.gif", "old content");
    test::TestPicture empty(0, 40, 3);
    for (const SaveTypeEntry& entry : kSaveTypes)
        EXPECT_THROW(SavePicture(Path("shot.gif"), entry.type, empty.View()), SaveError)
            << entry.pattern;
    test::TestPicture picture = Painted(4, 4);
    EXPECT_THROW(SavePicture(Path("shot.gif"), SaveTypeAt(5), picture.View()), SaveError);
    EXPECT_THROW(SaveTypeAt(0), SaveError);
    EXPECT_EQ(Content("shot.gif"), "old content");
    EXPECT_EQ(Files(), std::vector<std::string>{"shot.gif"});
}

}  // namespace
}  // namespace glimra
