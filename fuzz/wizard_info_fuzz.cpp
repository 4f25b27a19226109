// SPDX-License-Identifier: GPL-3.0-or-later
// Stored wizard answers from hostile project texts: reading must never crash or hang, must leave
// every answer within its choices, and what it produced must save and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/wizard_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const std::vector<std::string> makers = {"Any Manufacturer", "Orvix", "Halden"};
    ampvane::WizardAnswers answers;
    ampvane::RestoreWizardInfo(answers, text, makers);
    if (answers.maxCellsIndex < 0 || answers.maxCellsIndex >= static_cast<int>(ampvane::MaxCellsEntries().size()))
        std::abort();
    const std::string saved = ampvane::SaveWizardInfo(answers);
    ampvane::WizardAnswers again;
    ampvane::RestoreWizardInfo(again, saved, makers);
    if (!(again == answers))
        std::abort();
    return 0;
}
