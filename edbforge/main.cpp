// edbforge: Russian endgame tables of 2 to 6 pieces, written to the current directory.
// Without arguments it uses every core; "--threads N" sets the number of solver threads.

#include "edbforge/generator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

int main(int argc, char** argv) {
    forge::options opt;
    opt.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc &&
            (opt.threads = static_cast<int>(std::strtol(argv[i + 1], &end, 10)), *end == '\0') &&
            opt.threads >= 1 && opt.threads <= 256) {
            ++i;
            continue;
        }
        std::cerr
            << "usage: edbforge [--threads N]  (N from 1 to 256; the number of pieces is read from input)\n";
        return 2;
    }
    return forge::run_generator(std::cin, std::cout, std::cerr, opt);
}
