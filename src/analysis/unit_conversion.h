#pragma once

#include <string>
#include <string_view>

#include "analysis/numeric_text.h"
#include "common/messages.h"

namespace ampvane {

// Converts the number in an edit field when the display units change: value × factor + offset,
// rounded (half to even) to a multiple of the resolution and shown without trailing zeros. An empty
// field stays empty; a text that is no number reads as 0 after the lenient-read warning; when the
// arithmetic fails (no usable resolution, overflow) the trimmed text is returned unchanged.
std::string ConvertEditValue(std::string_view text, double offset, double resolution, double factor,
                             const NumberLocale& locale, MessageSink& sink);

// The same, writing the result back into the field's text.
void ConvertEdit(std::string& editText, double resolution, double factor, const NumberLocale& locale,
                 MessageSink& sink);
void ConvertEditWithOffset(std::string& editText, double offset, double resolution, double factor,
                           const NumberLocale& locale, MessageSink& sink);

} // namespace ampvane
