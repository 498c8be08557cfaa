// The rectangle's OBJ and MTL texts as the program carries them, for tests
// that hand text to the readers directly.
#pragma once

#include <string>

namespace mesh_test {

inline std::string crlf(const std::string& lfText) {
    std::string out;
    for (char c : lfText) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

inline std::string rectangleObj() {
    return crlf(
        "# rectangle\n"
        "mtllib rectangle_object.mtl\n"
        "v  -1.0000 1.0000 0.0000\n"
        "v  -1.0000 -1.0000 -0.0000\n"
        "v  1.0000 1.0000 0.0000\n"
        "v  1.0000 -1.0000 -0.0000\n"
        "# normal\n"
        "vn 0.0000 -0.0000 1.0000\n"
        "vt 0.0000 1.0000 0.0000\n"
        "vt 0.0000 0.0000 0.0000\n"
        "vt 1.0000 1.0000 0.0000\n"
        "vt 1.0000 0.0000 0.0000\n"
        "o Plane001\n"
        "g Plane001\n"
        "usemtl wire_198225087\n"
        "f 1/1/1 2/2/1 3/3/1 \n"
        "f 4/4/1 3/3/1 2/2/1 \n"
        "# 2 faces\n");
}

inline std::string rectangleMtl() {
    return crlf(
        "# material\n"
        "# of the rectangle\n"
        "\n"
        "newmtl wire_198225087\n"
        "\tNs 32\n"
        "\td 1\n"
        "\tTr 0\n"
        "\tTf 1 1 1\n"
        "\tillum 2\n"
        "\tKa 0.7765 0.8824 0.3412\n"
        "\tKd 0.7765 0.8824 0.3412\n"
        "\tKs 0.3500 0.3500 0.3500\n");
}

}  // namespace mesh_test
