// The text functions shared by the OBJ and MTL readers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "mesh/objl.h"

namespace {

using Parts = std::vector<std::string>;

TEST(KeywordOf, FirstWordBetweenBlanksAndTabs) {
    const struct {
        const char* line;
        const char* keyword;
    } cases[] = {
        {"", ""},          {"   \t ", ""},       {"v  -1.0 1.0", "v"},
        {"\tNs 32", "Ns"}, {"newmtl", "newmtl"}, {"usemtl\tname", "usemtl"},
        {"Ns\r", "Ns\r"},  // a carriage return is not white space
    };
    for (const auto& c : cases) EXPECT_EQ(objl::keywordOf(c.line), c.keyword) << '"' << c.line << '"';
}

TEST(RestOf, WhatFollowsTheFirstWordTrimmed) {
    const struct {
        const char* line;
        const char* rest;
    } cases[] = {
        {"v  -1.0000 1.0000 0.0000", "-1.0000 1.0000 0.0000"},
        {"f 1/1/1 2/2/1 3/3/1 ", "1/1/1 2/2/1 3/3/1"},
        {"Ns 32\r", "32\r"},
        {"\tKa 0.1 0.2\t ", "0.1 0.2"},
        {"newmtl", ""},
        {"newmtl  ", ""},
        {"", ""},
        {"  \t", ""},
        {"o  a b ", "a b"},
    };
    for (const auto& c : cases) EXPECT_EQ(objl::restOf(c.line), c.rest) << '"' << c.line << '"';
}

TEST(SplitOn, Examples) {
    const struct {
        const char* text;
        const char* delimiter;
        Parts parts;
    } cases[] = {
        {"1/1/1", "/", {"1", "1", "1"}},
        {"1//3", "/", {"1", "", "3"}},
        {"1/2/", "/", {"1", "2"}},
        {"/1", "/", {"", "1"}},
        {"", "/", {}},
        {"7", "/", {"7"}},
        {"a  b", " ", {"a", "", "b"}},
        {"//", "/", {"", ""}},
        {"ab--cd", "--", {"ab", "cd"}},
        {"1 2 3", "", {"1 2 3"}},
    };
    for (const auto& c : cases) EXPECT_EQ(objl::splitOn(c.text, c.delimiter), c.parts) << '"' << c.text << '"';
}

TEST(TrimLineBreaks, CutsTrailingCarriageReturnsAndFeeds) {
    EXPECT_EQ(objl::trimLineBreaks("name\r"), "name");
    EXPECT_EQ(objl::trimLineBreaks("name\r\n\r"), "name");
    EXPECT_EQ(objl::trimLineBreaks("a\rb"), "a\rb");
    EXPECT_EQ(objl::trimLineBreaks("\r\n"), "\r\n");  // nothing else: unchanged
    EXPECT_EQ(objl::trimLineBreaks(""), "");
}

TEST(SplitLines, LineFeedsOnly) {
    EXPECT_EQ(objl::splitLines(""), Parts{});
    EXPECT_EQ(objl::splitLines("a\r\nb"), (Parts{"a\r", "b"}));
    EXPECT_EQ(objl::splitLines("a\n"), Parts{"a"});
    EXPECT_EQ(objl::splitLines("\n\n"), (Parts{"", ""}));
    EXPECT_EQ(objl::splitLines(std::string("a\0b\nc", 5)), (Parts{std::string("a\0b", 3), "c"}));
}

TEST(NumberConversion, FloatsReadUpToTheFirstForeignCharacter) {
    const struct {
        const char* text;
        bool ok;
        float value;
    } cases[] = {
        {"0.3412\r", true, 0.3412f}, {"  32", true, 32.0f},    {"-1.5e2x", true, -150.0f}, {"abc", false, 0.0f},
        {"", false, 0.0f},           {"1e99999", false, 0.0f}, {"1e-39", false, 0.0f},     {"-", false, 0.0f},
    };
    for (const auto& c : cases) {
        float value = 7.0f;
        EXPECT_EQ(objl::toFloat(c.text, value), c.ok) << c.text;
        EXPECT_FLOAT_EQ(value, c.ok ? c.value : 7.0f) << c.text;  // untouched on failure
    }
}

TEST(NumberConversion, IntegersAre32Bit) {
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"2", true, 2},
        {"-1", true, -1},
        {"12abc", true, 12},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999999", false, 0},
        {"x1", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t value = 7;
        EXPECT_EQ(objl::toInt(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 7) << c.text;
    }
}

TEST(Vector3, ExactEqualityAndNaN) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(objl::Vector3(0.0f, 1.0f, 2.0f) == objl::Vector3(-0.0f, 1.0f, 2.0f));
    EXPECT_TRUE(objl::Vector3(0.0f, 1.0f, 2.0f) != objl::Vector3(0.0f, 1.0f, 2.000001f));
    const objl::Vector3 withNaN(nan, 0.0f, 0.0f);
    EXPECT_FALSE(withNaN == withNaN);
    EXPECT_TRUE(withNaN != withNaN);
    const objl::Vector3 d = objl::Vector3(1, 2, 3) - objl::Vector3(0.5f, 4, -1);
    EXPECT_EQ(d.x, 0.5f);
    EXPECT_EQ(d.y, -2.0f);
    EXPECT_EQ(d.z, 4.0f);
}

}  // namespace
