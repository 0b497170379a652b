#pragma once
// The codec's byte streams: an abstract stream, a growable memory stream, and whole-file writes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
  public:
    virtual ~TStream() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes count bytes; returns count or raises.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
    std::int64_t Size();
};

class TMemoryStream : public TStream {
  public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : m_Bytes(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

    const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }
    void Clear();

  private:
    std::vector<std::uint8_t> m_Bytes;
    std::size_t m_Position = 0;
};

// Writing a file through the program's one atomic writer; a failure raises EStreamError with its
// message, which names the file and the reason. (Files are read through TGIFFileStream.)
// Replaces fileName's content only once every byte is written and synced; on failure any old file
// stays as it was and no temporary file is left.
void WriteFileBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes);
