#pragma once
// The files of a game database: one file kept open for positioned reads and writes (TDbFile), the
// three names of a database, and replacing all three as one step (TDbReplacement). Whole files are
// read with ReadWholeFile and rewritten with AtomicWriteFile (platform/file_io.h,
// platform/atomic_file.h); every call that changes a file goes through platform/file_calls.h.
//
// Replacing a database (both imports, copying into a new database, creating one) never leaves a
// mix of old and new files, whatever call fails and wherever the process dies:
//  1. The new files are built under staged names beside the old ones, "NAME.vqm~new<pid>",
//     "NAME.vqn~new<pid>" and "NAME.vqb~new<pid>" (no name but the index ends in ".vqb", so the
//     file dialogs never list them), then synced with their folder.
//  2. The journal "NAME.vqb~journal" is written to a temporary file, synced and renamed into
//     place. It names the three staged files and their sizes. From here on the new database is the
//     database: a replacement whose journal is in place is finished, never undone.
//  3. The staged files are renamed over the old ones (moves, names, index), the folder is synced
//     and the journal removed.
// A failure before the journal is in place removes the staged files: the old files stay byte for
// byte. A failure or a kill after it leaves the journal, and the next open or replacement of NAME
// rolls it forward before anything is read: it renames what is still staged, each file only when
// its size is the journal's. So OpenDatabase always finds a whole database, the old or the new.
//
// The same recovery removes what killed processes left: staged files of a process that no longer
// runs (not named by a journal), temporary files of rewrites ("NAME.vqn.tmp-XXXXXX" and the like),
// and the "NAME~import<pid>.*" sets of earlier versions, which renamed their three files one after
// the other: a set caught between those renames is finished, any other set removed. Where the
// folder cannot be written nothing is renamed or removed: the recovery says what it found and names
// the files to read instead (the old set while it is whole, else the new set from its staged
// files), which the caller opens read-only.
//
// Threads: a TDbFile or a TDbReplacement belongs to one thread. Recovery of one database name must
// not run in two threads of a process at once; processes may (a rename done by another counts as
// done).

#include "platform/io_status.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TDbFile {
  public:
    TDbFile() = default;
    ~TDbFile() { Close(); }
    TDbFile(TDbFile&& o) noexcept : m_fd(o.m_fd) { o.m_fd = -1; }
    TDbFile& operator=(TDbFile&& o) noexcept;
    TDbFile(const TDbFile&) = delete;
    TDbFile& operator=(const TDbFile&) = delete;

    // Opens a regular file; anything else (a folder, a pipe, a device) is refused without waiting
    // on it. False with errno set on failure (EINVAL for a file that is not regular).
    bool Open(const std::string& path, bool readOnly);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Whole reads and writes at an offset; false on any error or short transfer.
    bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const;
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t n);
    // Flushes what was written to the disk; false with errno set.
    bool Sync();
    // Size in bytes, or -1 on error.
    std::int64_t Size() const;

  private:
    int m_fd = -1;
};

// The three files of a database.
struct TDbFileNames {
    std::string index, names, moves; // ".vqb", ".vqn", ".vqm"
    bool operator==(const TDbFileNames&) const = default;
};

// The files of the database `fileName` names: its name without the extension (and without
// trailing "/") plus ".vqb", ".vqn" and ".vqm".
TDbFileNames DatabaseFileNames(const std::string& fileName);
// The staged files of a replacement of `target` by process `pid`, and its journal.
TDbFileNames StagedFileNames(const TDbFileNames& target, long pid);
std::string JournalFileName(const TDbFileNames& target);

// One file of a journal: the staged file (a name in the database's folder) that becomes `target`.
struct TJournalEntry {
    std::string staged, target;
    std::uint64_t size = 0;
};
// The journal's text for `entries` (moves, names, index).
std::string FormatDatabaseJournal(const std::vector<TJournalEntry>& entries);
// Reads a journal of `target`: exactly the three files, in order, each staged under the name
// StagedFileNames gives for some pid. Anything else is refused with a reason: a journal never
// names a file outside the database's own set.
TIoStatus ParseDatabaseJournal(std::string_view text, const TDbFileNames& target,
                               std::vector<TJournalEntry>& entries);

struct TDbRecovery {
    TDbFileNames files;   // the files to open: the database's own, or the set to read instead
    bool pending = false; // a replacement stays unfinished (or its journal is damaged): read-only
    std::string note;     // what was found or done, for the user (CP1251); "" when all was clean
};
// Finishes or clears what earlier replacements of `target` left (see above). With `canWrite`
// false nothing is changed.
TDbRecovery RecoverDatabaseFiles(const TDbFileNames& target, bool canWrite);

// What a name stands for: nothing (or nothing reachable), a regular file (links followed), or
// something else (a folder, a pipe, a device, a name that cannot be examined).
enum class TPathKind { Missing, File, Other };
TPathKind PathKind(const std::string& path);

// True when files can be made and renamed in the folder of `path`; else false with the reason.
bool FolderWritable(const std::string& path, std::string* reason = nullptr);

enum class TReplaceOutcome {
    NotDone, // nothing changed: the old files are as they were, the staged files removed
    Done,    // the new database is in place
    Pending, // the new database is committed but not all in place: the next open finishes it
};

// One replacement of a database as a whole: Begin, build the files at Staged() (and close them),
// Commit. Destroying it before Commit removes the staged files.
class TDbReplacement {
  public:
    TDbReplacement() = default;
    ~TDbReplacement() { Abandon(); }
    TDbReplacement(const TDbReplacement&) = delete;
    TDbReplacement& operator=(const TDbReplacement&) = delete;

    // Refuses a target name that exists but is no regular file (a folder "d.vqb"), finishes what
    // an earlier replacement of it left (RecoverDatabaseFiles) and names the staged files.
    TIoStatus Begin(const std::string& fileName);
    const TDbFileNames& Target() const { return m_target; }
    const TDbFileNames& Staged() const { return m_staged; }
    // Steps 1 to 3 above; `reason` says what failed (for NotDone and Pending).
    TReplaceOutcome Commit(std::string& reason);
    // Removes the staged files unless the replacement was committed.
    void Abandon();

  private:
    TDbFileNames m_target, m_staged;
    bool m_begun = false, m_committed = false;
};

// Creates `path` (which must not exist) with `size` bytes and syncs it: for staged files, which
// no one else reads until they are renamed.
TIoStatus WriteNewFile(const std::string& path, const void* data, std::size_t size);
