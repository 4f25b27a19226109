// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "common/file_write.h"
#include "picture/cairo_library.h"

namespace ampvane {

RgbImage::RgbImage(int width, int height, RgbColour fill) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (std::size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = fill.red;
        pixels_[i + 1] = fill.green;
        pixels_[i + 2] = fill.blue;
    }
}

RgbColour RgbImage::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    return RgbColour{p[0], p[1], p[2]};
}

void RgbImage::SetPixel(int x, int y, RgbColour colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = colour.red;
    p[1] = colour.green;
    p[2] = colour.blue;
}

namespace {
bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
                          return upper(a) == upper(b);
                      });
}

// --- PNG -------------------------------------------------------------------------------------------

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// --- JPEG ------------------------------------------------------------------------------------------

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void JpegOutputMessage(j_common_ptr) {}

bool EncodeJpegRows(jpeg_compress_struct* cinfo, const RgbImage& image, int quality, unsigned char** buffer,
                    unsigned long* size) {
    auto* error = reinterpret_cast<JpegError*>(cinfo->err);
    if (setjmp(error->jump)) return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = static_cast<JDIMENSION>(image.Width());
    cinfo->image_height = static_cast<JDIMENSION>(image.Height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.Row(static_cast<int>(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string WritePictureFile(const std::string& path, const std::string& bytes) {
    if (bytes.empty()) return "The picture \"" + path + "\" could not be encoded.";
    std::string error = WriteFileAtomically(path, bytes);
    if (!error.empty()) return "The picture could not be saved. " + error + ".";
    return {};
}

std::string UndrawablePicture(const std::string& path, const std::string& problem) {
    return "The picture \"" + path + "\" could not be drawn. " + problem;
}

PictureFormat PictureFormatForFileName(std::string_view fileName) {
    if (EndsWithNoCase(fileName, ".jpeg") || EndsWithNoCase(fileName, ".jpg")) return PictureFormat::Jpeg;
    if (EndsWithNoCase(fileName, ".png")) return PictureFormat::Png;
    if (EndsWithNoCase(fileName, ".svg")) return PictureFormat::Svg;
    if (EndsWithNoCase(fileName, ".pdf")) return PictureFormat::Pdf;
    return PictureFormat::Bmp;
}

std::string EncodePng(const RgbImage& image) {
    if (image.Empty() || !Cairo().problem.empty()) return {};
    // Cairo writes its 24-bit surface as true-colour PNG with 8 bits per sample.
    cairo_surface_t* surface = Cairo().image_surface_create(CAIRO_FORMAT_RGB24, image.Width(), image.Height());
    std::string bytes;
    if (Cairo().surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        Cairo().surface_flush(surface);
        unsigned char* data = Cairo().image_surface_get_data(surface);
        const int stride = Cairo().image_surface_get_stride(surface);
        for (int y = 0; y < image.Height(); ++y) {
            auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            const std::uint8_t* in = image.Row(y);
            for (int x = 0; x < image.Width(); ++x, in += 3)
                out[x] = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
        }
        Cairo().surface_mark_dirty(surface);
        if (Cairo().surface_write_to_png_stream(surface, AppendBytes, &bytes) != CAIRO_STATUS_SUCCESS) bytes.clear();
    }
    Cairo().surface_destroy(surface);
    return bytes;
}

std::string EncodeJpeg(const RgbImage& image, int quality) {
    if (image.Empty()) return {};
    jpeg_compress_struct cinfo{};
    JpegError error{};
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    error.manager.output_message = JpegOutputMessage;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = EncodeJpegRows(&cinfo, image, std::clamp(quality, 1, 100), &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    std::string bytes;
    if (ok && buffer != nullptr) bytes.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

std::string EncodeBmp(const RgbImage& image) {
    if (image.Empty()) return {};
    // Rows are stored bottom-up in blue, green, red order, each padded to four bytes.
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.Width()) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(image.Height());
    const std::uint32_t headerBytes = 14 + 40;
    std::string out;
    out.reserve(headerBytes + imageBytes);
    out += "BM";
    PutLittleEndian(out, headerBytes + imageBytes, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, headerBytes, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(image.Width()), 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(image.Height()), 4);
    PutLittleEndian(out, 1, 2);  // planes
    PutLittleEndian(out, 24, 2); // bits per pixel
    PutLittleEndian(out, 0, 4);  // no compression
    PutLittleEndian(out, imageBytes, 4);
    PutLittleEndian(out, 3780, 4); // 96 dots per inch, in dots per metre
    PutLittleEndian(out, 3780, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 0, 4);
    for (int y = image.Height() - 1; y >= 0; --y) {
        const std::uint8_t* p = image.Row(y);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            out.push_back(static_cast<char>(p[2]));
            out.push_back(static_cast<char>(p[1]));
            out.push_back(static_cast<char>(p[0]));
        }
        out.append(rowBytes - static_cast<std::uint32_t>(image.Width()) * 3, '\0');
    }
    return out;
}

std::string WritePng(const std::string& path, const RgbImage& image) {
    if (const std::string& problem = Cairo().problem; !problem.empty()) return UndrawablePicture(path, problem);
    return WritePictureFile(path, EncodePng(image));
}
std::string WriteJpeg(const std::string& path, const RgbImage& image) { return WritePictureFile(path, EncodeJpeg(image)); }
std::string WriteBmp(const std::string& path, const RgbImage& image) { return WritePictureFile(path, EncodeBmp(image)); }

std::string WritePicture(const std::string& path, const RgbImage& image) {
    switch (PictureFormatForFileName(path)) {
    case PictureFormat::Png: return WritePng(path, image);
    case PictureFormat::Jpeg: return WriteJpeg(path, image);
    case PictureFormat::Bmp: return WriteBmp(path, image);
    case PictureFormat::Svg:
    case PictureFormat::Pdf: break;
    }
    return "The picture \"" + path + "\" cannot be written as a drawing from pixels.";
}

} // namespace ampvane
