// The six-piece source file that the test window's converter reads from a chosen file.
#include "rules/edb_index.h"
#include "rules/edb_tools.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

// One private folder for the process, removed at exit.
struct TFolder {
    std::string path;
    TFolder() {
        char name[] = "/tmp/vq_six_fuzz_XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        path = name;
    }
    ~TFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};
const std::string& Folder() {
    static const TFolder folder;
    return folder.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in = Folder() + "/pos6.edb", out = ConvertedName(in);
    std::FILE* f = std::fopen(in.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    const TToolResult r = ConvertEdb(in, out);
    if (r.ok) {
        // A whole number of blocks in, 1,024 bytes a block out.
        if (size % SixSourceBlockBytes != 0) std::abort();
        std::FILE* o = std::fopen(out.c_str(), "rb");
        if (!o) std::abort();
        std::fseek(o, 0, SEEK_END);
        const long written = std::ftell(o);
        std::fclose(o);
        if (static_cast<std::uint64_t>(written) != size / SixSourceBlockBytes * EdbBlockValues) std::abort();
        ::unlink(out.c_str());
    } else if (r.error.empty() || ::access(out.c_str(), F_OK) == 0) {
        std::abort(); // a refusal names its reason and leaves no output
    }
    return 0;
}
