#pragma once
// Loading a shared library and finding its exports: dlopen on an absolute path with
// RTLD_NOW | RTLD_LOCAL (every symbol resolved at once, none leaking into the next library), dlsym
// per export, errors carrying the dlerror text. A loaded library is never unloaded: exported
// functions and the library's own state stay valid until the process ends.
// Any thread; dlerror's text is per thread.

#include <cstddef>
#include <span>
#include <string>

class TDynamicLibrary {
  public:
    TDynamicLibrary() = default; // not loaded

    // Loads the library at `path`, which must be absolute (a bare or relative name would be
    // searched for, and could load another file). On failure the result is not loaded and `error`
    // (if given) says why.
    static TDynamicLibrary Load(const std::string& path, std::string* error = nullptr);

    bool Loaded() const { return m_handle != nullptr; }
    const std::string& Path() const { return m_path; }
    void* Handle() const { return m_handle; }

    // The address of the export `name`, or nullptr with `error` (if given) naming it and holding
    // the dlerror text.
    void* Symbol(const char* name, std::string* error = nullptr) const;
    // The export as a function pointer type, for example Function<build_movelist_fn>("build_movelist").
    template <class TFunction> TFunction Function(const char* name, std::string* error = nullptr) const {
        return reinterpret_cast<TFunction>(Symbol(name, error));
    }

  private:
    std::string m_path;
    void* m_handle = nullptr;
};

// One export to bind: its name, and where its address goes.
struct TExportSlot {
    const char* name;
    void* address = nullptr;
};

// Binds a library whole or not at all: true when every export is found; otherwise every address
// is cleared and `error` names the first missing export.
bool BindExports(const TDynamicLibrary& library, std::span<TExportSlot> exports,
                 std::string* error = nullptr);
