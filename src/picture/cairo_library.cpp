// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/cairo_library.h"

#include "common/shared_library.h"

namespace ampvane {

CairoLibrary LoadCairoLibrary(const std::string& file) {
    CairoLibrary library;
#define AMPVANE_CAIRO_SYMBOL(name) {"cairo_" #name, reinterpret_cast<void**>(&library.name)},
    const std::string reason = OpenSharedLibrary(file, {AMPVANE_CAIRO_FUNCTIONS(AMPVANE_CAIRO_SYMBOL)});
#undef AMPVANE_CAIRO_SYMBOL
    if (!reason.empty())
        library.problem = "The drawing library \"" + file + "\" could not be loaded (" + reason +
                          "); no picture can be drawn until it is installed.";
    return library;
}

const CairoLibrary& Cairo() {
    static const CairoLibrary library = LoadCairoLibrary(kDrawingLibrary);
    return library;
}

} // namespace ampvane
