// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/wiring.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "analysis/analysis_input.h"
#include "common/numeric_text.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

// A workbench count as the wizard reads it: empty, "-" or no whole number gives 1.
std::int64_t CountOf(const WorkbenchFields& fields, C id) {
    const auto value = ParseInteger(TrimText(fields.Text(id)));
    return value ? *value : 1;
}

int Clamp(std::int64_t value, int high) { return static_cast<int>(std::clamp<std::int64_t>(value, 1, high)); }

std::string CountText(int n) { return n == 1 ? std::string() : std::to_string(n); }

// The tagged controls in creation order.
enum class Tagged { AlwaysParallel, SeriesParallel, ParallelSeries, UsingBec };
struct TagInfo {
    Tagged control;
    int tag;
    bool radio;
};
constexpr std::array<TagInfo, 4> kTags{{{Tagged::AlwaysParallel, 1, false},
                                        {Tagged::SeriesParallel, 3, true},
                                        {Tagged::ParallelSeries, 4, true},
                                        {Tagged::UsingBec, 2, false}}};

bool BatteryJoined(const WiringState& s, int i) {
    if (i == 0) return false;
    const int B = s.batteries, E = s.speedControls;
    if (s.alwaysParallel) return true;
    if (B % E == 0) return i % (B / E) != 0;
    if (E % B == 0) return false;
    return true;
}

bool SpeedControlJoined(const WiringState& s, int i) {
    if (i == 0) return false;
    const int B = s.batteries, E = s.speedControls;
    if (s.alwaysParallel) return true;
    if (E % B == 0) return i % (E / B) != 0;
    if (B % E == 0) return false;
    return true;
}

class Painter {
public:
    explicit Painter(WiringDrawing& d) : d_(d) {}
    int originX = 0;
    void Fill(int x, int y, int w, int h, WiringColour c) { d_.rects.push_back({originX + x, y, w, h, c}); }
    void Line(int x1, int y1, int x2, int y2, WiringColour c) {
        Fill(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1, c);
    }
    void Box(int x, int y, int w, int h, WiringColour fill) {
        Fill(x, y, w, h, fill);
        Line(x, y, x + w - 1, y, WiringColour::Black);
        Line(x, y + h - 1, x + w - 1, y + h - 1, WiringColour::Black);
        Line(x, y, x, y + h - 1, WiringColour::Black);
        Line(x + w - 1, y, x + w - 1, y + h - 1, WiringColour::Black);
    }
    // Plus at a positive terminal, minus at a negative one; x is the stroke's left end.
    void Plus(int x, int y) {
        Line(x, y, x + 6, y, WiringColour::Positive);
        Line(x + 3, y - 3, x + 3, y + 4, WiringColour::Positive);
    }
    void Minus(int x, int y) { Line(x, y, x + 6, y, WiringColour::Black); }
    void Junction(int x, int y) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx || dy) Fill(x + dx, y + dy, 1, 1, WiringColour::Junction);
    }
    // The fuse-style marker: an 11 × 13 box with a white F, centred on the line at y.
    void Marker(int x, int y) {
        Fill(x, y - 6, 11, 13, WiringColour::Positive);
        Fill(x + 3, y - 3, 2, 7, WiringColour::White);
        Fill(x + 3, y - 3, 6, 2, WiringColour::White);
        Fill(x + 3, y, 4, 1, WiringColour::White);
    }

private:
    WiringDrawing& d_;
};

constexpr int kBoxHeight = 30;
constexpr int kTerminalInset = kBoxHeight / 4; // 7
constexpr int kTopMargin = 17;

int BoxTop(int j, int n, int panelHeight) {
    const int step = (panelHeight - kTopMargin) * 60 / n;
    return (kTopMargin * 60 + j * step + 30) / 60;
}

} // namespace

WiringView WiringViewOf(const WiringState& s) {
    WiringView view;
    view.possible = CheckSpeedControlCount(s.motorRows, s.speedControls).empty() &&
                    (!s.brushless || (s.motorRows == s.speedControls && s.parallelMotors == 1));
    const int B = s.batteries, E = s.speedControls;
    view.alwaysParallelEnabled = E >= 2 && B >= 2 && (B % E == 0 || E % B == 0);
    view.arrangementEnabled = s.motorRows / E >= 2 && s.parallelMotors >= 2 && !s.brushless;
    return view;
}

WiringState WiringFromWorkbench(const WorkbenchFields& fields) {
    WiringState s;
    s.batteries = Clamp(CountOf(fields, C::ParallelCellsFromEdit), kMaxBatteries);
    s.speedControls = Clamp(CountOf(fields, C::MultipleESCsEdit), kMaxSpeedControls);
    s.parallelMotors = Clamp(CountOf(fields, C::ParallelMotorsEdit) / s.speedControls, kMaxParallelMotors);
    s.motorRows = Clamp(CountOf(fields, C::SeriesMotorsEdit) * s.speedControls, kMaxMotorRows);
    s.alwaysParallel = false;
    s.usingBec = CountOf(fields, C::NumberOfCellsToEdit) <= 10;
    s.seriesParallel = true;
    RestoreWireInfo(s, fields.Text(C::WireWizInfoEdit));
    s.brushless = fields.Checked(C::MotorBrushlessCheckBox);
    return s;
}

std::string SaveWireInfo(const WiringState& s) {
    std::string text;
    for (const TagInfo& t : kTags) {
        switch (t.control) {
        case Tagged::AlwaysParallel: text += (s.alwaysParallel ? "" : "-") + std::to_string(t.tag) + ";"; break;
        case Tagged::UsingBec: text += (s.usingBec ? "" : "-") + std::to_string(t.tag) + ";"; break;
        case Tagged::SeriesParallel:
            if (s.seriesParallel) text += std::to_string(t.tag) + ";";
            break;
        case Tagged::ParallelSeries:
            if (!s.seriesParallel) text += std::to_string(t.tag) + ";";
            break;
        }
    }
    return text;
}

void RestoreWireInfo(WiringState& s, std::string_view text) {
    std::size_t at = 0;
    std::size_t last = 0; // the control found last; the search starts there
    while (at < text.size()) {
        bool negative = false;
        if (text[at] == '-') {
            negative = true;
            ++at;
        }
        const std::size_t digitsStart = at;
        std::int64_t number = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            if (number < 1000000) number = number * 10 + (text[at] - '0');
            ++at;
        }
        if (at == digitsStart) return;
        std::size_t found = kTags.size();
        for (std::size_t k = 0; k < kTags.size(); ++k) {
            const std::size_t i = (last + k) % kTags.size();
            if (kTags[i].tag == number) {
                found = i;
                break;
            }
        }
        if (found == kTags.size()) return;
        last = found;
        const bool positive = !negative && number != 0;
        switch (kTags[found].control) {
        case Tagged::AlwaysParallel: s.alwaysParallel = positive; break;
        case Tagged::UsingBec: s.usingBec = positive; break;
        case Tagged::SeriesParallel: s.seriesParallel = true; break;
        case Tagged::ParallelSeries: s.seriesParallel = false; break;
        }
        ++at; // the separator
    }
}

bool ApplyWiring(const WiringState& s, WorkbenchFields& fields) {
    if (!WiringViewOf(s).possible) return false;
    fields.SetText(C::ParallelCellsFromEdit, CountText(s.batteries));
    fields.SetText(C::ParallelCellsToEdit, CountText(s.batteries));
    fields.SetText(C::MultipleESCsEdit, CountText(s.speedControls));
    fields.SetText(C::ParallelMotorsEdit, CountText(s.parallelMotors * s.speedControls));
    fields.SetText(C::SeriesMotorsEdit, CountText(s.motorRows / s.speedControls));
    fields.SetText(C::WireWizInfoEdit, SaveWireInfo(s));
    return true;
}

std::uint32_t WiringRgb(WiringColour colour, bool many) {
    switch (colour) {
    case WiringColour::White: return 0xFFFFFF;
    case WiringColour::Black: return 0x000000;
    case WiringColour::Positive: return many ? 0xCC0000 : 0xFF0000;
    case WiringColour::Junction: return many ? 0x666666 : 0x808080;
    case WiringColour::SeriesLink:
    case WiringColour::Phase: return many ? 0x0033CC : 0x0000FF;
    case WiringColour::Shaft: return many ? 0xCCCCCC : 0xC0C0C0;
    case WiringColour::BatteryFill: return many ? 0xFFFFAA : 0xFFFF00;
    case WiringColour::SpeedControlFill: return many ? 0xAAFFFF : 0x00FFFF;
    case WiringColour::MotorFill: return many ? 0xFFAAFF : 0xFF00FF;
    }
    return 0;
}

WiringDrawing DrawWiring(const WiringState& s, int motorPanelWidth, int panelHeight) {
    using W = WiringColour;
    WiringDrawing d;
    d.panelWidths = {kBatteryPanelWidth, kSpeedControlPanelWidth, motorPanelWidth};
    d.width = kBatteryPanelWidth + kSpeedControlPanelWidth + motorPanelWidth;
    d.height = panelHeight;
    Painter p(d);
    const bool possible = WiringViewOf(s).possible;
    const int B = std::clamp(s.batteries, 1, kMaxBatteries), E = std::clamp(s.speedControls, 1, kMaxSpeedControls);
    const int P = std::clamp(s.parallelMotors, 1, kMaxParallelMotors), R = std::clamp(s.motorRows, 1, kMaxMotorRows);
    const auto clear = [&](int width) { p.Fill(0, 0, width, panelHeight, W::White); };

    // Batteries: leads leave to the right.
    clear(kBatteryPanelWidth);
    {
        const int w = 72, x = (kBatteryPanelWidth - w) / 2, right = x + w;
        const int xp = right + 10, xn = right + 20;
        for (int i = 0; i < B; ++i) {
            const int top = BoxTop(i, B, panelHeight), yp = top + kTerminalInset,
                      yn = top + kBoxHeight - 1 - kTerminalInset;
            p.Box(x, top, w, kBoxHeight, W::BatteryFill);
            p.Plus(right - 11, yp);
            p.Minus(right - 11, yn);
            if (!BatteryJoined(s, i)) {
                p.Line(right, yp, kBatteryPanelWidth - 1, yp, W::Positive);
                p.Line(right, yn, kBatteryPanelWidth - 1, yn, W::Black);
            } else {
                const int above = BoxTop(i - 1, B, panelHeight);
                p.Line(right, yp, xp, yp, W::Positive);
                p.Line(xp, yp, xp, above + kTerminalInset, W::Positive);
                p.Junction(xp, above + kTerminalInset);
                p.Line(right, yn, xn, yn, W::Black);
                p.Line(xn, yn, xn, above + kBoxHeight - 1 - kTerminalInset, W::Black);
                p.Junction(xn, above + kBoxHeight - 1 - kTerminalInset);
            }
        }
    }

    // Speed controls: inputs from the left, outputs (or phase wires) to the right.
    p.originX = kBatteryPanelWidth;
    clear(kSpeedControlPanelWidth);
    {
        const int w = 45, x = (kSpeedControlPanelWidth - w) / 2, right = x + w;
        const int xp = x - 10, xn = x - 20;
        const int outEnd = possible ? kSpeedControlPanelWidth - 1 : right + 8;
        for (int i = 0; i < E; ++i) {
            const int top = BoxTop(i, E, panelHeight), yp = top + kTerminalInset,
                      yn = top + kBoxHeight - 1 - kTerminalInset;
            const bool starts = !SpeedControlJoined(s, i);
            p.Box(x, top, w, kBoxHeight, W::SpeedControlFill);
            p.Plus(x + 4, yp);
            p.Minus(x + 4, yn);
            if (starts) {
                p.Line(0, yp, x - 1, yp, W::Positive);
                p.Line(0, yn, x - 1, yn, W::Black);
                if (!s.usingBec) p.Marker(5, yp);
            } else {
                const int above = BoxTop(i - 1, E, panelHeight);
                p.Line(xp, yp, x - 1, yp, W::Positive);
                p.Line(xp, yp, xp, above + kTerminalInset, W::Positive);
                p.Junction(xp, above + kTerminalInset);
                p.Line(xn, yn, x - 1, yn, W::Black);
                p.Line(xn, yn, xn, above + kBoxHeight - 1 - kTerminalInset, W::Black);
                p.Junction(xn, above + kBoxHeight - 1 - kTerminalInset);
            }
            if (s.brushless) {
                for (int y : {yp, top + kBoxHeight / 2, yn}) p.Line(right, y, outEnd, y, W::Phase);
            } else {
                p.Line(right, yp, outEnd, yp, W::Positive);
                p.Line(right, yn, outEnd, yn, W::Black);
                if (s.usingBec && possible) p.Marker(kSpeedControlPanelWidth - 22, yp);
            }
        }
    }

    // Motors: R rows in E series strings of S rows, P columns.
    p.originX = kBatteryPanelWidth + kSpeedControlPanelWidth;
    clear(motorPanelWidth);
    {
        const int w = 92 - 13 * P, pitch = (motorPanelWidth - 17) / P;
        const int S = possible ? R / E : 1;
        for (int i = 0; i < R; ++i) {
            const int top = BoxTop(i, R, panelHeight), yp = top + kTerminalInset,
                      yn = top + kBoxHeight - 1 - kTerminalInset;
            const bool first = i % S == 0, last = (i + 1) % S == 0;
            for (int c = 0; c < P; ++c) {
                const int x = 16 + c * pitch;
                p.Box(x, top, w, kBoxHeight, W::MotorFill);
                p.Fill(x + w, top + 8, 4, 14, W::Shaft);
                p.Fill(x + w + 4, top + 13, 10, 4, W::Shaft);
                p.Plus(x + 4, yp);
                p.Minus(x + 4, yn);
                if (!possible) continue;
                if (s.brushless) {
                    for (int y : {yp, top + kBoxHeight / 2, yn}) p.Line(0, y, x - 1, y, W::Phase);
                    continue;
                }
                if (c == 0) {
                    if (first) p.Line(0, yp, x - 1, yp, W::Positive);
                    if (last) {
                        const int firstTop = BoxTop(i - (S - 1), R, panelHeight);
                        p.Line(1, firstTop + kBoxHeight - 1 - kTerminalInset, 1, yn, W::Black);
                        p.Line(0, yn, x - 1, yn, W::Black);
                    }
                }
                if (!first && (c == 0 || s.seriesParallel)) {
                    // Series link from the negative lead of the row above to this row's positive lead.
                    const int aboveNeg = BoxTop(i - 1, R, panelHeight) + kBoxHeight - 1 - kTerminalInset;
                    const int lx = x - 6;
                    p.Line(lx, aboveNeg, x - 1, aboveNeg, W::SeriesLink);
                    p.Line(lx, aboveNeg, lx, yp, W::SeriesLink);
                    p.Line(lx, yp, x - 1, yp, W::SeriesLink);
                }
                if (c > 0) {
                    const int px = 16 + (c - 1) * pitch - 3, cx = x - 3;
                    const bool positive = !s.seriesParallel || first;
                    const bool negative = !s.seriesParallel || last;
                    if (positive) {
                        p.Line(px, yp, px, top - 3, W::Positive);
                        p.Line(px, top - 3, cx, top - 3, W::Positive);
                        p.Line(cx, top - 3, cx, yp, W::Positive);
                        p.Line(cx, yp, x - 1, yp, W::Positive);
                        p.Junction(px, yp);
                    }
                    if (negative) {
                        const int below = top + kBoxHeight + 2;
                        p.Line(px, yn, px, below, W::Black);
                        p.Line(px, below, cx, below, W::Black);
                        p.Line(cx, below, cx, yn, W::Black);
                        p.Line(cx, yn, x - 1, yn, W::Black);
                        p.Junction(px, yn);
                    }
                }
            }
        }
    }
    return d;
}

std::vector<std::uint8_t> RasterizeWiring(const WiringDrawing& d, bool many) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(d.width) * d.height * 3, 0xFF);
    const auto put = [&](int x, int y, std::uint32_t c) {
        if (x < 0 || y < 0 || x >= d.width || y >= d.height) return;
        std::uint8_t* px = &rgb[(static_cast<std::size_t>(y) * d.width + x) * 3];
        px[0] = static_cast<std::uint8_t>(c >> 16);
        px[1] = static_cast<std::uint8_t>(c >> 8);
        px[2] = static_cast<std::uint8_t>(c);
    };
    for (const WiringRect& r : d.rects) {
        const std::uint32_t c = WiringRgb(r.colour, many);
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) put(x, y, c);
    }
    return rgb;
}

} // namespace ampvane
