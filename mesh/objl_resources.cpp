// The resource-id entry points of the reader: the "TEXTFILE" resource's
// bytes, exactly its size, become the text (no terminator is looked for, no
// byte is special). A missing resource reads as an empty text.
#include <exception>
#include <string>

#include "mesh/objl.h"
#include "platform/platform.h"

namespace objl {

namespace {

bool resourceText(int id, std::string& text) {
    const platform::Resource resource = platform::findResource("TEXTFILE", id);
    try {
        if (resource.data != nullptr && resource.size != 0) {
            text.assign(reinterpret_cast<const char*>(resource.data), resource.size);
        } else {
            text.clear();
        }
    } catch (const std::exception&) {
        return false;  // no memory for the copy
    }
    return true;
}

}  // namespace

bool MeshLoader::loadMtl(int mtlResourceId) {
    std::string text;
    if (!resourceText(mtlResourceId, text)) return false;
    return loadMtlText(text);
}

bool MeshLoader::loadObj(int objResourceId, int mtlResourceId) {
    std::string objText;
    std::string mtlText;
    if (!resourceText(objResourceId, objText)) return false;
    if (!resourceText(mtlResourceId, mtlText)) return false;
    return loadObjText(objText, mtlText);
}

}  // namespace objl
