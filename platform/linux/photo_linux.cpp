// platform::loadPhoto and platform::xscreensaverImageFolder for Linux.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/linux/photo_decode.h"
#include "platform/linux/photo_folder.h"
#include "platform/linux/photo_image.h"
#include "platform/platform.h"

namespace platform {

namespace {

constexpr std::size_t kTries = 3;
constexpr std::size_t kMaxFileBytes = 256u * 1024u * 1024u;
constexpr std::size_t kMaxSettingsBytes = 1024u * 1024u;

}  // namespace

bool loadPhoto(const char* folder, int side, unsigned char* rgb) {
    if (folder == nullptr || *folder == '\0' || side < 1 || rgb == nullptr) return false;
    int openError = 0;
    const std::vector<std::string> photos = photo::findPhotos(folder, photo::SearchBounds(), &openError);
    if (photos.empty()) {
        std::fprintf(stderr, "lumeridge: no photographs in %s%s%s; showing a built-in background\n", folder,
                     openError ? ": " : "", openError ? std::strerror(openError) : "");
        return false;
    }
    std::random_device entropy;
    std::string lastFile;
    const char* lastProblem = "";
    std::vector<std::uint8_t> bytes;
    for (std::size_t index : photo::pickOrder(photos.size(), kTries, entropy())) {
        const std::string& path = photos[index];
        photo::RgbImage image;
        if (photo::readRegularFile(path, kMaxFileBytes, &bytes, &lastProblem) &&
            photo::decodePhoto(bytes.data(), bytes.size(), side, &image, &lastProblem)) {
            photo::cropAndScaleSquare(image, side, rgb);
            return true;
        }
        lastFile = path;
    }
    std::fprintf(stderr, "lumeridge: no usable photograph in %s (%s: %s); showing a built-in background\n", folder,
                 lastFile.c_str(), lastProblem);
    return false;
}

std::string xscreensaverImageFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return std::string();
    std::vector<std::uint8_t> bytes;
    const char* problem = nullptr;
    if (!photo::readRegularFile(std::string(home) + "/.xscreensaver", kMaxSettingsBytes, &bytes, &problem)) {
        return std::string();
    }
    return photo::xscreensaverImageFolderIn(std::string(bytes.begin(), bytes.end()), home);
}

}  // namespace platform
