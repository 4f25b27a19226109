// SPDX-License-Identifier: GPL-3.0-or-later
// Measured propeller files. The first byte chooses the way in: our own format, one file of any
// layout (wind-tunnel, maker's tables, CSV), or two wind-tunnel files split at the first form feed.
// A propeller that imports must write and read back to the same text, and must evaluate to finite
// coefficients wherever it is asked.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/propeller_files.h"
#include "model/measured_propeller.h"

using namespace ampvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned way = data[0] % 3;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    PropellerImportGiven given;
    given.Diameter = 10;
    given.Pitch = 6;
    PropellerImport result;
    if (way == 0) {
        result = ReadPropellerText({"fuzz.avprop", text});
    } else if (way == 1) {
        std::vector<PropellerFile> files{{"fuzz_10x6_4000.txt", text}};
        result = ImportPropellerFiles(files, given);
    } else {
        const auto split = text.find('\f');
        std::vector<PropellerFile> files{{"a_5986.txt", text.substr(0, split)},
                                         {"b_6009.txt", split == std::string::npos ? "" : text.substr(split + 1)}};
        result = ImportPropellerFiles(files, given);
    }
    if (!result.Propeller) {
        if (result.Error.empty()) std::abort();
        return 0;
    }
    const std::string written = WritePropellerText(*result.Propeller);
    const PropellerImport again = ReadPropellerText({"again.avprop", written});
    if (!again.Propeller || WritePropellerText(*again.Propeller) != written) std::abort();
    const MeasuredCurves curves(*result.Propeller);
    for (const double J : {0.0, 0.05, 0.3, 0.9, 3.0})
        for (const double rpm : {50.0, 4000.0, 6000.0, 1e6}) {
            const PropellerCoefficients c = curves.At(J, rpm);
            if (!std::isfinite(c.CT) || !std::isfinite(c.CP)) std::abort();
        }
    return 0;
}
