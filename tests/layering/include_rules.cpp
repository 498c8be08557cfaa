#include "tests/layering/include_rules.h"

#include <map>
#include <set>
#include <sstream>

namespace layering {
namespace {

// Which of our folders each layer may include (besides itself).
const std::map<std::string, std::set<std::string>>& ownEdges() {
    static const std::map<std::string, std::set<std::string>> edges = {
        {"math", {}},
        {"platform", {"resources"}},
        {"mesh", {"math", "platform", "resources"}},
        {"gfx", {"math", "mesh", "platform", "resources"}},
        {"scene", {"math", "gfx", "platform", "resources"}},
        {"app", {"math", "mesh", "gfx", "scene", "platform", "resources"}},
    };
    return edges;
}

// Headers other than the C++ standard library's. The platform layer is the
// operating-system seam and may include any; the others only these.
const std::map<std::string, std::set<std::string>>& systemHeaders() {
    static const std::map<std::string, std::set<std::string>> headers = {
        {"math", {}},
        {"mesh", {}},
        {"gfx", {"GL/glcorearb.h", "GLFW/glfw3.h"}},  // gfx sets up the context
        {"scene", {"GLFW/glfw3.h"}},
        {"app", {"GLFW/glfw3.h"}},
    };
    return headers;
}

// Files outside the table's rule: the entry points are the one place the
// operating system's own main function is written.
const std::map<std::string, std::set<std::string>>& fileExceptions() {
    static const std::map<std::string, std::set<std::string>> files = {
        {"app/main_win32.cpp", {"windows.h"}},
        {"app/main_linux.cpp", {"unistd.h"}},  // the restart in place (execv)
    };
    return files;
}

// <vector>, <cstdint>: no folder and no extension.
bool isStandardHeader(const std::string& name) { return name.find_first_of("./") == std::string::npos; }

std::string firstFolder(const std::string& path) {
    const std::size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The target of an #include line, with its delimiters; false for other lines.
bool parseInclude(const std::string& line, char* open, std::string* target) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return false;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) return false;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '"' && line[i] != '<')) return false;
    const char close = line[i] == '"' ? '"' : '>';
    const std::size_t end = line.find(close, i + 1);
    if (end == std::string::npos) return false;
    *open = line[i];
    *target = line.substr(i + 1, end - i - 1);
    return true;
}

}  // namespace

const std::vector<std::string>& productLayers() {
    static const std::vector<std::string> layers = {"math", "platform", "mesh", "gfx", "scene", "app"};
    return layers;
}

std::vector<Violation> checkIncludes(const std::string& file, const std::string& text) {
    std::vector<Violation> found;
    const std::string layer = firstFolder(file);
    const auto edges = ownEdges().find(layer);
    if (edges == ownEdges().end()) {
        found.push_back({file, 0, "", "the file is in no layer of the table"});
        return found;
    }
    const auto exceptions = fileExceptions().find(file);
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        char open = 0;
        std::string target;
        if (!parseInclude(line, &open, &target)) continue;
        if (open == '"') {
            const std::string to = firstFolder(target);
            if (to.empty()) {
                found.push_back({file, number, "\"" + target + "\"", "includes are written from the source root"});
            } else if (to != layer && edges->second.count(to) == 0) {
                found.push_back({file, number, "\"" + target + "\"", layer + " may not include " + to});
            }
            continue;
        }
        if (layer == "platform" || isStandardHeader(target)) continue;
        if (exceptions != fileExceptions().end() && exceptions->second.count(target) != 0) continue;
        const auto allowed = systemHeaders().find(layer);
        if (allowed->second.count(target) == 0) {
            found.push_back(
                {file, number, "<" + target + ">", layer + " may not include a system header other than the table's"});
        }
    }
    return found;
}

std::string describe(const Violation& v) {
    std::ostringstream out;
    out << v.file << ":" << v.line << ": #include " << v.include << ": " << v.reason;
    return out.str();
}

}  // namespace layering
