// Finding the photographs in a folder of the user's and reading one file.
// Linux back end only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace photo {

// How far the search goes: folders below the given one, entries looked at
// (files and folders, all levels), photographs kept.
struct SearchBounds {
    int maxDepth = 8;
    std::size_t maxEntries = 20000;
    std::size_t maxPhotos = 5000;
};

// A name the search takes: ends in .jpg, .jpeg or .png (any case) and does
// not start with a dot.
bool isPhotoName(const std::string& name);

// The photographs under `folder`, sorted. Hidden files and folders are left
// out; folders reached twice (through links) are searched once. An empty
// list when the folder cannot be read; *openError then holds errno.
std::vector<std::string> findPhotos(const std::string& folder, const SearchBounds& bounds, int* openError);

// Up to `tries` different indices below `count`, in a random order drawn
// from `seed`.
std::vector<std::size_t> pickOrder(std::size_t count, std::size_t tries, std::uint32_t seed);

// The whole content of a regular file of at most `maxBytes` bytes. Never
// blocks on a pipe or device that has an image's name.
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>* bytes,
                     const char** problem);

// The image folder named by the text of an ~/.xscreensaver file: the value
// of its imageDirectory line, with a leading ~ replaced by `home`. "" when
// the line is missing or empty, names a URL (a feed, not a folder), or
// chooseRandomImages is False.
std::string xscreensaverImageFolderIn(const std::string& settings, const std::string& home);

}  // namespace photo
