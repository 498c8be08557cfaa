#include "scene/photo_background.h"

#include <cstddef>

#include "platform/platform.h"

namespace {

std::string& folderName() {
    static std::string folder;
    return folder;
}

}  // namespace

void setPhotosDirectory(const std::string& folder) { folderName() = folder; }

const std::string& photosDirectory() { return folderName(); }

std::vector<unsigned char> loadBackgroundPhoto(int side) {
    std::vector<unsigned char> rgb;
    if (photosDirectory().empty() || side < 1) return rgb;
    rgb.resize(static_cast<std::size_t>(side) * static_cast<std::size_t>(side) * 3u);
    if (!platform::loadPhoto(photosDirectory().c_str(), side, rgb.data())) rgb.clear();
    return rgb;
}
