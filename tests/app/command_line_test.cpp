#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"
#include "app/screensaver_app.h"

namespace {

struct Case {
    const char* text;
    ScreensaverMode mode;
    std::intptr_t handle;
};

const Case kCases[] = {
    {"", ScreensaverMode::None, 0},
    {"/s", ScreensaverMode::Screensaver, 0},
    {"/S", ScreensaverMode::None, 0},
    {"/p 1234", ScreensaverMode::Preview, 1234},
    {"/p1234", ScreensaverMode::Preview, 234},
    {"/c:5678", ScreensaverMode::Configure, 5678},
    {"/c", ScreensaverMode::Configure, 0},
    {"/p 100 /s", ScreensaverMode::Screensaver, 0},
    {"/p 100 /x 7", ScreensaverMode::Preview, 7},
    {"/x 100", ScreensaverMode::None, 0},
    {"/p", ScreensaverMode::Preview, 0},
    {"/p abc", ScreensaverMode::Preview, 0},
    {"/p -5", ScreensaverMode::Preview, -5},
    {"/p   +42", ScreensaverMode::Preview, 42},
    {"/p 99999999999999999999", ScreensaverMode::Preview, 2147483647},
    {"/p -99999999999999999999", ScreensaverMode::Preview, -2147483647 - 1},
    {"/p 2147483647", ScreensaverMode::Preview, 2147483647},
    {"/s/p", ScreensaverMode::Preview, 0},
    {"/", ScreensaverMode::None, 0},
    {"\xff\xfe/s \xc3\xa9", ScreensaverMode::Screensaver, 0},
};

TEST(ParseCommandLine, TableOfStartLines) {
    for (const Case& c : kCases) {
        const CommandLine line = parseCommandLine(c.text);
        EXPECT_EQ(line.mode, c.mode) << '"' << c.text << '"';
        EXPECT_EQ(line.parentWindow, c.handle) << '"' << c.text << '"';
    }
}

TEST(ParseCommandLine, HugeArgumentIsScannedWithoutHarm) {
    std::string text = "/p " + std::string(100 * 1024, '9');
    const CommandLine line = parseCommandLine(text.c_str());
    EXPECT_EQ(line.mode, ScreensaverMode::Preview);
    EXPECT_EQ(line.parentWindow, 2147483647);
    text = std::string(100 * 1024, '/');
    EXPECT_EQ(parseCommandLine(text.c_str()).mode, ScreensaverMode::None);
}

TEST(WindowsVersion, MajorTimesTenPlusMinor) {
    EXPECT_EQ(windowsVersionNumber(0x0105u), 51);      // XP: 5.1
    EXPECT_EQ(windowsVersionNumber(0x23F00006u), 60);  // Vista: 6.0, build bits ignored
    EXPECT_EQ(windowsVersionNumber(0x0206u), 62);
    EXPECT_EQ(windowsVersionNumber(10u), 100);
}

}  // namespace
