// The configure-mode About window. Its constructor builds the window, runs
// its message loop and returns when the window has been closed.
//
// The texts, the layout and the colours below are shared by both back ends
// (platform/win32/about_window_win32.cpp and platform/linux/about_window_x11.cpp).
#pragma once

#include <cstdint>

class AboutWindow {
public:
    AboutWindow(void* instance, int showCommand);

    static constexpr const char* caption = "About";
    static constexpr const char* className = "QuillbeckWindowClass";
    static constexpr const char* buttonText = "Visit website";
    // Three lines separated by CR LF. Plain ASCII, so the same bytes are
    // valid in every ANSI code page and as UTF-8.
    static constexpr const char* infoText =
        "Copyright (c) 2026 Lumeridge. All rights reserved.\r\n"
        "Screensavers and more at lumeridge.example\r\n"
        "Contact: hello@lumeridge.example";
    static constexpr const char* titleText = "Lumeridge";
    // The site's root path with the query that marks visits from here.
    static constexpr const char* siteUrl = "https://lumeridge.example/?utm_source=About";
};

namespace about {

// An RGB colour laid out as a Win32 COLORREF: 0x00BBGGRR.
constexpr std::uint32_t rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}
constexpr int red(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
constexpr int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr std::uint32_t kBackgroundColor = rgb(177, 232, 179);  // 0xB3E8B1
constexpr std::uint32_t kInfoTextColor = rgb(0, 51, 255);       // 0xFF3300
constexpr std::uint32_t kTitleTextColor = rgb(0, 0, 0);

struct Rect {
    int x, y, width, height;
    constexpr bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// The main window's outer size.
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;

// Client-area positions.
constexpr int kLogoX = 142;
constexpr int kLogoY = 55;
constexpr int kLogoWidth = 110;  // the logo bitmap's size
constexpr int kLogoHeight = 83;
constexpr Rect kTitleRect{90, 20, 280, 20};
constexpr Rect kInfoRect{20, 150, 380, 80};
constexpr Rect kButtonRect{150, 210, 100, 32};

// Control ids. The info text and the button share id 10; only the button
// sends commands.
constexpr int kTitleId = 30;
constexpr int kInfoId = 10;
constexpr int kButtonId = 10;

// The two fonts, as CreateFontA takes them: cell height and average
// character width in pixels, weight, underline.
struct FontSpec {
    const char* face;
    int height;
    int width;
    int weight;
    bool underline;
};
constexpr FontSpec kBodyFont{"Arial", 16, 6, 400, false};
constexpr FontSpec kTitleFont{"Arial", 18, 8, 700, true};

// The window's top-left corner that centres it on a screen of the given
// size: (size - window size) * 0.5 in double precision, truncated toward
// zero (a screen 1401 wide gives 500; a screen smaller than the window gives
// a negative position, as on Windows).
struct Point {
    int x, y;
};
constexpr int centredOrigin(int screenSize, int windowSize) {
    return static_cast<int>((static_cast<double>(screenSize) - windowSize) * 0.5);
}
constexpr Point centredPosition(int screenWidth, int screenHeight) {
    return Point{centredOrigin(screenWidth, kWindowWidth), centredOrigin(screenHeight, kWindowHeight)};
}

}  // namespace about
