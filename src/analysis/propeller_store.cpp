// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/propeller_store.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/file_write.h"

namespace ampvane {

namespace fs = std::filesystem;

std::string UnknownPropellerMessage(std::string_view name) {
    return "There is no measured propeller named \"" + std::string(name) + "\" in the Propellers folder.";
}

std::string PropellerStore::PathOf(std::string_view name) const {
    return (fs::path(folder_) / (std::string(name) + std::string(kPropellerFileEnding))).string();
}

std::vector<std::string> PropellerStore::Names() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() == kPropellerFileEnding && it->is_regular_file(error)) names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool PropellerStore::Contains(std::string_view name) const {
    if (!PropellerNameProblem(name).empty()) return false;
    std::error_code error;
    return fs::is_regular_file(PathOf(name), error);
}

PropellerImport PropellerStore::Load(std::string_view name) const {
    PropellerImport result;
    if (!Contains(name)) {
        result.Error = UnknownPropellerMessage(name);
        return result;
    }
    PropellerFile file{PathOf(name), {}};
    if (const std::string error = ReadFileContents(file.Path, file.Text); !error.empty()) {
        result.Error = file.Path + ": " + error;
        return result;
    }
    result = ReadPropellerText(file);
    // The file's name is the propeller's name, whatever its Name line says.
    if (result.Propeller) result.Propeller->Name = std::string(name);
    return result;
}

std::string PropellerStore::Save(const MeasuredPropeller& propeller, bool replace) const {
    if (std::string problem = PropellerNameProblem(propeller.Name); !problem.empty()) return problem;
    if (!replace && Contains(propeller.Name))
        return "A measured propeller named \"" + propeller.Name + "\" is already stored; delete or rename it first, or choose another name.";
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) return folder_ + ": " + error.message();
    return WriteFileAtomically(PathOf(propeller.Name), WritePropellerText(propeller));
}

std::string PropellerStore::Rename(std::string_view from, std::string_view to) const {
    PropellerImport loaded = Load(from);
    if (!loaded.Propeller) return loaded.Error;
    if (from == to) return {};
    loaded.Propeller->Name = std::string(to);
    // The new file is complete before the old one goes.
    if (std::string error = Save(*loaded.Propeller, false); !error.empty()) return error;
    std::error_code error;
    fs::remove(PathOf(from), error);
    if (error) return PathOf(from) + ": " + error.message();
    return {};
}

std::string PropellerStore::Delete(std::string_view name) const {
    if (!Contains(name)) return UnknownPropellerMessage(name);
    std::error_code error;
    fs::remove(PathOf(name), error);
    if (error) return PathOf(name) + ": " + error.message();
    return {};
}

std::string PropellerStore::Export(std::string_view name, const std::string& path) const {
    const PropellerImport loaded = Load(name);
    if (!loaded.Propeller) return loaded.Error;
    return WriteFileAtomically(path, WritePropellerText(*loaded.Propeller));
}

} // namespace ampvane
