// Text commands as a host sends them to an engine library (enginecommand), and the settings file
// the library reads. The input's first byte picks the reader: even, the rest is one command; odd,
// the rest is a settings file whose values are read. A command must answer within the caller's
// 1024 bytes (the bytes after it are checked) and never crash. The table's size stays fixed and
// the settings are never written: both would only make each input slow.
#include "commands.h"
#include "context.h"
#include "registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

marrak::engine_context& context() {
    static const std::unique_ptr<marrak::engine_context> ctx = [] {
        auto c = std::make_unique<marrak::engine_context>();
        c->settings().hash_megabytes = 8;
        c->registry().set_path({});
        c->init();
        return c;
    }();
    return *ctx;
}

std::string settings_file() {
    static const std::string path = [] {
        char name[] = "/tmp/vq_engine_registry_fuzz_XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    return path;
}

void read_settings(const std::uint8_t* data, std::size_t size) {
    const std::string path = settings_file();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const marrak::registry_store reg(path);
    int n = 0;
    std::string text;
    for (const char* name : {"HashSize", "DBMbytes", "UseBook", "AllScores"})
        reg.read_dword(name, n);
    if (reg.read_string("DBPath", text, 99) && text.size() > 99) std::abort();
    if (reg.read_string("MtcPath", text, 103) && text.size() > 103) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1) {
        read_settings(data + 1, size - 1);
        return 0;
    }
    std::string command(reinterpret_cast<const char*>(data + 1), size - 1);
    command = command.substr(0, std::strlen(command.c_str())); // as a C string arrives
    if (command.find("hashsize") != std::string::npos) return 0;
    constexpr std::size_t canary = 64;
    char reply[ENGINE_STATUS_TEXT_SIZE + canary];
    std::memset(reply, 0x5A, sizeof reply);
    const int result = marrak::run_engine_command(context(), command.c_str(), reply);
    if (result != 0 && result != 1) std::abort();
    for (std::size_t i = ENGINE_STATUS_TEXT_SIZE; i < sizeof reply; ++i)
        if (reply[i] != 0x5A) std::abort();
    if (!std::memchr(reply, 0, ENGINE_STATUS_TEXT_SIZE)) std::abort();
    return 0;
}
