// What each fuzz target does with one input, shared by the libFuzzer entry
// points and by the test that replays the committed corpora and regression
// inputs. Each function returns false when an invariant of the result does
// not hold; crashes, leaks and undefined behaviour are the sanitizers' part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/host_options.h"
#include "mesh/mesh_data.h"
#include "mesh/objl.h"
#include "platform/linux/photo_decode.h"
#include "platform/linux/photo_image.h"

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
        flat.specularColors.size() != 4 * n || flat.indices.size() != static_cast<std::size_t>(flat.indexCount())) {
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

// Runs the Windows command-line scan on a NUL-terminated copy of the input,
// and the Linux option parser on the input cut at its NUL bytes: with more
// than one piece the first is the value of XSCREENSAVER_WINDOW, the rest the
// arguments; a single piece is split at blanks into arguments, the variable
// unset.
inline bool runCommandLineInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);  // c_str() adds the NUL
    const CommandLine result = parseCommandLine(text.c_str());
    using Mode = ScreensaverMode;
    if (result.mode != Mode::Preview && result.mode != Mode::Screensaver && result.mode != Mode::Configure &&
        result.mode != Mode::None) {
        return false;
    }
    if (result.mode == Mode::None && result.parentWindow != 0) return false;

    std::vector<std::string> pieces;
    const bool split = text.find('\0') != std::string::npos;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(split ? '\0' : ' ', start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const std::string variable = split ? pieces.front() : std::string();
    if (split) pieces.erase(pieces.begin());
    if (!split && pieces.size() == 1 && pieces[0].empty()) pieces.clear();
    const LaunchOptions options = parseLaunchOptions(pieces, split ? variable.c_str() : nullptr);
    switch (options.action) {
        case LaunchAction::Error:
            // One short line that says what was wrong.
            return !options.error.empty() && options.error.size() < 256 &&
                   options.error.find('\n') == std::string::npos;
        case LaunchAction::Help:
        case LaunchAction::AddToXScreenSaver: return true;
        case LaunchAction::Run: break;
    }
    const CommandLine& line = options.line;
    if (line.mode == Mode::Host) return line.parentWindow >= 0 && line.parentWindow <= 0xFFFFFFFF;
    // Anything else is the Windows scan of the arguments, photos and the
    // frame delay (taken out wherever they stand) left aside.
    bool photos = false;
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        if (piece == "--photos" || piece == "-photos") photos = true;
        if (piece == "--delay" || piece == "-delay") {
            ++i;  // its value was accepted, so it is there
            continue;
        }
        joined += (joined.empty() ? "" : " ") + piece;
    }
    if (photos || (!pieces.empty() && !pieces[0].empty() && pieces[0][0] == '-')) return true;
    const CommandLine windows = parseCommandLine(joined.c_str());
    return line.mode == windows.mode && line.parentWindow == windows.parentWindow && line.photosDirectory.empty();
}

// Decodes the input as a photograph file (JPEG or PNG by its first bytes)
// for a 64-pixel side and cuts its square: a decoded image has pixels and
// exactly width * height * 3 bytes of them; a refused one says why.
inline bool runPhotoInput(const std::uint8_t* data, std::size_t size) {
    photo::RgbImage image;
    const char* problem = nullptr;
    if (!photo::decodePhoto(data, size, 64, &image, &problem)) return problem != nullptr;
    if (image.width < 1 || image.height < 1) return false;
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3u) {
        return false;
    }
    std::uint8_t square[16 * 16 * 3];
    photo::cropAndScaleSquare(image, 16, square);
    return true;
}

}  // namespace fuzz_inputs
