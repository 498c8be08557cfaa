#include "platform/linux/photo_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <random>
#include <set>
#include <utility>

namespace photo {

namespace {

bool endsWith(const std::string& name, const char* suffix) {
    const std::size_t n = std::char_traits<char>::length(suffix);
    if (name.size() <= n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != suffix[i]) return false;
    }
    return true;
}

struct Search {
    const SearchBounds& bounds;
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<std::string> photos;
    std::size_t entries = 0;

    bool full() const { return entries >= bounds.maxEntries || photos.size() >= bounds.maxPhotos; }

    // Returns errno when the folder itself cannot be opened, else 0.
    int walk(const std::string& folder, int depth) {
        struct stat info;
        if (::stat(folder.c_str(), &info) != 0) return errno;
        if (!S_ISDIR(info.st_mode)) return ENOTDIR;
        if (!seen.insert({info.st_dev, info.st_ino}).second) return 0;
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) return errno;
        std::vector<std::string> subfolders;
        while (!full()) {
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr) break;
            const std::string name = entry->d_name;
            if (name.empty() || name[0] == '.') continue;
            ++entries;
            const std::string path = folder + "/" + name;
            // stat follows links; a link loop or a dangling link fails here.
            if (::stat(path.c_str(), &info) != 0) continue;
            if (S_ISDIR(info.st_mode)) {
                if (depth < bounds.maxDepth) subfolders.push_back(path);
            } else if (S_ISREG(info.st_mode) && isPhotoName(name)) {
                photos.push_back(path);
            }
        }
        ::closedir(dir);
        std::sort(subfolders.begin(), subfolders.end());
        for (const std::string& sub : subfolders) {
            if (full()) break;
            walk(sub, depth + 1);
        }
        return 0;
    }
};

}  // namespace

bool isPhotoName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    return endsWith(name, ".jpg") || endsWith(name, ".jpeg") || endsWith(name, ".png");
}

std::vector<std::string> findPhotos(const std::string& folder, const SearchBounds& bounds, int* openError) {
    Search search{bounds, {}, {}, 0};
    const int error = folder.empty() ? ENOENT : search.walk(folder, 0);
    if (openError != nullptr) *openError = error;
    std::sort(search.photos.begin(), search.photos.end());
    return search.photos;
}

std::vector<std::size_t> pickOrder(std::size_t count, std::size_t tries, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::size_t> order;
    if (count == 0) return order;
    std::uniform_int_distribution<std::size_t> pick(0, count - 1);
    const std::size_t n = std::min(count, tries);
    while (order.size() < n) {
        const std::size_t i = pick(random);
        if (std::find(order.begin(), order.end(), i) == order.end()) order.push_back(i);
    }
    return order;
}

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>* bytes,
                     const char** problem) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = errno == ELOOP ? "symbolic link loop" : "cannot be opened";
        return false;
    }
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) {
        *problem = "not a regular file";
    } else if (info.st_size <= 0) {
        *problem = "empty file";
        ok = false;
    } else if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        *problem = "file too large";
        ok = false;
    }
    if (ok) {
        bytes->resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        while (done < bytes->size()) {
            const ssize_t n = ::read(fd, bytes->data() + done, bytes->size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        bytes->resize(done);  // a file that shrank while read: what was there
        if (done == 0) {
            *problem = "cannot be read";
            ok = false;
        }
    }
    ::close(fd);
    return ok;
}

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t a = text.find_first_not_of(" \t\r");
    if (a == std::string::npos) return std::string();
    const std::size_t b = text.find_last_not_of(" \t\r");
    return text.substr(a, b - a + 1);
}

}  // namespace

std::string xscreensaverImageFolderIn(const std::string& settings, const std::string& home) {
    std::string folder;
    bool chooseImages = true;
    std::size_t start = 0;
    while (start < settings.size()) {
        std::size_t end = settings.find('\n', start);
        if (end == std::string::npos) end = settings.size();
        const std::string line = settings.substr(start, end - start);
        start = end + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string name = trimmed(line.substr(0, colon));
        const std::string value = trimmed(line.substr(colon + 1));
        if (name == "imageDirectory") folder = value;
        if (name == "chooseRandomImages") chooseImages = value != "False" && value != "false";
    }
    if (!chooseImages || folder.find("://") != std::string::npos) return std::string();
    if (folder == "~" || folder.rfind("~/", 0) == 0) folder = home + folder.substr(1);
    return folder;
}

}  // namespace photo
