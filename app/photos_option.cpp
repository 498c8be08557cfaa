#include "app/photos_option.h"

PhotosOption takePhotosOption(const std::vector<std::string>& arguments) {
    static const std::string kInline = "--photos=";
    PhotosOption option;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--photos" || a == "-photos") {
            if (i + 1 == arguments.size()) {
                option.missingFolder = true;
                break;
            }
            option.folder = arguments[++i];
            option.given = true;
        } else if (a.compare(0, kInline.size(), kInline) == 0) {
            option.folder = a.substr(kInline.size());
            option.given = true;
        } else {
            option.rest.push_back(a);
        }
    }
    return option;
}
