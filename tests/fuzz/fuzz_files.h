#pragma once
// Files for the fuzz entries whose readers open files: one folder per process, in memory where the
// system offers it (/dev/shm), so that an input written, synced and read costs no disk time.

#include "tests/support/temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace fuzz_files {

inline const test_support::TTempDir& Folder() {
    static const test_support::TTempDir dir("fuzz", std::filesystem::is_directory("/dev/shm")
                                                        ? std::filesystem::path("/dev/shm")
                                                        : std::filesystem::temp_directory_path());
    return dir;
}

inline std::string Path(const std::string& name) {
    return Folder().File(name);
}

// Replaces the file `name` of the folder by `size` bytes; returns its path.
inline std::string Write(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = Path(name);
    test_support::WriteBytes(path, test_support::TBytes(data, data + size));
    return path;
}

} // namespace fuzz_files
