// The Linux About window end to end: `lumeridge /c` on a private Xvfb of
// 1920 x 1080 (no window manager, so the window sits where it asked to),
// driven with xdotool and read back with XGetImage. A recording `xdg-open`
// first on PATH stands in for the browser.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/about_window.h"
#include "tests/e2e/harness.h"

using namespace e2e;

namespace {

using std::chrono::milliseconds;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}
const Rgb kBackground{177, 232, 179};

class AboutX11Test : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        if (access("/usr/bin/xdotool", X_OK) != 0) return;
        display_ = new VirtualDisplay();
        if (display_->ok()) x_ = display_->connection();
    }

    static void TearDownTestSuite() {
        x_ = nullptr;
        delete display_;
        display_ = nullptr;
    }

    void SetUp() override {
        if (!x_) GTEST_SKIP() << "needs Xvfb and xdotool";
        char dirTemplate[] = "/tmp/about_x11_test.XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        dir_ = dirTemplate;
        record_ = dir_ + "/opened.txt";
        const std::string opener = dir_ + "/xdg-open";
        // Records its argument, then stays a while, as a browser started in
        // the foreground would: the window must not wait for it.
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" << record_
                              << "\"\nexec sleep 4 </dev/null >/dev/null 2>&1\n";
        chmod(opener.c_str(), 0755);
    }

    void TearDown() override {
        app_.reset();  // killed if it still runs
        if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    void launch(const char* argument) {
        std::vector<std::string> env = childEnvironment(display_->name());
        for (std::string& entry : env) {
            if (entry.rfind("PATH=", 0) == 0) entry = "PATH=" + dir_ + ":" + entry.substr(5);
        }
        app_ = std::make_unique<Process>(std::vector<std::string>{lumeridgeExe(), argument}, env);
        ASSERT_TRUE(app_->started());
        ASSERT_TRUE(waitUntil([] { return countViewableTopLevels(x_, "About") == 1; }, Seconds(10)))
            << "no window \"About\" appeared";
        window_ = waitForTopLevel(x_, "About", Seconds(0))->id;
    }

    // A pixel of the window's client area as the screen shows it.
    Rgb pixel(int x, int y) {
        const std::optional<WindowInfo> a = windowInfo(x_, window_);
        if (!a) return Rgb{-1, -1, -1};
        const unsigned long p = rootPixel(x_, a->x + x, a->y + y);
        return Rgb{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
    }

    // xdotool on the window's client coordinates.
    void pointer(const std::vector<std::string>& actions, int x, int y) {
        const std::optional<WindowInfo> a = windowInfo(x_, window_);
        ASSERT_TRUE(a);
        std::vector<std::string> args = {"xdotool", "mousemove", std::to_string(a->x + x), std::to_string(a->y + y)};
        args.insert(args.end(), actions.begin(), actions.end());
        ASSERT_EQ(runTool(args, display_->name()), 0) << "xdotool failed or hung";
        XSync(x_, False);
    }
    void click(int x, int y) { pointer({"click", "1"}, x, y); }

    std::vector<std::string> opened() {
        std::vector<std::string> lines;
        std::ifstream in(record_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool waitOpened(std::size_t n) {
        return waitUntil([&] { return opened().size() >= n; }, Seconds(5));
    }

    void expectCleanExit() {
        const std::optional<int> code = app_->wait(Seconds(5));
        ASSERT_TRUE(code) << "still running";
        EXPECT_EQ(*code, 0);
    }

    static VirtualDisplay* display_;
    static Display* x_;
    std::string dir_;
    std::string record_;
    std::unique_ptr<Process> app_;
    Window window_ = 0;
};

VirtualDisplay* AboutX11Test::display_ = nullptr;
Display* AboutX11Test::x_ = nullptr;

// Where no control and no logo is.
const int kBackgroundPoints[][2] = {{3, 3}, {396, 296}, {60, 80}, {320, 100}, {10, 140}, {200, 270}};

TEST_P(AboutX11Test, OneFixedCentredWindowWithBackgroundLogoAndTexts) {
    launch(GetParam());
    EXPECT_EQ(countViewableTopLevels(x_, "About"), 1);

    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x_, window_, &a));
    EXPECT_EQ(a.x, 760);
    EXPECT_EQ(a.y, 390);
    EXPECT_EQ(a.width, 400);
    EXPECT_EQ(a.height, 300);

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(x_, window_, &hints, &supplied));
    ASSERT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, 400);
    EXPECT_EQ(hints.max_width, 400);
    EXPECT_EQ(hints.min_height, 300);
    EXPECT_EQ(hints.max_height, 300);

    // The first frame may still be on its way.
    ASSERT_TRUE(waitUntil([&] { return pixel(3, 3) == kBackground; }, Seconds(5))) << pixel(3, 3);
    for (const auto& p : kBackgroundPoints) EXPECT_EQ(pixel(p[0], p[1]), kBackground) << p[0] << ", " << p[1];

    // The logo is drawn: its drop and rings stand out, while the rest of the
    // bitmap is painted in the window's own background colour.
    int differing = 0;
    int total = 0;
    for (int y = about::kLogoY + 2; y < about::kLogoY + about::kLogoHeight - 2; y += 4) {
        for (int x = about::kLogoX + 2; x < about::kLogoX + about::kLogoWidth - 2; x += 4) {
            ++total;
            if (!(pixel(x, y) == kBackground)) ++differing;
        }
    }
    EXPECT_GT(differing, total / 10) << differing << " of " << total;

    // Some ink in each text rectangle: black in the title, blue in the info
    // text, dark on the button.
    auto anyPixel = [&](const about::Rect& r, const std::function<bool(Rgb)>& test) {
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + std::min(r.width, 200); x += 1)
                if (test(pixel(x, y))) return true;
        return false;
    };
    EXPECT_TRUE(anyPixel(about::Rect{90, 20, 80, 20}, [](Rgb c) { return c.r < 60 && c.g < 60 && c.b < 60; }));
    EXPECT_TRUE(anyPixel(about::Rect{20, 150, 60, 16}, [](Rgb c) { return c.b > 200 && c.r < 100 && c.g < 140; }));
    EXPECT_TRUE(anyPixel(about::Rect{170, 218, 60, 16}, [](Rgb c) { return c.r < 80 && c.g < 80 && c.b < 80; }));

    sendDeleteWindow(x_, window_);
    expectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(Switches, AboutX11Test, ::testing::Values("/c", "/c:5678"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Plain" : "WithHandle");
                         });

using AboutX11ButtonTest = AboutX11Test;

// The button opens the site once per click and the window stays; the info
// text, which shares the button's control id, opens nothing; a press that is
// released outside the button opens nothing.
TEST_F(AboutX11ButtonTest, ClicksOpenTheSiteAndOnlyOnTheButton) {
    launch("/c");
    ASSERT_TRUE(waitUntil([&] { return pixel(3, 3) == kBackground; }, Seconds(5)));

    click(60, 165);  // info text
    click(200, 226);
    ASSERT_TRUE(waitOpened(1));
    std::this_thread::sleep_for(milliseconds(300));
    std::vector<std::string> urls = opened();
    ASSERT_EQ(urls.size(), 1u) << "the info-text click opened something";
    const std::string suffix = "?utm_source=About";
    ASSERT_GE(urls[0].size(), suffix.size());
    EXPECT_EQ(urls[0].substr(urls[0].size() - suffix.size()), suffix);
    EXPECT_EQ(urls[0], AboutWindow::siteUrl);
    EXPECT_TRUE(app_->running());
    EXPECT_EQ(countViewableTopLevels(x_, "About"), 1);

    // The opener of the first click is still running.
    click(160, 215);
    ASSERT_TRUE(waitUntil([&] { return opened().size() >= 2; }, Seconds(2.5))) << "the window waited for the opener";
    EXPECT_TRUE(app_->running());

    // Normal look away from the button, hot under the pointer, pressed while
    // held; dragged off while held it looks normal, and a release there is
    // no click.
    auto blueness = [&] {
        const Rgb c = pixel(153, 230);
        return c.b - c.r;
    };
    pointer({}, 320, 120);
    EXPECT_TRUE(waitUntil([&] { return blueness() < 10; }, Seconds(3))) << pixel(153, 230);
    pointer({}, 200, 226);
    EXPECT_TRUE(waitUntil([&] { return blueness() > 15 && blueness() < 40; }, Seconds(3))) << pixel(153, 230);
    pointer({"mousedown", "1"}, 200, 226);
    EXPECT_TRUE(waitUntil([&] { return blueness() > 40; }, Seconds(3))) << pixel(153, 230);
    pointer({}, 320, 120);
    EXPECT_TRUE(waitUntil([&] { return blueness() < 10; }, Seconds(3))) << pixel(153, 230);
    pointer({"mouseup", "1"}, 320, 120);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(opened().size(), 2u);
    EXPECT_TRUE(app_->running());

    sendDeleteWindow(x_, window_);
    expectCleanExit();
}

// A stop signal closes the window like a close request.
TEST_F(AboutX11ButtonTest, TerminationSignalEndsWithCodeZero) {
    launch("/c");
    app_->signal(SIGTERM);
    expectCleanExit();
}

// The outer size and place of a window: the client's, grown by the frame
// extents the window manager set on it (none without one).
WindowInfo outerOf(Display* x, const WindowInfo& client) {
    long extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, client.id, XInternAtom(x, "_NET_FRAME_EXTENTS", False), 0, 4, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 4) {
        for (int i = 0; i < 4; ++i) extents[i] = reinterpret_cast<long*>(data)[i];
    }
    if (data) XFree(data);
    WindowInfo outer = client;
    outer.x -= static_cast<int>(extents[0]);
    outer.y -= static_cast<int>(extents[2]);
    outer.width += static_cast<int>(extents[0] + extents[1]);
    outer.height += static_cast<int>(extents[2] + extents[3]);
    return outer;
}

void expectEndsOnStop(Process& app) {
    app.signal(SIGTERM);
    const std::optional<int> code = app.wait(Seconds(5));
    ASSERT_TRUE(code) << "still running";
    EXPECT_EQ(*code, 0);
}

// Two monitors side by side: the window is centred on the primary one, not
// across the seam in the middle of the screen.
TEST(AboutPlacement, CentredOnThePrimaryMonitor) {
    VirtualDisplay x(3200, 1080);
    ASSERT_TRUE(x.ok());
    ASSERT_TRUE(splitIntoTwoMonitors(x.name()));
    Process app({lumeridgeExe(), "/c"}, childEnvironment(x.name()));
    const std::optional<WindowInfo> w = waitForTopLevel(x.connection(), "About", Seconds(10));
    ASSERT_TRUE(w) << app.stderrText();
    EXPECT_EQ(w->x, 1280 + 760);
    EXPECT_EQ(w->y, 390);
    expectEndsOnStop(app);
}

// Under a window manager the frame is part of the 400 x 300, as on Windows,
// and it is the frame that is centred.
TEST(AboutPlacement, OuterSizeUnderAWindowManager) {
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    const std::unique_ptr<Process> wm = startWindowManager(x.connection(), x.name());
    if (!wm) GTEST_SKIP() << "needs openbox";
    Process app({lumeridgeExe(), "/c"}, childEnvironment(x.name()));
    std::optional<WindowInfo> client;
    WindowInfo outer;
    const bool settled = waitUntil(
        [&] {
            client = waitForFramedClient(x.connection(), "About", Seconds(0));
            if (client) outer = outerOf(x.connection(), *client);
            return client && outer.width == 400 && outer.height == 300 && outer.width > client->width;
        },
        Seconds(10));
    ASSERT_TRUE(client) << "no framed window \"About\"; " << app.stderrText();
    EXPECT_TRUE(settled) << "client " << client->width << " x " << client->height << ", outer " << outer.width << " x "
                         << outer.height;
    EXPECT_EQ(outer.x, 760);
    EXPECT_EQ(outer.y, 390);
    expectEndsOnStop(app);
}

// A window the server turns away is reported, and the program ends instead
// of waiting for events of a window that does not exist.
TEST(AboutRefused, ShowsTheErrorBoxAndEnds) {
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    Process app({lumeridgeExe(), "/c"}, refusingFirstWindow(x.name()));
    const std::optional<WindowInfo> box = waitForTopLevel(x.connection(), "Error!", Seconds(10));
    ASSERT_TRUE(box) << "no box \"Error!\"; " << app.stderrText();
    EXPECT_EQ(countViewableTopLevels(x.connection(), "About"), 0);
    EXPECT_NE(app.stderrText().find("Error!: Window Creation Failed!"), std::string::npos) << app.stderrText();
    sendDeleteWindow(x.connection(), box->id);
    const std::optional<int> code = app.wait(Seconds(5));
    ASSERT_TRUE(code) << "still running after the box was closed";
    EXPECT_EQ(*code, 0);
}

TEST(AboutNoDisplay, ReturnsAtOnceWithCodeZero) {
    for (const char* display : {"", ":65000"}) {
        Process app({lumeridgeExe(), "/c"}, childEnvironment(display));
        EXPECT_EQ(app.wait(Seconds(10)), 0) << "DISPLAY=" << display;
    }
}

}  // namespace
