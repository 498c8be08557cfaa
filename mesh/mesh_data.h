// One OBJ/MTL resource pair flattened into per-vertex arrays and one index
// array, ready to be interleaved into a vertex buffer.
//
// Per vertex v: positions[3v..3v+2] (scaled), texCoords[2v..2v+1],
// normals[3v..] (normalised), tangents[3v..], bitangents[3v..],
// ambientColors[3v..] (Ka), diffuseColors[3v..] (Kd),
// specularColors[4v..4v+3] (Ks, then Ns). indices: indexCount() entries,
// three per triangle, into the per-vertex arrays.
//
// If the OBJ text yields nothing, construction shows "Failed to load mesh"
// and ends the process (exit code 0): a constructed MeshData always holds
// what the text gave.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace objl {
class MeshLoader;
}

class MeshData {
public:
    std::vector<float> positions;        // 3 x vertexCount()
    std::vector<float> texCoords;        // 2 x vertexCount()
    std::vector<float> normals;          // 3 x vertexCount()
    std::vector<float> tangents;         // 3 x vertexCount()
    std::vector<float> bitangents;       // 3 x vertexCount()
    std::vector<float> ambientColors;    // 3 x vertexCount()
    std::vector<float> diffuseColors;    // 3 x vertexCount()
    std::vector<float> specularColors;   // 4 x vertexCount()
    std::vector<std::uint32_t> indices;  // indexCount()
    std::int32_t vertexCount_ = 0;
    std::int32_t indexCount_ = 0;
    float scale = 1.0f;

    // Empty, to be filled with fill().
    MeshData() = default;
    // From the "TEXTFILE" resources (the program's use: MeshData(141, 140, 1.0f)).
    MeshData(int objResourceId, int mtlResourceId, float scale);
    // From text in memory, with the same failure rule.
    MeshData(const std::string& objText, const std::string& mtlText, float scale);

    void load(int objResourceId, int mtlResourceId, float scale);
    void loadText(const std::string& objText, const std::string& mtlText, float scale);

    // Fills every field from a loader that has read its text (a loader with
    // no meshes gives zero counts). False, with every array empty, when the
    // result would not fit the 32-bit counts or memory.
    bool fill(const objl::MeshLoader& loader, float scale);

    std::int32_t vertexCount() const { return vertexCount_; }
    std::int32_t indexCount() const { return indexCount_; }

private:
    void clear();
};
