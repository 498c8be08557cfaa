#include "app/xscreensaver_list.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kHackFolder = "/usr/libexec/xscreensaver/";
constexpr const char* kProgramsHeader = "programs:\t\t\t\t\t\t\t      \\\n";

// Physical lines, each with its '\n' (the last one may lack it).
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

std::string withoutNewline(const std::string& line) {
    std::size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n') --end;
    if (end > 0 && line[end - 1] == '\r') --end;
    return line.substr(0, end);
}

bool continues(const std::string& line) {
    const std::string body = withoutNewline(line);
    return !body.empty() && body.back() == '\\';
}

std::string trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return std::string();
    const std::size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// The program a programs-list line runs: "[-] [visual:] ["Name"] command".
std::string programOf(std::string line) {
    line = trim(line);
    if (line.size() >= 3 && line.compare(line.size() - 3, 3, "\\n\\") == 0)
        line.resize(line.size() - 3);
    else if (!line.empty() && line.back() == '\\')
        line.pop_back();
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\\n") == 0) line.resize(line.size() - 2);
    line = trim(line);
    if (!line.empty() && line[0] == '-') line = trim(line.substr(1));
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && line.find_first_of(" \t\"") > colon) line = trim(line.substr(colon + 1));
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        line = close == std::string::npos ? std::string() : trim(line.substr(close + 1));
    }
    const std::string command = line.substr(0, line.find_first_of(" \t"));
    const std::size_t slash = command.rfind('/');
    return slash == std::string::npos ? command : command.substr(slash + 1);
}

// One setting: its first physical line and how many lines it spans.
struct Setting {
    std::string name;
    std::size_t first = 0, count = 0;
};

// The settings of a resource file, or false with `reason` when a line is
// neither a setting, a comment nor blank.
bool readSettings(const std::vector<std::string>& lines, std::vector<Setting>* settings, std::string* reason) {
    for (std::size_t i = 0; i < lines.size();) {
        const std::string body = trim(withoutNewline(lines[i]));
        if (body.empty() || body[0] == '!' || body[0] == '#') {
            ++i;
            continue;
        }
        const std::size_t colon = body.find(':');
        if (colon == std::string::npos) {
            *reason = "line " + std::to_string(i + 1) + " is not a setting";
            return false;
        }
        Setting setting;
        setting.name = trim(body.substr(0, colon));
        setting.first = i;
        do {
            ++setting.count;
        } while (continues(lines[i++]) && i < lines.size());
        settings->push_back(setting);
    }
    return true;
}

bool isPrograms(const std::string& name) { return name == "programs" || name == "*programs"; }

std::string join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line;
    return out;
}

}  // namespace

std::string lumeridgeEntry(const std::string& executable) {
    const fs::path path(executable);
    const std::string command =
        path.parent_path().string() + "/" == kHackFolder || executable.empty() ? "lumeridge" : executable;
    return "  GL:\t\t\t\t\"Lumeridge\" " + command + " --root\t\t\t    \\n\\\n";
}

ListEdit addToPrograms(const std::string& fileText, const std::string& entry) {
    ListEdit edit;
    if (fileText.find('\0') != std::string::npos) {
        edit.reason = "it is not a text file";
        return edit;
    }
    std::vector<std::string> lines = splitLines(fileText);
    std::vector<Setting> settings;
    if (!readSettings(lines, &settings, &edit.reason)) return edit;

    const Setting* programs = nullptr;
    for (const Setting& s : settings) {
        if (!isPrograms(s.name)) continue;
        if (programs != nullptr) {
            edit.reason = "it has two programs: settings";
            return edit;
        }
        programs = &s;
    }
    if (programs == nullptr) {
        std::string text = fileText;
        if (!text.empty() && text.back() != '\n') text += '\n';
        std::string last = entry;
        last.erase(last.rfind("\\n\\"));
        edit.text = text + "\n" + kProgramsHeader + last + "\\n\n";
        edit.outcome = ListEdit::Outcome::Added;
        return edit;
    }
    for (std::size_t i = programs->first; i < programs->first + programs->count; ++i) {
        std::string line = withoutNewline(lines[i]);
        if (i == programs->first) line = line.substr(line.find(':') + 1);
        if (programOf(line) == "lumeridge") {
            edit.outcome = ListEdit::Outcome::AlreadyListed;
            return edit;
        }
    }
    if (!continues(lines[programs->first])) {
        edit.reason = "its programs: setting is not in the form XScreenSaver writes (one entry per line)";
        return edit;
    }
    if (lines[programs->first].back() != '\n') lines[programs->first] += '\n';
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(programs->first + 1), entry);
    edit.text = join(lines);
    edit.outcome = ListEdit::Outcome::Added;
    return edit;
}

std::string newListFromDefaults(const std::string& defaultsText, const std::string& entry) {
    const std::string head =
        "# XScreenSaver Preferences File\n"
        "# Written by lumeridge --add-to-xscreensaver from the system defaults.\n\n";
    const std::vector<std::string> lines = splitLines(defaultsText);
    std::vector<Setting> settings;
    std::string reason;
    readSettings(lines, &settings, &reason);
    for (const Setting& s : settings) {
        if (!isPrograms(s.name) || s.count < 2 || !continues(lines[s.first])) continue;
        std::vector<std::string> block(lines.begin() + static_cast<std::ptrdiff_t>(s.first + 1),
                                       lines.begin() + static_cast<std::ptrdiff_t>(s.first + s.count));
        std::string text = head + kProgramsHeader + entry + join(block);
        if (text.back() != '\n') text += '\n';
        return text;
    }
    const ListEdit edit = addToPrograms("", entry);
    return head + edit.text.substr(1);
}

namespace {

bool readWhole(const fs::path& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeWhole(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// Writes `text` to a new file beside `target` and renames it over `target`:
// a reader sees the old file or the new one, never half of it.
bool replaceAtomically(const fs::path& target, const std::string& text, fs::perms permissions) {
    const fs::path temporary = target.string() + ".lumeridge-new";
    std::error_code error;
    if (!writeWhole(temporary, text)) {
        fs::remove(temporary, error);
        return false;
    }
    fs::permissions(temporary, permissions, error);
    fs::rename(temporary, target, error);
    if (error) fs::remove(temporary, error);
    return !error;
}

int leftUntouched(const fs::path& path, const std::string& why, const std::string& entry) {
    std::fprintf(stderr,
                 "lumeridge: %s left untouched: %s.\n"
                 "Add this line below \"programs:\" yourself:\n%s",
                 path.string().c_str(), why.c_str(), entry.c_str());
    return 1;
}

}  // namespace

int addToXScreenSaverList(const char* executable) {
    const std::string entry = lumeridgeEntry(executable ? executable : "");
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        std::fprintf(stderr, "lumeridge: HOME is not set, so there is no ~/.xscreensaver to add to\n");
        return 1;
    }
    fs::path path = fs::path(home) / ".xscreensaver";
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        std::string defaults;
        for (const char* candidate :
             {"/etc/X11/app-defaults/XScreenSaver", "/usr/share/X11/app-defaults/XScreenSaver"}) {
            if (readWhole(candidate, &defaults)) break;
        }
        if (!replaceAtomically(path, newListFromDefaults(defaults, entry), fs::perms(0644))) {
            std::fprintf(stderr, "lumeridge: cannot write %s\n", path.string().c_str());
            return 1;
        }
        std::printf("Created %s with Lumeridge in its list.\n", path.string().c_str());
        return 0;
    }
    if (fs::is_symlink(fs::symlink_status(path, error))) path = fs::canonical(path, error);
    if (error || !fs::is_regular_file(path, error)) return leftUntouched(path, "it is not a regular file", entry);
    std::string text;
    if (!readWhole(path, &text)) return leftUntouched(path, "it cannot be read", entry);

    const ListEdit edit = addToPrograms(text, entry);
    switch (edit.outcome) {
        case ListEdit::Outcome::AlreadyListed:
            std::printf("Lumeridge is already in the list in %s.\n", path.string().c_str());
            return 0;
        case ListEdit::Outcome::NotUnderstood: return leftUntouched(path, edit.reason, entry);
        case ListEdit::Outcome::Added: break;
    }
    const fs::path backup = path.string() + ".bak";
    const fs::perms permissions = fs::status(path, error).permissions();
    if (!writeWhole(backup, text) || !replaceAtomically(path, edit.text, permissions)) {
        std::fprintf(stderr, "lumeridge: cannot write beside %s; it is left untouched\n", path.string().c_str());
        return 1;
    }
    std::printf("Added Lumeridge to the list in %s (the old file is %s).\n", path.string().c_str(),
                backup.string().c_str());
    return 0;
}
