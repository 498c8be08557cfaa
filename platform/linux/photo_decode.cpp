#include "platform/linux/photo_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include <libexif/exif-data.h>
#include <png.h>

namespace photo {

namespace {

// Progressive JPEGs can carry any number of scans; real ones have about ten.
constexpr int kMaxJpegScans = 200;

// Averages square blocks of `factor` x `factor` RGBA pixels into RGB, laying
// them over black, one source row at a time. The last partial block row and
// column are dropped (less than one target pixel).
class BlockReducer {
public:
    void start(int width, int height, int factor, RgbImage* out) {
        factor_ = factor;
        out_ = out;
        out_->width = width / factor;
        out_->height = height / factor;
        out_->pixels.assign(static_cast<std::size_t>(out_->width) * out_->height * 3u, 0);
        sums_.assign(static_cast<std::size_t>(out_->width) * 3u, 0u);
    }

    void addRow(const std::uint8_t* rgba) {
        if (outRow_ >= out_->height) return;
        const int usedWidth = out_->width * factor_;
        for (int x = 0; x < usedWidth; ++x, rgba += 4) {
            std::uint32_t* sum = sums_.data() + static_cast<std::size_t>(x / factor_) * 3u;
            const std::uint32_t a = rgba[3];
            sum[0] += rgba[0] * a;
            sum[1] += rgba[1] * a;
            sum[2] += rgba[2] * a;
        }
        if (++rowsInBlock_ < factor_) return;
        const std::uint32_t divisor = static_cast<std::uint32_t>(factor_) * factor_ * 255u;
        std::uint8_t* dst = out_->pixels.data() + static_cast<std::size_t>(outRow_) * out_->width * 3u;
        for (std::size_t i = 0; i < sums_.size(); ++i)
            dst[i] = static_cast<std::uint8_t>((sums_[i] + divisor / 2) / divisor);
        std::fill(sums_.begin(), sums_.end(), 0u);
        rowsInBlock_ = 0;
        ++outRow_;
    }

private:
    int factor_ = 1;
    RgbImage* out_ = nullptr;
    std::vector<std::uint32_t> sums_;
    int rowsInBlock_ = 0;
    int outRow_ = 0;
};

// ---------------------------------------------------------------------------
// JPEG

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool corrupt = false;
};

void jpegErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1); }

// Warnings (level -1) mean corrupt or missing data, which libjpeg would
// paper over with grey; stray bytes between segments are harmless. Nothing
// is printed.
void jpegMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code != JWRN_EXTRANEOUS_DATA) {
        reinterpret_cast<JpegErrors*>(cinfo->err)->corrupt = true;
    }
}

void jpegProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxJpegScans) {
            cinfo->err->msg_code = JERR_BAD_SCAN_SCRIPT;
            cinfo->err->error_exit(cinfo);
        }
    }
}

bool decodeJpeg(const std::uint8_t* data, std::size_t size, int side, RgbImage* out, const char** problem) {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    jpeg_progress_mgr progress;
    // Declared before setjmp: a jump back must not leave a live object behind.
    RgbImage image;
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegErrorExit;
    errors.manager.emit_message = jpegMessage;
    *problem = "not a readable JPEG";
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegMemory;
    progress.progress_monitor = jpegProgress;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);

    if (static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        *problem = "too many pixels";
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    int orientation = 1;
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
            orientation = exifOrientation(m->data, m->data_length);
            break;
        }
    }

    // The smallest scale (n/8) that keeps `side` pixels on the shorter side,
    // or nine tenths of them (a 24-megapixel photograph at 1/4 rather than
    // 3/8: libjpeg-turbo's vector code covers 1/4, and the last tenth is
    // interpolated).
    cinfo.out_color_space = JCS_RGB;
    for (unsigned n = 1; n <= 8; ++n) {
        cinfo.scale_num = n;
        cinfo.scale_denom = 8;
        jpeg_calc_output_dimensions(&cinfo);
        if (std::min(cinfo.output_width, cinfo.output_height) * 10u >= static_cast<JDIMENSION>(side) * 9u) break;
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    image.width = static_cast<int>(cinfo.output_width);
    image.height = static_cast<int>(cinfo.output_height);
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 3u);
    while (cinfo.output_scanline < cinfo.output_height && !errors.corrupt) {
        JSAMPROW row = image.pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * image.width * 3u;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    const bool corrupt = errors.corrupt;
    jpeg_destroy_decompress(&cinfo);
    if (corrupt) {
        *problem = "truncated or corrupt JPEG data";
        return false;
    }
    *out = orientUpright(image, orientation);
    return true;
}

// ---------------------------------------------------------------------------
// PNG

struct PngInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

void pngRead(png_structp png, png_bytep target, png_size_t length) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > in->size - in->offset) png_error(png, "truncated");
    std::memcpy(target, in->data + in->offset, length);
    in->offset += length;
}

// Whether every chunk's data lies inside the file, up to IEND or the end of
// the data. libpng allocates a chunk's declared length before it reads the
// chunk (for text chunks despite png_set_chunk_malloc_max), so a file of a
// hundred bytes could otherwise make it ask for 2 GiB.
bool chunksInsideTheFile(const std::uint8_t* data, std::size_t size) {
    std::size_t offset = 8;  // after the signature
    while (size - offset >= 8) {
        const std::uint32_t length = (std::uint32_t{data[offset]} << 24) | (std::uint32_t{data[offset + 1]} << 16) |
                                     (std::uint32_t{data[offset + 2]} << 8) | data[offset + 3];
        if (length > size - offset - 8) return false;
        if (std::memcmp(data + offset + 4, "IEND", 4) == 0) break;
        if (size - offset - 8 - length < 4) break;  // the CRC is cut off: libpng reports that
        offset += 12u + length;
    }
    return true;
}

void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarning(png_structp, png_const_charp) {}

bool decodePng(const std::uint8_t* data, std::size_t size, int side, RgbImage* out, const char** problem) {
    *problem = "not a readable PNG";
    if (!chunksInsideTheFile(data, size)) {
        *problem = "truncated or corrupt PNG data";
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    PngInput input{data, size, 0};
    // Declared before setjmp: a jump back must not leave a live object behind.
    RgbImage image;
    std::vector<std::uint8_t> rows;
    BlockReducer reducer;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, &input, pngRead);
    png_set_user_limits(png, 65535, 65535);
    png_set_chunk_malloc_max(png, 16u * 1024u * 1024u);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    if (pixels > kMaxPixels || (interlaced && pixels > kMaxInterlacedPngPixels)) {
        *problem = "too many pixels";
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    int orientation = 1;
    png_uint_32 exifSize = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(png, info, &exifSize, &exif) != 0 && exif != nullptr) {
        std::string block("Exif\0\0", 6);
        block.append(reinterpret_cast<const char*>(exif), exifSize);
        orientation = exifOrientation(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
    }

    // Every colour type to 8-bit RGBA.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4u) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    const png_uint_32 shorter = std::min(width, height);
    const int factor = std::max(1, static_cast<int>(shorter / static_cast<png_uint_32>(std::max(side, 1))));
    reducer.start(static_cast<int>(width), static_cast<int>(height), factor, &image);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4u;
    if (passes > 1) {
        rows.resize(rowBytes * height);
        for (int pass = 0; pass < passes; ++pass) {
            for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, rows.data() + rowBytes * y, nullptr);
        }
        for (png_uint_32 y = 0; y < height; ++y) reducer.addRow(rows.data() + rowBytes * y);
    } else {
        rows.resize(rowBytes);
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, rows.data(), nullptr);
            reducer.addRow(rows.data());
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    *out = orientUpright(image, orientation);
    return true;
}

}  // namespace

int exifOrientation(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 6 || size > 0xFFFFFFu) return 1;
    ExifData* exif = exif_data_new();
    if (exif == nullptr) return 1;
    // Read the tags as written; no fixing up to the standard's defaults.
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif, data, static_cast<unsigned int>(size));
    int orientation = 1;
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry != nullptr && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->data != nullptr &&
        entry->size >= 2) {
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    }
    exif_data_unref(exif);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

bool decodePhoto(const std::uint8_t* data, std::size_t size, int side, RgbImage* out, const char** problem) {
    static const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const char* reason = nullptr;
    bool ok = false;
    if (data != nullptr && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        ok = decodeJpeg(data, size, side, out, &reason);
    } else if (data != nullptr && size >= 8 && std::memcmp(data, kPngSignature, 8) == 0) {
        ok = decodePng(data, size, side, out, &reason);
    } else {
        reason = size == 0 ? "empty file" : "neither JPEG nor PNG";
    }
    if (ok && (out->width < 1 || out->height < 1)) {
        ok = false;
        reason = "no pixels";
    }
    if (problem != nullptr) *problem = ok ? nullptr : reason;
    return ok;
}

}  // namespace photo
