#include "rules/edb_tools.h"

#include "platform/atomic_file.h"
#include "platform/byte_codec.h"
#include "platform/file_io.h"
#include "rules/file_names.h"

#include <zlib.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SysError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// A file descriptor that closes itself.
struct TFd {
    int fd = -1;
    TFd() = default;
    explicit TFd(int f) : fd(f) {}
    ~TFd() {
        if (fd >= 0) ::close(fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
};

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

const char* const CancelledError = "cancelled";

TIoStatus WriteCompressedIndex(TAtomicFileWriter& out, const TEdbIndex& index) {
    if (index.offsets.size() != EdbBlockCount || index.sizes.size() != EdbBlockCount)
        return TIoStatus::Failure("the block index must have " + std::to_string(EdbBlockCount) + " entries");
    std::vector<std::uint8_t> raw(EdbIndexBytes);
    for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
        PutLe32(raw.data() + 4 * b, index.offsets[b]);
        PutLe16(raw.data() + EdbOffsetsBytes + 2 * b, index.sizes[b]);
    }
    return out.WriteAt(0, raw.data(), raw.size());
}

int TCompressTotals::Ratio() const {
    if (bytesRead == 0) return 0;
    return static_cast<int>(
        std::lround(static_cast<double>(bytesWritten) / static_cast<double>(bytesRead) * 100.0));
}

std::string CompressedName(const std::string& input) {
    return StripExtension(input) + ".cpr";
}

TToolResult CompressEdb(const std::string& input, const std::string& output, std::uint32_t blockCount,
                        const std::function<void(const TCompressTotals&)>& progress,
                        TCompressTotals* totalsOut, const std::atomic<bool>* cancel) {
    TToolResult result;
    result.output = output;
    if (blockCount > EdbBlockCount) {
        result.error = "at most " + std::to_string(EdbBlockCount) + " blocks";
        return result;
    }
    if (SameFile(input, output)) {
        result.error = "the output " + output + " would overwrite its input";
        return result;
    }
    TIoStatus opened;
    TFd in(OpenRegularFile(input, &opened));
    if (in.fd < 0) {
        result.error = opened.Message();
        return result;
    }
    TAtomicFileWriter out;
    if (const TIoStatus s = out.Open(output); !s) {
        result.error = s.Message();
        return result;
    }

    TEdbIndex index;
    TCompressTotals totals;
    std::uint64_t next = EdbIndexBytes;
    if (const TIoStatus s = WriteCompressedIndex(out, index); !s) {
        result.error = s.Message();
        return result;
    }
    unsigned char block[EdbBlockValues] = {};
    unsigned char packed[65536];
    for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
        if (b >= blockCount) {
            index.offsets[b] = static_cast<std::uint32_t>(next); // an empty block
            continue;
        }
        if (Cancelled(cancel)) {
            result.error = CancelledError;
            return result;
        }
        const long long got = PreadUpTo(in.fd, block, EdbBlockValues, std::uint64_t{b} * EdbBlockValues);
        if (got < 0) {
            result.error = SysError("cannot read " + input);
            return result;
        }
        uLongf packedSize = sizeof packed;
        if (compress2(packed, &packedSize, block, EdbBlockValues, 9) != Z_OK) {
            result.error = "deflate failed on block " + std::to_string(b);
            return result;
        }
        if (next + packedSize > UINT32_MAX) {
            result.error = "the output passes the 4 GB that the block offsets can address";
            return result;
        }
        if (const TIoStatus s = out.WriteAt(next, packed, packedSize); !s) {
            result.error = s.Message();
            return result;
        }
        index.offsets[b] = static_cast<std::uint32_t>(next);
        index.sizes[b] = static_cast<std::uint16_t>(packedSize);
        next += packedSize;
        totals.bytesRead += static_cast<std::uint64_t>(got);
        totals.bytesWritten += packedSize;
        if (packedSize > totals.largestBlock) totals.largestBlock = static_cast<std::uint32_t>(packedSize);
        totals.blocks = b + 1;
        if (b % 1000 == 0 && progress) progress(totals);
    }
    if (const TIoStatus s = WriteCompressedIndex(out, index); !s) {
        result.error = s.Message();
        return result;
    }
    if (const TIoStatus s = out.Commit(); !s) {
        result.error = s.Message();
        return result;
    }
    if (progress) progress(totals);
    if (totalsOut) *totalsOut = totals;
    result.ok = true;
    return result;
}

std::string ConvertedName(const std::string& input) {
    const std::string stem = StripExtension(input);
    return stem + "v2" + input.substr(stem.size());
}

TToolResult ConvertEdb(const std::string& input, const std::string& output,
                       const std::function<void(std::uint64_t)>& progress, const std::atomic<bool>* cancel) {
    TToolResult result;
    result.output = output;
    if (SameFile(input, output)) {
        result.error = "the output " + output + " would overwrite its input";
        return result;
    }
    TIoStatus opened;
    std::uint64_t size = 0;
    TFd in(OpenRegularFile(input, &opened, &size));
    if (in.fd < 0) {
        result.error = opened.Message();
        return result;
    }
    if (size % SixSourceBlockBytes != 0) {
        result.error = input + " ends inside a block: " + std::to_string(size % SixSourceBlockBytes) +
                       " bytes past the last whole block of " + std::to_string(SixSourceBlockBytes);
        return result;
    }
    TAtomicFileWriter out;
    if (const TIoStatus s = out.Open(output); !s) {
        result.error = s.Message();
        return result;
    }

    constexpr std::uint32_t BlocksPerChunk = 1024;
    const std::uint64_t blocks = size / SixSourceBlockBytes;
    // Buffers for one chunk, no larger than the file needs.
    const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(BlocksPerChunk, blocks));
    std::vector<unsigned char> source(SixSourceBlockBytes * chunk);
    std::vector<unsigned char> packed(EdbBlockValues * chunk);
    for (std::uint64_t first = 0; first < blocks; first += BlocksPerChunk) {
        if (Cancelled(cancel)) {
            result.error = CancelledError;
            return result;
        }
        const auto count =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(BlocksPerChunk, blocks - first));
        const std::size_t want = std::size_t{count} * SixSourceBlockBytes;
        if (PreadUpTo(in.fd, source.data(), want, first * SixSourceBlockBytes) !=
            static_cast<long long>(want)) {
            result.error = SysError("cannot read " + input);
            return result;
        }
        for (std::uint32_t k = 0; k < count; ++k) {
            const unsigned char* src = source.data() + std::size_t{k} * SixSourceBlockBytes;
            unsigned char* dst = packed.data() + std::size_t{k} * EdbBlockValues;
            std::fill(dst, dst + EdbBlockValues, 0);
            for (std::uint32_t i = 0; i < SixSourceBlockBytes; ++i) {
                unsigned v = src[i];
                if (v > 242) {
                    result.error = input + ": byte " + std::to_string((first + k) * SixSourceBlockBytes + i) +
                                   " (" + std::to_string(v) + ") is not five base-3 values";
                    return result;
                }
                for (std::uint32_t d = 0; d < 5; ++d, v /= 3) {
                    const std::uint32_t value = 5 * i + d; // the last four digits are padding
                    if (value < 4 * EdbBlockValues)
                        dst[value / 4] =
                            static_cast<unsigned char>(dst[value / 4] | (v % 3) << (2 * (value % 4)));
                }
            }
        }
        if (const TIoStatus s =
                out.WriteAt(first * EdbBlockValues, packed.data(), std::size_t{count} * EdbBlockValues);
            !s) {
            result.error = s.Message();
            return result;
        }
        if (progress) progress(first + count);
    }
    if (const TIoStatus s = out.Commit(); !s) {
        result.error = s.Message();
        return result;
    }
    result.ok = true;
    return result;
}
