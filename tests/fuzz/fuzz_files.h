#pragma once
// Files for the fuzz entries whose readers open files: one folder per process, in memory where the
// system offers it (/dev/shm), so that an input written, synced and read costs no disk time; and
// the databases opened without a prompt, so quietly.

#include "platform/byte_codec.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
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

// Splits an input into the three files of a database, "<base>.vqb", ".vqn" and ".vqm": the length
// of the index file (two bytes, little-endian), the index file, the length of the name file (two
// bytes), the name file, and the move file (the rest). Returns the index file's path. The entries
// open it without a prompt: a damaged database's messages are expected and dropped, its questions
// answered Cancel.
inline std::string WriteDatabaseFiles(const std::string& base, const std::uint8_t* data, std::size_t size) {
    const auto part = [&] {
        if (size < 2) return std::size_t(0);
        const std::size_t n = std::min<std::size_t>(GetLe16(data), size - 2);
        data += 2;
        size -= 2;
        return n;
    };
    const std::size_t indexBytes = part();
    const std::string index = Write(base + ".vqb", data, indexBytes);
    data += indexBytes, size -= indexBytes;
    const std::size_t nameBytes = part();
    Write(base + ".vqn", data, nameBytes);
    data += nameBytes, size -= nameBytes;
    Write(base + ".vqm", data, size);
    return index;
}

} // namespace fuzz_files
