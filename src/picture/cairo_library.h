// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <string>

// Cairo is opened at the first picture, not with the program: with the libraries it needs (fonts, X,
// PNG) it is a good part of every start, and most runs draw nothing. The headers give the types and
// constants; the functions are called through the table of `Cairo()`.

namespace ampvane {

#define AMPVANE_CAIRO_FUNCTIONS(X)                                                                           \
    X(arc) X(clip) X(create) X(destroy) X(fill) X(font_extents) X(font_options_create) X(font_options_destroy) \
    X(font_options_set_antialias) X(font_options_set_hint_metrics) X(font_options_set_hint_style)           \
    X(image_surface_create) X(image_surface_get_data) X(image_surface_get_height) X(image_surface_get_stride) \
    X(image_surface_get_width) X(line_to) X(move_to) X(new_sub_path) X(paint) X(pdf_surface_create_for_stream) \
    X(pdf_surface_set_metadata) X(rectangle) X(restore) X(rotate) X(save) X(scale) X(select_font_face)       \
    X(set_dash) X(set_font_options) X(set_font_size) X(set_line_join) X(set_line_width) X(set_source_rgb)    \
    X(show_text) X(status) X(stroke) X(surface_destroy) X(surface_finish) X(surface_flush)                  \
    X(surface_mark_dirty) X(surface_status) X(surface_write_to_png_stream) X(svg_surface_create_for_stream)  \
    X(svg_surface_set_document_unit) X(text_extents) X(translate)

struct CairoLibrary {
#define AMPVANE_CAIRO_POINTER(name) decltype(&::cairo_##name) name = nullptr;
    AMPVANE_CAIRO_FUNCTIONS(AMPVANE_CAIRO_POINTER)
#undef AMPVANE_CAIRO_POINTER
    std::string problem; // why no picture can be drawn; empty once loaded
};

inline constexpr char kDrawingLibrary[] = "libcairo.so.2";

// Opens `file`; on failure only `problem` is set, naming the file and the loader's reason.
CairoLibrary LoadCairoLibrary(const std::string& file);

// kDrawingLibrary, loaded at the first call from any thread. Its functions may be called only when
// `problem` is empty.
const CairoLibrary& Cairo();

} // namespace ampvane
