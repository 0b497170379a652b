#include "platform/file_calls.h"

#include <array>
#include <atomic>
#include <cerrno>

#include <unistd.h>

namespace {

std::array<std::atomic<std::uint64_t>, FileCallKinds> g_counts{};

// The armed fault: its kind (-1 for none), the count of that kind at which it strikes.
std::atomic<int> g_faultCall{-1};
std::atomic<std::uint64_t> g_faultAt{0};
std::atomic<int> g_faultAction{TFileFault::Fail};
std::atomic<int> g_faultError{EIO};
std::atomic<bool> g_struck{false};
std::atomic<void (*)()> g_stopHandler{nullptr};

// Counts the call; true when the armed fault takes it (errno is then set, or the process stopped).
bool Struck(TFileCall call) {
    const int kind = static_cast<int>(call);
    const std::uint64_t n = g_counts[static_cast<std::size_t>(kind)].fetch_add(1) + 1;
    if (g_faultCall.load() != kind || n != g_faultAt.load()) return false;
    g_faultCall.store(-1);
    g_struck.store(true);
    if (g_faultAction.load() == TFileFault::Stop) {
        if (void (*handler)() = g_stopHandler.load()) handler();
        ::_exit(FileFaultStopStatus);
    }
    errno = g_faultError.load();
    return true;
}

} // namespace

const char* FileCallName(TFileCall call) {
    switch (call) {
    case TFileCall::Rename:
        return "rename";
    case TFileCall::Fsync:
        return "fsync";
    case TFileCall::Ftruncate:
        return "ftruncate";
    case TFileCall::Write:
        return "write";
    case TFileCall::Unlink:
        return "unlink";
    }
    return "?";
}

int SysRename(const char* from, const char* to) {
    return Struck(TFileCall::Rename) ? -1 : ::rename(from, to);
}

int SysFsync(int fd) {
    return Struck(TFileCall::Fsync) ? -1 : ::fsync(fd);
}

int SysFtruncate(int fd, off_t length) {
    return Struck(TFileCall::Ftruncate) ? -1 : ::ftruncate(fd, length);
}

ssize_t SysPwrite(int fd, const void* data, std::size_t size, off_t offset) {
    return Struck(TFileCall::Write) ? -1 : ::pwrite(fd, data, size, offset);
}

ssize_t SysWrite(int fd, const void* data, std::size_t size) {
    return Struck(TFileCall::Write) ? -1 : ::write(fd, data, size);
}

int SysUnlink(const char* path) {
    return Struck(TFileCall::Unlink) ? -1 : ::unlink(path);
}

std::uint64_t FileCallCount(TFileCall call) {
    return g_counts[static_cast<std::size_t>(call)].load();
}

void ResetFileCallCounts() {
    for (auto& c : g_counts)
        c.store(0);
}

void ArmFileFault(const TFileFault& fault) {
    g_faultCall.store(-1);
    g_faultAt.store(FileCallCount(fault.call) + fault.at);
    g_faultAction.store(fault.action);
    g_faultError.store(fault.error);
    g_struck.store(false);
    g_faultCall.store(static_cast<int>(fault.call));
}

void DisarmFileFault() {
    g_faultCall.store(-1);
}

bool FileFaultStruck() {
    return g_struck.load();
}

void SetFileStopHandler(void (*handler)()) {
    g_stopHandler.store(handler);
}
