// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/chart_picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "common/text_escape.h"
#include "picture/cairo_library.h"

namespace ampvane {

namespace {

// Fonts the set-up installs; fontconfig substitutes a near one elsewhere.
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kTitleSize = 15, kCaptionSize = 12, kLegendSize = 12, kTickSize = 11, kMinTitleSize = 8;
constexpr int kPad = 8;
constexpr int kLegendSample = 22, kLegendSampleGap = 4, kLegendSpacing = 18;
constexpr double kLineWidth = 1.5, kMarkerRadius = 3;
constexpr double kDash[] = {6, 4}; // on, off
constexpr double kFarOff = 1e6; // keeps far-off values within what Cairo's fixed-point coordinates hold

constexpr RgbColour kWhite{255, 255, 255};
constexpr RgbColour kBlack{0, 0, 0};
constexpr RgbColour kGridColour{208, 208, 208};

double RoleSize(ChartTextRole role) {
    switch (role) {
    case ChartTextRole::Title: return kTitleSize;
    case ChartTextRole::Caption: return kCaptionSize;
    case ChartTextRole::Legend: return kLegendSize;
    case ChartTextRole::Tick: return kTickSize;
    }
    return kCaptionSize;
}

// Cairo stops drawing for good after a text that is not UTF-8; such bytes become "?".
std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool valid = length != 0 && i + length <= text.size() && c != 0;
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid && length == 2) valid = c >= 0xC2;
        if (valid && length == 3) {
            const auto c1 = static_cast<unsigned char>(text[i + 1]);
            valid = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);
        }
        if (valid && length == 4) {
            const auto c1 = static_cast<unsigned char>(text[i + 1]);
            valid = c <= 0xF4 && !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);
        }
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

struct Fonts {
    cairo_font_options_t* options;
    Fonts() : options(Cairo().font_options_create()) {
        // The same outlines on every surface: grey anti-aliasing, metrics not snapped to a pixel grid.
        Cairo().font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        Cairo().font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        Cairo().font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    }
    ~Fonts() { Cairo().font_options_destroy(options); }
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
};

void SelectFont(cairo_t* cr, ChartTextRole role, double size) {
    static const Fonts fonts;
    Cairo().set_font_options(cr, fonts.options);
    Cairo().select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           role == ChartTextRole::Title ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    Cairo().set_font_size(cr, size > 0 ? size : RoleSize(role));
}

struct TextSize {
    double advance = 0;
    double ascent = 0;
    double descent = 0;
    int Width() const { return static_cast<int>(std::ceil(advance)); }
    int Height() const { return static_cast<int>(std::ceil(ascent + descent)); }
};

TextSize Measure(cairo_t* cr, const std::string& text, ChartTextRole role, double size = 0) {
    SelectFont(cr, role, size);
    cairo_font_extents_t font{};
    Cairo().font_extents(cr, &font);
    cairo_text_extents_t extents{};
    Cairo().text_extents(cr, text.c_str(), &extents);
    return {extents.x_advance, font.ascent, font.descent};
}

void SetColour(cairo_t* cr, RgbColour c) { Cairo().set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0); }

void ShowText(cairo_t* cr, const std::string& text, ChartTextRole role, double size, double left, double top) {
    SelectFont(cr, role, size);
    cairo_font_extents_t font{};
    Cairo().font_extents(cr, &font);
    Cairo().move_to(cr, left, top + font.ascent);
    Cairo().show_text(cr, text.c_str());
}

// A context for measuring text only.
struct Measurer {
    cairo_surface_t* surface = Cairo().image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = Cairo().create(surface);
    Measurer() = default;
    ~Measurer() {
        Cairo().destroy(cr);
        Cairo().surface_destroy(surface);
    }
    Measurer(const Measurer&) = delete;
    Measurer& operator=(const Measurer&) = delete;
};

std::vector<double> Ticks(const ChartScale& scale) {
    const double count = std::round(scale.high / scale.step - scale.low / scale.step);
    if (!std::isfinite(count) || count < 1 || count > 100) return {scale.low, scale.high};
    std::vector<double> ticks;
    for (int i = 0; i <= static_cast<int>(count); ++i) ticks.push_back(scale.low + i * scale.step);
    return ticks;
}

struct Mapper {
    const ChartLayout& layout;
    double X(double v) const { return Along(v, layout.x, layout.left, layout.right); }
    double Y(double v, const ChartScale& s) const { return Along(v, s, layout.bottom, layout.top); }
    static double Along(double v, const ChartScale& s, int from, int to) {
        const double t = (v / 2 - s.low / 2) / (s.high / 2 - s.low / 2);
        const double at = from + t * (to - from);
        return std::isfinite(at) ? std::clamp(at, -kFarOff, kFarOff) : (t > 0 ? kFarOff : -kFarOff);
    }
};

int TargetSteps(int length) { return std::clamp(length / 100, 4, 10); }

std::vector<double> Coordinates(const Chart& chart, bool x, std::optional<SeriesAxis> axis) {
    std::vector<double> values;
    for (const ChartSeries& series : chart.series)
        if (!axis || series.axis == *axis || (chart.rightMirrorsLeft && !x))
            for (const ChartPoint& p : series.points)
                if (std::isfinite(p.x) && std::isfinite(p.y)) values.push_back(x ? p.x : p.y);
    return values;
}

int MaxWidth(cairo_t* cr, const std::vector<std::string>& texts, ChartTextRole role) {
    int width = 0;
    for (const std::string& text : texts) width = std::max(width, Measure(cr, text, role).Width());
    return width;
}

void MarkerPath(cairo_t* cr, SeriesMarker marker, double x, double y) {
    if (marker == SeriesMarker::None) return;
    if (marker == SeriesMarker::Circle) {
        Cairo().new_sub_path(cr);
        Cairo().arc(cr, x, y, kMarkerRadius, 0, 2 * M_PI);
    } else {
        Cairo().rectangle(cr, x - kMarkerRadius, y - kMarkerRadius, 2 * kMarkerRadius, 2 * kMarkerRadius);
    }
}

// Strokes the path, in dashes when asked; later strokes are solid again.
void StrokeLine(cairo_t* cr, bool dashed) {
    if (dashed) Cairo().set_dash(cr, kDash, 2, 0);
    Cairo().stroke(cr);
    Cairo().set_dash(cr, nullptr, 0, 0);
}

void DrawSeries(cairo_t* cr, const ChartSeries& series, const Mapper& map, const ChartScale& y) {
    SetColour(cr, series.colour);
    if (series.lines) {
        bool open = false;
        for (const ChartPoint& p : series.points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
                open = false;
                continue;
            }
            if (open) Cairo().line_to(cr, map.X(p.x), map.Y(p.y, y));
            else Cairo().move_to(cr, map.X(p.x), map.Y(p.y, y));
            open = true;
        }
        Cairo().set_line_width(cr, kLineWidth);
        Cairo().set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        StrokeLine(cr, series.dashed);
    }
    for (const ChartPoint& p : series.points)
        if (std::isfinite(p.x) && std::isfinite(p.y)) MarkerPath(cr, series.marker, map.X(p.x), map.Y(p.y, y));
    Cairo().fill(cr);
}

// Draws on a context whose user space is the chart's picture units.
void DrawChart(cairo_t* cr, const Chart& chart, const ChartLayout& layout) {
    SetColour(cr, kWhite);
    Cairo().paint(cr);
    const Mapper map{layout};
    const std::vector<double> xTicks = Ticks(layout.x), y1Ticks = Ticks(layout.y1), y2Ticks = Ticks(layout.y2);

    // Grid lines on pixel centres, so they stay one sharp pixel wide.
    Cairo().set_line_width(cr, 1);
    SetColour(cr, kGridColour);
    for (double t : xTicks) {
        const double x = std::round(map.X(t)) + 0.5;
        Cairo().move_to(cr, x, layout.top);
        Cairo().line_to(cr, x, layout.bottom + 1);
    }
    for (double t : y1Ticks) {
        const double y = std::round(map.Y(t, layout.y1)) + 0.5;
        Cairo().move_to(cr, layout.left, y);
        Cairo().line_to(cr, layout.right + 1, y);
    }
    Cairo().stroke(cr);

    Cairo().save(cr);
    Cairo().rectangle(cr, layout.left, layout.top, layout.right - layout.left + 1, layout.bottom - layout.top + 1);
    Cairo().clip(cr);
    for (auto series = chart.series.rbegin(); series != chart.series.rend(); ++series)
        DrawSeries(cr, *series, map, series->axis == SeriesAxis::Left ? layout.y1 : layout.y2);
    Cairo().restore(cr);

    SetColour(cr, kBlack);
    Cairo().set_line_width(cr, 1);
    Cairo().rectangle(cr, layout.left + 0.5, layout.top + 0.5, layout.right - layout.left, layout.bottom - layout.top);
    Cairo().stroke(cr);

    // Tick marks and labels.
    const auto tickLabels = [&](const ChartScale& scale) { return ChartTickLabels(scale, chart.decimalSeparator); };
    const std::vector<std::string> xLabels = tickLabels(layout.x), y1Labels = tickLabels(layout.y1),
                                   y2Labels = tickLabels(layout.y2);
    for (std::size_t i = 0; i < xTicks.size(); ++i) {
        const double x = std::round(map.X(xTicks[i])) + 0.5;
        Cairo().move_to(cr, x, layout.bottom + 1);
        Cairo().line_to(cr, x, layout.bottom + 5);
        const TextSize size = Measure(cr, xLabels[i], ChartTextRole::Tick);
        ShowText(cr, xLabels[i], ChartTextRole::Tick, 0, std::round(x - size.advance / 2), layout.bottom + 6);
    }
    for (std::size_t i = 0; i < y1Ticks.size(); ++i) {
        const double y = std::round(map.Y(y1Ticks[i], layout.y1)) + 0.5;
        Cairo().move_to(cr, layout.left - 4, y);
        Cairo().line_to(cr, layout.left, y);
        const TextSize size = Measure(cr, y1Labels[i], ChartTextRole::Tick);
        ShowText(cr, y1Labels[i], ChartTextRole::Tick, 0, layout.left - 6 - size.advance,
                 std::round(y - size.Height() / 2.0));
    }
    for (std::size_t i = 0; i < y2Ticks.size(); ++i) {
        const double y = std::round(map.Y(y2Ticks[i], layout.y2)) + 0.5;
        Cairo().move_to(cr, layout.right + 1, y);
        Cairo().line_to(cr, layout.right + 5, y);
        const TextSize size = Measure(cr, y2Labels[i], ChartTextRole::Tick);
        ShowText(cr, y2Labels[i], ChartTextRole::Tick, 0, layout.right + 7, std::round(y - size.Height() / 2.0));
    }
    Cairo().stroke(cr);

    // Captions: across under the plot, the vertical ones turned to read along their axis.
    const std::string xCaption = ValidUtf8(chart.xCaption), leftCaption = ValidUtf8(chart.leftCaption),
                      rightCaption = ValidUtf8(chart.rightCaption);
    const TextSize xSize = Measure(cr, xCaption, ChartTextRole::Caption);
    ShowText(cr, xCaption, ChartTextRole::Caption, 0, std::round((layout.left + layout.right - xSize.advance) / 2),
             layout.height - kPad - xSize.Height());
    const double middle = (layout.top + layout.bottom) / 2.0;
    const TextSize leftSize = Measure(cr, leftCaption, ChartTextRole::Caption);
    Cairo().save(cr);
    Cairo().translate(cr, kPad, middle + leftSize.advance / 2);
    Cairo().rotate(cr, -M_PI / 2);
    ShowText(cr, leftCaption, ChartTextRole::Caption, 0, 0, 0);
    Cairo().restore(cr);
    const TextSize rightSize = Measure(cr, rightCaption, ChartTextRole::Caption);
    Cairo().save(cr);
    Cairo().translate(cr, layout.width - kPad, middle - rightSize.advance / 2);
    Cairo().rotate(cr, M_PI / 2);
    ShowText(cr, rightCaption, ChartTextRole::Caption, 0, 0, 0);
    Cairo().restore(cr);

    ShowText(cr, ValidUtf8(chart.title), ChartTextRole::Title, layout.titleFontSize, layout.title.left, layout.title.top);

    // The legend: a sample of each series' line and marker, then its name and axis.
    for (std::size_t i = 0; i < chart.series.size() && i < layout.legend.size(); ++i) {
        const ChartSeries& series = chart.series[i];
        const ChartTextBox& box = layout.legend[i];
        const double sampleLeft = box.left - kLegendSampleGap - kLegendSample;
        const double y = box.top + box.height / 2.0;
        SetColour(cr, series.colour);
        if (series.lines) {
            Cairo().set_line_width(cr, kLineWidth);
            Cairo().move_to(cr, sampleLeft, y);
            Cairo().line_to(cr, sampleLeft + kLegendSample, y);
            StrokeLine(cr, series.dashed);
        }
        MarkerPath(cr, series.marker, sampleLeft + kLegendSample / 2.0, y);
        Cairo().fill(cr);
        SetColour(cr, kBlack);
        ShowText(cr, ValidUtf8(ChartLegendText(series)), ChartTextRole::Legend, 0, box.left, box.top);
    }
}

PictureSize Bounded(PictureSize size) {
    size.width = std::clamp(size.width, kMinPictureWidth, kMaxPictureSide);
    size.height = std::clamp(size.height, kMinPictureHeight, kMaxPictureSide);
    size.scale = std::clamp(size.scale, 1, std::min(kMaxPictureScale, kMaxPictureSide / std::max(size.width, size.height)));
    size.scale = std::max(size.scale, 1);
    return size;
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(CairoLibrary::surface_destroy)>;

// Draws the chart onto a surface whose units are the picture's, times `scale`.
bool Render(cairo_surface_t* surface, const Chart& chart, const PictureSize& size) {
    if (Cairo().surface_status(surface) != CAIRO_STATUS_SUCCESS) return false;
    cairo_t* cr = Cairo().create(surface);
    Cairo().scale(cr, size.scale, size.scale);
    DrawChart(cr, chart, LayOutChart(chart, size.width, size.height));
    const bool ok = Cairo().status(cr) == CAIRO_STATUS_SUCCESS;
    Cairo().destroy(cr);
    Cairo().surface_finish(surface);
    return ok && Cairo().surface_status(surface) == CAIRO_STATUS_SUCCESS;
}

RgbImage ImageOf(cairo_surface_t* surface) {
    const int width = Cairo().image_surface_get_width(surface), height = Cairo().image_surface_get_height(surface);
    RgbImage image(width, height);
    const unsigned char* data = Cairo().image_surface_get_data(surface);
    const int stride = Cairo().image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        std::uint8_t* out = image.Row(y);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<std::uint8_t>(in[x] >> 16);
            out[1] = static_cast<std::uint8_t>(in[x] >> 8);
            out[2] = static_cast<std::uint8_t>(in[x]);
        }
    }
    return image;
}

SurfacePtr PixelSurface(const Chart& chart, const PictureSize& size) {
    SurfacePtr surface(Cairo().image_surface_create(CAIRO_FORMAT_RGB24, size.width * size.scale, size.height * size.scale),
                       Cairo().surface_destroy);
    // The image surface's pixels stay readable after finishing; only its drawing ends.
    cairo_t* cr = Cairo().create(surface.get());
    Cairo().scale(cr, size.scale, size.scale);
    DrawChart(cr, chart, LayOutChart(chart, size.width, size.height));
    const bool ok = Cairo().status(cr) == CAIRO_STATUS_SUCCESS;
    Cairo().destroy(cr);
    Cairo().surface_flush(surface.get());
    if (!ok || Cairo().surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) surface.reset();
    return surface;
}

// SVG readers show the title; Cairo writes none, so it goes in after the opening tag.
std::string WithSvgTitle(std::string svg, const std::string& title) {
    const std::size_t open = svg.find("<svg");
    const std::size_t end = open == std::string::npos ? open : svg.find('>', open);
    if (end == std::string::npos || title.empty()) return svg;
    return svg.insert(end + 1, "\n<title>" + HtmlEscape(title) + "</title>");
}

} // namespace

ChartScale AutomaticChartScale(const std::vector<double>& values, int targetSteps) {
    double low = 0, high = 0;
    bool any = false;
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    if (!any) return {0, 1, 0.2};
    if (high - low <= std::max(std::fabs(high), std::fabs(low)) * 1e-12) {
        const double spread = low == 0 ? 1 : std::fabs(low) * 0.1;
        low -= spread;
        high += spread;
    }
    // Halves first, so that the width of the widest ranges does not overflow.
    const double rough = (high / 2 - low / 2) / std::max(targetSteps, 1) * 2;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power * (1 + 1e-9)) {
            step = factor * power;
            break;
        }
    ChartScale scale;
    scale.step = std::isfinite(step) ? step : std::numeric_limits<double>::max();
    scale.low = std::floor(low / scale.step + 1e-9) * scale.step;
    scale.high = std::ceil(high / scale.step - 1e-9) * scale.step;
    if (!std::isfinite(scale.low)) scale.low = -std::numeric_limits<double>::max();
    if (!std::isfinite(scale.high)) scale.high = std::numeric_limits<double>::max();
    if (scale.high <= scale.low) scale.high = scale.low + scale.step;
    // A spread too small for a step (a few denormal values) is drawn as one value.
    if (!(scale.step >= std::numeric_limits<double>::min())) return {std::floor(low) - 1, std::floor(low) + 1, 0.5};
    return scale;
}

namespace {

// Powers of ten or fixed decimals, and how many digits after the point, for every label of a scale.
struct TickNotation {
    bool powers = false;
    int precision = 0;
};

TickNotation TickNotationOf(const ChartScale& scale) {
    const double largest = std::max(std::fabs(scale.low), std::fabs(scale.high));
    const bool powers = largest >= 1e6 || (largest > 0 && scale.step < 1e-4) || !std::isfinite(scale.step);
    // The power of ten of the step's last digit: every label shows down to it, and no further.
    const double stepPower = std::floor(std::log10(scale.step) + 1e-9);
    const double mantissa = scale.step / std::pow(10.0, stepPower);
    int mantissaDecimals = 0;
    while (mantissaDecimals < 6 && std::fabs(mantissa * std::pow(10.0, mantissaDecimals) -
                                             std::round(mantissa * std::pow(10.0, mantissaDecimals))) > 1e-6)
        ++mantissaDecimals;
    const double lastDigit = stepPower - mantissaDecimals;
    const double digits = powers ? std::floor(std::log10(largest) + 1e-9) - lastDigit : -lastDigit;
    return {powers, std::isfinite(digits) ? static_cast<int>(std::clamp(digits, 0.0, 15.0)) : 0};
}

} // namespace

std::string ChartTickFormat(const ChartScale& scale) {
    const TickNotation notation = TickNotationOf(scale);
    return "%." + std::to_string(notation.precision) + (notation.powers ? "e" : "f");
}

std::vector<std::string> ChartTickLabels(const ChartScale& scale, char decimalSeparator) {
    const std::vector<double> ticks = Ticks(scale);
    const auto [powers, precision] = TickNotationOf(scale);
    std::vector<std::string> labels;
    for (double t : ticks) {
        if (std::fabs(t) < scale.step * 1e-9) t = 0;
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, t,
                                          powers ? std::chars_format::scientific : std::chars_format::fixed, precision);
        std::string label(buffer, result.ec == std::errc() ? result.ptr : buffer);
        std::replace(label.begin(), label.end(), '.', decimalSeparator);
        labels.push_back(std::move(label));
    }
    return labels;
}

std::optional<PictureSize> ParsePictureSize(std::string_view text) {
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) return std::nullopt;
    const auto whole = [](std::string_view digits, int low, int high) -> std::optional<int> {
        if (digits.empty() || digits.size() > 5) return std::nullopt;
        int value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value < low || value > high) return std::nullopt;
        return value;
    };
    const auto width = whole(text.substr(0, cross), kMinPictureWidth, kMaxPictureSide);
    const auto height = whole(text.substr(cross + 1), kMinPictureHeight, kMaxPictureSide);
    if (!width || !height) return std::nullopt;
    return PictureSize{*width, *height, 1};
}

std::optional<std::string> PictureSizeProblem(const PictureSize& size) {
    const long width = static_cast<long>(size.width) * size.scale, height = static_cast<long>(size.height) * size.scale;
    if (width <= kMaxPictureSide && height <= kMaxPictureSide) return std::nullopt;
    return "the picture would be " + std::to_string(width) + "x" + std::to_string(height) + " pixels; at most " +
           std::to_string(kMaxPictureSide) + "x" + std::to_string(kMaxPictureSide) + " can be written";
}

std::string ChartLegendText(const ChartSeries& series) {
    return series.name + (series.axis == SeriesAxis::Left ? " (left axis)" : " (right axis)");
}

ChartLayout LayOutChart(const Chart& chart, int width, int height) {
    ChartLayout layout;
    layout.width = std::max(width, kMinPictureWidth);
    layout.height = std::max(height, kMinPictureHeight);
    if (!Cairo().problem.empty()) return layout; // nothing can be measured
    const Measurer m;

    // Title, shrunk until it fits the width.
    const std::string title = ValidUtf8(chart.title);
    layout.titleFontSize = kTitleSize;
    TextSize titleSize = Measure(m.cr, title, ChartTextRole::Title, layout.titleFontSize);
    while (titleSize.advance > layout.width - 2 * kPad && layout.titleFontSize > kMinTitleSize) {
        layout.titleFontSize -= 1;
        titleSize = Measure(m.cr, title, ChartTextRole::Title, layout.titleFontSize);
    }
    layout.title = {std::max(0, static_cast<int>(std::lround((layout.width - titleSize.advance) / 2))), kPad,
                    titleSize.Width(), titleSize.Height()};
    int y = kPad + titleSize.Height() + 4;

    // Legend entries in one row when they fit, else one under the other.
    std::vector<TextSize> entries;
    int row = 0;
    for (const ChartSeries& series : chart.series) {
        entries.push_back(Measure(m.cr, ValidUtf8(ChartLegendText(series)), ChartTextRole::Legend));
        row += (row ? kLegendSpacing : 0) + kLegendSample + kLegendSampleGap + entries.back().Width();
    }
    const bool oneRow = row <= layout.width - 2 * kPad;
    int x = std::max(kPad, (layout.width - row) / 2);
    for (const TextSize& entry : entries) {
        if (!oneRow) x = std::max(kPad, (layout.width - kLegendSample - kLegendSampleGap - entry.Width()) / 2);
        layout.legend.push_back({x + kLegendSample + kLegendSampleGap, y, entry.Width(), entry.Height()});
        if (oneRow) x += kLegendSample + kLegendSampleGap + entry.Width() + kLegendSpacing;
        else y += entry.Height() + 2;
    }
    if (!entries.empty()) y = layout.legend.back().top + entries.back().Height();
    layout.top = y + kPad;

    // Scales, then the margins their labels and the captions need.
    layout.x = AutomaticChartScale(Coordinates(chart, true, std::nullopt), TargetSteps(layout.width));
    const int ySteps = TargetSteps(layout.height);
    if (chart.rightMirrorsLeft) {
        layout.y1 = layout.y2 = AutomaticChartScale(Coordinates(chart, false, std::nullopt), ySteps);
    } else {
        layout.y1 = AutomaticChartScale(Coordinates(chart, false, SeriesAxis::Left), ySteps);
        layout.y2 = AutomaticChartScale(Coordinates(chart, false, SeriesAxis::Right), ySteps);
    }
    const int captionHeight = Measure(m.cr, "Ag", ChartTextRole::Caption).Height();
    const int tickHeight = Measure(m.cr, "0", ChartTextRole::Tick).Height();
    const int leftTicks = MaxWidth(m.cr, ChartTickLabels(layout.y1, chart.decimalSeparator), ChartTextRole::Tick);
    const int rightTicks = MaxWidth(m.cr, ChartTickLabels(layout.y2, chart.decimalSeparator), ChartTextRole::Tick);
    layout.left = kPad + captionHeight + 6 + leftTicks + 6;
    layout.right = layout.width - 1 - (kPad + captionHeight + 6 + rightTicks + 7);
    layout.bottom = layout.height - 1 - (kPad + captionHeight + 4 + tickHeight + 6);
    // A very small picture still keeps a plot area.
    layout.right = std::max(layout.right, layout.left + 20);
    layout.bottom = std::max(layout.bottom, layout.top + 20);
    return layout;
}

RgbImage DrawChartImage(const Chart& chart, const PictureSize& size) {
    if (!Cairo().problem.empty()) return {};
    const PictureSize bounded = Bounded(size);
    const SurfacePtr surface = PixelSurface(chart, bounded);
    if (!surface) return {};
    return ImageOf(surface.get());
}

RgbImage DrawChartText(std::string_view text, ChartTextRole role, double fontSize) {
    if (!Cairo().problem.empty()) return {};
    const std::string valid = ValidUtf8(text);
    const Measurer m;
    const TextSize size = Measure(m.cr, valid, role, fontSize);
    SurfacePtr surface(Cairo().image_surface_create(CAIRO_FORMAT_RGB24, std::max(size.Width(), 1), std::max(size.Height(), 1)),
                       Cairo().surface_destroy);
    cairo_t* cr = Cairo().create(surface.get());
    SetColour(cr, kWhite);
    Cairo().paint(cr);
    SetColour(cr, kBlack);
    ShowText(cr, valid, role, fontSize, 0, 0);
    Cairo().destroy(cr);
    Cairo().surface_flush(surface.get());
    return ImageOf(surface.get());
}

std::string EncodeChart(const Chart& chart, PictureFormat format, const PictureSize& size) {
    if (!Cairo().problem.empty()) return {};
    const PictureSize bounded = Bounded(size);
    std::string bytes;
    switch (format) {
    case PictureFormat::Svg: {
        SurfacePtr surface(Cairo().svg_surface_create_for_stream(AppendBytes, &bytes, bounded.width, bounded.height),
                           Cairo().surface_destroy);
        Cairo().svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PX);
        if (!Render(surface.get(), chart, {bounded.width, bounded.height, 1})) return {};
        surface.reset();
        return WithSvgTitle(std::move(bytes), ValidUtf8(chart.title));
    }
    case PictureFormat::Pdf: {
        SurfacePtr surface(Cairo().pdf_surface_create_for_stream(AppendBytes, &bytes, bounded.width, bounded.height),
                           Cairo().surface_destroy);
        Cairo().pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, ValidUtf8(chart.title).c_str());
        Cairo().pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Ampvane");
        if (!Render(surface.get(), chart, {bounded.width, bounded.height, 1})) return {};
        surface.reset();
        return bytes;
    }
    case PictureFormat::Png: {
        const SurfacePtr surface = PixelSurface(chart, bounded);
        if (!surface || Cairo().surface_write_to_png_stream(surface.get(), AppendBytes, &bytes) != CAIRO_STATUS_SUCCESS)
            return {};
        return bytes;
    }
    case PictureFormat::Jpeg: return EncodeJpeg(DrawChartImage(chart, bounded));
    case PictureFormat::Bmp: return EncodeBmp(DrawChartImage(chart, bounded));
    }
    return {};
}

std::string SaveChart(const std::string& path, const Chart& chart, const PictureSize& size) {
    if (const std::string& problem = Cairo().problem; !problem.empty()) return UndrawablePicture(path, problem);
    return WritePictureFile(path, EncodeChart(chart, PictureFormatForFileName(path), size));
}

} // namespace ampvane
