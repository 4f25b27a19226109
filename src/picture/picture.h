// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_escape.h"

// Picture files written from an RGB pixel buffer: PNG (true colour, 8 bits per sample, through Cairo),
// JPEG (quality 90, progressive) and the 24-bit Windows bitmap. The wiring diagram hands its pixels here;
// graphs are drawn by `chart_picture.h`, which also writes SVG and PDF. Every writer encodes in memory and
// then writes the whole file through a temporary file in the same folder, so a failed write never leaves
// a partial picture or harms an older file.

namespace ampvane {

// Top row first, left to right, three bytes (red, green, blue) per pixel, no row padding.
class RgbImage {
public:
    RgbImage() = default;
    // A width or height below 1 gives an empty image.
    RgbImage(int width, int height, RgbColour fill = RgbColour{255, 255, 255});

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    RgbColour Pixel(int x, int y) const;
    void SetPixel(int x, int y, RgbColour colour);
    // One row of Width() * 3 bytes.
    const std::uint8_t* Row(int y) const { return pixels_.data() + RowOffset(y); }
    std::uint8_t* Row(int y) { return pixels_.data() + RowOffset(y); }

private:
    std::size_t RowOffset(int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * 3; }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

enum class PictureFormat { Png, Jpeg, Bmp, Svg, Pdf };

// The format a picture file name asks for, by its extension in any letter case: ".jpg" and ".jpeg" are
// JPEG, ".png" PNG, ".svg" SVG, ".pdf" PDF; every other name (".bmp", none, anything else) a Windows bitmap.
PictureFormat PictureFormatForFileName(std::string_view fileName);

inline constexpr int kJpegQuality = 90;

// The file contents, for writing elsewhere or for tests. Empty when the image is empty or the encoder
// fails.
std::string EncodePng(const RgbImage& image);
std::string EncodeJpeg(const RgbImage& image, int quality = kJpegQuality);
std::string EncodeBmp(const RgbImage& image);

// Each returns an empty text on success, else a message naming the file; on failure nothing is left
// at the path (an existing file keeps its old contents).
std::string WritePng(const std::string& path, const RgbImage& image);
std::string WriteJpeg(const std::string& path, const RgbImage& image);
std::string WriteBmp(const std::string& path, const RgbImage& image);
// Chooses the writer by `PictureFormatForFileName`; SVG and PDF are no pixel formats and are refused here.
std::string WritePicture(const std::string& path, const RgbImage& image);

// The message for a picture that cannot be drawn for `problem` (a missing drawing library).
std::string UndrawablePicture(const std::string& path, const std::string& problem);

// Writes encoded picture bytes whole through a temporary file; the message for an empty encoding or a
// failed write, else empty.
std::string WritePictureFile(const std::string& path, const std::string& bytes);

} // namespace ampvane
