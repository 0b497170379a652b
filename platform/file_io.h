#pragma once
// Whole transfers over a file descriptor: the loops that retry short counts and EINTR, so no
// reader or writer hand-rolls them; and reading a whole file. Re-entrant; positioned reads and
// writes share no file position, so several threads may use one descriptor at once.
// Part of vq_fileio (libc only).

#include "platform/io_status.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads exactly `size` bytes at `offset`. False on an error (errno says which) or when the file
// ends first (errno is then 0).
bool PreadAll(int fd, void* data, std::size_t size, std::uint64_t offset);
// Reads up to `size` bytes at `offset`, stopping only at the end of the file: the count read, or
// -1 on an error (errno set).
long long PreadUpTo(int fd, void* data, std::size_t size, std::uint64_t offset);
// Writes all `size` bytes at `offset`; false with errno set on an error.
bool PwriteAll(int fd, const void* data, std::size_t size, std::uint64_t offset);
// Writes all `size` bytes at the descriptor's position (pipes, terminals, standard output);
// false with errno set on an error.
bool WriteAll(int fd, const void* data, std::size_t size);

// Opens `path` for reading as every reader of a file by name must: without waiting (open() of a
// FIFO nobody writes to, or of a terminal line, would block for ever) and only when it is a regular
// file, links followed, so nothing is read from a folder, pipe, device or socket. The descriptor
// (close-on-exec, blocking again) with `size` (if given) set to the file's size; or -1 with
// `status` (if given) naming the file and the reason, and errno set: as open() left it (ENOENT for
// a missing file), EISDIR for a folder, EINVAL for anything else that is not a regular file.
int OpenRegularFile(const std::string& path, TIoStatus* status = nullptr, std::uint64_t* size = nullptr);

// The whole content of a regular file (see OpenRegularFile), read to its end (not trusting its
// reported size). A file longer than `maxBytes` is refused rather than read, so a wrong path cannot
// exhaust memory.
TIoStatus ReadWholeFile(const std::string& path, std::string& data, std::size_t maxBytes = SIZE_MAX);
TIoStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data,
                        std::size_t maxBytes = SIZE_MAX);

// True when `path` names a regular file (links followed).
bool RegularFileExists(const std::string& path);
