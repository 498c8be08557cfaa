#include "app/host_options.h"

#include <cstring>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The option's name without its one or two leading dashes, or empty when
// `arg` is no option.
std::string optionName(const std::string& arg) {
    if (arg.size() >= 3 && arg[0] == '-' && arg[1] == '-') return arg.substr(2);
    if (arg.size() >= 2 && arg[0] == '-' && arg[1] != '-') return arg.substr(1);
    return std::string();
}

// Error texts quote what the user gave, cut short and with control
// characters shown as '?', so that the message stays one readable line.
std::string quoted(const std::string& text) {
    constexpr std::size_t kLongest = 64;
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < kLongest; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
    }
    if (text.size() > kLongest) out += "...";
    return out + "\"";
}

LaunchOptions failure(std::string text) {
    LaunchOptions out;
    out.action = LaunchAction::Error;
    out.error = std::move(text);
    return out;
}

}  // namespace

bool parseWindowId(const std::string& text, std::intptr_t* id) {
    std::size_t i = 0, end = text.size();
    while (i < end && isBlank(text[i])) ++i;
    while (end > i && isBlank(text[end - 1])) --end;
    int base = 10;
    if (end - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == end) return false;
    unsigned long long value = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull) return false;
    }
    if (value == 0) return false;
    *id = static_cast<std::intptr_t>(value);
    return true;
}

bool parseFrameDelay(const std::string& text, double* period) {
    if (text.empty() || text.size() > 7) return false;
    long microseconds = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        microseconds = microseconds * 10 + (c - '0');
    }
    if (microseconds > kLongestFrameDelay) return false;
    *period = static_cast<double>(microseconds) / 1e6;
    return true;
}

LaunchOptions parseLaunchOptions(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    std::string photos;
    double framePeriod = kDefaultFramePeriod;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (optionName(args[i]) == "photos") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return failure(args[i] + " needs a folder");
            photos = args[++i];
        } else if (optionName(args[i]) == "delay") {
            if (i + 1 >= args.size()) return failure(args[i] + " needs a number of microseconds");
            if (!parseFrameDelay(args[i + 1], &framePeriod)) {
                return failure(args[i] + " " + quoted(args[i + 1]) + " is not a number of microseconds from 0 to " +
                               std::to_string(kLongestFrameDelay));
            }
            ++i;
        } else {
            rest.push_back(args[i]);
        }
    }

    LaunchOptions out;
    out.line.photosDirectory = photos;
    out.line.framePeriod = framePeriod;
    const bool variableSet = xscreensaverWindow != nullptr && *xscreensaverWindow != '\0';

    if (!rest.empty() && !rest[0].empty() && rest[0][0] == '-') {
        bool root = false, help = false, add = false, windowGiven = false;
        std::intptr_t window = 0;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            const std::string name = optionName(rest[i]);
            if (name == "root") {
                root = true;
            } else if (name == "help" || name == "h") {
                help = true;
            } else if (name == "add-to-xscreensaver") {
                add = true;
            } else if (name == "window-id") {
                if (i + 1 >= rest.size()) return failure(rest[i] + " needs a window id");
                if (!parseWindowId(rest[i + 1], &window)) {
                    return failure(rest[i] + " " + quoted(rest[i + 1]) + " is not a window id");
                }
                windowGiven = true;
                ++i;
            } else if (rest[i].size() > 1 && rest[i][0] == '-') {
                return failure("unknown option " + quoted(rest[i]) + " (--help lists them)");
            } else {
                return failure("unexpected argument " + quoted(rest[i]) + " (--help lists the options)");
            }
        }
        if (help) {
            out.action = LaunchAction::Help;
            return out;
        }
        if (add) {
            out.action = LaunchAction::AddToXScreenSaver;
            return out;
        }
        if (windowGiven) {
            out.line.mode = ScreensaverMode::Host;
            out.line.parentWindow = window;
            return out;
        }
        if (!root && !variableSet) return out;  // options that name no mode: full screen, as a bare start
    } else if (!rest.empty() || !variableSet) {
        std::string text;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (i > 0) text += ' ';
            text += rest[i];
        }
        CommandLine windows = parseCommandLine(text.c_str());
        windows.photosDirectory = photos;
        windows.framePeriod = framePeriod;
        out.line = windows;
        return out;
    }

    // --root, or the variable alone: the host's window, else the root window.
    out.line.mode = ScreensaverMode::Host;
    if (variableSet) {
        if (!parseWindowId(xscreensaverWindow, &out.line.parentWindow)) {
            return failure("XSCREENSAVER_WINDOW=" + quoted(xscreensaverWindow) + " is not a window id");
        }
    }
    return out;
}

const char* launchUsage() {
    return "Usage: lumeridge [--root] [--window-id ID] [--photos DIR] [--delay USEC]\n"
           "       lumeridge --add-to-xscreensaver\n"
           "       lumeridge [/s | /p ID | /c]\n"
           "Raindrops falling on a pond, leaving ripples over a picture.\n"
           "\n"
           "  --root, -root           draw into the window named by $XSCREENSAVER_WINDOW,\n"
           "                          or into the root window when it is unset\n"
           "  --window-id ID          draw into window ID (hex 0x... or decimal); wins over\n"
           "                          --root and $XSCREENSAVER_WINDOW\n"
           "  --photos DIR            take the picture from the photographs in DIR\n"
           "  --delay USEC            at least USEC microseconds from one frame to the\n"
           "                          next (default 16667: 60 frames a second; 0: as\n"
           "                          many as the display takes)\n"
           "  --add-to-xscreensaver   add Lumeridge to the list in ~/.xscreensaver\n"
           "  --help                  show this text\n"
           "  /s                      full screen; any key or mouse button ends it\n"
           "  /p ID                   preview in window ID (decimal)\n"
           "  /c                      the About window\n"
           "\n"
           "With no switch it runs full screen, or in the host's window when\n"
           "$XSCREENSAVER_WINDOW is set. In a host's window input is left to the host;\n"
           "SIGTERM or SIGINT ends it.\n";
}
