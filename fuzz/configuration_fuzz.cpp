// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file "Ampvane.ini": applied over the defaults, written, and read again to the same
// settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/messages.h"
#include "workbench/configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ampvane;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    NullMessageSink messages;
    for (const char decimal : {'.', ','}) {
        const NumberLocale locale{decimal, ':'};
        Settings settings;
        const std::string version = ApplyConfigurationText(text, "Ampvane.ini", settings, locale, messages);
        const std::string written = ConfigurationText(settings, version);
        Settings again;
        const std::string versionAgain = ApplyConfigurationText(written, "Ampvane.ini", again, locale, messages);
        if (ConfigurationText(again, versionAgain) != written) std::abort();
    }
    return 0;
}
