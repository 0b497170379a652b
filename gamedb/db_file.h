#pragma once
// Files of a database: a file kept open for positioned reads and writes, and the replacement of
// a whole file through a temporary file in the same folder and a rename, so a failure never
// leaves a half-written file behind.

#include <cstddef>
#include <cstdint>
#include <string>

class TDbFile {
  public:
    TDbFile() = default;
    ~TDbFile() { Close(); }
    TDbFile(TDbFile&& o) noexcept : m_fd(o.m_fd) { o.m_fd = -1; }
    TDbFile& operator=(TDbFile&& o) noexcept;
    TDbFile(const TDbFile&) = delete;
    TDbFile& operator=(const TDbFile&) = delete;

    bool Open(const std::string& path, bool readOnly);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Whole reads and writes at an offset; false on any error or short transfer.
    bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const;
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t n);
    // Size in bytes, or -1 on error.
    std::int64_t Size() const;

  private:
    int m_fd = -1;
};

bool FileExists(const std::string& path);
// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& data);
// Writes `data` to a temporary file beside `path` and renames it over `path` (keeping the old
// file's permissions). On failure `path` is unchanged and the temporary file removed.
bool ReplaceFile(const std::string& path, const void* data, std::size_t n);
