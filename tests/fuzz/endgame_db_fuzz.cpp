// Endgame-database files: the block index (offsets and sizes) and the zlib blocks behind it.
// Input: a count byte, that many index entries (offset from the end of the index, four bytes, and
// size, two bytes, little-endian) for blocks 0, 1, ... and the last block, then the block bytes.
// The rest of the index stays zero (empty blocks).
#include "fuzz_files.h"
#include "platform/byte_codec.h"
#include "rules/endgame_db.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

bool WriteFile(const std::string& path, const std::uint8_t* entries, int n, const std::uint8_t* blocks,
               std::size_t blockBytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // Sparse: the index is mostly zeros.
    bool ok = ::ftruncate(fd, static_cast<off_t>(EdbIndexBytes + blockBytes)) == 0;
    for (int i = 0; ok && i < n; ++i) {
        const std::uint32_t block = i + 1 == n && n > 1 ? EdbBlockCount - 1 : static_cast<std::uint32_t>(i);
        std::uint8_t offset[4], size[2];
        PutLe32(offset, EdbIndexBytes + GetLe32(entries + 6 * i));
        PutLe16(size, GetLe16(entries + 6 * i + 4));
        ok = ::pwrite(fd, offset, 4, 4 * block) == 4 &&
             ::pwrite(fd, size, 2, EdbOffsetsBytes + 2 * block) == 2;
    }
    if (ok && blockBytes)
        ok = ::pwrite(fd, blocks, blockBytes, EdbIndexBytes) == static_cast<ssize_t>(blockBytes);
    return ::close(fd) == 0 && ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each open allocates the 1.3 MB index anew: keep that memory in the heap between inputs
    // instead of mapping fresh pages every time (the sanitizers' allocators keep their own).
    static const bool heapKept =
        (::mallopt(M_MMAP_THRESHOLD, 64 << 20), ::mallopt(M_TRIM_THRESHOLD, 256 << 20), true);
    (void)heapKept;
    if (size < 1) return 0;
    int n = data[0] % 9;
    if (static_cast<std::size_t>(6 * n) > size - 1) n = static_cast<int>((size - 1) / 6);
    const std::uint8_t* entries = data + 1;
    const std::uint8_t* blocks = entries + 6 * n;
    const std::size_t blockBytes = size - 1 - 6 * static_cast<std::size_t>(n);
    const std::string path = fuzz_files::Path("fuzz.edb");
    if (!WriteFile(path, entries, n, blocks, blockBytes)) std::abort();

    std::string error;
    const auto db = TEndgameDatabaseFile::Open(path, &error);
    if (!db) {
        if (error.empty()) std::abort();
        return 0;
    }
    // Every block the index describes lies inside the file.
    for (std::uint32_t b : {0u, 1u, 2u, 7u, EdbBlockCount - 1}) {
        if (std::uint64_t{db->BlockOffset(b)} + db->BlockSize(b) > db->FileSize()) std::abort();
        std::uint8_t values[EdbBlockValues];
        db->ReadBlock(b, values);
        db->ReadValue(b * EdbBlockValues + 5);
    }
    db->ReadValue(EdbLastValueNumber + 1000);
    return 0;
}
