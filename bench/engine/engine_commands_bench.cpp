// The engine libraries' text commands as the host meets them: the first command of a process,
// which sets the library up (log, settings, a 16 MB table, the evaluation and ordering tables; no
// book), and a set command that rewrites the settings store. Goals: under 20 ms and under 1 ms.
//
// Each run of the first command loads a fresh copy of the library, so that its set-up runs again;
// the copy and the load are not timed. The store and the log go to a private temporary folder.

#include "engine_api.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <dlfcn.h>

namespace {

namespace fs = std::filesystem;

const char* const library_files[] = {"libMarrak.so", "libmarrak_italian.so"};

// A private folder, current for the whole run and holding the settings store; removed at exit.
struct private_folder {
    private_folder() {
        char pattern[] = "/tmp/vq_engine_commands_XXXXXX";
        if (const char* made = mkdtemp(pattern)) path = made;
        setenv("XDG_CONFIG_HOME", path.c_str(), 1);
        fs::current_path(path);
    }
    ~private_folder() {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        fs::remove_all(path, ec);
    }
    fs::path path;
};

const fs::path& work_folder() {
    static const private_folder folder;
    return folder.path;
}

fs::path library_path(const char* file) {
    const char* env = std::getenv("VQ_RUN_DIR");
    return fs::path(env ? env : VQ_RUN_DIR) / file;
}

struct loaded_copy {
    explicit loaded_copy(const fs::path& copy)
        : path(copy), handle(dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (handle) command = reinterpret_cast<enginecommand_fn>(dlsym(handle, "enginecommand"));
    }
    ~loaded_copy() {
        if (handle) dlclose(handle);
        std::error_code ec;
        fs::remove(path, ec);
    }
    fs::path path;
    void* handle;
    enginecommand_fn command = nullptr;
};

void BM_FirstCommand(benchmark::State& state) {
    const fs::path& dir = work_folder();
    const fs::path source = library_path(library_files[state.range(0)]);
    char reply[ENGINE_STATUS_TEXT_SIZE];
    int copy_number = 0;
    for (auto _ : state) {
        const fs::path copy = dir / ("copy" + std::to_string(copy_number++) + ".so");
        fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
        loaded_copy lib(copy);
        if (!lib.command) {
            state.SkipWithError(dlerror());
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        lib.command("get hashsize", reply);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (std::string(reply) != "16") {
            state.SkipWithError("the table is not the default 16 MB");
            return;
        }
    }
    state.SetLabel(library_files[state.range(0)]);
}
BENCHMARK(BM_FirstCommand)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SetWithStoreWrite(benchmark::State& state) {
    work_folder();
    void* handle = dlopen(library_path(library_files[state.range(0)]).c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto command =
        handle ? reinterpret_cast<enginecommand_fn>(dlsym(handle, "enginecommand")) : nullptr;
    if (!command) {
        state.SkipWithError("library not loaded");
        return;
    }
    char reply[ENGINE_STATUS_TEXT_SIZE];
    command("get hashsize", reply); // the set-up, untimed
    int value = 0;
    for (auto _ : state) {
        // A changed value each time, so that every call writes the store.
        value = 1 - value;
        command(value ? "set allscores 1" : "set allscores 0", reply);
    }
    state.SetLabel(library_files[state.range(0)]);
}
BENCHMARK(BM_SetWithStoreWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
