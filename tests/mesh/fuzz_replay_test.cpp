// Replays every committed fuzz corpus and regression input through the same
// code the fuzz targets run, so the normal test suite keeps them passing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"

namespace {

namespace fs = std::filesystem;

using Runner = bool (*)(const std::uint8_t*, std::size_t);

// Every regular file of corpus/<target>/ and regressions/<target>/, hidden
// files (the folder keepers) left out.
std::vector<fs::path> inputsOf(const std::string& target) {
    std::vector<fs::path> files;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(LUMERIDGE_FUZZ_DIR) / kind / target;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

void replay(const std::string& target, Runner run, std::size_t minimumSeeds) {
    const std::vector<fs::path> files = inputsOf(target);
    EXPECT_GE(files.size(), minimumSeeds) << "corpus of " << target << " missing";
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())) << file;
    }
}

TEST(FuzzReplay, ObjReader) { replay("obj", fuzz_inputs::runObjInput, 5); }
TEST(FuzzReplay, MtlReader) { replay("mtl", fuzz_inputs::runMtlInput, 2); }
TEST(FuzzReplay, CommandLine) { replay("command_line", fuzz_inputs::runCommandLineInput, 3); }
TEST(FuzzReplay, Photo) { replay("photo", fuzz_inputs::runPhotoInput, 5); }

TEST(FuzzReplay, ObjInputSplitsByLengthPrefix) {
    std::string mtl, obj;
    const std::uint8_t input[] = {3, 0, 'a', 0, 'b', 'v', 0};
    fuzz_inputs::splitObjInput(input, sizeof input, mtl, obj);
    EXPECT_EQ(mtl, std::string("a\0b", 3));
    EXPECT_EQ(obj, std::string("v\0", 2));
    const std::uint8_t longPrefix[] = {0xFF, 0xFF, 'x'};
    fuzz_inputs::splitObjInput(longPrefix, sizeof longPrefix, mtl, obj);
    EXPECT_EQ(mtl, "x");
    EXPECT_EQ(obj, "");
}

}  // namespace
