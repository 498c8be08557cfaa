// The Windows program reads no files: no photograph, no image folder.
#include "platform/platform.h"

namespace platform {

bool loadPhoto(const char*, int, unsigned char*) { return false; }

std::string xscreensaverImageFolder() { return std::string(); }

}  // namespace platform
