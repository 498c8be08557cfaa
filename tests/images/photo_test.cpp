// The photographs of a user's folder: which files are found and picked, the
// decoding (orientation, reduction of large files, every kind of bad file),
// the square cut and scale, and platform::loadPhoto's fall-back. All test
// images are made here.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/linux/photo_decode.h"
#include "platform/linux/photo_folder.h"
#include "platform/linux/photo_image.h"
#include "platform/platform.h"
#include "tests/support/jpeg_writer.h"
#include "tools/png/png_encoder.h"

namespace fs = std::filesystem;
using photo::RgbImage;

namespace {

struct Rgb {
    int r, g, b;
};
constexpr Rgb kRed{255, 0, 0}, kLime{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// width x height, the four quarters in the given colours (top-left, top-right,
// bottom-left, bottom-right).
RgbImage quarters(int width, int height, const Rgb (&q)[4]) {
    RgbImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3u)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& c = q[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)];
            std::uint8_t* p = image.pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3u;
            p[0] = static_cast<std::uint8_t>(c.r);
            p[1] = static_cast<std::uint8_t>(c.g);
            p[2] = static_cast<std::uint8_t>(c.b);
        }
    }
    return image;
}

// The colour at the centre of a quarter, within JPEG's error.
::testing::AssertionResult quarterIs(const RgbImage& image, int quarter, const Rgb& c) {
    const int x = (quarter % 2 == 0 ? 1 : 3) * image.width / 4;
    const int y = (quarter < 2 ? 1 : 3) * image.height / 4;
    const std::uint8_t* p = image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 3u;
    if (std::abs(p[0] - c.r) < 24 && std::abs(p[1] - c.g) < 24 && std::abs(p[2] - c.b) < 24) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "quarter " << quarter << " is " << int(p[0]) << "," << int(p[1]) << ","
                                         << int(p[2]) << "; expected " << c.r << "," << c.g << "," << c.b;
}

std::vector<std::uint8_t> jpegBytes(const RgbImage& image, int orientation = 0, bool progressive = false) {
    return encodeJpeg(image.width, image.height, image.pixels.data(), orientation, 95, progressive);
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<std::uint8_t> pngBytes(const RgbImage& image) {
    return encodePng(image.width, image.height, 3, image.pixels.data());
}

// A fresh folder per test, removed afterwards.
class PhotoFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/lumeridge-photos-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        root = name;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    fs::path file(const std::string& relative, const std::vector<std::uint8_t>& bytes = {1}) {
        const fs::path path = root / relative;
        fs::create_directories(path.parent_path());
        writeBytes(path, bytes);
        return path;
    }
    fs::path root;
};

const Rgb kUpright[4] = {kRed, kLime, kBlue, kWhite};

}  // namespace

// ---------------------------------------------------------------------------
// Finding and picking

TEST_F(PhotoFolder, FindsOnlyVisibleImagesAtAnyDepthOnce) {
    file("a.jpg");
    file("B.JPEG");
    file("sub/c.png");
    file("sub/deeper/d.Jpg");
    file("notes.txt");
    file("e.jpg.txt");
    file(".hidden.jpg");
    file(".cache/f.jpg");
    file("sub/.g.png");
    fs::create_directory_symlink("..", root / "sub" / "up");  // a loop through a folder link
    fs::create_symlink("loop.jpg", root / "loop.jpg");        // a link to itself
    fs::create_symlink("gone.jpg", root / "dangling.jpg");
    fs::create_symlink(root / "a.jpg", root / "link.jpg");  // a link to a photograph counts
    ASSERT_EQ(::mkfifo((root / "pipe.jpg").c_str(), 0600), 0);
    fs::create_directories(root / "x.png");  // a folder with an image's name

    int error = -1;
    const std::vector<std::string> found = photo::findPhotos(root, photo::SearchBounds(), &error);
    EXPECT_EQ(error, 0);
    const std::vector<std::string> expected = {root / "B.JPEG", root / "a.jpg", root / "link.jpg", root / "sub/c.png",
                                               root / "sub/deeper/d.Jpg"};
    EXPECT_EQ(found, expected);
}

TEST_F(PhotoFolder, SearchStopsAtItsBounds) {
    for (int i = 0; i < 30; ++i) file("p" + std::to_string(i) + ".jpg");
    file("1/2/3/deep.jpg");
    photo::SearchBounds bounds;
    bounds.maxPhotos = 10;
    EXPECT_EQ(photo::findPhotos(root, bounds, nullptr).size(), 10u);
    bounds = photo::SearchBounds();
    bounds.maxEntries = 5;
    EXPECT_LE(photo::findPhotos(root, bounds, nullptr).size(), 5u);
    bounds = photo::SearchBounds();
    bounds.maxDepth = 2;
    EXPECT_EQ(photo::findPhotos(root, bounds, nullptr).size(), 30u);  // deep.jpg is three folders down
}

TEST_F(PhotoFolder, MissingOrEmptyFolderFindsNothing) {
    int error = 0;
    EXPECT_TRUE(photo::findPhotos(root / "missing", photo::SearchBounds(), &error).empty());
    EXPECT_EQ(error, ENOENT);
    EXPECT_TRUE(photo::findPhotos(root, photo::SearchBounds(), &error).empty());
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(photo::findPhotos(file("plain.jpg"), photo::SearchBounds(), &error).empty());
    EXPECT_EQ(error, ENOTDIR);
}

TEST(PhotoPick, DistinctIndicesCoveringEveryPhotograph) {
    std::set<std::size_t> firsts;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        const std::vector<std::size_t> order = photo::pickOrder(7, 3, seed);
        ASSERT_EQ(order.size(), 3u);
        EXPECT_EQ(std::set<std::size_t>(order.begin(), order.end()).size(), 3u) << "seed " << seed;
        for (std::size_t i : order) EXPECT_LT(i, 7u);
        firsts.insert(order[0]);
    }
    EXPECT_EQ(firsts.size(), 7u) << "every photograph can be the first pick";
    EXPECT_NE(photo::pickOrder(1000, 3, 1), photo::pickOrder(1000, 3, 2));
    EXPECT_EQ(photo::pickOrder(2, 3, 5).size(), 2u);
    EXPECT_TRUE(photo::pickOrder(0, 3, 5).empty());
}

// ---------------------------------------------------------------------------
// Orientation: a camera that was turned stores the picture turned and says
// how to turn it back. Each row: the tag, and the quarters as stored.

TEST(PhotoOrientation, TaggedJpegDecodesUpright) {
    struct Case {
        int tag;
        bool sideways;  // stored 40 x 80 instead of 80 x 40
        Rgb stored[4];
    };
    const Case cases[] = {
        {1, false, {kRed, kLime, kBlue, kWhite}}, {2, false, {kLime, kRed, kWhite, kBlue}},
        {3, false, {kWhite, kBlue, kLime, kRed}}, {4, false, {kBlue, kWhite, kRed, kLime}},
        {5, true, {kRed, kBlue, kLime, kWhite}},  {6, true, {kLime, kWhite, kRed, kBlue}},
        {7, true, {kWhite, kLime, kBlue, kRed}},  {8, true, {kBlue, kRed, kWhite, kLime}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.tag));
        const RgbImage stored = c.sideways ? quarters(40, 80, c.stored) : quarters(80, 40, c.stored);
        const std::vector<std::uint8_t> bytes = jpegBytes(stored, c.tag);
        RgbImage upright;
        const char* problem = nullptr;
        ASSERT_TRUE(photo::decodePhoto(bytes.data(), bytes.size(), 1024, &upright, &problem)) << problem;
        ASSERT_EQ(upright.width, 80);
        ASSERT_EQ(upright.height, 40);
        for (int q = 0; q < 4; ++q) EXPECT_TRUE(quarterIs(upright, q, kUpright[q]));
    }
}

TEST(PhotoOrientation, ExifBlocksWithoutAValidTagMeanAsStored) {
    const unsigned char valid[] = {'E',  'x',  'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                                   0x12, 0x01, 3,   0,   1, 0, 0,   0,   6,  0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(photo::exifOrientation(valid, sizeof valid), 6) << "little-endian TIFF";
    std::vector<unsigned char> outOfRange(valid, valid + sizeof valid);
    outOfRange[24] = 9;
    EXPECT_EQ(photo::exifOrientation(outOfRange.data(), outOfRange.size()), 1);
    EXPECT_EQ(photo::exifOrientation(valid, 20), 1) << "cut short";
    EXPECT_EQ(photo::exifOrientation(valid, 4), 1);
    EXPECT_EQ(photo::exifOrientation(nullptr, 0), 1);
}

// ---------------------------------------------------------------------------
// Reduction while decoding, and the square

TEST(PhotoDecode, LargeFilesArriveReducedButNotBelowTheSide) {
    const RgbImage big = quarters(3000, 2000, kUpright);
    for (bool progressive : {false, true}) {
        const std::vector<std::uint8_t> jpeg = jpegBytes(big, 0, progressive);
        RgbImage out;
        const char* problem = nullptr;
        ASSERT_TRUE(photo::decodePhoto(jpeg.data(), jpeg.size(), 1024, &out, &problem)) << problem;
        EXPECT_EQ(out.height, 1000) << "1/2 is the smallest scale keeping nine tenths of 1024 rows";
        EXPECT_EQ(out.width, 1500);
        for (int q = 0; q < 4; ++q) EXPECT_TRUE(quarterIs(out, q, kUpright[q]));
    }
    const std::vector<std::uint8_t> png = pngBytes(big);
    RgbImage out;
    ASSERT_TRUE(photo::decodePhoto(png.data(), png.size(), 1000, &out, nullptr));
    EXPECT_EQ(out.width, 1500) << "PNG rows averaged in blocks of 2";
    EXPECT_EQ(out.height, 1000);
    for (int q = 0; q < 4; ++q) EXPECT_TRUE(quarterIs(out, q, kUpright[q]));
}

TEST(PhotoSquare, CutsTheCentreAndScales) {
    struct Case {
        int width, height, side;
    };
    // A red frame around a lime centred square: no red may reach the output.
    for (const Case& c : {Case{300, 200, 64}, Case{200, 300, 64}, Case{20, 30, 64}, Case{2048, 2047, 1024}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " to " + std::to_string(c.side));
        const int square = std::min(c.width, c.height);
        RgbImage image{c.width, c.height, std::vector<std::uint8_t>(static_cast<std::size_t>(c.width) * c.height * 3u)};
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const bool inside = x >= (c.width - square) / 2 && x < (c.width - square) / 2 + square &&
                                    y >= (c.height - square) / 2 && y < (c.height - square) / 2 + square;
                std::uint8_t* p = image.pixels.data() + (static_cast<std::size_t>(y) * c.width + x) * 3u;
                p[inside ? 1 : 0] = 255;
            }
        }
        std::vector<std::uint8_t> out(static_cast<std::size_t>(c.side) * c.side * 3u, 7);
        photo::cropAndScaleSquare(image, c.side, out.data());
        for (std::size_t i = 0; i < out.size(); i += 3) {
            ASSERT_EQ(out[i], 0) << "red at pixel " << i / 3;
            ASSERT_EQ(out[i + 1], 255) << "pixel " << i / 3;
        }
    }
}

TEST(PhotoSquare, ShrinkingAveragesEveryPixel) {
    // One-pixel black and white stripes: any sampling that skips pixels
    // gives black or white; averaging gives mid grey.
    RgbImage stripes{2048, 2048, std::vector<std::uint8_t>(2048u * 2048u * 3u)};
    for (std::size_t i = 0; i < stripes.pixels.size(); i += 6)
        stripes.pixels[i] = stripes.pixels[i + 1] = stripes.pixels[i + 2] = 255;
    std::vector<std::uint8_t> out(1000u * 1000u * 3u);
    photo::cropAndScaleSquare(stripes, 1000, out.data());
    for (std::size_t i = 0; i < out.size(); ++i)
        ASSERT_NEAR(out[i], 128, 8) << i;  // a span of 2.048 pixels: up to 6 off mid grey
}

// ---------------------------------------------------------------------------
// Bad files: each is refused with a reason, quickly, whatever its name.

TEST_F(PhotoFolder, BadFilesAreRefused) {
    const RgbImage small = quarters(64, 48, kUpright);
    const std::vector<std::uint8_t> jpeg = jpegBytes(small);
    const std::vector<std::uint8_t> png = pngBytes(small);

    std::vector<std::uint8_t> corruptJpeg = jpeg;
    for (std::size_t i = corruptJpeg.size() / 2; i < corruptJpeg.size() / 2 + 40; ++i) corruptJpeg[i] = 0xFF;
    std::vector<std::uint8_t> badCrcPng = png;
    badCrcPng[badCrcPng.size() - 20] ^= 0x55;  // inside the last IDAT
    // Dimensions patched into the headers: 12000 x 9000 (JPEG SOF0 after the
    // APP0 segment; PNG IHDR with its CRC made to match).
    std::vector<std::uint8_t> hugeJpeg = jpeg;
    for (std::size_t i = 2; i + 8 < hugeJpeg.size(); ++i) {
        if (hugeJpeg[i] == 0xFF && hugeJpeg[i + 1] == 0xC0) {
            hugeJpeg[i + 5] = 9000 >> 8, hugeJpeg[i + 6] = 9000 & 0xFF;
            hugeJpeg[i + 7] = 12000 >> 8, hugeJpeg[i + 8] = 12000 & 0xFF;
            break;
        }
    }
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text under an image name", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"JPEG signature alone", {0xFF, 0xD8, 0xFF}},
        {"truncated JPEG", std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)},
        {"corrupt JPEG", corruptJpeg},
        {"huge JPEG", hugeJpeg},
        {"PNG signature alone", std::vector<std::uint8_t>(png.begin(), png.begin() + 8)},
        {"truncated PNG", std::vector<std::uint8_t>(png.begin(), png.begin() + png.size() - 30)},
        {"PNG with a bad checksum", badCrcPng},
    };
    for (const Case& c : cases) {
        RgbImage out;
        const char* problem = nullptr;
        EXPECT_FALSE(photo::decodePhoto(c.bytes.data(), c.bytes.size(), 1024, &out, &problem)) << c.name;
        EXPECT_NE(problem, nullptr) << c.name;
    }
    // The same small files as given decode; the cases above fail for their faults.
    RgbImage out;
    EXPECT_TRUE(photo::decodePhoto(jpeg.data(), jpeg.size(), 1024, &out, nullptr));
    EXPECT_TRUE(photo::decodePhoto(png.data(), png.size(), 1024, &out, nullptr));
    const char* problem = nullptr;
    photo::decodePhoto(hugeJpeg.data(), hugeJpeg.size(), 1024, &out, &problem);
    EXPECT_STREQ(problem, "too many pixels");
}

TEST_F(PhotoFolder, FilesThatCannotBeReadAreRefused) {
    std::vector<std::uint8_t> bytes;
    const char* problem = nullptr;
    EXPECT_FALSE(photo::readRegularFile(file("zero.jpg", {}), 1024, &bytes, &problem));
    EXPECT_STREQ(problem, "empty file");
    EXPECT_FALSE(photo::readRegularFile(file("big.jpg", std::vector<std::uint8_t>(2048)), 1024, &bytes, &problem));
    EXPECT_STREQ(problem, "file too large");
    fs::create_symlink("loop.jpg", root / "loop.jpg");
    EXPECT_FALSE(photo::readRegularFile(root / "loop.jpg", 1024, &bytes, &problem));
    EXPECT_STREQ(problem, "symbolic link loop");
    ASSERT_EQ(::mkfifo((root / "pipe.jpg").c_str(), 0600), 0);
    EXPECT_FALSE(photo::readRegularFile(root / "pipe.jpg", 1024, &bytes, &problem)) << "must not wait for a writer";
    EXPECT_TRUE(photo::readRegularFile(file("ok.jpg", {1, 2, 3}), 1024, &bytes, &problem));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));
}

// ---------------------------------------------------------------------------
// The whole path through the platform seam

TEST_F(PhotoFolder, LoadPhotoPassesOverBadFilesAndFallsBackWithOneLine) {
    std::vector<std::uint8_t> rgb(32u * 32u * 3u);
    file("a_zero.jpg", {});
    file("b_text.png", {'n', 'o'});
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::loadPhoto(root.c_str(), 32, rgb.data()));
    EXPECT_FALSE(platform::loadPhoto((root / "missing").c_str(), 32, rgb.data()));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no usable photograph in " + root.string()), std::string::npos) << said;
    EXPECT_NE(said.find("No such file or directory"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;

    // With one good file among the bad ones, every run finds it.
    fs::create_directory(root / "sub");
    writeJpeg((root / "sub" / "good.jpg").string(), 64, 48, quarters(64, 48, kUpright).pixels.data());
    for (int run = 0; run < 10; ++run) {
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(platform::loadPhoto(root.c_str(), 32, rgb.data()));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_GT(rgb[0], 230);  // top-left is red
    EXPECT_LT(rgb[1], 24);
}

TEST(XScreenSaverImageFolder, ReadFromTheSettingsText) {
    struct Case {
        const char* settings;
        const char* folder;
    };
    const Case cases[] = {
        {"timeout:\t0:10:00\nimageDirectory:\t/srv/pictures\nmode:\trandom\n", "/srv/pictures"},
        {"imageDirectory: ~/Pictures  \n", "/home/u/Pictures"},
        {"imageDirectory:\t~\n", "/home/u"},
        {"imageDirectory:\t\n", ""},
        {"mode:\trandom\n", ""},
        {"imageDirectory:\thttps://example.invalid/feed.rss\n", ""},
        {"imageDirectory:\t/srv/p\nchooseRandomImages:\tFalse\n", ""},
        {"chooseRandomImages:\tTrue\r\nimageDirectory:\t/srv/p\r\n", "/srv/p"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(photo::xscreensaverImageFolderIn(c.settings, "/home/u"), c.folder) << c.settings;
}
