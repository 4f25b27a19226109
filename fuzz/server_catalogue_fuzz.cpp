// SPDX-License-Identifier: GPL-3.0-or-later
// A catalogue file from any bytes, and the HTML pages made from it: the file may be refused, but a page
// never lets a row end the comment that carries its importable block.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/exchange_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane::server;
    std::string error;
    const auto blocks = ReadCatalogueText(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!blocks.empty() && !error.empty()) std::abort();
    for (const CatalogueBlock& block : blocks) {
        const std::string page = HtmlTablePage(block.kind, block.header, block.lines);
        const std::size_t open = page.find("<!--");
        const std::size_t close = page.find("-->", open);
        // The header line is the operator's own; rows are what may not end the comment.
        if (block.header.find("--") == std::string::npos && close != page.rfind("-->")) std::abort();
        if (close == std::string::npos) std::abort();
    }
    return 0;
}
