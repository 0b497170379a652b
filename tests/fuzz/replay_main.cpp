// Replays a fuzz entry over its seed files and over mutations of them made from a fixed seed, so
// every build tree (and the sanitizer trees above all) runs each reader over damaged input.
// Usage: <target> [--mutations N] [--seed S] [--timeout SECONDS] SEED_DIR_OR_FILE...
// A crash or sanitizer report fails the test by itself; a single input that runs longer than the
// timeout is reported as a hang and aborts.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

volatile std::sig_atomic_t g_inputNumber = 0;

// The input being run, saved by the handler below when it ends the process, so that a failure
// found here can be run again by hand (and given to the libFuzzer build as a seed).
const std::uint8_t* volatile g_current = nullptr;
volatile std::size_t g_currentSize = 0;

void SaveInputAndDie(int sig) {
    static const char name[] = "fuzz-replay-failure";
    const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && g_current) {
        ssize_t ignored = ::write(fd, g_current, g_currentSize);
        (void)ignored;
    }
    if (fd >= 0) ::close(fd);
    static const char msg[] = "fuzz replay: the failing input is saved as fuzz-replay-failure\n";
    ssize_t ignored = write(2, msg, sizeof msg - 1);
    (void)ignored;
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void OnAlarm(int) {
    static const char msg[] = "fuzz replay: an input ran past the time limit (hang)\n";
    ssize_t ignored = write(2, msg, sizeof msg - 1);
    (void)ignored;
    std::abort();
}

Bytes ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CollectSeeds(const std::filesystem::path& p, std::vector<Bytes>& seeds) {
    if (std::filesystem::is_directory(p)) {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(p))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end()); // the same order, hence the same mutations, everywhere
        for (const auto& f : files)
            seeds.push_back(ReadFile(f));
    } else if (std::filesystem::is_regular_file(p)) {
        seeds.push_back(ReadFile(p));
    } else {
        std::fprintf(stderr, "fuzz replay: no seed at %s\n", p.c_str());
        std::exit(2);
    }
}

// Values that readers treat specially: zero, sign and width limits, separators of text formats.
constexpr std::uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x7f, 0x80, 0xff, 0xfe, 0x10, 0x20,
                                         0x40, '0',  '9',  ':',  ',',  '-',  '[',  ']',  '"',
                                         '{',  '}',  '(',  ')',  '\n', '\r', 'x',  'W',  'B'};

Bytes Mutate(const Bytes& base, const std::vector<Bytes>& seeds, std::mt19937_64& rng) {
    Bytes b = base;
    const int steps = 1 + static_cast<int>(rng() % 4);
    for (int s = 0; s < steps; ++s) {
        const std::size_t n = b.size();
        switch (rng() % 9) {
        case 0: // flip one bit
            if (n) b[rng() % n] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
            break;
        case 1: // set a byte to a random value
            if (n) b[rng() % n] = static_cast<std::uint8_t>(rng());
            break;
        case 2: // set a byte to an interesting value
            if (n) b[rng() % n] = kInteresting[rng() % sizeof kInteresting];
            break;
        case 3: // truncate
            if (n) b.resize(rng() % n);
            break;
        case 4: { // delete a run
            if (!n) break;
            const std::size_t at = rng() % n, len = 1 + rng() % std::min<std::size_t>(n - at, 64);
            b.erase(b.begin() + static_cast<std::ptrdiff_t>(at),
                    b.begin() + static_cast<std::ptrdiff_t>(at + len));
            break;
        }
        case 5: { // insert random bytes
            const std::size_t at = n ? rng() % (n + 1) : 0, len = 1 + rng() % 16;
            Bytes ins(len);
            for (auto& c : ins)
                c = static_cast<std::uint8_t>(rng());
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), ins.begin(), ins.end());
            break;
        }
        case 6: { // duplicate a run in place
            if (!n) break;
            const std::size_t at = rng() % n, len = 1 + rng() % std::min<std::size_t>(n - at, 256);
            Bytes run(b.begin() + static_cast<std::ptrdiff_t>(at),
                      b.begin() + static_cast<std::ptrdiff_t>(at + len));
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
            break;
        }
        case 7: { // splice with the tail of another seed
            const Bytes& other = seeds[rng() % seeds.size()];
            const std::size_t cut = n ? rng() % n : 0, from = other.empty() ? 0 : rng() % other.size();
            b.resize(cut);
            b.insert(b.end(), other.begin() + static_cast<std::ptrdiff_t>(from), other.end());
            break;
        }
        default: { // overwrite a little- or big-endian 16/32-bit field with a limit value
            if (n < 4) break;
            const std::size_t at = rng() % (n - 3);
            const std::uint32_t v[] = {0, 1, 0x7fff, 0x8000, 0xffff, 0x7fffffff, 0x80000000u, 0xffffffffu};
            const std::uint32_t x = v[rng() % 8];
            for (int k = 0; k < 4; ++k)
                b[at + k] = static_cast<std::uint8_t>((rng() & 1) ? x >> (8 * k) : x >> (8 * (3 - k)));
            break;
        }
        }
    }
    return b;
}

void RunOne(const Bytes& b, unsigned timeout) {
    alarm(timeout);
    // A copy in its own allocation, so reads past the end are caught by the sanitizers.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[b.size() ? b.size() : 1]);
    if (!b.empty()) std::memcpy(copy.get(), b.data(), b.size());
    g_current = copy.get();
    g_currentSize = b.size();
    LLVMFuzzerTestOneInput(copy.get(), b.size());
    g_current = nullptr;
    alarm(0);
    g_inputNumber = g_inputNumber + 1;
}

} // namespace

int main(int argc, char** argv) {
    long mutations = 2000;
    std::uint64_t seed = 20261210;
    unsigned timeout = 60;
    std::vector<Bytes> seeds;
    if (const char* env = std::getenv("VQ_FUZZ_MUTATIONS")) mutations = std::atol(env);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mutations" && i + 1 < argc)
            mutations = std::atol(argv[++i]);
        else if (a == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--timeout" && i + 1 < argc)
            timeout = static_cast<unsigned>(std::atoi(argv[++i]));
        else
            CollectSeeds(a, seeds);
    }
    std::signal(SIGALRM, OnAlarm);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(sig, SaveInputAndDie);
    RunOne({}, timeout); // the empty input
    if (seeds.empty()) seeds.push_back({});
    for (const auto& s : seeds)
        RunOne(s, timeout);
    std::mt19937_64 rng(seed);
    for (long i = 0; i < mutations; ++i) {
        const Bytes& base = seeds[static_cast<std::size_t>(i) % seeds.size()];
        RunOne(Mutate(base, seeds, rng), timeout);
    }
    std::printf("fuzz replay: %d inputs (%zu seeds, %ld mutations), no failure\n",
                static_cast<int>(g_inputNumber), seeds.size(), mutations);
    return 0;
}
