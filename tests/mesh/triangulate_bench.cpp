// Prints how long the OBJ reader takes on single large faces (fast ear
// clipping), and the reference form's time on smaller ones for comparison.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "mesh/objl.h"

namespace {

std::string polygonText(int n, bool star) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.14159265358979 * i / n;
        const double r = (star && i % 2 == 1) ? 0.6 : 1.0;
        text += "v " + std::to_string(r * std::cos(a)) + " " + std::to_string(r * std::sin(a)) + " 0\n";
    }
    text += "f";
    for (int i = 1; i <= n; ++i) text += " " + std::to_string(i);
    text += "\n";
    return text;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    for (const bool star : {false, true}) {
        for (const int n : {1000, 10000}) {
            const std::string text = polygonText(n, star);
            objl::MeshLoader loader;
            loader.progress = nullptr;
            const auto start = std::chrono::steady_clock::now();
            loader.loadObjText(text, "");
            std::printf("loadObj, %s face of %5d corners: %.3f s (%zu indices)\n", star ? "star  " : "convex", n,
                        secondsSince(start), loader.indices.size());
        }
    }
    for (const int n : {200, 400}) {
        objl::MeshLoader loader;
        loader.progress = nullptr;
        loader.loadObjText(polygonText(n, false), "");
        const auto& corners = loader.vertices;
        auto start = std::chrono::steady_clock::now();
        const auto fast = objl::triangulateFace(corners);
        const double fastTime = secondsSince(start);
        start = std::chrono::steady_clock::now();
        const auto reference = objl::triangulateFaceReference(corners);
        std::printf("convex face of %d corners: fast %.4f s, reference %.4f s, same result: %s\n", n, fastTime,
                    secondsSince(start), fast == reference ? "yes" : "NO");
    }
    return 0;
}
