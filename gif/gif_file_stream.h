#pragma once
// A GIF file read in steps, for every reader that takes a file by name. Only a regular file is
// opened (a FIFO, a folder or a device is refused at once; opening never waits for a writer), and
// bytes come from the file as the reader asks for them: a read-ahead window that starts small and
// doubles up to 64 KiB, so a file that is not a GIF costs its header, and a GIF costs what its
// stream holds up to the trailer or the first fault, never the whole file. One thread at a time.

#include "gif/gif_stream.h"

#include <cstdint>
#include <string>
#include <vector>

class TGIFFileStream : public TStream {
  public:
    // Raises EStreamError "cannot open NAME: REASON" when the file cannot be opened or is not a
    // regular file ("not a regular file").
    explicit TGIFFileStream(const std::string& fileName);
    ~TGIFFileStream() override;
    TGIFFileStream(const TGIFFileStream&) = delete;
    TGIFFileStream& operator=(const TGIFFileStream&) = delete;

    // Raises EStreamError "cannot read NAME: REASON" on a read error.
    std::size_t Read(void* buffer, std::size_t count) override;
    // Raises EStreamError "Invalid stream operation": the stream only reads.
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

  private:
    // Reads up to count bytes at the position into buffer (up to the end of the file).
    std::size_t ReadFile(void* buffer, std::size_t count, std::int64_t at);

    std::string m_FileName;
    int m_Fd = -1;
    std::int64_t m_Position = 0;
    std::vector<std::uint8_t> m_Window; // the file's bytes from m_WindowStart
    std::int64_t m_WindowStart = 0;
    std::size_t m_NextWindow;
};

// Bytes the codec has taken from files since the process started: a seam for tests of what a
// reader reads.
std::int64_t GIFFileBytesRead();
