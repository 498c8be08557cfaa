#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame_clock.h"
#include "app/host_options.h"
#include "app/xscreensaver_list.h"

namespace {

using Args = std::vector<std::string>;
constexpr ScreensaverMode Host = ScreensaverMode::Host, None = ScreensaverMode::None,
                          Preview = ScreensaverMode::Preview, Screensaver = ScreensaverMode::Screensaver,
                          Configure = ScreensaverMode::Configure;

struct LaunchCase {
    Args args;
    const char* variable;  // XSCREENSAVER_WINDOW, nullptr: unset
    LaunchAction action;
    ScreensaverMode mode;
    std::intptr_t window;
    const char* photos;
    const char* errorPart;  // Error: a part of the message
};

const LaunchCase kLaunchCases[] = {
    // The hosts' ways to start a saver.
    {{"--root"}, "0x2a00007", LaunchAction::Run, Host, 0x2a00007, "", ""},
    {{"-root"}, "0X2A00007", LaunchAction::Run, Host, 0x2a00007, "", ""},
    {{}, " 44040199 ", LaunchAction::Run, Host, 44040199, "", ""},
    {{"--root"}, nullptr, LaunchAction::Run, Host, 0, "", ""},
    {{"--root"}, "", LaunchAction::Run, Host, 0, "", ""},
    {{"--root", "--window-id", "0x3a00007"}, "0x2a00007", LaunchAction::Run, Host, 0x3a00007, "", ""},
    {{"-window-id", "123"}, "wayland-token", LaunchAction::Run, Host, 123, "", ""},
    {{"--root", "--photos", "/home/u/Pictures"}, "0x10", LaunchAction::Run, Host, 16, "/home/u/Pictures", ""},
    {{"-photos", "-odd name"}, "0x10", LaunchAction::Run, Host, 16, "-odd name", ""},
    // Options that name no mode, and the Windows switches beside them.
    {{"--photos", "/p"}, nullptr, LaunchAction::Run, None, 0, "/p", ""},
    {{"/s", "--photos", "/x"}, "0x10", LaunchAction::Run, Screensaver, 0, "/x", ""},
    {{"/p", "-5"}, nullptr, LaunchAction::Run, Preview, -5, "", ""},
    {{"/c:77"}, "0x10", LaunchAction::Run, Configure, 77, "", ""},
    {{}, nullptr, LaunchAction::Run, None, 0, "", ""},
    {{"\xff\xfe", "/x", "1"}, nullptr, LaunchAction::Run, None, 0, "", ""},
    // Help is answered only for a command line that is right otherwise.
    {{"--help"}, nullptr, LaunchAction::Help, None, 0, "", ""},
    {{"--root", "--photos", "/d", "--help"}, "junk", LaunchAction::Help, None, 0, "/d", ""},
    {{"--add-to-xscreensaver"}, nullptr, LaunchAction::AddToXScreenSaver, None, 0, "", ""},
    // Bad input.
    {{"--bogus", "--help"}, nullptr, LaunchAction::Error, None, 0, "", "unknown option \"--bogus\""},
    {{"--window-id"}, nullptr, LaunchAction::Error, None, 0, "", "--window-id needs a window id"},
    {{"--window-id", "0x"}, nullptr, LaunchAction::Error, None, 0, "", "\"0x\" is not a window id"},
    {{"--root", "--window-id", "12abc"}, nullptr, LaunchAction::Error, None, 0, "", "\"12abc\""},
    {{"--root"},
     "wayland-embed-token",
     LaunchAction::Error,
     None,
     0,
     "",
     "XSCREENSAVER_WINDOW=\"wayland-embed-token\""},
    {{}, "0x0", LaunchAction::Error, None, 0, "", "XSCREENSAVER_WINDOW=\"0x0\""},
    {{"--root", "extra"}, nullptr, LaunchAction::Error, None, 0, "", "unexpected argument \"extra\""},
    {{"--root", "--photos"}, nullptr, LaunchAction::Error, None, 0, "", "--photos needs a folder"},
    {{"--root", "--delay"}, nullptr, LaunchAction::Error, None, 0, "", "--delay needs a number of microseconds"},
    {{"-delay", "-5", "--root"}, nullptr, LaunchAction::Error, None, 0, "", "\"-5\" is not a number of micro"},
    {{"--delay", "1000001"}, nullptr, LaunchAction::Error, None, 0, "", "from 0 to 1000000"},
    {{"-x\n\x01y"}, nullptr, LaunchAction::Error, None, 0, "", "\"-x??y\""},
};

TEST(LaunchOptions, TableOfCommandLines) {
    for (const LaunchCase& c : kLaunchCases) {
        std::string what;
        for (const std::string& a : c.args) what += "[" + a + "]";
        what += c.variable ? std::string(" XSCREENSAVER_WINDOW=") + c.variable : " (unset)";
        const LaunchOptions o = parseLaunchOptions(c.args, c.variable);
        EXPECT_EQ(o.action, c.action) << what;
        if (c.action == LaunchAction::Error) {
            EXPECT_NE(o.error.find(c.errorPart), std::string::npos) << what << ": " << o.error;
            EXPECT_EQ(o.error.find('\n'), std::string::npos) << what;
            continue;
        }
        EXPECT_EQ(o.line.photosDirectory, c.photos) << what;
        if (c.action != LaunchAction::Run) continue;
        EXPECT_EQ(o.line.mode, c.mode) << what;
        EXPECT_EQ(o.line.parentWindow, c.window) << what;
    }
}

// XScreenSaver's "Frame rate" setting: microseconds from one frame to the
// next, beside either kind of command line.
TEST(LaunchOptions, DelayIsTheFramePeriod) {
    const std::pair<Args, double> cases[] = {
        {{"--root"}, kDefaultFramePeriod},
        {{"--root", "--delay", "20000"}, 0.02},
        {{"-delay", "0", "-root"}, 0.0},
        {{"/s", "--delay", "1000000"}, 1.0},
        {{"--delay", "0016667", "/p", "5"}, 0.016667},
    };
    for (const auto& [args, period] : cases) {
        const LaunchOptions o = parseLaunchOptions(args, nullptr);
        ASSERT_EQ(o.action, LaunchAction::Run) << args[0] << ": " << o.error;
        EXPECT_DOUBLE_EQ(o.line.framePeriod, period) << args[0];
    }
    double period = 7.0;
    for (const char* text : {"", "1e4", "+5", "12 ", "0x10", "99999999999"})
        EXPECT_FALSE(parseFrameDelay(text, &period));
    EXPECT_EQ(period, 7.0);
}

TEST(LaunchOptions, ErrorQuotesLongInputShort) {
    const LaunchOptions o = parseLaunchOptions({"--" + std::string(100 * 1024, 'x')}, nullptr);
    ASSERT_EQ(o.action, LaunchAction::Error);
    EXPECT_LT(o.error.size(), 200u);
}

TEST(WindowId, HexDecimalAndRefusals) {
    const std::pair<const char*, std::intptr_t> good[] = {
        {"0x1", 1}, {"0XfFfFfFfF", 0xFFFFFFFF}, {"4294967295", 4294967295}, {"\t0x3a00007 ", 0x3a00007}};
    for (const auto& [text, value] : good) {
        std::intptr_t id = 0;
        EXPECT_TRUE(parseWindowId(text, &id)) << text;
        EXPECT_EQ(id, value) << text;
    }
    for (const char* text : {"", " ", "0", "0x0", "0x", "-1", "+1", "4294967296", "0x100000000", "1 2", "0x1g",
                             "99999999999999999999999"}) {
        std::intptr_t id = 7;
        EXPECT_FALSE(parseWindowId(text, &id)) << '"' << text << '"';
        EXPECT_EQ(id, 7) << text;
    }
}

// ---------------------------------------------------------------------------
TEST(FrameClock, FollowsTheWallClockButSkipsLongGaps) {
    FrameClock clock;
    EXPECT_DOUBLE_EQ(clock.next(5.0), 5.0);
    EXPECT_DOUBLE_EQ(clock.next(5.5), 5.5);
    EXPECT_DOUBLE_EQ(clock.next(6.5), 6.5);                               // a slow frame counts in full
    EXPECT_DOUBLE_EQ(clock.next(36.5), 6.5 + FrameClock::kNominalFrame);  // stopped for 30 s
    EXPECT_DOUBLE_EQ(clock.next(36.6), 6.6 + FrameClock::kNominalFrame);
    EXPECT_DOUBLE_EQ(clock.next(1.0), 6.6 + 2 * FrameClock::kNominalFrame);  // a clock set back
}

// ---------------------------------------------------------------------------
const std::string kEntry = lumeridgeEntry("/usr/libexec/xscreensaver/lumeridge");

TEST(XScreenSaverList, EntryNamesTheInstalledCommand) {
    EXPECT_EQ(kEntry, "  GL:\t\t\t\t\"Lumeridge\" lumeridge --root\t\t\t    \\n\\\n");
    EXPECT_NE(
        lumeridgeEntry("/opt/l/libexec/xscreensaver/lumeridge").find(" /opt/l/libexec/xscreensaver/lumeridge --root"),
        std::string::npos);
}

struct ListCase {
    const char* name;
    std::string before;
    ListEdit::Outcome outcome;
    std::string after;  // Added: the whole expected file
};

const std::string kHead = "# XScreenSaver Preferences File\ntimeout:\t0:10:00\n";
const std::string kPrograms = "programs:\t\t\\\n  GL: gears --root \\n\\\n\t\t\t\tmaze --root \\n\\\n\n";

const ListCase kListCases[] = {
    {"entry below programs, the rest byte for byte", kHead + kPrograms + "mode:\trandom\n", ListEdit::Outcome::Added,
     kHead + "programs:\t\t\\\n" + kEntry + "  GL: gears --root \\n\\\n\t\t\t\tmaze --root \\n\\\n\nmode:\trandom\n"},
    {"no programs setting: one is added", "timeout:\t0:10:00", ListEdit::Outcome::Added,
     "timeout:\t0:10:00\n\nprograms:\t\t\t\t\t\t\t      \\\n  GL:\t\t\t\t\"Lumeridge\" lumeridge --root\t\t\t    "
     "\\n\n"},
    {"listed already", kHead + "programs: \\\n GL: \"Rain\" /opt/bin/lumeridge -root \\n\\\n",
     ListEdit::Outcome::AlreadyListed, ""},
    {"listed but disabled", "programs: \\\n- GL: lumeridge --root \\n\\\n", ListEdit::Outcome::AlreadyListed, ""},
    {"listed on the programs line", "programs: lumeridge --root \\n\\\n maze\n", ListEdit::Outcome::AlreadyListed, ""},
    {"a look-alike is not Lumeridge", "programs: \\\n lumeridge-old --root \\n\\\n", ListEdit::Outcome::Added,
     "programs: \\\n" + kEntry + " lumeridge-old --root \\n\\\n"},
    {"binary", std::string("programs: \\\n\0\x01", 14), ListEdit::Outcome::NotUnderstood, ""},
    {"a line that is no setting", kHead + "this is not a setting\n" + kPrograms, ListEdit::Outcome::NotUnderstood, ""},
    {"two programs settings", kPrograms + kPrograms, ListEdit::Outcome::NotUnderstood, ""},
    {"programs on one line", "programs: maze --root\n", ListEdit::Outcome::NotUnderstood, ""},
};

TEST(XScreenSaverList, TableOfFiles) {
    for (const ListCase& c : kListCases) {
        const ListEdit edit = addToPrograms(c.before, kEntry);
        EXPECT_EQ(edit.outcome, c.outcome) << c.name << ": " << edit.reason;
        if (c.outcome == ListEdit::Outcome::Added) {
            EXPECT_EQ(edit.text, c.after) << c.name;
            // Adding again changes nothing.
            EXPECT_EQ(addToPrograms(edit.text, kEntry).outcome, ListEdit::Outcome::AlreadyListed) << c.name;
        }
        if (c.outcome == ListEdit::Outcome::NotUnderstood) {
            EXPECT_FALSE(edit.reason.empty()) << c.name;
        }
    }
}

TEST(XScreenSaverList, NewFileTakesTheSystemList) {
    const std::string defaults =
        "! comment\n*programs:\t\t\\\n\t\t\t\tmaze --root \\n\\\n- GL: \t\tgears --root \\n\n\n*mode: random\n";
    const std::string text = newListFromDefaults(defaults, kEntry);
    EXPECT_NE(text.find("programs:\t\t\t\t\t\t\t      \\\n" + kEntry +
                        "\t\t\t\tmaze --root \\n\\\n- GL: \t\tgears --root \\n\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("*mode"), std::string::npos);
    EXPECT_EQ(addToPrograms(text, kEntry).outcome, ListEdit::Outcome::AlreadyListed);
    // No defaults to be found: a list of its own.
    EXPECT_EQ(addToPrograms(newListFromDefaults("", kEntry), kEntry).outcome, ListEdit::Outcome::AlreadyListed);
}

}  // namespace
