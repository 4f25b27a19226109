// SPDX-License-Identifier: GPL-3.0-or-later
// A contribution request from any bytes: refused with a reason, or accepted as a line that the
// program's tables can take (its table's columns, no control characters but TAB, a name).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/table_catalogue.h"
#include "server/exchange_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane::server;
    const std::optional<QueryPairs> pairs = DecodeQuery(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!pairs) return 0;
    const SubmitCheck check = CheckSubmission(*pairs);
    if (!check.contribution) {
        if (check.reason.empty()) std::abort();
        return 0;
    }
    const Contribution& c = *check.contribution;
    const auto columns = ampvane::TableInfoOf(c.kind)->columns.size();
    if (c.name.empty() || static_cast<std::size_t>(std::count(c.line.begin(), c.line.end(), '\t')) != columns - 1) std::abort();
    if (std::any_of(c.line.begin(), c.line.end(), [](char ch) { return ch != '\t' && static_cast<unsigned char>(ch) < 0x20; }))
        std::abort();
    return 0;
}
