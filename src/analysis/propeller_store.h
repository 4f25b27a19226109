// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/propeller_files.h"

// The "Propellers" folder of the data folder: one file a measured propeller, in our own format,
// named after the propeller with the ending ".avprop". Every write replaces a whole file (written
// beside it, then renamed), so a failure leaves what was stored as it was.

namespace ampvane {

inline constexpr std::string_view kPropellersFolder = "Propellers";
inline constexpr std::string_view kPropellerFileEnding = ".avprop";

class PropellerStore {
public:
    // folder: the Propellers folder itself; it is made on the first save.
    explicit PropellerStore(std::string folder) : folder_(std::move(folder)) {}

    const std::string& Folder() const { return folder_; }
    std::string PathOf(std::string_view name) const;

    // The names of the stored propellers, in byte order.
    std::vector<std::string> Names() const;
    bool Contains(std::string_view name) const;

    // The propeller; Error says why not (not stored, or its file damaged, with the line).
    PropellerImport Load(std::string_view name) const;

    // Each returns an empty text on success, else the message.
    std::string Save(const MeasuredPropeller& propeller, bool replace) const;
    std::string Rename(std::string_view from, std::string_view to) const;
    std::string Delete(std::string_view name) const;
    std::string Export(std::string_view name, const std::string& path) const;

private:
    std::string folder_;
};

// The message for a name that is not in the folder.
std::string UnknownPropellerMessage(std::string_view name);

} // namespace ampvane
