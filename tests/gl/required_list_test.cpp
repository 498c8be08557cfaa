// The list of OpenGL functions the loader checks must be exactly the set the
// program's sources use: a function missing from it would be called unchecked,
// an extra one would turn away a context the program could run on.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::set<std::string> tableNames() {
    return {
#define LUMERIDGE_GL_ENTRY(name, type) #name,
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY
    };
}

std::set<std::string> listedNames() {
    return {
#define LUMERIDGE_GL_REQUIRED(name, extension) #name,
#include "gfx/gl_required_functions.inc"
#undef LUMERIDGE_GL_REQUIRED
    };
}

// The source with comments, string and character literals blanked out.
std::string codeOnly(const std::string& s) {
    std::string out(s.size(), ' ');
    enum { Code, Line, Block, Quoted } state = Code;
    char quote = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        switch (state) {
            case Code:
                if (c == '/' && next == '/')
                    state = Line;
                else if (c == '/' && next == '*')
                    state = Block, ++i;
                else if (c == '"' || c == '\'')
                    state = Quoted, quote = c;
                else
                    out[i] = c;
                break;
            case Line:
                if (c == '\n') state = Code, out[i] = c;
                break;
            case Block:
                if (c == '*' && next == '/') state = Code, ++i;
                break;
            case Quoted:
                if (c == '\\')
                    ++i;
                else if (c == quote)
                    state = Code;
                break;
        }
    }
    return out;
}

bool identifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Every entry-point name the code mentions, spelled glXxx or lumeridge_glXxx.
void collectUses(const std::string& code, const std::set<std::string>& table, std::set<std::string>& uses) {
    for (std::size_t i = 0; i < code.size();) {
        if (!identifierChar(code[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < code.size() && identifierChar(code[end])) ++end;
        std::string word = code.substr(i, end - i);
        if (word.rfind("lumeridge_", 0) == 0) word.erase(0, 10);
        if (table.count(word)) uses.insert(word);
        i = end;
    }
}

std::string listOf(const std::set<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += " " + n;
    return out;
}

TEST(RequiredList, IsExactlyTheOpenGlFunctionsTheSourcesUse) {
    const std::set<std::string> table = tableNames();
    const fs::path root = LUMERIDGE_SOURCE_DIR;
    std::set<std::string> uses;
    int files = 0;
    for (const char* area : {"app", "gfx", "scene", "mesh", "platform"}) {
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(root / area)) {
            const fs::path& p = e.path();
            if (p.extension() != ".cpp" && p.extension() != ".h") continue;
            // The loader tests each pointer before its own calls.
            if (p.lexically_relative(root) == fs::path("gfx/gl_loader.cpp")) continue;
            std::ifstream in(p, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            collectUses(codeOnly(text.str()), table, uses);
            ++files;
        }
    }
    ASSERT_GT(files, 10);
    ASSERT_TRUE(uses.count("glDrawElements"));  // the scan sees real calls

    const std::set<std::string> listed = listedNames();
    std::set<std::string> unlisted, unused;
    for (const std::string& n : uses)
        if (!listed.count(n)) unlisted.insert(n);
    for (const std::string& n : listed)
        if (!uses.count(n)) unused.insert(n);
    EXPECT_TRUE(unlisted.empty()) << "used but not in gfx/gl_required_functions.inc:" << listOf(unlisted);
    EXPECT_TRUE(unused.empty()) << "in gfx/gl_required_functions.inc but not used:" << listOf(unused);
}

}  // namespace
