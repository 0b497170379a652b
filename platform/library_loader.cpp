#include "platform/library_loader.h"

#include <dlfcn.h>
#include <sys/stat.h>

TDynamicLibrary TDynamicLibrary::Load(const std::string& path, std::string* error) {
    TDynamicLibrary lib;
    lib.m_path = path;
    if (path.empty() || path.front() != '/') {
        if (error) *error = "cannot load \"" + path + "\": not an absolute path";
        return lib;
    }
    // dlopen() would wait for ever on a FIFO of that name.
    if (struct stat st{}; ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error) *error = "cannot load " + path + ": not a regular file";
        return lib;
    }
    ::dlerror(); // clear a stale message
    lib.m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib.m_handle && error) {
        const char* why = ::dlerror();
        *error = "cannot load " + path + ": " + (why ? why : "unknown error");
    }
    return lib;
}

void* TDynamicLibrary::Symbol(const char* name, std::string* error) const {
    if (!m_handle) {
        if (error) *error = std::string("no export ") + name + ": the library is not loaded";
        return nullptr;
    }
    ::dlerror();
    void* address = ::dlsym(m_handle, name);
    // A null address with no message would be a symbol whose value is null: none of our exports.
    const char* why = ::dlerror();
    if ((!address || why) && error)
        *error = std::string("no export ") + name + " in " + m_path + ": " + (why ? why : "null address");
    return why ? nullptr : address;
}

bool BindExports(const TDynamicLibrary& library, std::span<TExportSlot> exports, std::string* error) {
    for (TExportSlot& slot : exports) {
        slot.address = library.Symbol(slot.name, error);
        if (!slot.address) {
            for (TExportSlot& s : exports)
                s.address = nullptr;
            return false;
        }
    }
    return true;
}
