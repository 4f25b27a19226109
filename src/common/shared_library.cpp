// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/shared_library.h"

#include <dlfcn.h>

namespace ampvane {

std::string OpenSharedLibrary(const std::string& file, std::initializer_list<SharedLibrarySymbol> symbols) {
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        return error ? error : file + " cannot be opened";
    }
    for (const auto& [name, pointer] : symbols) {
        *pointer = ::dlsym(handle, name);
        if (*pointer) continue;
        const char* error = ::dlerror();
        std::string reason = error ? error : std::string(name) + " is missing"; // taken before dlclose frees it
        ::dlclose(handle);
        for (const auto& [unused, filled] : symbols) *filled = nullptr;
        return reason;
    }
    return {};
}

} // namespace ampvane
