// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/report_output.h"

#include <algorithm>
#include <atomic>
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
// A block is shared out in pieces taken in turn, so that a core slowed by the handing on (or by
// anything else) takes fewer of them rather than holding up the rest.
constexpr std::size_t kRowsPerPiece = 256;
constexpr std::size_t kPiecesPerCore = 4;

} // namespace

bool WriteRowsOnEveryCore(ChunkedOutput& out, std::size_t count, const RowText& rowText) {
    if (count < 2 * kRowsPerThread) {
        std::string text;
        rowText(text, 0, count);
        out += text;
        return out.ok();
    }
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    // The helpers make text while this thread hands the previous block on, then makes text with them.
    WorkCrew crew(static_cast<unsigned>(cores - 1));
    const std::size_t mostPieces = cores * kPiecesPerCore;
    // Two sets of texts: one being made while the other is handed on.
    std::vector<std::string> making(mostPieces), done(mostPieces);
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
        const std::size_t pieces = std::clamp<std::size_t>(blockRows / kRowsPerPiece, 1, mostPieces);
        std::atomic<std::size_t> nextPiece{0};
        const auto makePieces = [&] {
            for (std::size_t piece = nextPiece++; piece < pieces; piece = nextPiece++)
                rowText(making[piece], blockBegin + blockRows * piece / pieces,
                        blockBegin + blockRows * (piece + 1) / pieces);
        };
        const std::function<void(unsigned)> make = [&](unsigned) { makePieces(); };
        {
            const WorkCrew::Round round = crew.Start(make);
            handOn();
            makePieces();
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
