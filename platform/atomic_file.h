#pragma once
// The one way a file is rewritten: the new content goes to a temporary file in the target's
// folder, every write is checked, the file and then the folder are synced, and a rename puts it
// in place. A failure at any step leaves the old file as it was and removes the temporary file.
//
// The old file's permission bits are kept; a new file gets 0666 less the umask. A target that
// exists and is not a regular file (a folder, a device such as /dev/full, a pipe) is refused, so
// a rename never replaces one. A symbolic link is followed: its target is rewritten, the link
// stays.
//
// Errors are values (TIoStatus) naming the target and the system's reason. One writer belongs to
// one thread; writers of different targets are independent. Part of vq_fileio (libc only).

#include "platform/io_status.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Streaming form: Open, write the pieces (in order, or at offsets for files whose index is written
// last), then Commit. A failed write is remembered: later writes do nothing and Commit reports the
// first failure. Destroying a writer that was not committed removes its temporary file.
class TAtomicFileWriter {
  public:
    TAtomicFileWriter() = default;
    ~TAtomicFileWriter() { Discard(); }
    TAtomicFileWriter(TAtomicFileWriter&& other) noexcept;
    TAtomicFileWriter& operator=(TAtomicFileWriter&& other) noexcept;
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // Creates the temporary file beside `path` (discarding any earlier one of this writer).
    TIoStatus Open(const std::string& path);
    // Appends after the furthest byte written so far.
    TIoStatus Write(const void* data, std::size_t size);
    TIoStatus Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Writes at an absolute offset of the new file.
    TIoStatus WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    // Syncs, closes and renames into place, then syncs the folder. The writer is closed afterwards
    // whatever the result; on failure the target is unchanged (unless only the folder sync failed:
    // then the new content is in place but may not survive a power cut, and that is reported;
    // Replaced() tells the two apart).
    TIoStatus Commit();
    // Closes and removes the temporary file; the target is untouched.
    void Discard();

    bool IsOpen() const { return m_fd >= 0; }
    // True once Commit has put the new content in place (until the next Open).
    bool Replaced() const { return m_replaced; }
    // The first failure so far, or success.
    const TIoStatus& Status() const { return m_status; }
    // The file that Commit replaces (a link resolved), and the temporary file.
    const std::string& TargetPath() const { return m_target; }
    const std::string& TemporaryPath() const { return m_temp; }

  private:
    TIoStatus Fail(const std::string& what, int err);

    std::string m_name; // as the caller gave it, for messages
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    std::uint64_t m_end = 0; // where Write appends
    bool m_replaced = false;
    TIoStatus m_status;
};

// Whole-buffer form: replaces the content of `path` by `size` bytes. `replaced`, when given, is set
// to whether the new content is in place (it may be although the folder sync failed).
TIoStatus AtomicWriteFile(const std::string& path, const void* data, std::size_t size,
                          bool* replaced = nullptr);
inline TIoStatus AtomicWriteFile(const std::string& path, std::string_view data) {
    return AtomicWriteFile(path, data.data(), data.size());
}

// Syncs a folder, so that renames and new names in it survive a power cut: 0, or the errno. A file
// system that cannot sync folders (EINVAL, EROFS) counts as synced.
int SyncFolder(const std::string& folder);
// The folder of a path as SyncFolder takes it ("." for a bare name).
std::string FolderOfFile(const std::string& path);
