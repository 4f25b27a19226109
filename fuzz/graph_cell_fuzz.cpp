// SPDX-License-Identifier: GPL-3.0-or-later
// Report cells read as plotted numbers: minutes and seconds, cell counts and lenient numbers, with
// any bytes. The reader must neither crash nor return a value that is not a number without a warning.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "advice/graph_data.h"

namespace {
class CountingSink final : public ampvane::MessageSink {
public:
    void Report(const ampvane::Message&) override { ++count; }
    int count = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view cell(reinterpret_cast<const char*>(data), size);
    CountingSink sink;
    for (const char decimal : {'.', ','}) {
        const double value = ampvane::GraphCellValue(cell, ampvane::NumberLocale{decimal, ':'}, sink);
        if (std::isnan(value)) std::abort();
    }
    return 0;
}
