// The Linux option that names a folder of photographs: `--photos DIR`,
// `-photos DIR` or `--photos=DIR`, taken out of the arguments before the
// rest is read as the Windows-style command line (a folder's slashes would
// read as switches there).
#pragma once

#include <string>
#include <vector>

struct PhotosOption {
    std::vector<std::string> rest;  // the other arguments, in order
    std::string folder;             // the last folder given
    bool given = false;
    bool missingFolder = false;     // the option came last, with nothing after it
};

PhotosOption takePhotosOption(const std::vector<std::string>& arguments);
