// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_output.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

#include "common/work_crew.h"

namespace ampvane {
namespace {

// Below this many rows a block is made on one thread: starting another costs more than it saves.
constexpr std::size_t kRowsPerThread = 2048;
// Text made before it is handed on: enough to keep every core busy, little enough that a report of
// wide rows never holds much of its file at once.
constexpr std::size_t kBlockBytes = std::size_t{2} << 20;
constexpr std::size_t kFirstBlockRows = 2048;
constexpr std::size_t kMostBlockRows = 65536;

} // namespace

bool WriteRowsOnEveryCore(ChunkedOutput& out, std::size_t count, const RowText& rowText) {
    if (count < 2 * kRowsPerThread) {
        std::string text;
        rowText(text, 0, count);
        out += text;
        return out.ok();
    }
    const std::size_t threads = std::max(1u, std::thread::hardware_concurrency());
    // Every core makes text while this thread hands the previous block on.
    WorkCrew crew(static_cast<unsigned>(threads));
    // Two sets of texts: one being made while the other is handed on.
    std::vector<std::string> making(threads), done(threads);
    std::size_t donePieces = 0;
    const auto handOn = [&] {
        for (std::size_t piece = 0; piece < donePieces; ++piece) {
            if (out.ok()) out += done[piece];
            done[piece].clear();
        }
        donePieces = 0;
    };
    std::size_t nextRows = kFirstBlockRows;
    for (std::size_t blockBegin = 0, blockRows = 0; blockBegin < count && out.ok(); blockBegin += blockRows) {
        blockRows = std::min(nextRows, count - blockBegin);
        const std::size_t pieces = std::clamp<std::size_t>(blockRows / kRowsPerThread, 1, threads);
        const std::function<void(unsigned)> make = [&](unsigned piece) {
            if (piece < pieces)
                rowText(making[piece], blockBegin + blockRows * piece / pieces,
                        blockBegin + blockRows * (piece + 1) / pieces);
        };
        {
            const WorkCrew::Round round = crew.Start(make);
            handOn();
        }
        std::swap(making, done);
        donePieces = pieces;
        // The next block as long as this one's rows make kBlockBytes of text.
        std::size_t bytes = 0;
        for (std::size_t piece = 0; piece < pieces; ++piece) bytes += done[piece].size();
        nextRows = std::clamp<std::size_t>(kBlockBytes * blockRows / std::max<std::size_t>(bytes, 1), kRowsPerThread,
                                           kMostBlockRows);
    }
    handOn();
    return out.ok();
}

} // namespace ampvane
