// What each fuzz target does with one input, shared by the libFuzzer entry
// points and by the test that replays the committed corpora and regression
// inputs. Each function returns false when an invariant of the result does
// not hold; crashes, leaks and undefined behaviour are the sanitizers' part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "mesh/mesh_data.h"
#include "mesh/objl.h"

namespace fuzz_inputs {

// An OBJ-reader input: two bytes, the little-endian length n of the MTL
// text (cut to what is there), then n bytes of MTL text, then the OBJ text.
// Splitting by length rather than at a separator lets every byte value,
// NUL included, reach both readers.
inline void splitObjInput(const std::uint8_t* data, std::size_t size, std::string& mtl, std::string& obj) {
    const char* bytes = reinterpret_cast<const char*>(data);
    if (size < 2) {
        mtl.clear();
        obj.assign(bytes, size);
        return;
    }
    std::size_t n = static_cast<std::size_t>(data[0]) | (static_cast<std::size_t>(data[1]) << 8);
    if (n > size - 2) n = size - 2;
    mtl.assign(bytes + 2, n);
    obj.assign(bytes + 2 + n, size - 2 - n);
}

// Runs the OBJ reader and flattens its result as MeshData does.
inline bool runObjInput(const std::uint8_t* data, std::size_t size) {
    std::string mtl, obj;
    splitObjInput(data, size, mtl, obj);
    objl::MeshLoader loader;
    std::ostringstream progress;
    loader.progress = &progress;
    const bool ok = loader.loadObjText(obj, mtl);
    if (ok != !(loader.meshes.empty() && loader.vertices.empty() && loader.indices.empty())) return false;
    for (std::uint32_t i : loader.indices) {
        if (i >= loader.vertices.size()) return false;
    }
    for (const objl::Mesh& mesh : loader.meshes) {
        if (mesh.vertices.empty() || mesh.indices.empty()) return false;
        for (std::uint32_t i : mesh.indices) {
            if (i >= mesh.vertices.size()) return false;
        }
    }
    MeshData flat;
    if (!flat.fill(loader, 1.0f)) return false;
    const std::size_t n = static_cast<std::size_t>(flat.vertexCount());
    if (flat.positions.size() != 3 * n || flat.texCoords.size() != 2 * n || flat.tangents.size() != 3 * n ||
        flat.specularColors.size() != 4 * n ||
        flat.indices.size() != static_cast<std::size_t>(flat.indexCount())) {
        return false;
    }
    for (std::uint32_t i : flat.indices) {
        if (i >= n) return false;
    }
    return true;
}

// Runs the MTL reader: every text gives at least one material.
inline bool runMtlInput(const std::uint8_t* data, std::size_t size) {
    objl::MeshLoader loader;
    const std::string text(reinterpret_cast<const char*>(data), size);
    return loader.loadMtlText(text) && !loader.materials.empty();
}

// Runs the command-line scan on a NUL-terminated copy of the input.
inline bool runCommandLineInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);  // c_str() adds the NUL
    const CommandLine result = parseCommandLine(text.c_str());
    using Mode = ScreensaverMode;
    if (result.mode != Mode::Preview && result.mode != Mode::Screensaver && result.mode != Mode::Configure &&
        result.mode != Mode::None) {
        return false;
    }
    return result.mode != Mode::None || result.parentWindow == 0;
}

}  // namespace fuzz_inputs
