// imagegen: writes Lumeridge's generated image resources.
//
//   imagegen OUTDIR ITEM...
//
// Items: background:ID (ID 187..206; writes background_ID.bmp and a .png copy
// to look at), logo (logo.bmp), wide (wide.bmp), emblem (emblem.png),
// icon:102 / icon:113 (icon_ID.ico), contact (contact.png: every background
// at a quarter of its size, for looking at them side by side).
// Exit code 1 with a message when an item is unknown or a file cannot be written.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scene_util.h"

using namespace imagegen;

namespace {

Image downscale4(const Image& src) {
    Image out(src.w / 4, src.h / 4);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            Col s{};
            for (int j = 0; j < 4; ++j)
                for (int k = 0; k < 4; ++k) s += src.at(x * 4 + k, y * 4 + j);
            out.at(x, y) = s * (1.0f / 16);
        }
    return out;
}

bool fail(const std::string& what) {
    std::fprintf(stderr, "imagegen: %s\n", what.c_str());
    return false;
}

bool makeItem(const std::string& dir, const std::string& item) {
    if (item.rfind("background:", 0) == 0) {
        const int id = std::atoi(item.c_str() + 11);
        if (id < kFirstBackground || id >= kFirstBackground + kBackgroundCount) return fail("no background " + item);
        const Image img = renderBackground(id);
        const std::string base = dir + "/background_" + std::to_string(id);
        if (!writeBmp24(base + ".bmp", img)) return fail("cannot write " + base + ".bmp");
        if (!writePngRgb(base + ".png", img)) return fail("cannot write " + base + ".png");
        return true;
    }
    if (item == "logo") return writeBmp24(dir + "/logo.bmp", renderLogo()) || fail("cannot write logo.bmp");
    if (item == "wide") return writeBmp24(dir + "/wide.bmp", renderWide()) || fail("cannot write wide.bmp");
    if (item == "emblem")
        return writePngRgb(dir + "/emblem.png", renderEmblem(2400)) || fail("cannot write emblem.png");
    const std::string largeIcon = "icon:" + std::to_string(resource::kIcon);
    const std::string smallIcon = "icon:" + std::to_string(resource::kSmallIcon);
    if (item == largeIcon || item == smallIcon) {
        const int variant = item == largeIcon ? 0 : 1;
        std::vector<ImageRGBA> images;
        for (int size : {16, 32, 48, 256}) images.push_back(renderIcon(size, variant));
        const std::string path = dir + "/icon_" + item.substr(5) + ".ico";
        return writeIco(path, images) || fail("cannot write " + path);
    }
    if (item == "contact") {
        Image sheet(5 * 256 + 6 * 8, 4 * 256 + 5 * 8, rgb(0.1f, 0.1f, 0.1f));
        for (int k = 0; k < kBackgroundCount; ++k) {
            const Image small = downscale4(renderBackground(kFirstBackground + k));
            const int ox = 8 + (k % 5) * 264, oy = 8 + (k / 5) * 264;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) sheet.at(ox + x, oy + y) = small.at(x, y);
        }
        return writePngRgb(dir + "/contact.png", sheet) || fail("cannot write contact.png");
    }
    return fail("unknown item " + item);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: imagegen OUTDIR ITEM...\n");
        return 1;
    }
    for (int k = 2; k < argc; ++k) {
        const auto start = std::chrono::steady_clock::now();
        if (!makeItem(argv[1], argv[k])) return 1;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("imagegen: %-16s %7.0f ms\n", argv[k], ms);
    }
    return 0;
}
