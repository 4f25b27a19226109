// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/owner_name.h"

#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "common/numeric_text.h"

namespace ampvane {

namespace {
// The name was historically read into an 80-character buffer; callers size their fields for that.
constexpr std::size_t kLongestOwnerName = 79;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
} // namespace

std::string OwnerNameFromAccountField(const std::string& field) {
    std::string name(TrimText(std::string_view(field).substr(0, field.find(','))));
    if (name.size() > kLongestOwnerName) {
        std::size_t cut = kLongestOwnerName;
        while (cut > 0 && IsContinuationByte(name[cut])) --cut;
        name.resize(cut);
    }
    return std::string(TrimText(name));
}

std::string OwnerName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_gecos)
        return {};
    return OwnerNameFromAccountField(found->pw_gecos);
}

} // namespace ampvane
