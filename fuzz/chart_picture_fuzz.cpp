// SPDX-License-Identifier: GPL-3.0-or-later
// A picture size as --size takes it, and a chart of any points and captions: the first line is the
// size text, the second the title (any bytes), the rest pairs of doubles as raw bytes. Parsing must
// stay within the limits, and drawing must neither crash nor fail for any values or texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "picture/chart_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find('\n');
    const std::string_view sizeText = input.substr(0, first);
    input = first == std::string_view::npos ? std::string_view() : input.substr(first + 1);
    const std::size_t second = input.find('\n');
    const std::string_view title = input.substr(0, second);
    input = second == std::string_view::npos ? std::string_view() : input.substr(second + 1);

    PictureSize picture;
    if (const auto parsed = ParsePictureSize(sizeText)) {
        if (parsed->width < kMinPictureWidth || parsed->height < kMinPictureHeight ||
            parsed->width > kMaxPictureSide || parsed->height > kMaxPictureSide)
            std::abort();
        // Drawn small: the size limits are checked above, the drawing needs no large picture.
        picture = {kMinPictureWidth + parsed->width % 100, kMinPictureHeight + parsed->height % 100, 1};
    }

    Chart chart;
    chart.title = std::string(title);
    chart.xCaption = chart.leftCaption = chart.rightCaption = std::string(title.substr(0, 20));
    chart.rightMirrorsLeft = !title.empty() && title[0] % 2;
    chart.series = {{"left", {}, {255, 0, 0}, SeriesMarker::Circle, SeriesAxis::Left, true},
                    {"right", {}, {0, 0, 255}, SeriesMarker::Square, SeriesAxis::Right, false}};
    for (std::size_t i = 0; i + 2 * sizeof(double) <= input.size() && i < 64 * 16; i += 2 * sizeof(double)) {
        ChartPoint p;
        std::memcpy(&p.x, input.data() + i, sizeof(double));
        std::memcpy(&p.y, input.data() + i + sizeof(double), sizeof(double));
        chart.series[(i / 16) % 2].points.push_back(p);
    }
    if (EncodeChart(chart, PictureFormat::Png, picture).empty()) std::abort();
    return 0;
}
