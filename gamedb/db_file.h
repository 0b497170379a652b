#pragma once
// A database file kept open for positioned reads and writes. Whole files are read with
// ReadWholeFile and rewritten with AtomicWriteFile (platform/file_io.h, platform/atomic_file.h).

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
