// SPDX-License-Identifier: GPL-3.0-or-later
#include "advice/graph_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "common/file_write.h"

namespace ampvane {

namespace {

constexpr int kMinWidth = 200;
constexpr int kMinHeight = 150;
constexpr int kMarginLeft = 64;
constexpr int kMarginRight = 64;
constexpr int kMarginTop = 32;
constexpr int kMarginBottom = 48;
constexpr int kMarkerRadius = 2;
constexpr int kFontScale = 2;

constexpr RgbColour kWhite{255, 255, 255};
constexpr RgbColour kBlack{0, 0, 0};
constexpr RgbColour kGridColour{208, 208, 208};

std::vector<double> Coordinates(const std::vector<GraphPoint>& points, bool x) {
    std::vector<double> values;
    values.reserve(points.size());
    for (const GraphPoint& p : points) values.push_back(x ? p.x : p.y);
    return values;
}

bool Finite(const GraphPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// A step label as short as the step allows: 0.25 steps show two decimals, 50 steps none.
std::string TickText(double value, double step) {
    if (std::fabs(value) < step * 1e-9) value = 0;
    char buffer[64];
    const double magnitude = std::max(std::fabs(value), step);
    if (magnitude >= 1e7 || step < 1e-5) {
        std::snprintf(buffer, sizeof buffer, "%.3g", value);
    } else {
        const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    }
    return buffer;
}

std::vector<double> Ticks(const GraphAxisScale& scale) {
    std::vector<double> ticks;
    const int count = static_cast<int>(std::lround((scale.high - scale.low) / scale.step));
    for (int i = 0; i <= count; ++i) ticks.push_back(scale.low + i * scale.step);
    return ticks;
}

// Maps values onto the plot area; far-off values are held at a bounded distance so the integer
// conversion stays defined.
struct Mapper {
    const GraphLayout& layout;
    double X(double v) const { return Along(v, layout.x, layout.left, layout.right); }
    double Y(double v, const GraphAxisScale& s) const { return Along(v, s, layout.bottom, layout.top); }
    static double Along(double v, const GraphAxisScale& s, int from, int to) {
        const double t = (v - s.low) / (s.high - s.low);
        return std::clamp(from + t * (to - from), -1e6, 1e6);
    }
};

// Digits and the few signs a number label needs, 3 x 5 cells, top row first, left cell the high bit.
const std::array<std::uint8_t, 5>* Glyph(char c) {
    static const std::array<std::uint8_t, 5> digits[10] = {
        {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
        {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};
    static const std::array<std::uint8_t, 5> minus{0, 0, 7, 0, 0}, point{0, 0, 0, 0, 2}, e{0, 7, 7, 4, 7},
        plus{0, 2, 7, 2, 0};
    if (c >= '0' && c <= '9') return &digits[c - '0'];
    if (c == '-') return &minus;
    if (c == '.') return &point;
    if (c == 'e') return &e;
    if (c == '+') return &plus;
    return nullptr;
}

int TextWidth(const std::string& text) { return static_cast<int>(text.size()) * 4 * kFontScale - kFontScale; }
constexpr int kTextHeight = 5 * kFontScale;

class Canvas {
public:
    explicit Canvas(RgbImage& image) : image_(image) {}

    void Put(int x, int y, RgbColour c) {
        if (x >= 0 && y >= 0 && x < image_.Width() && y < image_.Height()) image_.SetPixel(x, y, c);
    }
    // Within the clip rectangle only, so series never spill over the axes.
    void Clipped(int x, int y, RgbColour c) {
        if (x >= clip_[0] && y >= clip_[1] && x <= clip_[2] && y <= clip_[3]) Put(x, y, c);
    }
    void Clip(int left, int top, int right, int bottom) { clip_ = {left, top, right, bottom}; }

    void Line(int x0, int y0, int x1, int y1, RgbColour c) {
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        while (true) {
            Clipped(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            const int twice = 2 * error;
            if (twice >= dy) { error += dy; x0 += sx; }
            if (twice <= dx) { error += dx; y0 += sy; }
        }
    }
    void Text(int x, int y, const std::string& text) {
        for (char c : text) {
            if (const auto* glyph = Glyph(c))
                for (int row = 0; row < 5; ++row)
                    for (int col = 0; col < 3; ++col)
                        if ((*glyph)[row] & (4 >> col))
                            for (int i = 0; i < kFontScale * kFontScale; ++i)
                                Put(x + col * kFontScale + i % kFontScale, y + row * kFontScale + i / kFontScale, kBlack);
            x += 4 * kFontScale;
        }
    }

private:
    RgbImage& image_;
    std::array<int, 4> clip_{0, 0, -1, -1};
};

int Round(double v) { return static_cast<int>(std::lround(v)); }

void DrawSeries(Canvas& canvas, const std::vector<GraphPoint>& points, const Mapper& map, const GraphAxisScale& y,
                bool lines, RgbColour colour, bool round) {
    const GraphPoint* previous = nullptr;
    for (const GraphPoint& p : points) {
        if (!Finite(p)) { previous = nullptr; continue; }
        const int px = Round(map.X(p.x)), py = Round(map.Y(p.y, y));
        if (lines && previous)
            canvas.Line(Round(map.X(previous->x)), Round(map.Y(previous->y, y)), px, py, colour);
        for (int dy = -kMarkerRadius; dy <= kMarkerRadius; ++dy)
            for (int dx = -kMarkerRadius; dx <= kMarkerRadius; ++dx)
                if (!round || dx * dx + dy * dy <= kMarkerRadius * kMarkerRadius + 1) canvas.Clipped(px + dx, py + dy, colour);
        previous = &p;
    }
}

std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

std::string Hex(RgbColour c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.red, c.green, c.blue);
    return buffer;
}

std::string SvgText(double x, double y, const std::string& text, const char* anchor, double rotate = 0) {
    std::string s = "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"";
    if (rotate != 0) s += " transform=\"rotate(" + Number(rotate) + " " + Number(x) + " " + Number(y) + ")\"";
    return s + ">" + HtmlEscape(text) + "</text>\n";
}

void SvgSeries(std::string& svg, const std::vector<GraphPoint>& points, const Mapper& map, const GraphAxisScale& y,
               bool lines, RgbColour colour, bool round) {
    const std::string hex = Hex(colour);
    std::string run;
    const auto flush = [&] {
        if (lines && run.find(' ') != run.rfind(' '))
            svg += "<polyline fill=\"none\" stroke=\"" + hex + "\" points=\"" + run + "\"/>\n";
        run.clear();
    };
    for (const GraphPoint& p : points) {
        if (!Finite(p)) { flush(); continue; }
        const double px = map.X(p.x) + 0.5, py = map.Y(p.y, y) + 0.5;
        run += Number(px) + "," + Number(py) + " ";
        if (round)
            svg += "<circle cx=\"" + Number(px) + "\" cy=\"" + Number(py) + "\" r=\"2.5\" fill=\"" + hex + "\"/>\n";
        else
            svg += "<rect x=\"" + Number(px - 2.5) + "\" y=\"" + Number(py - 2.5) +
                   "\" width=\"5\" height=\"5\" fill=\"" + hex + "\"/>\n";
    }
    flush();
}

} // namespace

GraphAxisScale AutomaticGraphScale(const std::vector<double>& values) {
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
    const double rough = (high - low) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power * (1 + 1e-9)) { step = factor * power; break; }
    GraphAxisScale scale;
    scale.step = step;
    scale.low = std::floor(low / step + 1e-9) * step;
    scale.high = std::ceil(high / step - 1e-9) * step;
    if (scale.high <= scale.low) scale.high = scale.low + step;
    return scale;
}

GraphLayout LayOutGraph(const GraphPlot& plot, int width, int height) {
    GraphLayout layout;
    layout.width = std::max(width, kMinWidth);
    layout.height = std::max(height, kMinHeight);
    layout.left = kMarginLeft;
    layout.top = kMarginTop;
    layout.right = layout.width - 1 - kMarginRight;
    layout.bottom = layout.height - 1 - kMarginBottom;
    std::vector<double> xs = Coordinates(plot.left, true);
    const std::vector<double> rightXs = Coordinates(plot.right, true);
    xs.insert(xs.end(), rightXs.begin(), rightXs.end());
    layout.x = AutomaticGraphScale(xs);
    std::vector<double> leftYs = Coordinates(plot.left, false);
    const std::vector<double> rightYs = Coordinates(plot.right, false);
    if (plot.sameUnit) {
        leftYs.insert(leftYs.end(), rightYs.begin(), rightYs.end());
        layout.y1 = layout.y2 = AutomaticGraphScale(leftYs);
    } else {
        layout.y1 = AutomaticGraphScale(leftYs);
        layout.y2 = AutomaticGraphScale(rightYs);
    }
    return layout;
}

RgbImage DrawGraphPicture(const GraphPlot& plot, int width, int height) {
    const GraphLayout layout = LayOutGraph(plot, width, height);
    RgbImage image(layout.width, layout.height, kWhite);
    Canvas canvas(image);
    const Mapper map{layout};
    canvas.Clip(layout.left, layout.top, layout.right, layout.bottom);
    for (double t : Ticks(layout.x)) {
        const int x = Round(map.X(t));
        canvas.Line(x, layout.top, x, layout.bottom, kGridColour);
        const std::string text = TickText(t, layout.x.step);
        canvas.Text(x - TextWidth(text) / 2, layout.bottom + 8, text);
    }
    for (double t : Ticks(layout.y1)) {
        const int y = Round(map.Y(t, layout.y1));
        canvas.Line(layout.left, y, layout.right, y, kGridColour);
        const std::string text = TickText(t, layout.y1.step);
        canvas.Text(layout.left - 6 - TextWidth(text), y - kTextHeight / 2, text);
    }
    for (double t : Ticks(layout.y2)) {
        const std::string text = TickText(t, layout.y2.step);
        canvas.Text(layout.right + 6, Round(map.Y(t, layout.y2)) - kTextHeight / 2, text);
    }
    DrawSeries(canvas, plot.right, map, layout.y2, plot.lines, kGraphRightColour, false);
    DrawSeries(canvas, plot.left, map, layout.y1, plot.lines, kGraphLeftColour, true);
    canvas.Clip(0, 0, layout.width - 1, layout.height - 1);
    canvas.Line(layout.left, layout.top, layout.right, layout.top, kBlack);
    canvas.Line(layout.left, layout.bottom, layout.right, layout.bottom, kBlack);
    canvas.Line(layout.left, layout.top, layout.left, layout.bottom, kBlack);
    canvas.Line(layout.right, layout.top, layout.right, layout.bottom, kBlack);
    return image;
}

std::string GraphSvg(const GraphPlot& plot, int width, int height) {
    const GraphLayout layout = LayOutGraph(plot, width, height);
    const Mapper map{layout};
    const std::string w = std::to_string(layout.width), h = std::to_string(layout.height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
                      "\" font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%\" height=\"100%\" "
                      "fill=\"#ffffff\"/>\n<g stroke=\"" + Hex(kGridColour) + "\">\n";
    const double left = layout.left + 0.5, right = layout.right + 0.5, top = layout.top + 0.5,
                 bottom = layout.bottom + 0.5;
    std::string labels;
    for (double t : Ticks(layout.x)) {
        const double x = map.X(t) + 0.5;
        svg += "<line x1=\"" + Number(x) + "\" y1=\"" + Number(top) + "\" x2=\"" + Number(x) + "\" y2=\"" +
               Number(bottom) + "\"/>\n";
        labels += SvgText(x, bottom + 16, TickText(t, layout.x.step), "middle");
    }
    for (double t : Ticks(layout.y1)) {
        const double y = map.Y(t, layout.y1) + 0.5;
        svg += "<line x1=\"" + Number(left) + "\" y1=\"" + Number(y) + "\" x2=\"" + Number(right) + "\" y2=\"" +
               Number(y) + "\"/>\n";
        labels += SvgText(left - 6, y + 4, TickText(t, layout.y1.step), "end");
    }
    for (double t : Ticks(layout.y2))
        labels += SvgText(right + 6, map.Y(t, layout.y2) + 4.5 - 0.5, TickText(t, layout.y2.step), "start");
    svg += "</g>\n<svg x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(right - left + 1) +
           "\" height=\"" + Number(bottom - top + 1) + "\" viewBox=\"" + Number(left) + " " + Number(top) + " " +
           Number(right - left + 1) + " " + Number(bottom - top + 1) + "\" overflow=\"hidden\">\n";
    SvgSeries(svg, plot.right, map, layout.y2, plot.lines, kGraphRightColour, false);
    SvgSeries(svg, plot.left, map, layout.y1, plot.lines, kGraphLeftColour, true);
    svg += "</svg>\n<rect x=\"" + Number(left) + "\" y=\"" + Number(top) + "\" width=\"" + Number(right - left) +
           "\" height=\"" + Number(bottom - top) + "\" fill=\"none\" stroke=\"#000000\"/>\n" + labels;
    svg += SvgText(layout.width / 2.0, 20, plot.title, "middle");
    svg += SvgText((left + right) / 2, layout.height - 10.0, plot.xTitle, "middle");
    svg += SvgText(14, (top + bottom) / 2, plot.leftTitle, "middle", -90);
    if (!plot.sameUnit || plot.rightTitle != plot.leftTitle)
        svg += SvgText(layout.width - 10.0, (top + bottom) / 2, plot.rightTitle, "middle", 90);
    return svg + "</svg>\n";
}

std::string SaveGraphPicture(const std::string& path, const GraphPlot& plot, int width, int height) {
    if (PictureFormatForFileName(path) == PictureFormat::Svg) return WriteFileAtomically(path, GraphSvg(plot, width, height));
    return WritePicture(path, DrawGraphPicture(plot, width, height));
}

} // namespace ampvane
