#pragma once
// The system calls that change files, in one place: every rename, fsync, ftruncate, write and
// unlink of the file helpers and the database store goes through these, so that a test can make
// the k-th call of a kind fail (with an errno, as a failing disk would) or stop the process's work
// right there (as a kill would), and count how many calls a clean run makes.
//
// Without a fault armed each function is the system call itself (EINTR is left to the callers'
// loops). The counters and the armed fault are process-wide and atomic; arming is for tests of a
// single-threaded task. Part of vq_fileio (libc only).

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include <sys/types.h>

enum class TFileCall { Rename, Fsync, Ftruncate, Write, Unlink };
constexpr int FileCallKinds = 5;
const char* FileCallName(TFileCall call);

int SysRename(const char* from, const char* to);
int SysFsync(int fd);
int SysFtruncate(int fd, off_t length);
ssize_t SysPwrite(int fd, const void* data, std::size_t size, off_t offset);
ssize_t SysWrite(int fd, const void* data, std::size_t size);
int SysUnlink(const char* path);

// The number of calls of a kind since the last reset (a failed or stopped call counts too).
std::uint64_t FileCallCount(TFileCall call);
void ResetFileCallCounts();

// What the armed fault does at its call: Fail returns -1 with `error` instead of making the call;
// Stop runs the stop handler instead of making the call (by default _exit(FileFaultStopStatus),
// so nothing after it runs: no destructor, no buffered output).
struct TFileFault {
    enum TAction { Fail, Stop };
    TFileCall call = TFileCall::Rename;
    std::uint64_t at = 1; // the k-th call of that kind from now, from 1
    TAction action = Fail;
    int error = EIO;
};
constexpr int FileFaultStopStatus = 86;

// Arms one fault, counting from the next call of its kind; replaces an armed one.
void ArmFileFault(const TFileFault& fault);
void DisarmFileFault();
// True once the armed fault has struck (it strikes once).
bool FileFaultStruck();
// Replaces the stop handler (nullptr restores _exit). The handler must not return.
void SetFileStopHandler(void (*handler)());
