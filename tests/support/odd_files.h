#pragma once
// Names that are not regular files, for the checks that every reader of a file by name refuses
// them at once: a FIFO nobody writes to (a plain open() of it waits for a writer for ever), a
// folder, and /dev/zero (a read of it never ends). No test framework here: the caller checks the
// list that OddFilesTaken returns.

#include <functional>
#include <string>
#include <vector>

namespace test_support {

enum class TOddFileKind { Fifo, Folder, DevZero };

// Puts an odd file of `kind` at `path`, replacing whatever is there (/dev/zero as a symbolic link to
// it, which the readers follow). False when it cannot be made.
bool MakeOddFile(TOddFileKind kind, const std::string& path);

// For each kind in turn: makes it at `path` and runs `reads(path)` on a thread that must end
// (MustEnd: a reader that hangs ends the run with a message). Returns the kinds whose reader
// reported success, by name ("a FIFO", "a folder", "/dev/zero"), or "cannot make <kind>".
std::vector<std::string> OddFilesTaken(const std::string& path,
                                       const std::function<bool(const std::string& path)>& reads);

} // namespace test_support
