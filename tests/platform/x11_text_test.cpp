// The word wrap shared by the message box and the About window, measured by
// a stand-in font: 10 pixels a character; a two-byte UTF-8 sequence counts
// once it is complete, so a prefix may end inside one and still fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/x11_text.h"

namespace {

int fixedWidth(const std::string& text) {
    int characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0xC0;  // lead bytes add nothing
    return 10 * characters;
}

struct WrapCase {
    const char* name;
    std::string text;
    int maxWidth;
    std::size_t maxLines;
    std::vector<std::string> lines;
};

void PrintTo(const WrapCase& c, std::ostream* out) { *out << c.name; }

class WrapLines : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapLines, BreaksAsTheDialogsShowIt) {
    const WrapCase& c = GetParam();
    EXPECT_EQ(platform::x11::wrapLines(c.text, c.maxWidth, fixedWidth, c.maxLines), c.lines);
}

const std::string kUmlauts = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC";  // six characters, twelve bytes

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapLines,
    ::testing::Values(
        WrapCase{"Empty", "", 50, 40, {""}}, WrapCase{"FitsExactly", "abcde", 50, 40, {"abcde"}},
        WrapCase{"AtTheLastBlankThatFits", "ab cd ef gh", 50, 40, {"ab cd", "ef gh"}},
        // The blanks that do not fit stay, unseen, at the end of the line.
        WrapCase{"BlankRunsDoNotStartALine", "abcd    efgh", 50, 40, {"abcd ", "efgh"}},
        WrapCase{"CrLfAndLfParagraphsAndTrailingBreak", "one\r\ntwo\nthree\r\n", 50, 40, {"one", "two", "three", ""}},
        WrapCase{"TabsAreBlanks", "ab\tcd\tef", 50, 40, {"ab cd", "ef"}},
        WrapCase{"LongWordIsCut", "abcdefghijkl xy", 50, 40, {"abcde", "fghij", "kl xy"}},
        WrapCase{
            "CutNeverSplitsAUtf8Sequence", kUmlauts, 40, 40, {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4", "\xC3\xB6\xC3\xBC"}},
        WrapCase{"AtMostMaxLines", "aa bb cc dd\nee", 20, 3, {"aa", "bb", "cc"}}),
    [](const ::testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.name); });

}  // namespace
