// Text commands as a host sends them to an engine library (enginecommand), the settings file the
// library reads, and the numbers of a request (getmove's and get_best_moves' time, info, fixed depth
// and margin). The input's first byte picks the reader: odd, the rest is a settings file whose
// values are read; bit 1 set, the rest is a request (a little-endian double, an info byte, two
// little-endian ints) searched to iteration 3 after the settings the earlier commands left; else
// the rest is one command. A command must answer within the caller's 1024 bytes (the bytes after
// it are checked) and never crash; a request's limits stay finite and not negative. The table's
// size stays fixed and the settings are never written: both would only make each input slow.
#include "commands.h"
#include "context.h"
#include "drivers.h"
#include "registry.h"
#include "requests.h"

#include <cmath>
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

template <class T> T value_at(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint8_t bytes[sizeof(T)] = {};
    for (std::size_t i = 0; i < sizeof(T) && at + i < size; ++i)
        bytes[i] = data[at + i];
    T v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

bool usable_limit(double seconds) {
    return std::isfinite(seconds) && seconds >= 0;
}

void run_request(const std::uint8_t* data, std::size_t size) {
    const double maxtime = value_at<double>(data, size, 0);
    const int info = value_at<std::uint8_t>(data, size, 8);
    const int fixed_depth = value_at<std::int32_t>(data, size, 9);
    const int margin = value_at<std::int32_t>(data, size, 13);

    const marrak::request_limits l = marrak::limits_for(maxtime, info);
    if (!usable_limit(l.soft) || !usable_limit(l.step) || !usable_limit(l.hard) || l.hard < l.soft)
        std::abort();

    marrak::engine_context& ctx = context();
    char status[ENGINE_STATUS_TEXT_SIZE];
    ctx.set_status_buffer(status);
    ctx.control().depth_cap = 3;
    int playnow = 0, margin_out = 0;
    static move_list moves;
    static int values[ENGINE_MAX_MOVES];
    const engine_position start{{0x00000FFFu, 0xFFF00000u}, 0};
    if (marrak::search::get_best_moves(ctx, start, 0, maxtime, &playnow, info, margin, &moves, values,
                                       fixed_depth, &margin_out) != 0 ||
        moves.count != 7)
        std::abort();
    const marrak::search::search_control& c = ctx.control();
    if (!usable_limit(c.soft_limit) || !usable_limit(c.step_limit) || !usable_limit(c.hard_limit))
        std::abort();
    if (margin_out < margin) std::abort();
    ctx.set_status_buffer(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1) {
        read_settings(data + 1, size - 1);
        return 0;
    }
    if (data[0] & 2) {
        run_request(data + 1, size - 1);
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
