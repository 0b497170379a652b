#include "gamedb/db_file.h"

#include "platform/atomic_file.h"
#include "platform/file_calls.h"
#include "platform/file_io.h"
#include "rules/file_names.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

TDbFile& TDbFile::operator=(TDbFile&& o) noexcept {
    if (this != &o) {
        Close();
        m_fd = o.m_fd;
        o.m_fd = -1;
    }
    return *this;
}

bool TDbFile::Open(const std::string& path, bool readOnly) {
    Close();
    // Without waiting: opening a pipe for reading would block until someone writes to it.
    const int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    const int err = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (err != 0) {
        ::close(fd);
        errno = err;
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    return true;
}

void TDbFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool TDbFile::ReadAt(std::uint64_t offset, void* data, std::size_t n) const {
    return m_fd >= 0 && PreadAll(m_fd, data, n, offset);
}

bool TDbFile::WriteAt(std::uint64_t offset, const void* data, std::size_t n) {
    return m_fd >= 0 && PwriteAll(m_fd, data, n, offset);
}

bool TDbFile::Sync() {
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    return SysFsync(m_fd) == 0;
}

std::int64_t TDbFile::Size() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return -1;
    return st.st_size;
}

namespace {

constexpr const char* JournalHeader = "Vantor Quillan database journal 1";
constexpr const char* TempMark = ".tmp-"; // the atomic writer's temporary files: ".tmp-" and 6 characters
constexpr std::size_t TempSuffixLength = 11;

// The folder part with its "/", or "" for a bare name.
std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct TFileState {
    bool exists = false, regular = false;
    std::uint64_t size = 0;
    timespec mtime{};
};

TFileState StateOf(const std::string& path) {
    TFileState s;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // Anything but "not there" is something that is there and cannot be used.
        s.exists = errno != ENOENT && errno != ENOTDIR;
        return s;
    }
    s.exists = true;
    s.regular = S_ISREG(st.st_mode);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.mtime = st.st_mtim;
    return s;
}

bool NotLater(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec <= b.tv_nsec;
}

bool AllDigits(std::string_view s, std::size_t maxLength) {
    return !s.empty() && s.size() <= maxLength &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A process id as written in a file name; 0 when it is none.
long PidOf(std::string_view digits) {
    if (!AllDigits(digits, 9)) return 0;
    long pid = 0;
    for (char c : digits)
        pid = pid * 10 + (c - '0');
    return pid;
}

bool ProcessRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// True when `name` is `stem` followed by the atomic writer's temporary suffix.
bool IsTempOf(std::string_view name, std::string_view stem) {
    if (name.size() != stem.size() + TempSuffixLength || !name.starts_with(stem)) return false;
    const std::string_view tail = name.substr(stem.size());
    return tail.starts_with(TempMark) && std::all_of(tail.begin() + 5, tail.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) != 0;
           });
}

std::string Reason(int err) {
    return std::strerror(err);
}

// A file that cannot be removed is left for the next open; nothing reads it meanwhile.
void RemoveFile(const std::string& path) {
    (void)SysUnlink(path.c_str());
}

// A journal is a few hundred bytes; read without waiting on something that is no file.
TIoStatus ReadJournal(const std::string& path, std::string& text) {
    TDbFile f;
    if (!f.Open(path, true)) return TIoStatus::FromErrno("cannot read " + path, errno);
    const std::int64_t size = f.Size();
    if (size < 0 || size > 4096) return TIoStatus::Failure(path + " is no journal of this program");
    text.resize(static_cast<std::size_t>(size));
    if (!f.ReadAt(0, text.data(), text.size())) return TIoStatus::FromErrno("cannot read " + path, errno);
    return {};
}

// Each file of the journal is either still staged, with the journal's size, or already in place
// with that size. Anything else means the journal does not describe these files.
bool JournalMatches(const std::vector<TJournalEntry>& entries, std::string& why) {
    for (const TJournalEntry& e : entries) {
        const TFileState staged = StateOf(e.staged);
        const TFileState& checked = staged.exists ? staged : StateOf(e.target);
        if (!checked.regular || checked.size != e.size) {
            why = (staged.exists ? e.staged : e.target) + " is not the file the journal names";
            return false;
        }
    }
    return true;
}

// The set to read while a replacement is unfinished: each file from where it is now.
TDbFileNames WhereTheyAre(const std::vector<TJournalEntry>& entries, const TDbFileNames& target) {
    TDbFileNames f = target;
    std::string* files[] = {&f.moves, &f.names, &f.index};
    for (std::size_t i = 0; i < entries.size() && i < 3; ++i)
        if (StateOf(entries[i].staged).exists) *files[i] = entries[i].staged;
    return f;
}

// Step 3 of a replacement: the renames, the folder sync and the journal's removal. False with the
// reason when a rename fails (the journal stays for the next try).
bool RollForward(const std::vector<TJournalEntry>& entries, const std::string& journal, std::string& why) {
    for (const TJournalEntry& e : entries) {
        if (!StateOf(e.staged).exists) continue; // renamed before
        if (SysRename(e.staged.c_str(), e.target.c_str()) != 0) {
            const int err = errno;
            // Another process may have finished it meanwhile.
            const TFileState t = StateOf(e.target);
            if (err == ENOENT && t.regular && t.size == e.size) continue;
            why = "cannot rename " + e.staged + " to " + e.target + ": " + Reason(err);
            return false;
        }
    }
    // Only once the renames are on the disk may the journal go; otherwise it stays, and the next
    // open finds every file in place and removes it.
    if (SyncFolder(FolderOfFile(journal)) != 0) return true;
    RemoveFile(journal);
    SyncFolder(FolderOfFile(journal));
    return true;
}

// What a folder holds of one database besides its three files.
struct TLeftovers {
    std::vector<std::string> removable; // temporary and staged files of processes that are gone
    struct TLegacySet {
        std::string index, names, moves; // "" where absent
        std::vector<std::string> temps;
    };
    std::map<long, TLegacySet> legacy; // the "~import<pid>" sets of processes that are gone
};

TLeftovers FindLeftovers(const TDbFileNames& target) {
    TLeftovers found;
    const std::string folder = FolderPart(target.index);
    const std::string stem = NamePart(StripExtension(target.index));
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return found;
    const std::string exts[] = {".vqb", ".vqn", ".vqm"};
    while (const dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (!name.starts_with(stem)) continue;
        const std::string path = folder + name;
        const std::string_view rest = std::string_view(name).substr(stem.size());
        bool remove = false;
        for (const std::string& ext : exts) {
            // A rewrite's temporary file, or a staged file (or its temporary file) of a process gone.
            if (IsTempOf(rest, ext) || IsTempOf(rest, ext + "~journal")) remove = true;
            const std::string staged = ext + "~new";
            if (rest.starts_with(staged)) {
                std::string_view pid = rest.substr(staged.size());
                if (pid.size() > TempSuffixLength && IsTempOf(pid.substr(pid.size() - TempSuffixLength), ""))
                    pid = pid.substr(0, pid.size() - TempSuffixLength);
                const long p = PidOf(pid);
                if (p > 0 && !ProcessRuns(p)) remove = true;
            }
        }
        if (IsTempOf(rest, ".log")) remove = true;
        if (remove) {
            found.removable.push_back(path);
            continue;
        }
        // An earlier version's set: "<stem>~import<pid>.vq?", and its temporary files.
        constexpr std::string_view legacyMark = "~import";
        if (!rest.starts_with(legacyMark)) continue;
        std::string_view tail = rest.substr(legacyMark.size());
        const std::size_t dot = tail.find('.');
        if (dot == std::string_view::npos) continue;
        const long pid = PidOf(tail.substr(0, dot));
        if (pid <= 0 || ProcessRuns(pid)) continue;
        tail = tail.substr(dot);
        for (const std::string& ext : exts) {
            TLeftovers::TLegacySet& set = found.legacy[pid];
            if (tail == ext)
                (ext == ".vqb" ? set.index : ext == ".vqn" ? set.names : set.moves) = path;
            else if (IsTempOf(tail, ext))
                set.temps.push_back(path);
        }
    }
    ::closedir(dir);
    // A pid that only matched the mark, with no file of a set, makes no set.
    for (auto it = found.legacy.begin(); it != found.legacy.end();)
        it = it->second.index.empty() && it->second.names.empty() && it->second.moves.empty() &&
                     it->second.temps.empty()
                 ? found.legacy.erase(it)
                 : std::next(it);
    return found;
}

// The earlier version renamed the move file, the name file and then the index: a set without its
// move file but with its index was caught between those renames, and finishing them gives the new
// database. Its index is never older than the move file in place. A lone empty index may also be
// one that was just created; it is taken only when the move file in place is empty too.
bool LegacySetCaughtMidway(const TLeftovers::TLegacySet& set, const TDbFileNames& target) {
    if (!set.moves.empty() || set.index.empty()) return false;
    const TFileState index = StateOf(set.index), moves = StateOf(target.moves);
    if (!index.regular || !moves.regular || !NotLater(moves.mtime, index.mtime)) return false;
    return !set.names.empty() || index.size > 0 || moves.size == 1;
}

std::string Shown(const TDbFileNames& target) {
    return target.index;
}

} // namespace

TPathKind PathKind(const std::string& path) {
    const TFileState s = StateOf(path);
    return !s.exists ? TPathKind::Missing : s.regular ? TPathKind::File : TPathKind::Other;
}

TDbFileNames DatabaseFileNames(const std::string& fileName) {
    std::string name = fileName;
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    const std::string base = StripExtension(name);
    return {base + ".vqb", base + ".vqn", base + ".vqm"};
}

TDbFileNames StagedFileNames(const TDbFileNames& target, long pid) {
    const std::string suffix = "~new" + std::to_string(pid);
    return {target.index + suffix, target.names + suffix, target.moves + suffix};
}

std::string JournalFileName(const TDbFileNames& target) {
    return target.index + "~journal";
}

std::string FormatDatabaseJournal(const std::vector<TJournalEntry>& entries) {
    std::string text = std::string(JournalHeader) + "\n";
    for (const TJournalEntry& e : entries)
        text += std::to_string(e.size) + " " + NamePart(e.staged) + "\n";
    return text + "end\n";
}

TIoStatus ParseDatabaseJournal(std::string_view text, const TDbFileNames& target,
                               std::vector<TJournalEntry>& entries) {
    entries.clear();
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return TIoStatus::Failure("the journal ends inside a line");
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    if (lines.size() != 5 || lines[0] != JournalHeader || lines[4] != "end")
        return TIoStatus::Failure("the journal is not one this program writes");
    const std::string folder = FolderPart(target.index);
    const std::string* targets[] = {&target.moves, &target.names, &target.index};
    std::string_view pid;
    for (int i = 0; i < 3; ++i) {
        const std::string_view line = lines[static_cast<std::size_t>(i) + 1];
        const std::size_t space = line.find(' ');
        const std::string own = NamePart(*targets[i]) + "~new";
        if (space == std::string_view::npos || !AllDigits(line.substr(0, space), 18))
            return TIoStatus::Failure("line " + std::to_string(i + 2) + " of the journal has no size");
        const std::string_view name = line.substr(space + 1);
        const std::string_view namePid = name.substr(std::min(name.size(), own.size()));
        if (!name.starts_with(own) || PidOf(namePid) <= 0 || (i > 0 && namePid != pid))
            return TIoStatus::Failure("line " + std::to_string(i + 2) +
                                      " of the journal names a file of no replacement of this database");
        pid = namePid;
        TJournalEntry e;
        for (char c : line.substr(0, space))
            e.size = e.size * 10 + static_cast<std::uint64_t>(c - '0');
        e.staged = folder + std::string(name);
        e.target = *targets[i];
        entries.push_back(std::move(e));
    }
    return {};
}

bool FolderWritable(const std::string& path, std::string* reason) {
    const std::string folder = FolderOfFile(path);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return true;
    if (reason) *reason = Reason(errno);
    return false;
}

TDbRecovery RecoverDatabaseFiles(const TDbFileNames& target, bool canWrite) {
    TDbRecovery r;
    r.files = target;
    const std::string journal = JournalFileName(target);
    const std::string shown = Shown(target);
    const std::string cannotWrite = "its folder cannot be written to finish it";

    if (StateOf(journal).exists) {
        std::string text;
        std::vector<TJournalEntry> entries;
        TIoStatus read = ReadJournal(journal, text);
        if (read) read = ParseDatabaseJournal(text, target, entries);
        std::string why = read.Message();
        if (!read || !JournalMatches(entries, why)) {
            r.pending = true;
            r.note = "The database " + shown +
                     " has a journal of an interrupted replacement that cannot be used (" + why +
                     "): the database is opened read-only as its files stand. Remove " + journal +
                     " once the games are checked.";
            return r;
        }
        if (!canWrite || !RollForward(entries, journal, why)) {
            r.pending = true;
            r.files = WhereTheyAre(entries, target);
            // While nothing is renamed the old set is whole: it is what is read.
            const bool old = r.files == TDbFileNames{entries[2].staged, entries[1].staged, entries[0].staged};
            if (old) r.files = target;
            r.note = "A replacement of the database " + shown + " did not finish, and " +
                     (canWrite ? "it cannot be finished now (" + why + ")" : cannotWrite) + ": the " +
                     (old ? "database as it was" : "new database") + " is opened read-only.";
            return r;
        }
        r.note =
            "A replacement of the database " + shown + " did not finish: the new database is now in place.";
    }

    TLeftovers left = FindLeftovers(target);
    // At most one earlier version's set is finished: the latest of those caught midway.
    long finish = 0;
    timespec latest{};
    for (const auto& [pid, set] : left.legacy)
        if (LegacySetCaughtMidway(set, target) &&
            (finish == 0 || NotLater(latest, StateOf(set.index).mtime))) {
            finish = pid;
            latest = StateOf(set.index).mtime;
        }
    if (finish != 0) {
        const TLeftovers::TLegacySet& set = left.legacy[finish];
        std::string why;
        bool done = canWrite;
        for (const auto& [from, to] :
             {std::pair{&set.names, &target.names}, std::pair{&set.index, &target.index}})
            if (done && !from->empty() && SysRename(from->c_str(), to->c_str()) != 0) {
                why = "cannot rename " + *from + " to " + *to + ": " + Reason(errno);
                done = false;
            }
        if (!done) {
            r.pending = true;
            r.files = target;
            if (StateOf(set.names).exists) r.files.names = set.names;
            if (StateOf(set.index).exists) r.files.index = set.index;
            r.note = "The database " + shown + " was being replaced by an import that stopped halfway, and " +
                     (canWrite ? "it cannot be finished now (" + why + ")" : cannotWrite) +
                     ": the imported database is opened read-only.";
            return r;
        }
        SyncFolder(FolderOfFile(target.index));
        r.note =
            (r.note.empty() ? "" : r.note + "\n") + "The database " + shown +
            " was being replaced by an import that stopped halfway: the imported database is now in place.";
    }
    if (!canWrite) return r;
    for (const std::string& path : left.removable)
        RemoveFile(path);
    for (const auto& [pid, set] : left.legacy) {
        for (const std::string& path : set.temps)
            RemoveFile(path);
        if (pid == finish) continue;
        for (const std::string* path : {&set.index, &set.names, &set.moves})
            if (!path->empty()) RemoveFile(*path);
    }
    return r;
}

TIoStatus TDbReplacement::Begin(const std::string& fileName) {
    Abandon();
    m_target = DatabaseFileNames(fileName);
    for (const std::string* f : {&m_target.index, &m_target.names, &m_target.moves}) {
        const TFileState s = StateOf(*f);
        if (s.exists && !s.regular)
            return TIoStatus::Failure(*f +
                                      " is not a file (a folder, a pipe or a device): it is left as it is");
    }
    std::string why;
    if (!FolderWritable(m_target.index, &why))
        return TIoStatus::Failure("cannot write in the folder of " + m_target.index + ": " + why);
    const TDbRecovery recovered = RecoverDatabaseFiles(m_target, true);
    if (recovered.pending) return TIoStatus::Failure(recovered.note);
    m_staged = StagedFileNames(m_target, static_cast<long>(::getpid()));
    // What an earlier replacement of this process left under the same names.
    for (const std::string* f : {&m_staged.index, &m_staged.names, &m_staged.moves})
        RemoveFile(*f);
    m_begun = true;
    m_committed = false;
    return {};
}

TReplaceOutcome TDbReplacement::Commit(std::string& reason) {
    if (!m_begun || m_committed) {
        reason = "no replacement was begun";
        return TReplaceOutcome::NotDone;
    }
    auto fail = [&](const std::string& why) {
        reason = why;
        Abandon();
        return TReplaceOutcome::NotDone;
    };
    for (const std::string* f : {&m_target.index, &m_target.names, &m_target.moves}) {
        const TFileState s = StateOf(*f);
        if (s.exists && !s.regular) return fail(*f + " is not a file (a folder, a pipe or a device)");
    }
    std::vector<TJournalEntry> entries;
    const std::pair<const std::string*, const std::string*> files[] = {{&m_staged.moves, &m_target.moves},
                                                                       {&m_staged.names, &m_target.names},
                                                                       {&m_staged.index, &m_target.index}};
    for (const auto& [staged, target] : files) {
        TDbFile f;
        if (!f.Open(*staged, true)) return fail("cannot open " + *staged + ": " + Reason(errno));
        const std::int64_t size = f.Size();
        if (size < 0 || !f.Sync()) return fail("cannot write " + *staged + ": " + Reason(errno));
        entries.push_back({*staged, *target, static_cast<std::uint64_t>(size)});
    }
    const std::string folder = FolderOfFile(m_target.index);
    if (const int err = SyncFolder(folder); err != 0)
        return fail("cannot sync the folder " + folder + ": " + Reason(err));
    bool replaced = false;
    const std::string text = FormatDatabaseJournal(entries);
    const TIoStatus journal = AtomicWriteFile(JournalFileName(m_target), text.data(), text.size(), &replaced);
    if (!replaced) return fail(journal.Message());
    m_committed = true;
    if (!RollForward(entries, JournalFileName(m_target), reason)) return TReplaceOutcome::Pending;
    return TReplaceOutcome::Done;
}

void TDbReplacement::Abandon() {
    if (m_begun && !m_committed)
        for (const std::string* f : {&m_staged.index, &m_staged.names, &m_staged.moves})
            RemoveFile(*f);
    m_begun = false;
}

TIoStatus WriteNewFile(const std::string& path, const void* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return TIoStatus::FromErrno("cannot create " + path, errno);
    int err = 0;
    if (!PwriteAll(fd, data, size, 0) || SysFsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0) return {};
    RemoveFile(path);
    return TIoStatus::FromErrno("cannot write " + path, err);
}
