// Resources linked into the executable (see resources/CMakeLists.txt).
#include <cstring>

#include "platform/linux/resource_table.h"
#include "platform/platform.h"

namespace platform {

Resource findResource(const char* type, int id) {
    for (const EmbeddedResource* r = kEmbeddedResources; r->type != nullptr; ++r) {
        if (r->id == id && std::strcmp(r->type, type) == 0) {
            return Resource{r->begin, static_cast<std::size_t>(r->end - r->begin)};
        }
    }
    return Resource{};
}

}  // namespace platform
