// Decoding one photograph file (JPEG or PNG, told apart by its first bytes,
// not its name) with libjpeg-turbo, libpng and libexif. Linux back end only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/linux/photo_image.h"

namespace photo {

// Images with more pixels than this are not decoded at all (a 12000 x 9000
// file is refused; a 61-megapixel camera's is not).
constexpr std::uint64_t kMaxPixels = 64000000u;
// The most memory libjpeg may take for one image (progressive files keep
// every coefficient of the scaled image).
constexpr long kMaxJpegMemory = 192L * 1024 * 1024;
// Interlaced PNGs are read whole before they are averaged down; others row by row.
constexpr std::uint64_t kMaxInterlacedPngPixels = 16000000u;

// The orientation tag (1 to 8) of an Exif block ("Exif\0\0" and a TIFF
// structure, as a JPEG's APP1 segment holds it); 1 when there is none or
// it is not valid.
int exifOrientation(const std::uint8_t* data, std::size_t size);

// Decodes `data` into `out`, turned upright. Large images arrive reduced
// while they are decoded, but keep at least `side` pixels on their shorter
// side (JPEGs through libjpeg's scaled decoding, PNGs by averaging square
// blocks). A transparent PNG is laid over black. Truncated or corrupt data,
// anything that is neither JPEG nor PNG, and images over kMaxPixels give
// false and a short reason in *problem (a static string).
bool decodePhoto(const std::uint8_t* data, std::size_t size, int side, RgbImage* out, const char** problem);

}  // namespace photo
