// The Wavefront OBJ/MTL reader: plain records, the loader that collects them,
// the shared text functions, and the ear-clipping triangulation.
//
// Everything here works on text in memory and depends on nothing but the
// standard library; the resource-id entry points of MeshLoader (loadObj,
// loadMtl) fetch the "TEXTFILE" resource and hand its bytes to the text
// readers (loadObjText, loadMtlText).
//
// No exception leaves the readers: a number that does not convert, or does
// not fit, makes the line (or face corner) that holds it count as absent.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace objl {

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;
    Vector2() = default;
    Vector2(float x_, float y_) : x(x_), y(y_) {}
};

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

// Exact comparison, no tolerance: a NaN component makes two vectors unequal
// (a vector holding a NaN is unequal even to itself).
bool operator==(const Vector3& a, const Vector3& b);
bool operator!=(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 cross(const Vector3& a, const Vector3& b);
float dot(const Vector3& a, const Vector3& b);

struct Vertex {
    Vector3 position;
    Vector3 normal;
    Vector2 texCoord;
};

// Field names are the MTL keywords that set them. Nothing is interpreted
// beyond being stored; map names keep a trailing carriage return if the
// line had one.
struct Material {
    std::string name;
    Vector3 Ka;
    Vector3 Kd;
    Vector3 Ks;
    float Ns = 0.0f;
    float Ni = 0.0f;
    float d = 0.0f;
    std::int32_t illum = 0;
    std::string map_Ka;
    std::string map_Kd;
    std::string map_Ks;
    std::string map_Ns;
    std::string map_d;
    std::string map_bump;
};

struct Mesh {
    std::string name;
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;  // into this mesh's own vertices
    Material material;

    Mesh() = default;
    Mesh(const std::vector<Vertex>& vertices_, const std::vector<std::uint32_t>& indices_)
        : vertices(vertices_), indices(indices_) {}
};

class MeshLoader {
public:
    std::vector<Mesh> meshes;            // one per run of faces
    std::vector<Vertex> vertices;        // every face corner of the text, in order
    std::vector<std::uint32_t> indices;  // triangles of the whole text, into `vertices`
    std::vector<Material> materials;     // every material read, in order

    // Where loadObj writes its progress lines; nullptr writes none.
    std::ostream* progress;

    MeshLoader();

    // Reads the OBJ text of "TEXTFILE" resource objResourceId. Every
    // "mtllib" line reads the MTL resource mtlResourceId (the file name
    // after the keyword is not used). True when meshes, vertices or indices
    // are non-empty afterwards. A missing resource reads as an empty text.
    bool loadObj(int objResourceId, int mtlResourceId);
    // Appends the materials of "TEXTFILE" resource mtlResourceId. True when
    // materials is non-empty afterwards.
    bool loadMtl(int mtlResourceId);

    // The same readers on text in memory (every byte counts, NULs included).
    bool loadObjText(const std::string& objText, const std::string& mtlText);
    bool loadMtlText(const std::string& mtlText);
};

// ---------------------------------------------------------------------------
// Text functions. White space is the blank and the tab only; a carriage
// return is an ordinary character to them.

std::string keywordOf(const std::string& line);  // the first word
std::string restOf(const std::string& line);     // after the first word, trimmed
std::vector<std::string> splitOn(const std::string& text, const std::string& delimiter);
std::string trimLineBreaks(const std::string& text);  // drops trailing CR / LF

// Decimal conversions in the manner of strtof/strtol: leading white space
// skipped, reading stops at the first character that cannot continue the
// number. False (out untouched) when no number can be read or it is out of
// range (a float overflow or underflow, an integer beyond 32 bits).
bool toFloat(const std::string& text, float& out);
bool toInt(const std::string& text, std::int32_t& out);

// Splits a text into lines at line feeds (removed); a last line without a
// line feed counts, a line feed at the very end adds no empty line.
std::vector<std::string> splitLines(const std::string& text);

// ---------------------------------------------------------------------------
// OBJ pieces.

// OBJ index `indexText` into `list`: 1 is the first element, -1 the last.
// False (out untouched) when the text does not convert or addresses no
// element (0, past the end, or before the first).
template <typename T>
bool pickElement(const std::vector<T>& list, const std::string& indexText, T& out);

// The corners of one face line. Corners that address nothing are dropped;
// faces with no normals of their own get the computed face normal
// (p0 - p1) x (p2 - p1), not normalised; zero when fewer than 3 corners.
std::vector<Vertex> buildFaceVertices(const std::string& line, const std::vector<Vector3>& positions,
                                      const std::vector<Vector2>& texCoords, const std::vector<Vector3>& normals);

// Ear clipping: indices into `corners`, ascending within each triangle.
// Every corner whose position equals a triangle's corner is emitted with it.
std::vector<std::uint32_t> triangulateFace(const std::vector<Vertex>& corners);

// The straightforward form of the same clipping (rescans every corner after
// each ear); kept as the reference the fast form is checked against.
std::vector<std::uint32_t> triangulateFaceReference(const std::vector<Vertex>& corners);

// True when p's projection onto the plane of a, b, c lies in the triangle
// (closed); a degenerate triangle or a NaN gives false.
bool pointInTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c);

// ---------------------------------------------------------------------------
template <typename T>
bool pickElement(const std::vector<T>& list, const std::string& indexText, T& out) {
    std::int32_t n = 0;
    if (!toInt(indexText, n)) return false;
    const long long size = static_cast<long long>(list.size());
    long long position = (n < 0) ? size + n : static_cast<long long>(n) - 1;
    if (position < 0 || position >= size) return false;
    out = list[static_cast<std::size_t>(position)];
    return true;
}

}  // namespace objl
