// Flattening a loader's meshes into MeshData's arrays, and the tangent pass.
#include <cstddef>
#include <exception>

#include "mesh/mesh_data.h"
#include "mesh/objl.h"
#include "math/math3d.h"

void MeshData::clear() {
    positions.clear();
    texCoords.clear();
    normals.clear();
    tangents.clear();
    bitangents.clear();
    ambientColors.clear();
    diffuseColors.clear();
    specularColors.clear();
    indices.clear();
    vertexCount_ = 0;
    indexCount_ = 0;
}

bool MeshData::fill(const objl::MeshLoader& loader, float scale_) {
    clear();
    scale = scale_;

    // Counts from the meshes (the loader's own flat lists are not used).
    std::size_t vertexTotal = 0;
    std::size_t indexTotal = 0;
    for (const objl::Mesh& mesh : loader.meshes) {
        vertexTotal += mesh.vertices.size();
        indexTotal += mesh.indices.size();
    }
    constexpr std::size_t kMax = 0x7FFFFFFF / 4;  // every array size fits in 32 bits
    if (vertexTotal > kMax || indexTotal > kMax) return false;

    try {
        const std::size_t n = vertexTotal;
        positions.assign(3 * n, 0.0f);
        texCoords.assign(2 * n, 0.0f);
        normals.assign(3 * n, 0.0f);
        tangents.assign(3 * n, 0.0f);  // zero for vertices no triangle uses
        bitangents.assign(3 * n, 0.0f);
        ambientColors.assign(3 * n, 0.0f);
        diffuseColors.assign(3 * n, 0.0f);
        specularColors.assign(4 * n, 0.0f);
        indices.assign(indexTotal, 0u);
    } catch (const std::exception&) {
        clear();
        return false;
    }
    vertexCount_ = static_cast<std::int32_t>(vertexTotal);
    indexCount_ = static_cast<std::int32_t>(indexTotal);

    std::size_t vb = 0;
    std::size_t ib = 0;
    for (const objl::Mesh& mesh : loader.meshes) {
        const objl::Material& material = mesh.material;
        for (std::size_t k = 0; k < mesh.vertices.size(); ++k) {
            const objl::Vertex& vertex = mesh.vertices[k];
            const std::size_t v = vb + k;
            positions[3 * v + 0] = vertex.position.x * scale_;
            positions[3 * v + 1] = vertex.position.y * scale_;
            positions[3 * v + 2] = vertex.position.z * scale_;
            const Vector3 normal = normalize(Vector3(vertex.normal.x, vertex.normal.y, vertex.normal.z));
            normals[3 * v + 0] = normal.x;
            normals[3 * v + 1] = normal.y;
            normals[3 * v + 2] = normal.z;
            texCoords[2 * v + 0] = vertex.texCoord.x;
            texCoords[2 * v + 1] = vertex.texCoord.y;
            ambientColors[3 * v + 0] = material.Ka.x;
            ambientColors[3 * v + 1] = material.Ka.y;
            ambientColors[3 * v + 2] = material.Ka.z;
            diffuseColors[3 * v + 0] = material.Kd.x;
            diffuseColors[3 * v + 1] = material.Kd.y;
            diffuseColors[3 * v + 2] = material.Kd.z;
            specularColors[4 * v + 0] = material.Ks.x;
            specularColors[4 * v + 1] = material.Ks.y;
            specularColors[4 * v + 2] = material.Ks.z;
            specularColors[4 * v + 3] = material.Ns;
        }
        for (std::size_t k = 0; k < mesh.indices.size(); ++k) {
            indices[ib + k] = static_cast<std::uint32_t>(vb + mesh.indices[k]);
        }
        vb += mesh.vertices.size();
        ib += mesh.indices.size();
    }

    // One tangent frame per triangle, written to its three corners; a vertex
    // shared by several triangles keeps the last one's. Only complete triples.
    for (std::size_t t = 0; t + 2 < indexTotal; t += 3) {
        const std::uint32_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= vertexTotal || i1 >= vertexTotal || i2 >= vertexTotal) continue;
        const Vector3 p0(positions[3 * i0], positions[3 * i0 + 1], positions[3 * i0 + 2]);
        const Vector3 p1(positions[3 * i1], positions[3 * i1 + 1], positions[3 * i1 + 2]);
        const Vector3 p2(positions[3 * i2], positions[3 * i2 + 1], positions[3 * i2 + 2]);
        const float q0x = texCoords[2 * i0], q0y = texCoords[2 * i0 + 1];
        const float q1x = texCoords[2 * i1], q1y = texCoords[2 * i1 + 1];
        const float q2x = texCoords[2 * i2], q2y = texCoords[2 * i2 + 1];
        const Vector3 e1 = p1 - p0;
        const Vector3 e2 = p2 - p0;
        const float d1x = q1x - q0x, d1y = q1y - q0y;
        const float d2x = q2x - q0x, d2y = q2y - q0y;
        const float r = 1.0f / (d1x * d2y - d2x * d1y);
        const Vector3 tangent = normalize((e1 * d2y - e2 * d1y) * r);
        const Vector3 bitangent = normalize((e2 * d1x - e1 * d2x) * r);
        for (const std::uint32_t i : {i0, i1, i2}) {
            tangents[3 * i + 0] = tangent.x;
            tangents[3 * i + 1] = tangent.y;
            tangents[3 * i + 2] = tangent.z;
            bitangents[3 * i + 0] = bitangent.x;
            bitangents[3 * i + 1] = bitangent.y;
            bitangents[3 * i + 2] = bitangent.z;
        }
    }
    return true;
}
