#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/about_window.h"

namespace {

struct CentringCase {
    int screenWidth, screenHeight;
    int x, y;
};

// (size - window) * 0.5, truncated toward zero: half pixels are dropped on
// both sides of zero.
const CentringCase kCentring[] = {
    {1920, 1080, 760, 390}, {1401, 1080, 500, 390},  {1401, 1081, 500, 390}, {400, 300, 0, 0}, {401, 301, 0, 0},
    {1024, 768, 312, 234},  {3840, 2160, 1720, 930}, {399, 299, 0, 0},  // -0.5 truncates to 0, not -1
    {397, 297, -1, -1},                                                 // -1.5 truncates to -1
    {0, 0, -200, -150},
};

TEST(AboutLayout, CentredPositionTruncatesTowardZero) {
    for (const CentringCase& c : kCentring) {
        const about::Point p = about::centredPosition(c.screenWidth, c.screenHeight);
        EXPECT_EQ(p.x, c.x) << c.screenWidth << " x " << c.screenHeight;
        EXPECT_EQ(p.y, c.y) << c.screenWidth << " x " << c.screenHeight;
    }
}

TEST(AboutLayout, InfoTextIsThreeCrLfSeparatedAsciiLines) {
    const std::string text = AboutWindow::infoText;
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        EXPECT_LT(c, 0x80) << "byte " << i;
        if (c == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(text[i - 1], '\r') << "bare LF at " << i;
            ++lines;
        } else if (c == '\r') {
            ASSERT_LT(i + 1, text.size());
            EXPECT_EQ(text[i + 1], '\n') << "bare CR at " << i;
        }
    }
    EXPECT_EQ(lines, 3);
    EXPECT_NE(text.find('@'), std::string::npos);  // the contact line
}

TEST(AboutLayout, SiteUrlIsTheRootPathWithTheAboutQuery) {
    const std::string url = AboutWindow::siteUrl;
    const std::string suffix = "/?utm_source=About";
    ASSERT_GT(url.size(), suffix.size());
    EXPECT_EQ(url.compare(0, 8, "https://"), 0);
    EXPECT_EQ(url.compare(url.size() - suffix.size(), suffix.size(), suffix), 0);
    // Exactly one '/' after the scheme: the root path.
    EXPECT_EQ(url.find('/', 8), url.size() - suffix.size());
}

TEST(AboutLayout, ControlsAndLogoLieInsideTheWindow) {
    for (const about::Rect& r : {about::kTitleRect, about::kInfoRect, about::kButtonRect,
                                 about::Rect{about::kLogoX, about::kLogoY, about::kLogoWidth, about::kLogoHeight}}) {
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.width, about::kWindowWidth);
        EXPECT_LE(r.y + r.height, about::kWindowHeight);
    }
}

}  // namespace
