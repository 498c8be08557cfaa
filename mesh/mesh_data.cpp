// Construction and loading of MeshData; the failure path ends the process.
#include "mesh/mesh_data.h"

#include "mesh/objl.h"
#include "platform/fatal.h"

namespace {

[[noreturn]] void failMeshLoad() { platform::fatalError("Failed to load mesh", "Debug"); }

}  // namespace

MeshData::MeshData(int objResourceId, int mtlResourceId, float scale_) : scale(scale_) {
    load(objResourceId, mtlResourceId, scale_);
}

MeshData::MeshData(const std::string& objText, const std::string& mtlText, float scale_) : scale(scale_) {
    loadText(objText, mtlText, scale_);
}

void MeshData::load(int objResourceId, int mtlResourceId, float scale_) {
    objl::MeshLoader loader;
    if (!loader.loadObj(objResourceId, mtlResourceId)) failMeshLoad();
    if (!fill(loader, scale_)) failMeshLoad();
}

void MeshData::loadText(const std::string& objText, const std::string& mtlText, float scale_) {
    objl::MeshLoader loader;
    if (!loader.loadObjText(objText, mtlText)) failMeshLoad();
    if (!fill(loader, scale_)) failMeshLoad();
}
