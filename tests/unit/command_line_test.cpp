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
    {"", None, 0},
    {"/s", Screensaver, 0},
    {"/S", None, 0},
    {"/p 1234", Preview, 1234},
    {"/p1234", Preview, 234},
    {"/c:5678", Configure, 5678},
    {"/c", Configure, 0},
    {"/p 100 /s", Screensaver, 0},
    {"/p 100 /x 7", Preview, 7},
    {"/x 100", None, 0},
    {"/p", Preview, 0},
    {"/p abc", Preview, 0},
    {"/p -5", Preview, -5},
    {"/p   +42", Preview, 42},
    {"/p 99999999999999999999", Preview, 2147483647},
    {"/p -99999999999999999999", Preview, -2147483647 - 1},
    {"/p 2147483647", Preview, 2147483647},
    {"/s/p", Preview, 0},
    {"/", None, 0},
    {"\xff\xfe/s \xc3\xa9", Screensaver, 0},
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
    EXPECT_EQ(line.mode, Preview);
    EXPECT_EQ(line.parentWindow, 2147483647);
    text = std::string(100 * 1024, '/');
    EXPECT_EQ(parseCommandLine(text.c_str()).mode, None);
}

TEST(WindowsVersion, MajorTimesTenPlusMinor) {
    EXPECT_EQ(windowsVersionNumber(0x0105u), 51);        // XP: 5.1
    EXPECT_EQ(windowsVersionNumber(0x23F00006u), 60);    // Vista: 6.0, build bits ignored
    EXPECT_EQ(windowsVersionNumber(0x0206u), 62);
    EXPECT_EQ(windowsVersionNumber(10u), 100);
}

}  // namespace
