#pragma once
// Files for tests: a private temporary folder removed with everything below it, whole-file byte
// helpers, and a limit on file sizes that makes writes fail for real (root ignores permissions,
// so a read-only folder cannot make a write fail in a test).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace test_support {

// A fresh empty folder under the system's temporary folder ($TMPDIR or /tmp), named
// "vq_<tag>_XXXXXX"; removed when the object goes.
class TTempDir {
  public:
    explicit TTempDir(const std::string& tag = "test");
    // The same below `base` (for example /dev/shm, where syncing a file costs nothing).
    TTempDir(const std::string& tag, const std::filesystem::path& base);
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder with a trailing "/".
    std::string Dir() const { return m_path.string() + "/"; }
    // A name below the folder (the file need not exist).
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // The names directly below the folder, sorted.
    std::vector<std::string> List() const;

  private:
    std::filesystem::path m_path;
};

using TBytes = std::vector<std::uint8_t>;

// The whole file (empty when it cannot be read).
TBytes ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
// Creates or truncates the file; false when it cannot be written.
bool WriteBytes(const std::string& path, const TBytes& bytes);
bool WriteText(const std::string& path, const std::string& text);

// While it lives, a write that would make a regular file longer than `bytes` fails with EFBIG
// (the signal that would end the process is ignored). Process-wide: for single-threaded tests.
class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(std::uint64_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

  private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

} // namespace test_support
