// Resources of the executable's own module.
#include <windows.h>

#include <cstring>

#include "platform/platform.h"

namespace platform {

Resource findResource(const char* type, int id) {
    // The resource script declares bitmaps with the predefined type, every
    // other resource with its type name.
    LPCSTR resourceType = (type != nullptr && std::strcmp(type, "BITMAP") == 0) ? RT_BITMAP : type;
    if (resourceType == nullptr) return Resource{};
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), resourceType);
    if (info == nullptr) return Resource{};
    HGLOBAL loaded = LoadResource(nullptr, info);
    if (loaded == nullptr) return Resource{};
    const DWORD size = SizeofResource(nullptr, info);
    const void* data = LockResource(loaded);
    if (data == nullptr) return Resource{};
    return Resource{static_cast<const unsigned char*>(data), static_cast<std::size_t>(size)};
}

}  // namespace platform
