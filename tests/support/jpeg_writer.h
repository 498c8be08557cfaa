// Writes 8-bit RGB pictures as JPEG files, with an Exif orientation tag when
// asked: the photographs that tests and benchmarks decode are made, not kept.
#pragma once

#include <string>
#include <vector>

// `rgb` holds width * height * 3 bytes, top row first. An orientation of 1
// to 8 is written in an Exif APP1 segment (big-endian TIFF); 0 writes none.
bool writeJpeg(const std::string& path, int width, int height, const unsigned char* rgb, int orientation = 0,
               int quality = 92, bool progressive = false);

// The bytes of such a file, for tests that take files apart.
std::vector<unsigned char> encodeJpeg(int width, int height, const unsigned char* rgb, int orientation = 0,
                                      int quality = 92, bool progressive = false);
