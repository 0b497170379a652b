#include "tests/support/odd_files.h"

#include "tests/support/wait.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace test_support {

bool MakeOddFile(TOddFileKind kind, const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    switch (kind) {
    case TOddFileKind::Fifo:
        return ::mkfifo(path.c_str(), 0644) == 0;
    case TOddFileKind::Folder:
        return std::filesystem::create_directory(path, ec);
    case TOddFileKind::DevZero:
        std::filesystem::create_symlink("/dev/zero", path, ec);
        return !ec;
    }
    return false;
}

std::vector<std::string> OddFilesTaken(const std::string& path,
                                       const std::function<bool(const std::string& path)>& reads) {
    const std::pair<TOddFileKind, const char*> kinds[] = {{TOddFileKind::Fifo, "a FIFO"},
                                                          {TOddFileKind::Folder, "a folder"},
                                                          {TOddFileKind::DevZero, "/dev/zero"}};
    std::vector<std::string> taken;
    for (const auto& [kind, name] : kinds) {
        if (!MakeOddFile(kind, path)) {
            taken.push_back(std::string("cannot make ") + name);
            continue;
        }
        bool read = false;
        const std::string what = std::string("a reader given ") + name + " as " + path;
        MustEnd(what.c_str(), [&] { read = reads(path); });
        if (read) taken.push_back(name);
    }
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    return taken;
}

} // namespace test_support
