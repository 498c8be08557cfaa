#include "tests/support/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

// "Exif\0\0", a big-endian TIFF header and IFD0 holding one entry:
// Orientation (0x0112), SHORT, count 1, the value, then no next IFD.
std::vector<unsigned char> exifBlock(int orientation) {
    return {'E', 'x', 'i', 'f',  0,    0, 'M', 'M', 0, 42, 0, 0, 0,
            8,   0,   1,   0x01, 0x12, 0, 3,   0,   0, 0,  1, 0, static_cast<unsigned char>(orientation),
            0,   0,   0,   0,    0,    0};
}

}  // namespace

std::vector<unsigned char> encodeJpeg(int width, int height, const unsigned char* rgb, int orientation, int quality,
                                      bool progressive) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);  // test input is well-formed: libjpeg's exit on error is fine
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    if (orientation >= 1 && orientation <= 8) {
        const std::vector<unsigned char> exif = exifBlock(orientation);
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), static_cast<unsigned int>(exif.size()));
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb) + static_cast<std::size_t>(cinfo.next_scanline) * width * 3u;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

bool writeJpeg(const std::string& path, int width, int height, const unsigned char* rgb, int orientation, int quality,
               bool progressive) {
    const std::vector<unsigned char> bytes = encodeJpeg(width, height, rgb, orientation, quality, progressive);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}
