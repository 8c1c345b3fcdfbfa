#include "ui/picture.hpp"
#include "ui/sprite.hpp"
#include "ui_support.hpp"

#include <unistd.h>

#include <cstdio>

namespace tevo::test {
namespace {

// A picture file written by the test: red left half, magenta right half.
class PictureFileTest : public VideoTest {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + "picture_" + std::to_string(getpid()) + ".bmp";
        OwnedSurface image = makeSurface(8, 4, 32);
        SDL_FillRect(image.get(), nullptr, rgb(image.get(), 255, 0, 255));
        SDL_Rect left{0, 0, 4, 4};
        SDL_FillRect(image.get(), &left, rgb(image.get(), 255, 0, 0));
        ASSERT_EQ(SDL_SaveBMP(image.get(), path.c_str()), 0);
        target = makeSurface(20, 20, 32);
        SDL_FillRect(target.get(), nullptr, rgb(target.get(), 0, 255, 0));
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path;
    OwnedSurface target;
};

TEST_F(PictureFileTest, PictureDrawsWholeAtItsCorner) {
    Picture picture;
    picture.load(target.get(), path);
    ASSERT_TRUE(picture.loaded());
    picture.x = 5;
    picture.y = 6;
    EXPECT_TRUE(picture.draw());
    EXPECT_EQ(pixelAt(target.get(), 5, 6), rgb(target.get(), 255, 0, 0));
    EXPECT_EQ(pixelAt(target.get(), 12, 9), rgb(target.get(), 255, 0, 255));
    EXPECT_EQ(pixelAt(target.get(), 13, 9), rgb(target.get(), 0, 255, 0));
}

TEST_F(PictureFileTest, KeyedPictureLeavesMagentaOut) {
    Picture picture;
    picture.load(target.get(), path);
    picture.keyMagenta();
    EXPECT_TRUE(picture.draw());
    EXPECT_EQ(pixelAt(target.get(), 0, 0), rgb(target.get(), 255, 0, 0));
    EXPECT_EQ(pixelAt(target.get(), 6, 0), rgb(target.get(), 0, 255, 0));
}

TEST_F(PictureFileTest, MissingOrBrokenFilesLeaveThePictureEmpty) {
    const std::string broken = path + ".png";
    std::FILE* f = std::fopen(broken.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("\x89PNG\r\n\x1a\nnot really", f);
    std::fclose(f);
    for (const std::string& name : {std::string("/nonexistent/p.png"), broken}) {
        Picture picture;
        picture.load(target.get(), path);
        picture.load(target.get(), name); // a failed load also drops the old image
        EXPECT_FALSE(picture.loaded()) << name;
        EXPECT_FALSE(picture.draw()) << name;
        Sprite sprite;
        sprite.load(target.get(), name, 4, 4);
        EXPECT_FALSE(sprite.loaded());
        EXPECT_FALSE(sprite.selectFrame(1));
        sprite.draw();
    }
    std::remove(broken.c_str());
    EXPECT_EQ(countPixels(target.get(), rgb(target.get(), 0, 255, 0)), 400);
}

TEST_F(PictureFileTest, SpriteDrawsTheSelectedFrameWithoutMagenta) {
    Sprite sprite;
    sprite.load(target.get(), path, 4, 4);
    ASSERT_TRUE(sprite.loaded());
    sprite.x = 2;
    sprite.y = 3;
    ASSERT_TRUE(sprite.selectFrame(1)); // the magenta half: nothing shows
    sprite.draw();
    EXPECT_EQ(countPixels(target.get(), rgb(target.get(), 0, 255, 0)), 400);
    ASSERT_TRUE(sprite.selectFrame(0));
    sprite.draw();
    EXPECT_EQ(countPixels(target.get(), rgb(target.get(), 255, 0, 0)), 16);
    EXPECT_EQ(pixelAt(target.get(), 2, 3), rgb(target.get(), 255, 0, 0));
    EXPECT_EQ(pixelAt(target.get(), 6, 3), rgb(target.get(), 0, 255, 0));
}

struct FrameCase {
    int imageW, imageH, frameW, frameH, n;
    bool ok;
    int sourceX, sourceY;
};

class SelectFrame : public VideoTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(SelectFrame, CountsFramesRowByRow) {
    const FrameCase& c = GetParam();
    OwnedSurface image = makeSurface(c.imageW, c.imageH, 32);
    Sprite sprite;
    sprite.fromSurface(image.get(), c.frameW, c.frameH);
    EXPECT_EQ(sprite.selectFrame(c.n), c.ok);
    EXPECT_EQ(sprite.sourceX, c.sourceX);
    EXPECT_EQ(sprite.sourceY, c.sourceY);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SelectFrame,
    ::testing::Values(FrameCase{64, 64, 16, 16, 5, true, 16, 16}, // column 1 of row 1
                      FrameCase{64, 64, 16, 16, 0, true, 0, 0},
                      FrameCase{64, 64, 16, 16, 7, true, 48, 16},
                      FrameCase{70, 64, 16, 16, 4, true, 0, 16}, // 4 whole frames per row
                      FrameCase{64, 64, 0, 16, 3, true, 0, 192}, // one frame: the whole image
                      FrameCase{8, 8, 16, 16, 1, false, 0, 0},   // no frame fits a row
                      FrameCase{64, 64, 16, 16, -1, false, 0, 0}));

TEST_F(PictureFileTest, SpriteWithZeroFrameSizeIsOneWholeFrame) {
    Sprite sprite;
    sprite.load(target.get(), path, 0, 4);
    EXPECT_EQ(sprite.frameWidth, 8);
    EXPECT_EQ(sprite.frameHeight, 4);
}

} // namespace
} // namespace tevo::test
